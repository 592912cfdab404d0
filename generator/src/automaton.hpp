// automaton.hpp - the scanner's deterministic automaton, built by the compiler from the rules.
//
// Bytes are first mapped to equivalence classes: every byte that occurs in a literal gets a class
// of its own, and the rest split into name characters (letters, '.') and everything else. The
// states are found by subset construction over the rules' positions, so each state stands for
// "these rules could still match, this far in"; a state accepts for the lowest-numbered rule that
// is complete in it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "byte_blocks.hpp"
#include "rules.hpp"

namespace strandel::automaton {

using StateId = std::uint8_t;
using ClassId = std::uint8_t;

inline constexpr StateId kDead = 0;                    // no rule can match any more
inline constexpr std::array<StateId, 2> kStart{1, 2};  // indexed by StartState

inline constexpr StateId startOf(StartState s) {
    return kStart[static_cast<std::size_t>(s)];
}

namespace detail {

constexpr std::size_t patternLength(const Rule& r) {
    return r.pattern == Pattern::Literal ? r.text.size() : 1;
}

// One NFA item per (rule, position); position patternLength(rule) is the accepting one.
constexpr std::size_t countItems() {
    std::size_t n = 0;
    for (const Rule& r : kRules) n += patternLength(r) + 1;
    return n;
}
inline constexpr std::size_t kItems = countItems();

struct ItemTable {
    std::array<std::uint8_t, kItems> rule{};  // index into kRules
    std::array<std::uint8_t, kItems> pos{};
    std::array<std::size_t, kRules.size()> first{};  // item of position 0
};

constexpr ItemTable makeItems() {
    ItemTable t;
    std::size_t n = 0;
    for (std::size_t r = 0; r < kRules.size(); ++r) {
        t.first[r] = n;
        for (std::size_t p = 0; p <= patternLength(kRules[r]); ++p, ++n) {
            t.rule[n] = static_cast<std::uint8_t>(r);
            t.pos[n] = static_cast<std::uint8_t>(p);
        }
    }
    return t;
}
inline constexpr ItemTable kItemTable = makeItems();

// The item an item moves to on byte c, or kItems when the rule no longer matches.
constexpr std::size_t stepItem(std::size_t item, unsigned char c) {
    const Rule& r = kRules[kItemTable.rule[item]];
    const std::size_t pos = kItemTable.pos[item];
    const std::size_t first = kItemTable.first[kItemTable.rule[item]];
    switch (r.pattern) {
        case Pattern::Literal:
            return pos < r.text.size() && static_cast<unsigned char>(r.text[pos]) == c ? item + 1 : kItems;
        case Pattern::AnyButNewline: return pos == 0 && c != '\n' ? item + 1 : kItems;
        case Pattern::NameRun: return isNameChar(c) ? first + 1 : kItems;
    }
    return kItems;
}

constexpr bool inSomeLiteral(unsigned char c) {
    for (const Rule& r : kRules)
        if (r.pattern == Pattern::Literal)
            for (char t : r.text)
                if (static_cast<unsigned char>(t) == c) return true;
    return false;
}

inline constexpr std::size_t kMaxClasses = 64;

struct Classes {
    std::array<ClassId, 256> of{};
    std::array<unsigned char, kMaxClasses> representative{};
    std::size_t count = 0;
};

// Two bytes share a class when no rule can tell them apart.
constexpr Classes makeClasses() {
    Classes k;
    std::array<int, kMaxClasses> signature{};
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        const int sig = (inSomeLiteral(b) ? c : 256) * 2 + (isNameChar(b) ? 1 : 0);
        std::size_t k2 = 0;
        while (k2 < k.count && signature[k2] != sig) ++k2;
        if (k2 == k.count) {
            signature[k.count] = sig;
            k.representative[k.count] = b;
            ++k.count;
        }
        k.of[b] = static_cast<ClassId>(k2);
    }
    return k;
}
inline constexpr Classes kClasses = makeClasses();
static_assert(kClasses.count < kMaxClasses);

inline constexpr std::size_t kWords = (kItems + 63) / 64;

struct ItemSet {
    std::array<std::uint64_t, kWords> w{};
    constexpr void add(std::size_t i) { w[i / 64] |= std::uint64_t{1} << (i % 64); }
    constexpr bool has(std::size_t i) const { return (w[i / 64] >> (i % 64)) & 1U; }
    constexpr bool empty() const {
        for (auto x : w)
            if (x) return false;
        return true;
    }
    constexpr bool operator==(const ItemSet&) const = default;
};

inline constexpr std::size_t kMaxStates = 256;

struct Built {
    std::array<ItemSet, kMaxStates> sets{};
    std::array<std::array<StateId, kMaxClasses>, kMaxStates> next{};
    std::array<std::uint8_t, kMaxStates> accepts{};  // rule number, 0 when not accepting
    std::size_t count = 0;
};

constexpr std::uint8_t acceptingRule(const ItemSet& s) {
    for (std::size_t i = 0; i < kItems; ++i)  // items are in rule order: the first wins
        if (s.has(i) && kItemTable.pos[i] == patternLength(kRules[kItemTable.rule[i]]))
            return static_cast<std::uint8_t>(kRules[kItemTable.rule[i]].number);
    return 0;
}

constexpr Built build() {
    Built b;
    b.count = 1;  // the dead state: the empty set
    for (StartState start : {StartState::Text, StartState::FileName}) {
        ItemSet s;
        for (std::size_t r = 0; r < kRules.size(); ++r)
            if (kRules[r].state == start) s.add(kItemTable.first[r]);
        b.sets[b.count++] = s;
    }
    for (std::size_t from = 0; from < b.count; ++from) {
        std::array<std::size_t, kItems> items{};  // the members of this state, listed once
        std::size_t n = 0;
        for (std::size_t i = 0; i < kItems; ++i)
            if (b.sets[from].has(i)) items[n++] = i;
        for (std::size_t k = 0; k < kClasses.count; ++k) {
            ItemSet to;
            for (std::size_t m = 0; m < n; ++m) {
                const std::size_t j = stepItem(items[m], kClasses.representative[k]);
                if (j < kItems) to.add(j);
            }
            std::size_t id = 0;
            if (!to.empty()) {
                id = 1;
                while (id < b.count && !(b.sets[id] == to)) ++id;
                if (id == b.count) b.sets[b.count++] = to;
            }
            b.next[from][k] = static_cast<StateId>(id);
        }
        b.accepts[from] = acceptingRule(b.sets[from]);
    }
    return b;
}
inline constexpr Built kBuilt = build();
static_assert(kBuilt.count < kMaxStates);

}  // namespace detail

