// wizard_window.hpp - the wizard's only window, as data: four pages on a sheet beside a side
// image, five buttons below.
#pragma once

#include "runtime/window_definition.hpp"

namespace plinthor {

// Field equates, in declaration order.
enum Feq : int {
    TitleString = 1,
    WizardImage,
    Sheet,
    Tab1,
    String1_6,
    Tab2,
    MytploptsNameLongPrompt,
    MytploptsNameLong,
    MytploptsNameShortPrompt,
    MytploptsNameShort,
    String2_7,
    Tab3,
    MytploptsLanguagePrompt,
    MytploptsLanguage,
    MytploptsSourceExtPrompt,
    MytploptsSourceExt,
    MytploptsExternExtPrompt,
    MytploptsExternExt,
    MytploptsDocExtPrompt,
    MytploptsDocExt,
    String3a_7,
    Tab4,
    String6_2,
    SeperatorPanel,
    Back,
    Next,
    Finish,
    Close,
    HelpButton,
};

// The bound variables, in the order the window is opened with them.
enum Variable : int {
    TitleVariable = 1,
    NameLong,
    NameShort,
    Language,
    SourceExt,
    ExternExt,
    DocExt,
};

extern const ui::WindowDefinition kWizardWindow;

}  // namespace plinthor
