// entry_rules.hpp - what an entry does with a typed character, a paste, a store and a refresh.
// Text here is single-byte, in the window's code page; both backends apply the same rules.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "window_definition.hpp"

namespace ui::entry {

// When an entry gets the focus, it accepts as many characters as its picture allows, or as many
// as it already holds if that is more.
constexpr std::size_t limitOnFocus(std::size_t picture, std::size_t length) {
    return length > picture ? length : picture;
}

enum class Outcome { Insert, Refuse, Ignore };

struct Typed {
    Outcome outcome;
    char byte;  // what goes in, for Outcome::Insert
};

struct Keystroke {
    std::optional<unsigned char> byte;  // none: the code page or the entry's font has no such character
    bool shift;
};

// A typed character. `before` is the byte in front of where it goes (none at the start of the
// text); `length` is the text's length once a selection it replaces is gone. Refuse means beep.
Typed type(Keystroke key, std::optional<unsigned char> before, std::size_t length, std::size_t limit,
           bool capitalise);

// A paste goes in whole or not at all; it is never capitalised. Only its first line is taken, as
// in any single-line entry. `text` is none when some character of it has no code-page byte.
std::optional<std::string> paste(const std::optional<std::string>& text, std::size_t length,
                                 std::size_t limit);

// What an entry stores into its variable when it loses the focus after a change.
void store(std::string_view text, const Variable& variable);

// What a control shows of its variable: the text without its trailing blanks, at most `picture`
// characters when the control's picture limits it.
std::string shown(const Variable& variable, std::size_t picture);

}  // namespace ui::entry

namespace ui::codepage {

// Windows-1252, the single-byte code page the Linux build stores text in.
std::optional<unsigned char> fromUnicode(char32_t c);
char32_t toUnicode(unsigned char byte);

}  // namespace ui::codepage
