// qt_runtime.hpp - the UI runtime on Qt 6 Widgets.
#pragma once

#include <functional>
#include <memory>

#include "runtime/window.hpp"

namespace ui::qt {

class QtRuntime final : public Runtime {
public:
    using Beep = std::function<void()>;

    // Needs a QApplication. `beep` sounds when an entry refuses a character.
    explicit QtRuntime(Beep beep = {});

    std::unique_ptr<Window> open(const WindowDefinition& definition,
                                 std::span<const Variable> variables) override;

private:
    Beep beep_;
};

}  // namespace ui::qt
