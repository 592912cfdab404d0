// window_definition.hpp - a window held as data: its frame and a table of controls laid out in
// dialog units. Backends build real windows from it; nothing here knows a toolkit.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ui {

enum class Kind : std::uint8_t {
    String,  // text, from the definition or from a bound variable
    Image,   // a picture, named by the control's text
    Sheet,   // pages, one shown at a time, no tab strip
    Page,    // a page of a sheet; the controls that lie on it show only while it is selected
    Prompt,  // the label of an entry
    Entry,   // single-line text bound to a variable
    Panel,   // a bevelled line or box
    Button,  // push button; "&" marks its mnemonic
};

enum class Font : std::uint8_t { Inherit, Regular, Bold };

// A width or height taken from the content: the text for strings and prompts, the picture's own
// size for an image.
inline constexpr int kFit = -1;

enum Attribute : std::uint8_t {
    kTransparent = 1 << 0,
    kHidden = 1 << 1,
    kDisabled = 1 << 2,
    kDefault = 1 << 3,     // the window's default button
    kCapitalise = 1 << 4,  // an entry that capitalises words while they are typed
    kIndent = 1 << 5,      // text indented: 4 units for strings, 1 for entries
};

struct Control {
    int feq;                // field equate: the control's number, 1-based, in declaration order
    std::string_view name;  // as the window names it, e.g. "?MYTPLOPTS:NAME_LONG"
    Kind kind;
    int parent;  // the field equate of the page it lies on, or 0 for the window
    int x, y, width, height;
    std::string_view text;  // label, caption or picture name
    int variable;           // 1-based index of the bound variable, or 0
    int picture;            // characters the display picture allows (sN), or 0
    Font font;
    std::uint8_t attributes;
    std::string_view tip;
};

struct WindowDefinition {
    std::string_view title;
    int width, height;      // client area, in dialog units
    std::string_view icon;  // name of a linked icon resource
    std::span<const Control> controls;

    const Control& control(int feq) const { return controls[static_cast<std::size_t>(feq - 1)]; }
};

// A variable a control shows or edits. Entries edit NUL-terminated text within `size` bytes;
// strings may also show fixed-width text padded with blanks.
struct Variable {
    enum class Type : std::uint8_t { Padded, Terminated };
    Type type;
    char* data;
    std::size_t size;
};

}  // namespace ui
