// automaton_test.cpp - the compiled tables against the rules they came from, and the grid printed
// so a reader can see it (ctest --output-on-failure -V shows it).
#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>
#include <queue>
#include <sstream>
#include <string>
#include <vector>

#include "automaton.hpp"

namespace strandel::automaton {
namespace {

// Runs text from a start state; returns the state reached, or kDead.
StateId walk(StartState start, std::string_view text) {
    StateId s = startOf(start);
    for (char c : text) s = kTables.next[s][kTables.classOf[static_cast<unsigned char>(c)]];
    return s;
}

TEST(Automaton, EveryLiteralAcceptsItsOwnRuleAndNoLongerPrefixAcceptsAnything) {
    for (const Rule& r : kRules) {
        if (r.pattern != Pattern::Literal) continue;
        EXPECT_EQ(kTables.accepts[walk(r.state, r.text)], r.number) << r.text;
        for (std::size_t n = 2; n < r.text.size(); ++n)
            EXPECT_EQ(kTables.accepts[walk(r.state, r.text.substr(0, n))], 0) << r.text.substr(0, n);
    }
}

TEST(Automaton, SingleBytesFollowTheCatchAllRules) {
    for (int c = 0; c < 256; ++c) {
        const std::string one(1, static_cast<char>(c));
        const int text = kTables.accepts[walk(StartState::Text, one)];
        const int file = kTables.accepts[walk(StartState::FileName, one)];
        EXPECT_EQ(text, c == '\n' ? 8 : 9) << c;
        EXPECT_EQ(file, c == '\n' ? 11 : isNameChar(static_cast<unsigned char>(c)) ? 10 : 12) << c;
        EXPECT_EQ(kTables.single[0][static_cast<std::size_t>(c)], c != '@' && c != '+') << c;
    }
}

TEST(Automaton, NameRunsGoOnAndEndAtTheFirstOtherByte) {
    EXPECT_EQ(kTables.accepts[walk(StartState::FileName, "a.B.c")], 10);
    EXPECT_EQ(walk(StartState::FileName, "ab1"), kDead);
    EXPECT_EQ(walk(StartState::FileName, "\n\n"), kDead);
}

TEST(Automaton, StopsAreExactlyTheBytesThatEndARunOfSingles) {
    EXPECT_TRUE(kTables.stopsListed[0]) << "the text state's runs end at a few bytes only";
    for (std::size_t start = 0; start < 2; ++start) {
        if (!kTables.stopsListed[start]) continue;
        const StopBytes& stops = kTables.stops[start];
        for (int c = 0; c < 256; ++c) {
            const bool listed = c == stops[0] || c == stops[1] || c == stops[2] || c == stops[3];
            EXPECT_EQ(listed, !kTables.single[start][static_cast<std::size_t>(c)]) << start << " " << c;
        }
    }
}

// A chain must end exactly where stepping through the table ends: the same states, each with one
// way on (any other byte is the dead state), none accepting before the last.
TEST(Automaton, ChainsTakeTheSameStepsAsTheTable) {
    std::size_t chains = 0;
    for (std::size_t s = 0; s < kStateCount; ++s) {
        const Chain& chain = kTables.chains[s];
        if (chain.length == 0) continue;
        ++chains;
        StateId at = static_cast<StateId>(s);
        for (std::size_t k = 0; k < chain.length; ++k) {
            for (int c = 0; c < 256; ++c)
                EXPECT_EQ(kTables.next[at][kTables.classOf[static_cast<std::size_t>(c)]] != kDead,
                          c == chain.bytes[k])
                    << "state " << s << " step " << k << " byte " << c;
            at = kTables.next[at][kTables.classOf[chain.bytes[k]]];
            if (k + 1 < chain.length) {
                EXPECT_EQ(kTables.accepts[at], 0) << "state " << s << " step " << k;
            }
        }
        EXPECT_EQ(at, chain.to) << "state " << s;
    }
    EXPECT_GT(chains, 0U);
    const Chain& afterAtT = kTables.chains[walk(StartState::Text, "@T")];
    EXPECT_EQ(std::string(afterAtT.bytes.begin(), afterAtT.bytes.begin() + afterAtT.length), "EMPLATE_NAME");
    EXPECT_EQ(afterAtT.to, walk(StartState::Text, "@TEMPLATE_NAME"));
    const Chain& afterAtTemplateName_ = kTables.chains[walk(StartState::Text, "@TEMPLATE_NAME_")];
    EXPECT_EQ(afterAtTemplateName_.to, walk(StartState::Text, "@TEMPLATE_NAME_SHORT@"));
    EXPECT_EQ(kTables.accepts[afterAtTemplateName_.to], 1);
}

TEST(Automaton, CompleteStatesAcceptAndCannotGoOn) {
    for (std::size_t s = 0; s < kStateCount; ++s) {
        bool canGoOn = false;
        for (std::size_t k = 0; k < kClassCount; ++k) canGoOn = canGoOn || kTables.next[s][k] != kDead;
        EXPECT_EQ(kTables.complete[s], kTables.accepts[s] != 0 && !canGoOn) << "state " << s;
    }
    EXPECT_TRUE(kTables.complete[walk(StartState::Text, "@TEMPLATE_NAME@")]);
    EXPECT_TRUE(kTables.complete[walk(StartState::Text, "x")]);
    EXPECT_FALSE(kTables.complete[walk(StartState::Text, "@")]) << "accepts, but a placeholder may follow";
    EXPECT_FALSE(kTables.complete[walk(StartState::FileName, "ab")]) << "a name run may go on";
}

// Names each state by the shortest text that reaches it from a start state.
std::vector<std::string> stateNames() {
    std::vector<std::string> names(kStateCount);
    names[kDead] = "dead";
    names[startOf(StartState::Text)] = "TEXT";
    names[startOf(StartState::FileName)] = "FILE-NAME";
    std::queue<StateId> todo;
    todo.push(startOf(StartState::Text));
    todo.push(startOf(StartState::FileName));
    while (!todo.empty()) {
        const StateId s = todo.front();
        todo.pop();
        for (int c = 0; c < 256; ++c) {
            const StateId t = kTables.next[s][kTables.classOf[static_cast<std::size_t>(c)]];
            if (!names[t].empty()) continue;
            const std::string via = c == '\n'            ? "\\n"
                                    : c >= 33 && c < 127 ? std::string(1, static_cast<char>(c))
                                                         : "<other>";
            names[t] = (s == startOf(StartState::FileName) ? "F:" : "") +
                       (names[s] == "TEXT" || names[s] == "FILE-NAME" ? "" : names[s]) + via;
            todo.push(t);
        }
    }
    return names;
}

TEST(Automaton, PrintTheGrid) {
    const std::vector<std::string> names = stateNames();
    std::ostringstream grid;
    grid << "byte classes:";
    for (std::size_t k = 0; k < kClassCount; ++k) {
        int first = -1;
        int count = 0;
        for (int c = 0; c < 256; ++c)
            if (kTables.classOf[static_cast<std::size_t>(c)] == k) {
                if (first < 0) first = c;
                ++count;
            }
        grid << "  " << k << "=";
        if (count > 1)
            grid << "[" << count << " bytes]";
        else if (first == '\n')
            grid << "\\n";
        else
            grid << static_cast<char>(first);
    }
    grid << "\n"
         << std::setw(24) << "state \\ class"
         << " acc |";
    for (std::size_t k = 0; k < kClassCount; ++k) grid << std::setw(4) << k;
    grid << "\n";
    for (std::size_t s = 0; s < kStateCount; ++s) {
        EXPECT_FALSE(names[s].empty()) << "state " << s << " cannot be reached";
        grid << std::setw(20) << names[s].substr(0, 20) << std::setw(4) << s << std::setw(4)
             << int{kTables.accepts[s]} << " |";
        for (std::size_t k = 0; k < kClassCount; ++k) grid << std::setw(4) << int{kTables.next[s][k]};
        grid << "\n";
    }
    std::cout << grid.str();
}

}  // namespace
}  // namespace strandel::automaton
