// process_test.cpp - the real libstrandel.so called by a real program in a directory of its own:
// output files on disk, messages, exit status, what a second call in the process does, and what
// the bad inputs a user can give it do.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "process.hpp"

namespace strandel::testing {
namespace {

using Files = std::map<std::string, std::string>;

class Generator : public ::testing::Test {
protected:
    void skeleton(const std::string& text) { writeFile(dir.path() / "skels" / "template.skl", text); }

    // Another skeleton for a later call, kept beside the directory.
    std::string laterSkeleton(const std::string& text) {
        const fs::path path = spare.path() / std::to_string(spares++);
        writeFile(path, text);
        return path.string();
    }

    ProcessResult call(std::vector<std::string> later = {},
                       std::optional<std::string> stdinData = std::string()) {
        std::vector<std::string> argv{STRANDEL_CALLER, "--results", (spare.path() / "results").string()};
        argv.insert(argv.end(), values.begin(), values.end());
        argv.insert(argv.end(), later.begin(), later.end());
        return runProcess(argv, dir.path(), stdinData);
    }

    std::string results() const { return readFile(spare.path() / "results"); }

    TempDir dir;
    TempDir spare;
    int spares = 0;
    // NAME_LONG, NAME_SHORT, LANGUAGE, SOURCE_EXT, EXTERN_EXT, DOC_EXT
    std::vector<std::string> values{"Alpha Beta", "ab", "Cobol", "cbl", "ext", "txt"};
};

TEST_F(Generator, WritesTheFilesTheSkeletonNames) {
    skeleton(
        "Generating @TEMPLATE_NAME@\n+File:.src\nlanguage @SOURCE_LANGUAGE@\n+File: .doc\nsee "
        "*.@DOCUMENT_EXTENSION@\n");
    const ProcessResult r = call();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Generating Alpha Beta\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.files(), (Files{{"ab.src", "language Cobol\r\n"}, {"ab.doc", "see *.txt\r\n"}}));
    EXPECT_EQ(results(), "0\n");
}

TEST_F(Generator, FirstCallWithoutSkeletonReadsStandardInput) {
    const ProcessResult r = call({}, "+File:.in\nfrom standard input\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "could not open .//skels//template.skl\n");
    EXPECT_EQ(dir.files(), (Files{{"ab.in", "from standard input\r\n"}}));
    EXPECT_EQ(results(), "0\n");
}

TEST_F(Generator, StandardInputClosedEndsTheProcessWithStatus2) {
    const ProcessResult r = call({}, std::nullopt);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "could not open .//skels//template.skl\ninput in flex scanner failed\n");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(dir.files().empty());
    EXPECT_EQ(results(), "") << "the call never returns";
}

TEST_F(Generator, SecondCallCarriesStateAndOutputOver) {
    skeleton("+File:.a\nfirst\n");
    const ProcessResult r = call({laterSkeleton("second\n+File:.b\nthird\n")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.files(), (Files{{"ab.a", "first\r\nsecond\r\n"}, {"ab.b", "third\r\n"}}));
    EXPECT_EQ(results(), "0\n0\n");
}

TEST_F(Generator, LaterCallWithoutSkeletonReturns1AndChangesNothing) {
    skeleton("+File:.a\nfirst\n+File:");
    const ProcessResult r = call({"-", laterSkeleton("x\nafter\n")}, "never read");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "could not open .//skels//template.skl\n");
    // The third call still starts on the directive line the first one ended on.
    EXPECT_EQ(dir.files(), (Files{{"ab.a", "first\r\n"}, {"abx", "after\r\n"}}));
    EXPECT_EQ(results(), "0\n1\n0\n");
}

// Bad inputs: each leaves exactly these messages, this exit status and these files behind.

const std::string kSkeletonMissing = "could not open .//skels//template.skl\n";

TEST_F(Generator, SkeletonPathThatIsADirectoryFallsBackToStandardInput) {
    fs::create_directories(dir.path() / "skels" / "template.skl");
    const ProcessResult r = call({}, "+File:.in\nfrom standard input\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, kSkeletonMissing);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), (Files{{"ab.in", "from standard input\r\n"}}));
    EXPECT_TRUE(fs::is_directory(dir.path() / "skels" / "template.skl"));
    EXPECT_EQ(results(), "0\n");
}

TEST_F(Generator, UnreadableSkeletonFallsBackToStandardInput) {
    const fs::path path = dir.path() / "skels" / "template.skl";
    writeFile(path, "+File:.skl\nfrom the skeleton\n");
    fs::permissions(path, fs::perms::none);
    // Permissions do not stop a privileged user (root in a container, say) from reading.
    if (access(path.c_str(), R_OK) == 0)
        GTEST_SKIP() << "this user can read a file with no read permission, so it cannot be made unreadable";
    const ProcessResult r = call({}, "+File:.in\nfrom standard input\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, kSkeletonMissing);
    EXPECT_EQ(dir.files(), (Files{{"ab.in", "from standard input\r\n"}}));
    EXPECT_EQ(results(), "0\n");
}

TEST_F(Generator, EmptySkeletonWritesNothing) {
    skeleton("");
    const ProcessResult r = call();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(dir.files().empty());
    EXPECT_EQ(results(), "0\n");
}

TEST_F(Generator, SixtyFourMegabyteDirectiveLineIsRefusedAsAName) {
    // One suffix token of 64 MiB: the input buffer grows to hold it, and the name is refused.
    const std::string suffix(64 << 20, 'q');
    skeleton("top\n+File:" + suffix + "\nlost\n+File:.ok\nkept\n");
    const ProcessResult r = call();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "top\n");
    EXPECT_EQ(r.err.size(), suffix.size() + 18);
    EXPECT_TRUE(r.err == "could not open ab" + suffix + "\n") << r.err.substr(0, 80);
    EXPECT_EQ(dir.files(), (Files{{"ab.ok", "kept\r\n"}}));
    EXPECT_EQ(results(), "0\n");
}

TEST_F(Generator, SkeletonEndingInCarriageReturnKeepsIt) {
    skeleton("top\r\n+File:.x\nA\r\nB\r");
    const ProcessResult r = call();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "top\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.files(), (Files{{"ab.x", "A\r\nB\r"}}));
}

TEST_F(Generator, NulAndHighBytesEverywhere) {
    // Values with bytes of 0x80 and above; LANGUAGE fills its nine bytes and has no NUL.
    values = {"\xc0\xc1 N\xe9me \xff", "\xe9t\x80", "\x80\x81\x82\x83\x84\x85\x86\x87\x88", "\xfe", "a", "b"};
    const std::string nul(1, '\0');
    skeleton(nul + "top\x80\xff@TEMPLATE_NAME@" + nul + "\n+File:" + nul + ".\xe9x\x80y\n\xfe" + nul +
             "@SOURCE_LANGUAGE@\xff\n@TEMPLATE" + nul + "NAME@\n");
    const ProcessResult r = call();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, nul + "top\x80\xff\xc0\xc1 N\xe9me \xff" + nul + "\n");
    EXPECT_EQ(r.err, "");
    // On the directive line NUL and high bytes are ignored: ".", "x" and "y" each name a file.
    EXPECT_EQ(dir.files(),
              (Files{{"\xe9t\x80.", ""},
                     {"\xe9t\x80x", ""},
                     {"\xe9t\x80y", "\xfe" + nul + "\x80\x81\x82\x83\x84\x85\x86\x87\x88\xff\r\n@TEMPLATE" +
                                        nul + "NAME@\r\n"}}));
}

// A problem with one output file: the message, the text meant for it dropped, the next file fine.
struct OutputFileCase {
    const char* name;
    std::string shortName;
    std::string skeleton;
    std::function<std::string(const fs::path&)> prepare;  // returns why the case cannot run here
    std::string out;
    std::string err;
    Files files;
    std::function<void(const fs::path&)> afterwards;  // further checks of what is on disk
};

void PrintTo(const OutputFileCase& c, std::ostream* os) {
    *os << c.name;
}

std::string nothingToPrepare(const fs::path&) {
    return {};
}

std::string linkToDevFull(const fs::path& dir) {
    if (!fs::exists("/dev/full")) return "this system has no /dev/full";
    fs::create_symlink("/dev/full", dir / "ab.full");
    return {};
}

void stillLinkedToDevFull(const fs::path& dir) {
    EXPECT_TRUE(fs::is_symlink(dir / "ab.full"));
    EXPECT_EQ(fs::read_symlink(dir / "ab.full"), "/dev/full");
}

const std::string kLongSuffix(300, 'q');
const std::string kSuffixOverTheSystemLimit(257, 'n');  // 259 bytes with "ab": one file name too long

const std::vector<OutputFileCase> kOutputFileCases = {
    {"NameIsADirectory", "ab", "top\n+File:.out\nlost\n+File:.ok\nkept\n",
     [](const fs::path& dir) {
         fs::create_directory(dir / "ab.out");
         return std::string();
     },
     "top\n", "could not open ab.out\n", Files{{"ab.ok", "kept\r\n"}},
     [](const fs::path& dir) { EXPECT_TRUE(fs::is_empty(dir / "ab.out")); }},
    {"NameInAMissingDirectory", "no/x", "top\n+File:.out\nlost\n+File:.ok\nlost too\n", nothingToPrepare,
     "top\n", "could not open no/x.out\ncould not open no/x.ok\n", Files{},
     [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "no")); }},
    {"NameOver259Bytes", "ab", "top\n+File:" + kLongSuffix + "\nlost\n+File:.ok\nkept\n", nothingToPrepare,
     "top\n", "could not open ab" + kLongSuffix + "\n", Files{{"ab.ok", "kept\r\n"}}, [](const fs::path&) {}},
    {"NameLongerThanTheSystemAllows", "ab",
     "top\n+File:" + kSuffixOverTheSystemLimit + "\nlost\n+File:.ok\nkept\n", nothingToPrepare, "top\n",
     "could not open ab" + kSuffixOverTheSystemLimit + "\n", Files{{"ab.ok", "kept\r\n"}},
     [](const fs::path&) {}},
    {"WriteFailureReportedWhenTheFileCloses", "ab", "top\n+File:.full\nlost\n+File:.ok\nkept\n",
     linkToDevFull, "top\n", "could not write ab.full\n", Files{{"ab.ok", "kept\r\n"}}, stillLinkedToDevFull},
    {"WriteFailureReportedWhenTheCallReturns", "ab", "+File:.ok\nkept\n+File:.full\nlost", linkToDevFull, "",
     "could not write ab.full\n", Files{{"ab.ok", "kept\r\n"}}, stillLinkedToDevFull},
};

class BadOutputFile : public Generator, public ::testing::WithParamInterface<OutputFileCase> {};

TEST_P(BadOutputFile, IsReportedAndScanningGoesOn) {
    const OutputFileCase& c = GetParam();
    if (const std::string why = c.prepare(dir.path()); !why.empty()) GTEST_SKIP() << why;
    values[1] = c.shortName;
    skeleton(c.skeleton);
    const ProcessResult r = call();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(dir.files(), c.files);
    c.afterwards(dir.path());
    EXPECT_EQ(results(), "0\n");
}

INSTANTIATE_TEST_SUITE_P(Names, BadOutputFile, ::testing::ValuesIn(kOutputFileCases),
                         [](const auto& param) { return std::string(param.param.name); });
}  // namespace
}  // namespace strandel::testing
