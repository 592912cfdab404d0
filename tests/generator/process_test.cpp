// process_test.cpp - the real libstrandel.so called by a real program in a directory of its own:
// output files on disk, messages, exit status, and what a second call in the process does.
#include <gtest/gtest.h>

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
        std::vector<std::string> argv{STRANDEL_CALLER, "--results", (spare.path() / "results").string(),
                                      "Alpha Beta",    "ab",        "Cobol",
                                      "cbl",           "ext",       "txt"};
        argv.insert(argv.end(), later.begin(), later.end());
        return runProcess(argv, dir.path(), stdinData);
    }

    std::string results() const { return readFile(spare.path() / "results"); }

    TempDir dir;
    TempDir spare;
    int spares = 0;
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

}  // namespace
}  // namespace strandel::testing
