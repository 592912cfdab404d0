// entry_rules_test.cpp - the entries' input rules, the code page and the dialog-unit arithmetic,
// without any window.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "runtime/dialog_units.hpp"
#include "runtime/entry_rules.hpp"
#include "runtime/window_base.hpp"

namespace ui {
namespace {

struct Typing {
    std::string text;
    int beeps = 0;
};

// Types `keys` one by one at the end of the text, as a user would.
Typing typeAll(std::string_view keys, bool capitalise, std::size_t limit = 64, bool shift = false) {
    Typing t;
    for (const char k : keys) {
        const std::optional<unsigned char> before =
            t.text.empty() ? std::nullopt
                           : std::optional<unsigned char>(static_cast<unsigned char>(t.text.back()));
        const entry::Typed r =
            entry::type({static_cast<unsigned char>(k), shift}, before, t.text.size(), limit, capitalise);
        if (r.outcome == entry::Outcome::Insert) t.text += r.byte;
        if (r.outcome == entry::Outcome::Refuse) ++t.beeps;
    }
    return t;
}

struct CapitaliseCase {
    const char* typed;
    const char* capitalised;
};

TEST(EntryTyping, CapitalisesTheFirstLetterOfEachWord) {
    const std::vector<CapitaliseCase> cases = {
        {"my first template", "My First Template"},
        {"o'brien", "O'brien"},
        {"2nd file", "2nd File"},
        {"a-b", "A-B"},
        {"x.y_z(w", "X.Y_Z(W"},
        {"ALREADY up", "ALREADY Up"},
        {"\xe9t\xe9 a", "\xe9t\xe9 A"},  // after a letter of the upper Latin-1 half: no capital
        {"\xbf"
         "a",
         "\xbf"
         "A"},  // after an inverted question mark (below 192): a capital
        {"\xc0"
         "a",
         "\xc0"
         "a"},
    };
    for (const CapitaliseCase& c : cases) {
        EXPECT_EQ(typeAll(c.typed, true).text, c.capitalised) << c.typed;
        EXPECT_EQ(typeAll(c.typed, false).text, c.typed) << "no capitals without the attribute: " << c.typed;
    }
}

TEST(EntryTyping, ALetterTypedWithShiftStaysAsTyped) {
    EXPECT_EQ(typeAll("ab", true, 64, true).text, "ab");
}

TEST(EntryTyping, AtTheLimitACharacterIsRefusedWithABeep) {
    const Typing shortName = typeAll("abcdef", false, 5);
    EXPECT_EQ(shortName.text, "abcde");
    EXPECT_EQ(shortName.beeps, 1);
    const Typing extension = typeAll("exten", false, 4);
    EXPECT_EQ(extension.text, "exte");
    EXPECT_EQ(extension.beeps, 1);
}

TEST(EntryTyping, WindowKeysAreNeverInsertedAndUnknownCharactersAreRefused) {
    for (const int key : {0x09, 0x0d, 0x0a, 0x1b})
        EXPECT_EQ(entry::type({static_cast<unsigned char>(key), false}, std::nullopt, 0, 64, true).outcome,
                  entry::Outcome::Ignore)
            << int{key};
    EXPECT_EQ(entry::type({std::nullopt, false}, std::nullopt, 0, 64, true).outcome, entry::Outcome::Refuse);
}

TEST(EntryTyping, LimitIsThePictureOrALongerPresentText) {
    EXPECT_EQ(entry::limitOnFocus(5, 3), 5U);
    EXPECT_EQ(entry::limitOnFocus(5, 7), 7U);
}

TEST(EntryPaste, GoesInWholeOrNotAtAllAndIsNotCapitalised) {
    EXPECT_EQ(entry::paste("my first template", 0, 64), "my first template");
    EXPECT_EQ(entry::paste("abc", 2, 5), "abc");
    EXPECT_EQ(entry::paste("abcd", 2, 5), std::nullopt);
    EXPECT_EQ(entry::paste("first line\r\nsecond", 0, 64), "first line");
    EXPECT_EQ(entry::paste(std::nullopt, 0, 64), std::nullopt) << "a character without a code-page byte";
}

TEST(EntryStore, KeepsBlanksAndCutsToCapacityLessOne) {
    std::array<char, 64> field{};
    const Variable v{Variable::Type::Terminated, field.data(), field.size()};
    entry::store(std::string(64, 'n'), v);
    EXPECT_EQ(std::string(field.data()), std::string(63, 'n'));
    entry::store("  name  ", v);
    EXPECT_EQ(std::string(field.data()), "  name  ");
    EXPECT_EQ(entry::shown(v, 64), "  name") << "a refresh shows the text without trailing blanks";
    EXPECT_EQ(std::string(field.data()), "  name  ") << "and leaves the field as it is";
}

TEST(EntryStore, PaddedVariablesShowUpToTheirPicture) {
    std::array<char, 10> title{};
    const Variable v{Variable::Type::Padded, title.data(), title.size()};
    entry::store("Finish", v);
    EXPECT_EQ(std::string(title.data(), title.size()), "Finish    ");
    EXPECT_EQ(entry::shown(v, 10), "Finish");
    EXPECT_EQ(entry::shown(v, 3), "Fin");
}

TEST(CodePage, EveryAssignedByteRoundTripsAndOthersHaveNoByte) {
    int unassigned = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = codepage::toUnicode(static_cast<unsigned char>(b));
        const auto back = codepage::fromUnicode(c);
        if (back)
            EXPECT_EQ(*back, b);
        else
            ++unassigned;
    }
    EXPECT_EQ(unassigned, 5);  // 0x81, 0x8D, 0x8F, 0x90, 0x9D
    EXPECT_EQ(codepage::fromUnicode(U'\u20ac'), 0x80);
    EXPECT_EQ(codepage::fromUnicode(U'\u0100'), std::nullopt);
    EXPECT_EQ(codepage::fromUnicode(U'\U0001F600'), std::nullopt);
}

TEST(DialogUnits, WorkedExample) {
    const BaseUnits base = baseUnits(26 * 16 - 1, 16);  // an alphabet 415 pixels wide: 8 on average
    EXPECT_EQ(base.x, 8);
    EXPECT_EQ(base.y, 16);
    EXPECT_EQ(toPixelsX(214, base), 428);
    EXPECT_EQ(toPixelsY(135, base), 270);
    const PixelRect image = toPixels(2, 2, 0, 0, base);
    EXPECT_EQ(image.x + 120, 124);
    EXPECT_EQ(toPixelsX(64, base), 128);
}

TEST(DialogUnits, RoundToTheNearestPixelAndEdgesMeet) {
    const BaseUnits base{7, 15};
    EXPECT_EQ(toPixelsX(3, base), 5);  // 5.25
    EXPECT_EQ(toPixelsX(2, base), 4);  // 3.5 rounds up
    EXPECT_EQ(toPixelsY(1, base), 2);  // 1.875
    const PixelRect back = toPixels(64, 120, 36, 12, base), next = toPixels(101, 120, 36, 12, base);
    EXPECT_EQ(back.right(), toPixelsX(100, base));
    EXPECT_EQ(next.x - back.right(), toPixelsX(101, base) - toPixelsX(100, base));
}

TEST(DialogUnits, CentredButNeverBeyondTheDesktopsTopLeft) {
    EXPECT_EQ(centred({0, 0, 1024, 768}, 440, 300), (Point{292, 234}));
    EXPECT_EQ(centred({100, 50, 1024, 768}, 440, 300), (Point{392, 284}));
    EXPECT_EQ(centred({0, 0, 400, 200}, 440, 300), (Point{0, 0}));
}

TEST(Pictures, LinkedResourceFirstThenTheFile) {
    const PictureSource linked = pictureSource("~template.gif");
    EXPECT_EQ(linked.resource, "TEMPLATE_GIF");
    EXPECT_EQ(linked.file, "template.gif");
    const PictureSource plain = pictureSource("finish.gif");
    EXPECT_EQ(plain.resource, "FINISH_GIF");
    EXPECT_EQ(plain.file, "finish.gif");
}

}  // namespace
}  // namespace ui
