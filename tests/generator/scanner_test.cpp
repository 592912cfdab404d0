// scanner_test.cpp - the scanner object in memory: skeleton in, standard output, files and
// messages out, for every way the input can be cut into reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memory_environment.hpp"
#include "scanner.hpp"

namespace strandel::testing {
namespace {

using Files = std::map<std::string, std::string>;

const MYTPLOPTS kRecord = makeRecord("Alpha Beta", "ab", "Cobol", "cbl", "ext", "txt");

struct Outcome {
    std::string out;
    std::string err;
    Files files;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "out=" << ::testing::PrintToString(o.out) << " err=" << ::testing::PrintToString(o.err)
        << " files={";
    for (const auto& [name, text] : o.files)
        *os << ::testing::PrintToString(name) << ":" << ::testing::PrintToString(text) << " ";
    *os << "}";
}

struct Run {
    std::size_t block = 0;  // bytes per read; 0: as many as the scanner asks for
    bool interactive = false;
    MYTPLOPTS record = kRecord;
    std::set<std::string> unopenable = {};
    std::set<std::string> unwritable = {};
};

Outcome scan(const std::string& skeleton, const Run& how = {}) {
    MemoryEnvironment env;
    env.unopenable = how.unopenable;
    env.unwritable = how.unwritable;
    Scanner scanner(env);
    scanner.setRecord(how.record);
    scanner.setInput(std::make_unique<MemorySource>(skeleton, how.block, how.interactive));
    EXPECT_EQ(scanner.run(), 0);
    return {env.out, env.err, env.files};
}

struct Case {
    const char* name;
    std::string skeleton;
    Outcome expected;
};

// Each case holds however the input is cut into reads.
const std::vector<Case> kCases = {
    {"NoDirectiveGoesToStandardOutput", "Hello @TEMPLATE_NAME@!\n", {"Hello Alpha Beta!\n", "", {}}},
    {"EveryPlaceholder",
     "@TEMPLATE_NAME_SHORT@|@TEMPLATE_NAME@|@SOURCE_LANGUAGE@|@DOCUMENT_EXTENSION@|"
     "@EXTERNAL_EXTENSION@|@SOURCE_EXTENSION@",
     {"ab|Alpha Beta|Cobol|txt|ext|cbl", "", {}}},
    {"ShortNameTwiceInARow", "@TEMPLATE_NAME_SHORT@@TEMPLATE_NAME_SHORT@", {"abab", "", {}}},
    {"ShortNameThenLongName", "@TEMPLATE_NAME_SHORT@@TEMPLATE_NAME@", {"abAlpha Beta", "", {}}},
    {"ExtraAtOnBothSides", "@@TEMPLATE_NAME@@", {"@Alpha Beta@", "", {}}},
    {"LetterMissing", "@TEMPLATE_NAM@ @SOURCE_LANGUAG@", {"@TEMPLATE_NAM@ @SOURCE_LANGUAG@", "", {}}},
    {"LowerCase", "@template_name@", {"@template_name@", "", {}}},
    {"ShortNameWithoutClosingAt",
     "@TEMPLATE_NAME_SHORT\n@TEMPLATE_NAME_@",
     {"@TEMPLATE_NAME_SHORT\n@TEMPLATE_NAME_@", "", {}}},
    {"BrokenPlaceholderRestartsAtNextAt", "@TEMPLATE@SOURCE_LANGUAGE@", {"@TEMPLATECobol", "", {}}},
    {"PlaceholderThenRestOfAnother", "@TEMPLATE_NAME_SHORT@TEMPLATE_NAME@", {"abTEMPLATE_NAME@", "", {}}},
    {"DirectiveInCapitals", "+FILE:.x\n", {"+FILE:.x\n", "", {}}},
    {"DirectiveCutShortByNewline", "+Fil\n+File\n", {"+Fil\n+File\n", "", {}}},
    {"LoneAtAndPlusAtTheEnd", "x@", {"x@", "", {}}},
    {"TextBeforeFirstDirectiveGoesToStandardOutput",
     "intro\n+File:.one\nbody one\n+File:.two\nbody two\n",
     {"intro\n", "", {{"ab.one", "body one\r\n"}, {"ab.two", "body two\r\n"}}}},
    {"DirectiveInsideALine", "before+File:.x\nafter", {"before", "", {{"ab.x", "after"}}}},
    {"SpaceBeforeSuffixIgnored", "+File: .x\nA", {"", "", {{"ab.x", "A"}}}},
    {"EachLetterRunOpensAFile", "+File:a1b\nT", {"", "", {{"aba", ""}, {"abb", "T"}}}},
    {"OnlyLettersAndDotsNameAFile",
     "+File:x_y-z/w\\v:u.t\n",
     {"", "", {{"abx", ""}, {"aby", ""}, {"abz", ""}, {"abw", ""}, {"abv", ""}, {"abu.t", ""}}}},
    {"DirectiveWithoutLetterChangesNothing", "x+File: 123_-/\\:\ny", {"xy", "", {}}},
    {"LastLineDirectiveWithoutNewline", "text\n+File:.end", {"text\n", "", {{"ab.end", ""}}}},
    {"PlaceholderOnDirectiveLineIsLetters",
     "+File:@SOURCE_EXTENSION@\nZ",
     {"", "", {{"abSOURCE", ""}, {"abEXTENSION", "Z"}}}},
    {"NulAndHighBytesBreakAPlaceholder",
     std::string("@TEMPLATE\0_NAME@ @SOURCE\x80LANGUAGE@", 34),
     {std::string("@TEMPLATE\0_NAME@ @SOURCE\x80LANGUAGE@", 34), "", {}}},
    {"NulAndHighBytesIgnoredOnDirectiveLine",
     std::string("+File:a\x80"
                 "b\0c\n\xff",
                 13),
     {"", "", {{"aba", ""}, {"abb", ""}, {"abc", "\xff"}}}},
    {"EmptySkeleton", "", {"", "", {}}},
    {"CrLfReadsAsLf", "a\r\nb\rc\r\n", {"a\nb\rc\n", "", {}}},
    {"FileStoresLfAsCrLf", "+File:.x\nA\nB\r\nC\rD\n", {"", "", {{"ab.x", "A\r\nB\r\nC\rD\r\n"}}}},
    {"CrLfEndsADirective", "+File:.x\r\nA\r\n", {"", "", {{"ab.x", "A\r\n"}}}},
    {"LoneCrIgnoredOnDirectiveLine", "+File:.x\ry\nA", {"", "", {{"ab.x", ""}, {"aby", "A"}}}},
    {"LastByteCr", "ab\r", {"ab\r", "", {}}},
    {"CrCrLf", "a\r\r\nb", {"a\r\nb", "", {}}},
    {"CtrlZEndsTheData", "abc\x1a@TEMPLATE_NAME@\n+File:.x\n", {"abc", "", {}}},
    {"CtrlZInAFile",
     "+File:.x\nA\r\x1a"
     "B",
     {"", "", {{"ab.x", "A\r"}}}},
    {"CtrlZRightAfterCr", "a\r\x1a\n", {"a\r", "", {}}},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ScannerCase : public ::testing::TestWithParam<std::tuple<Case, std::size_t>> {};

TEST_P(ScannerCase, ExpandsTheSameHoweverTheInputIsRead) {
    const auto& [c, block] = GetParam();
    EXPECT_EQ(scan(c.skeleton, {.block = block}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Skeletons, ScannerCase,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Values(0, 1, 2, 3, 7)),
                         [](const auto& param) {
                             const std::size_t block = std::get<1>(param.param);
                             return std::string(std::get<0>(param.param).name) + "_" +
                                    (block ? "Reads" + std::to_string(block) : std::string("Whole"));
                         });

// Tokens that run over the ends of a read (8192) and of the buffer (16384) are matched as if
// the input were one piece; a token longer than the buffer makes it grow.
TEST(ScannerBuffer, TokensAcrossReadAndBufferEnds) {
    for (const std::size_t boundary : {8192U, 16384U, 24576U}) {
        for (std::size_t before = 1; before < 22; ++before) {
            const std::string pad(boundary - before, 'x');
            const Outcome o = scan(pad + "@TEMPLATE_NAME_SHORT@+File:.y\nZ");
            EXPECT_EQ(o.out, pad + "ab") << boundary << " - " << before;
            EXPECT_EQ(o.files, (Files{{"ab.y", "Z"}})) << boundary << " - " << before;
        }
        const std::string pad(boundary - 1, 'x');
        EXPECT_EQ(scan(pad + "\r\nA").out, pad + "\nA") << "CR LF split at " << boundary;
        EXPECT_EQ(scan(pad + "\x1a"
                             "A")
                      .out,
                  pad)
            << "Ctrl-Z at " << boundary;
        EXPECT_EQ(scan(pad + "\rA").out, pad + "\rA") << "lone CR at " << boundary;
    }
}

// The rules applied the slow and obvious way: text mode first (the data ends at Ctrl-Z, CR LF is
// LF), then at each position the longest literal of the state wins and anything else is one byte.
Outcome expandByRules(const std::string& skeleton, const MYTPLOPTS& record) {
    struct Literal {
        std::string_view text;
        std::optional<Field> field;  // none: "+File:" or the newline
    };
    static const std::vector<Literal> literals{
        {"@TEMPLATE_NAME_SHORT@", Field::NameShort},
        {"@TEMPLATE_NAME@", Field::NameLong},
        {"@SOURCE_LANGUAGE@", Field::Language},
        {"@DOCUMENT_EXTENSION@", Field::DocExt},
        {"@EXTERNAL_EXTENSION@", Field::ExternExt},
        {"@SOURCE_EXTENSION@", Field::SourceExt},
        {"+File:", std::nullopt},
        {"\n", std::nullopt},
    };
    const std::string data = skeleton.substr(0, skeleton.find('\x1a'));
    std::string text;
    for (std::size_t i = 0; i < data.size(); ++i)
        if (!(data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')) text += data[i];

    Outcome o;
    std::string* current = &o.out;
    bool toFile = false;
    bool directive = false;
    const auto write = [&](std::string_view piece) {
        if (!current) return;
        for (char c : piece) {
            if (toFile && c == '\n') *current += '\r';
            *current += c;
        }
    };
    std::size_t at = 0;
    while (at < text.size()) {
        if (directive) {
            std::size_t end = at;
            while (end < text.size() && isNameChar(static_cast<unsigned char>(text[end]))) ++end;
            if (end == at) {
                directive = text[at] != '\n';
                ++at;
                continue;
            }
            const std::string name =
                std::string(fieldText(record, Field::NameShort)) + text.substr(at, end - at);
            if (name.size() < 260) {
                current = &o.files[name];
                current->clear();
                toFile = true;
            } else {
                o.err += "could not open " + name + "\n";
                current = nullptr;
            }
            at = end;
            continue;
        }
        const Literal* longest = nullptr;
        for (const Literal& l : literals)
            if (text.compare(at, l.text.size(), l.text) == 0 &&
                (!longest || l.text.size() > longest->text.size()))
                longest = &l;
        if (!longest) {
            write(text.substr(at, 1));
            ++at;
            continue;
        }
        at += longest->text.size();
        if (longest->field)
            write(fieldText(record, *longest->field));
        else if (longest->text == "+File:")
            directive = true;
        else
            write("\n");
    }
    return o;
}

// Skeletons put together from pieces of tokens and bytes that break them, many of them long
// enough for the scanner to compare several bytes at once, some of them ending near a read's end.
TEST(ScannerReference, ExpandsAsTheRulesSayOnGeneratedSkeletons) {
    std::vector<std::string> pieces{"\n",
                                    "\r\n",
                                    "\r",
                                    " ",
                                    "x",
                                    "a1b",
                                    ".ext",
                                    "Zz",
                                    "@",
                                    "@@",
                                    "+",
                                    "_",
                                    ":",
                                    "-",
                                    "\x80",
                                    "\xff",
                                    "+File: .src\n",
                                    std::string(1, '\0'),
                                    std::string(300, 'q')};
    for (std::string_view token :
         {"@TEMPLATE_NAME_SHORT@", "@TEMPLATE_NAME@", "@SOURCE_LANGUAGE@", "@DOCUMENT_EXTENSION@",
          "@EXTERNAL_EXTENSION@", "@SOURCE_EXTENSION@", "+File:"})
        for (std::size_t n = 1; n <= token.size(); ++n) pieces.emplace_back(token.substr(0, n));
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::size_t below) {
        seed = seed * 1664525U + 1013904223U;
        return static_cast<std::size_t>(seed >> 8) % below;
    };
    for (int round = 0; round < 600; ++round) {
        std::string skeleton = round % 10 == 9 ? std::string(8192 - 1 - next(40), 'p') : "";
        const std::size_t count = 1 + next(60);
        for (std::size_t k = 0; k < count; ++k)
            skeleton += next(400) == 0 ? "\x1a" : pieces[next(pieces.size())];
        const Outcome expected = expandByRules(skeleton, kRecord);
        for (const std::size_t block : {0U, 3U, 8U})
            ASSERT_EQ(scan(skeleton, {.block = block}), expected)
                << "round " << round << ", reads of " << block << ": " << ::testing::PrintToString(skeleton);
    }
}

TEST(ScannerBuffer, LongSuffixGrowsTheBufferAndIsRefusedAsAName) {
    const std::string suffix(40000, 'q');
    const Outcome o = scan("+File:" + suffix + "\nlost\n+File:.ok\nkept");
    EXPECT_EQ(o.err, "could not open ab" + suffix + "\n");
    EXPECT_EQ(o.files, (Files{{"ab.ok", "kept"}}));
    EXPECT_EQ(o.out, "");
}

TEST(ScannerBuffer, LongestNameThatFitsIsOpened) {
    const std::string fits(257, 'n');  // "ab" + 257 = 259 bytes
    EXPECT_EQ(scan("+File:" + fits + "\nA").files, (Files{{"ab" + fits, "A"}}));
    const Outcome tooLong = scan("+File:" + fits + "n\nA");
    EXPECT_EQ(tooLong.err, "could not open ab" + fits + "n\n");
    EXPECT_TRUE(tooLong.files.empty());
}

TEST(ScannerRecord, FieldsAreReadToTheirNulOrCapacityOnly) {
    // Full-width values leave no NUL: the field ends with its capacity, never in the next one.
    const MYTPLOPTS full = makeRecord(std::string(64, 'L'), "SSSSSS", "GGGGGGGGG", "1234", "5678", "9abc");
    const Outcome o = scan(
        "@TEMPLATE_NAME@|@TEMPLATE_NAME_SHORT@|@SOURCE_LANGUAGE@|@SOURCE_EXTENSION@|"
        "@EXTERNAL_EXTENSION@|@DOCUMENT_EXTENSION@",
        {.record = full});
    EXPECT_EQ(o.out, std::string(64, 'L') + "|SSSSSS|GGGGGGGGG|1234|5678|9abc");
}

TEST(ScannerRecord, EmptyFieldsWriteNothingAndNameFilesBySuffix) {
    const Outcome o = scan("[@TEMPLATE_NAME@]\n+File:.x\n@SOURCE_EXTENSION@.",
                           {.record = makeRecord("", "", "", "", "", "")});
    EXPECT_EQ(o.out, "[]\n");
    EXPECT_EQ(o.files, (Files{{".x", "."}}));
}

TEST(ScannerOutput, TextAfterAFailedOpenGoesNowhereUntilTheNextDirective) {
    const Outcome o = scan("+File:.bad\nlost\n+File:.good\nkept", {.unopenable = {"ab.bad"}});
    EXPECT_EQ(o.err, "could not open ab.bad\n");
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.files, (Files{{"ab.good", "kept"}}));
}

TEST(ScannerOutput, WriteFailureIsReportedOnceAndScanningGoesOn) {
    const std::string lots(100000, 'w');  // more than the output buffer, so several writes fail
    const Outcome o =
        scan("+File:.full\n" + lots + "\n" + lots + "\n+File:.next\nfine", {.unwritable = {"ab.full"}});
    EXPECT_EQ(o.err, "could not write ab.full\n");
    EXPECT_EQ(o.files.at("ab.next"), "fine");
}

TEST(ScannerOutput, WriteFailureAtTheLastFlushIsReported) {
    EXPECT_EQ(scan("+File:.full\nx", {.unwritable = {"ab.full"}}).err, "could not write ab.full\n");
}

TEST(ScannerInput, InteractiveInputKeepsCtrlZAndReadsLineByLine) {
    MemoryEnvironment env;
    Scanner scanner(env);
    scanner.setRecord(kRecord);
    auto source = std::make_unique<MemorySource>("a\x1a@TEMPLATE_NAME_SHORT@\nb\r\nc\n", 0, true);
    const MemorySource& reads = *source;
    scanner.setInput(std::move(source));
    scanner.run();
    EXPECT_EQ(env.out,
              "a\x1a"
              "ab\nb\nc\n");
    EXPECT_EQ(reads.reads(), 4U);  // three lines and the end
}

TEST(ScannerInput, FirstRunWithoutInputReadsStandardInput) {
    MemoryEnvironment env;
    env.stdinData = "from stdin @TEMPLATE_NAME_SHORT@\n";
    Scanner scanner(env);
    scanner.setRecord(kRecord);
    EXPECT_EQ(scanner.run(), 0);
    EXPECT_EQ(env.out, "from stdin ab\n");
}

TEST(ScannerInput, ReadFailureIsFatalAfterWhatWasWrittenIsFlushed) {
    MemoryEnvironment env;
    Scanner scanner(env);
    scanner.setRecord(kRecord);
    scanner.setInput(std::make_unique<MemorySource>("+File:.x\nsaved", 0, false, true));
    try {
        scanner.run();
        FAIL() << "a failed read must end the process";
    } catch (const FatalExit& e) {
        EXPECT_EQ(e.message, "input in flex scanner failed");
    }
    EXPECT_EQ(env.err, "input in flex scanner failed\n");
    EXPECT_EQ(env.files.at("ab.x"), "saved");
}

// A read that fails ends the process, but not before every token that the bytes already read
// settle has been acted on and flushed; only a token that more bytes could still lengthen is lost.
struct FailedReadCase {
    const char* name;
    std::string skeleton;
    std::string out;
    Files files;
};

const std::vector<FailedReadCase> kFailedReadCases = {
    {"WrittenTextIsFlushed", "+File:.x\nsaved", "", {{"ab.x", "saved"}}},
    {"CompletePlaceholderIsWritten", "x@TEMPLATE_NAME@", "xAlpha Beta", {}},
    {"CompletePlaceholderInAFile", "+File:.x\n@SOURCE_LANGUAGE@", "", {{"ab.x", "Cobol"}}},
    {"PartialPlaceholderIsLost", "x@TEMPLATE_NA", "x", {}},
    {"LoneAtIsLost", "x@", "x", {}},
    {"CrThatMayBeHalfALineEndIsLost", "ab\r", "ab", {}},
    {"SuffixThatMayGoOnOpensNothing", "+File:.a\nA\n+File:.b", "", {{"ab.a", "A\r\n"}}},
};

void PrintTo(const FailedReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ScannerFailedRead : public ::testing::TestWithParam<std::tuple<FailedReadCase, std::size_t>> {};

TEST_P(ScannerFailedRead, ActsOnEverySettledTokenThenEndsWithStatus2) {
    const auto& [c, block] = GetParam();
    MemoryEnvironment env;
    Scanner scanner(env);
    scanner.setRecord(kRecord);
    scanner.setInput(std::make_unique<MemorySource>(c.skeleton, block, false, true));
    EXPECT_THROW(scanner.run(), FatalExit);
    EXPECT_EQ(env.err, "input in flex scanner failed\n");
    EXPECT_EQ(env.out, c.out);
    EXPECT_EQ(env.files, c.files);
}

INSTANTIATE_TEST_SUITE_P(Skeletons, ScannerFailedRead,
                         ::testing::Combine(::testing::ValuesIn(kFailedReadCases),
                                            ::testing::Values(0, 1, 2, 7)),
                         [](const auto& param) {
                             const std::size_t block = std::get<1>(param.param);
                             return std::string(std::get<0>(param.param).name) + "_" +
                                    (block ? "Reads" + std::to_string(block) : std::string("Whole"));
                         });

TEST(ScannerRuns, SecondRunCarriesStateAndOutputOver) {
    MemoryEnvironment env;
    Scanner scanner(env);
    scanner.setRecord(kRecord);
    scanner.setInput(std::make_unique<MemorySource>("+File:.a\nfirst\n"));
    scanner.run();
    // Flushed, not closed, when the run returned.
    EXPECT_EQ(env.files.at("ab.a"), "first\r\n");
    EXPECT_TRUE(env.openFiles.count("ab.a"));

    scanner.setRecord(makeRecord("", "cd", "", "", "", ""));
    scanner.setInput(std::make_unique<MemorySource>("second\n+File:.b\nthird"));
    scanner.run();
    EXPECT_EQ(env.files.at("ab.a"), "first\r\nsecond\r\n");
    EXPECT_FALSE(env.openFiles.count("ab.a"));
    EXPECT_EQ(env.files.at("cd.b"), "third");
    EXPECT_EQ(env.out, "");
}

TEST(ScannerRuns, SecondRunStartsInTheStateTheFirstEndedIn) {
    MemoryEnvironment env;
    Scanner scanner(env);
    scanner.setRecord(kRecord);
    scanner.setInput(std::make_unique<MemorySource>("+File:"));
    scanner.run();
    scanner.setInput(std::make_unique<MemorySource>("x\nbody"));
    scanner.run();
    EXPECT_EQ(env.files, (Files{{"abx", "body"}}));
}

}  // namespace
}  // namespace strandel::testing
