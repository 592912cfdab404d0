// entry_rules.cpp - the entries' input rules and the Windows-1252 code page.
#include "entry_rules.hpp"

#include <algorithm>
#include <array>
#include <cstring>

namespace ui::entry {

namespace {

bool isAlphanumeric(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A letter starts a word at the start of the text, or after anything but a letter, a digit, an
// apostrophe ("O'brien") or a character from the upper half of the Latin-1 range, which are
// letters too.
bool startsWord(std::optional<unsigned char> before) {
    if (!before) return true;
    return !isAlphanumeric(*before) && *before != '\'' && *before < 192;
}

}  // namespace

Typed type(Keystroke key, std::optional<unsigned char> before, std::size_t length, std::size_t limit,
           bool capitalise) {
    // Tab, Enter, line feed and Esc belong to the window; no control character is text.
    if (key.byte && (*key.byte < 0x20 || *key.byte == 0x7f)) return {Outcome::Ignore, 0};
    if (!key.byte || length >= limit) return {Outcome::Refuse, 0};
    unsigned char c = *key.byte;
    if (capitalise && !key.shift && c >= 'a' && c <= 'z' && startsWord(before))
        c = static_cast<unsigned char>(c - 'a' + 'A');
    return {Outcome::Insert, static_cast<char>(c)};
}

std::optional<std::string> paste(const std::optional<std::string>& text, std::size_t length,
                                 std::size_t limit) {
    if (!text) return std::nullopt;
    std::string line = text->substr(0, text->find_first_of("\r\n"));
    if (length + line.size() > limit) return std::nullopt;
    return line;
}

void store(std::string_view text, const Variable& variable) {
    if (variable.size == 0) return;
    if (variable.type == Variable::Type::Terminated) {
        const std::size_t n = std::min(text.size(), variable.size - 1);
        std::memcpy(variable.data, text.data(), n);
        variable.data[n] = '\0';
    } else {
        const std::size_t n = std::min(text.size(), variable.size);
        std::memcpy(variable.data, text.data(), n);
        std::memset(variable.data + n, ' ', variable.size - n);
    }
}

std::string shown(const Variable& variable, std::size_t picture) {
    std::size_t n = variable.size;
    if (variable.type == Variable::Type::Terminated) {
        const void* nul = std::memchr(variable.data, '\0', variable.size);
        if (nul) n = static_cast<std::size_t>(static_cast<const char*>(nul) - variable.data);
    }
    if (picture != 0) n = std::min(n, picture);
    while (n > 0 && variable.data[n - 1] == ' ') --n;
    return {variable.data, n};
}

}  // namespace ui::entry

namespace ui::codepage {

namespace {

// 0x80 to 0x9F; zero marks the five bytes the code page leaves unassigned.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::optional<unsigned char> fromUnicode(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

char32_t toUnicode(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t c = kHigh[byte - 0x80u];
    return c != 0 ? c : byte;  // an unassigned byte shows as the control character of its value
}

}  // namespace ui::codepage
