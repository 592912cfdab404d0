// wizard_window.cpp - the wizard window's controls, in dialog units relative to the client area.
#include "wizard_window.hpp"

#include <array>

namespace plinthor {

namespace {

using ui::Font;
using ui::kFit;
using ui::Kind;
constexpr std::uint8_t kNone = 0;
constexpr std::uint8_t kText = ui::kTransparent;  // strings and prompts: drawn over the face colour

// clang-format off
constexpr std::array<ui::Control, 29> kControls{{
//  feq                       name                            kind         lies on  x    y    width height text                                   variable     pic font          attributes                       tip
  {TitleString,              "?TITLESTRING",                  Kind::String, 0,      64,  6,   148,  12,   "",                                     TitleVariable, 50, Font::Bold,    ui::kTransparent | ui::kIndent,  ""},
  {WizardImage,              "?WIZARDIMAGE",                  Kind::Image,  0,      2,   2,   kFit, kFit, "template.gif",                         0,           0,  Font::Inherit, kNone,                           ""},
  {Sheet,                    "?SHEET",                        Kind::Sheet,  0,      64,  2,   148,  111,  "",                                     0,           0,  Font::Regular, kNone,                           ""},
  {Tab1,                     "?TAB1",                         Kind::Page,   Sheet,  0,   0,   0,    0,    "Step 1",                               0,           0,  Font::Inherit, kNone,                           ""},
  {String1_6,                "?STRING1:6",                    Kind::String, Tab1,   68,  100, kFit, kFit, "Click Next button to start.",          0,           0,  Font::Regular, kText,                           ""},
  {Tab2,                     "?TAB2",                         Kind::Page,   Sheet,  0,   0,   0,    0,    "Step 2",                               0,           0,  Font::Inherit, kNone,                           ""},
  {MytploptsNameLongPrompt,  "?MYTPLOPTS_NAME_LONG:PROMPT",   Kind::Prompt, Tab2,   68,  15,  kFit, 9,    "Template Name:",                       0,           0,  Font::Regular, kText,                           ""},
  {MytploptsNameLong,        "?MYTPLOPTS:NAME_LONG",          Kind::Entry,  Tab2,   68,  24,  126,  8,    "",                                     NameLong,    64, Font::Bold,    ui::kCapitalise | ui::kIndent,   "Enter the template name."},
  {MytploptsNameShortPrompt, "?MYTPLOPTS_NAME_SHORT:PROMPT",  Kind::Prompt, Tab2,   68,  34,  kFit, kFit, "Template Label (Short Name):",         0,           0,  Font::Regular, kText,                           ""},
  {MytploptsNameShort,       "?MYTPLOPTS:NAME_SHORT",         Kind::Entry,  Tab2,   68,  43,  126,  8,    "",                                     NameShort,   5,  Font::Bold,    ui::kIndent,                     "Enter the template short name (5 characters max) ."},
  {String2_7,                "?STRING2:7",                    Kind::String, Tab2,   68,  100, kFit, kFit, "Click Next when ready to continue.",   0,           0,  Font::Regular, kText,                           ""},
  {Tab3,                     "?TAB3",                         Kind::Page,   Sheet,  0,   0,   0,    0,    "Step 3",                               0,           0,  Font::Inherit, kNone,                           ""},
  {MytploptsLanguagePrompt,  "?MYTPLOPTS_LANGUAGE:PROMPT",    Kind::Prompt, Tab3,   68,  15,  kFit, kFit, "Language Name:",                       0,           0,  Font::Regular, kText,                           ""},
  {MytploptsLanguage,        "?MYTPLOPTS:LANGUAGE",           Kind::Entry,  Tab3,   68,  24,  126,  8,    "",                                     Language,    8,  Font::Bold,    ui::kCapitalise | ui::kIndent,   "Enter the source language name."},
  {MytploptsSourceExtPrompt, "?MYTPLOPTS_SOURCE_EXT:PROMPT",  Kind::Prompt, Tab3,   68,  34,  kFit, kFit, "Source Extension:",                    0,           0,  Font::Regular, kText,                           ""},
  {MytploptsSourceExt,       "?MYTPLOPTS:SOURCE_EXT",         Kind::Entry,  Tab3,   68,  43,  126,  8,    "",                                     SourceExt,   4,  Font::Bold,    ui::kIndent,                     "Enter the source language file extension."},
  {MytploptsExternExtPrompt, "?MYTPLOPTS_EXTERN_EXT:PROMPT",  Kind::Prompt, Tab3,   68,  53,  kFit, kFit, "External File Extension:",             0,           0,  Font::Regular, kText,                           ""},
  {MytploptsExternExt,       "?MYTPLOPTS:EXTERN_EXT",         Kind::Entry,  Tab3,   68,  61,  126,  8,    "",                                     ExternExt,   4,  Font::Bold,    ui::kIndent,                     "Enter the external source file extension."},
  {MytploptsDocExtPrompt,    "?MYTPLOPTS_DOC_EXT:PROMPT",     Kind::Prompt, Tab3,   68,  70,  kFit, kFit, "Documentation Extension:",             0,           0,  Font::Regular, kText,                           ""},
  {MytploptsDocExt,          "?MYTPLOPTS:DOC_EXT",            Kind::Entry,  Tab3,   68,  79,  126,  8,    "",                                     DocExt,      4,  Font::Bold,    ui::kIndent,                     "Enter the document file extension."},
  {String3a_7,               "?STRING3A:7",                   Kind::String, Tab3,   68,  100, kFit, kFit, "Press Next when ready to continue.",   0,           0,  Font::Regular, kText,                           ""},
  {Tab4,                     "?TAB4",                         Kind::Page,   Sheet,  0,   0,   0,    0,    "Finish",                               0,           0,  Font::Inherit, kNone,                           ""},
  {String6_2,                "?STRING6:2",                    Kind::String, Tab4,   68,  100, kFit, kFit, "Click Finish to save the changes.",    0,           0,  Font::Inherit, kText,                           ""},
  {SeperatorPanel,           "?SEPERATORPANEL",               Kind::Panel,  0,      64,  116, 147,  1,    "",                                     0,           0,  Font::Inherit, kNone,                           ""},
  {Back,                     "?BACK",                         Kind::Button, 0,      64,  120, 36,   12,   "< &Back",                              0,           0,  Font::Regular, ui::kDisabled,                   ""},
  {Next,                     "?NEXT",                         Kind::Button, 0,      101, 120, 36,   12,   "Ne&xt >",                              0,           0,  Font::Regular, ui::kDefault,                    ""},
  {Finish,                   "?FINISH",                       Kind::Button, 0,      101, 120, 36,   12,   "&Finish",                              0,           0,  Font::Regular, ui::kHidden,                     ""},
  {Close,                    "?CLOSE",                        Kind::Button, 0,      138, 120, 36,   12,   "Cancel",                               0,           0,  Font::Regular, kNone,                           ""},
  {HelpButton,               "?HELPBUTTON",                   Kind::Button, 0,      175, 120, 36,   12,   "Help",                                 0,           0,  Font::Regular, kNone,                           ""},
}};
// clang-format on

constexpr bool declaredInOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (kControls[i].feq != static_cast<int>(i) + 1) return false;
    return true;
}
static_assert(declaredInOrder(), "a control's field equate is its place in the table");

}  // namespace

const ui::WindowDefinition kWizardWindow{
    "Veridane - Template Generation Wizard", 214, 135, "VERIDANE_ICO", kControls,
};

}  // namespace plinthor
