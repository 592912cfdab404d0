// wizard_procedure.hpp - the whole behaviour of plinthor: four pages, Back and Next, and on
// Finish the six values handed to the generator.
#pragma once

#include <cstdint>

#include "runtime/window.hpp"
#include "strandel.h"

namespace plinthor {

using Generate = std::int32_t(STRANDEL_CALL*)(MYTPLOPTS);

// Runs the wizard window until it closes; returns the program's exit status.
int runWizard(ui::Runtime& runtime, Generate generate = &vdgentemplate);

}  // namespace plinthor