inline constexpr std::size_t kClassCount = detail::kClasses.count;
inline constexpr std::size_t kStateCount = detail::kBuilt.count;

// Inside a literal most states can go on with one byte only, and the next state again with one
// byte only: "@TEMPLATE_NAME" is reached from "@T" through eleven such states. A chain lists those
// bytes so the scanner can compare them a word at a time instead of stepping state by state. Any
// other byte leads to the dead state, and no state inside a chain accepts, so taking the chain in
// one go ends where stepping would have ended.
inline constexpr std::size_t kChainBytes = 24;  // the scanner compares whole 8-byte words
inline constexpr std::size_t kShortestChain = 4;

struct Chain {
    std::uint8_t length = 0;  // 0: no chain from this state
    StateId to = kDead;       // the state after the whole chain
    std::array<unsigned char, kChainBytes> bytes{};
};

struct Tables {
    std::array<ClassId, 256> classOf;
    std::array<std::array<StateId, kClassCount>, kStateCount> next;
    std::array<std::uint8_t, kStateCount> accepts;  // rule number, 0 when not accepting
    // Per start state and byte: the byte is a whole token by itself, can begin no longer one, and
    // its rule only copies or drops it. A run of such bytes can be handled in one go.
    std::array<std::array<bool, 256>, 2> single;
    std::array<Action, 2> singleAction;  // what the rules do with those bytes, per start state
    // Per start state: the bytes that end a run of singles, listed when there are few enough for
    // a block search (the text state has two: '@' and '+'); otherwise runs are walked byte by byte.
    std::array<StopBytes, 2> stops;
    std::array<bool, 2> stopsListed;
    std::array<Chain, kStateCount> chains;  // indexed by the state the chain starts in
    // Accepting states from which every byte leads to the dead state: the match is complete, so
    // scanning can stop without looking at the next byte (or waiting for one to be read).
    std::array<bool, kStateCount> complete;
};

namespace detail {

constexpr std::array<int, kMaxClasses> countClassBytes() {
    std::array<int, kMaxClasses> sizes{};
    for (int c = 0; c < 256; ++c) ++sizes[kClasses.of[static_cast<std::size_t>(c)]];
    return sizes;
}
inline constexpr std::array<int, kMaxClasses> kClassBytes = countClassBytes();

// The one byte on which state s does not die, or -1 when there are none or several. Looked for
// class by class: a class of several bytes that leads on means several bytes.
constexpr int onlyByteOut(const Tables& t, std::size_t s) {
    int only = -1;
    for (std::size_t k = 0; k < kClassCount; ++k) {
        if (t.next[s][k] == kDead) continue;
        if (only >= 0 || kClassBytes[k] != 1) return -1;
        only = kClasses.representative[k];
    }
    return only;
}

constexpr Chain chainFrom(const Tables& t, std::size_t s) {
    Chain chain;
    std::size_t at = s;
    std::size_t n = 0;
    for (int c = onlyByteOut(t, at); c >= 0 && n < kChainBytes; c = onlyByteOut(t, at)) {
        chain.bytes[n++] = static_cast<unsigned char>(c);
        at = t.next[at][t.classOf[static_cast<std::size_t>(c)]];
        if (t.accepts[at] != 0) break;  // the chain may end in an accepting state, never pass one
    }
    if (n < kShortestChain) return Chain{};
    chain.length = static_cast<std::uint8_t>(n);
    chain.to = static_cast<StateId>(at);
    return chain;
}

}  // namespace detail

constexpr Tables makeTables() {
    Tables t{};
    t.classOf = detail::kClasses.of;
    for (std::size_t s = 0; s < kStateCount; ++s) {
        for (std::size_t k = 0; k < kClassCount; ++k) t.next[s][k] = detail::kBuilt.next[s][k];
        t.accepts[s] = detail::kBuilt.accepts[s];
    }
    for (std::size_t start = 0; start < 2; ++start) {
        t.singleAction[start] = Action::Ignore;
        for (int c = 0; c < 256; ++c) {
            const StateId to = t.next[kStart[start]][t.classOf[static_cast<std::size_t>(c)]];
            bool endsThere = to != kDead && t.accepts[to] != 0;
            for (std::size_t k = 0; endsThere && k < kClassCount; ++k) endsThere = t.next[to][k] == kDead;
            if (!endsThere) continue;
            const Action a = kRules[t.accepts[to] - 1].action;
            if (a != Action::Echo && a != Action::Ignore) continue;
            t.single[start][static_cast<std::size_t>(c)] = true;
            t.singleAction[start] = a;
        }
        std::array<unsigned char, 4> stops{};
        std::size_t count = 0;
        for (int c = 0; c < 256; ++c) {
            if (t.single[start][static_cast<std::size_t>(c)]) continue;
            if (count < stops.size()) stops[count] = static_cast<unsigned char>(c);
            ++count;
        }
        t.stopsListed[start] = count > 0 && count <= stops.size();
        for (std::size_t k = count; t.stopsListed[start] && k < stops.size(); ++k) stops[k] = stops[0];
        t.stops[start] = StopBytes(stops[0], stops[1], stops[2], stops[3]);
    }
    for (std::size_t s = 0; s < kStateCount; ++s) {
        t.chains[s] = detail::chainFrom(t, s);
        bool deadEnd = t.accepts[s] != 0;
        for (std::size_t k = 0; deadEnd && k < kClassCount; ++k) deadEnd = t.next[s][k] == kDead;
        t.complete[s] = deadEnd;
    }
    return t;
}

inline constexpr Tables kTables = makeTables();

// A run of single bytes is handled with one action, so all of a state's must share it.
constexpr bool singlesShareTheirAction() {
    for (std::size_t start = 0; start < 2; ++start)
        for (int c = 0; c < 256; ++c) {
            if (!kTables.single[start][static_cast<std::size_t>(c)]) continue;
            const StateId to = kTables.next[kStart[start]][kTables.classOf[static_cast<std::size_t>(c)]];
            if (kRules[kTables.accepts[to] - 1].action != kTables.singleAction[start]) return false;
        }
    return true;
}
static_assert(singlesShareTheirAction());

static_assert(kTables.next[kDead] == decltype(kTables.next)::value_type{}, "dead stays dead");
static_assert(kTables.accepts[kDead] == 0 && kTables.accepts[kStart[0]] == 0 &&
                  kTables.accepts[kStart[1]] == 0,
              "no rule matches the empty text");

}  // namespace strandel::automaton
