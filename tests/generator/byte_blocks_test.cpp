// byte_blocks_test.cpp - the block helpers against plain byte loops, for the portable and the SSE2
// versions alike, at every length, position and alignment that matters for 16-byte blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "byte_blocks.hpp"

namespace strandel {
namespace {

using FindStop = const unsigned char* (*)(const unsigned char*, const unsigned char*, const StopBytes&);
using CopyCrLf = char* (*)(char*, const char*, const char*);

struct FindStopVersion {
    const char* name;
    FindStop find;
};

std::vector<FindStopVersion> findStopVersions() {
    std::vector<FindStopVersion> v{{"words", detail::findStopByWords}, {"default", findStop}};
#if STRANDEL_HAVE_SSE2
    v.push_back({"sse2", detail::findStopBySse2});
#endif
    return v;
}

struct CopyVersion {
    const char* name;
    CopyCrLf copy;
};

std::vector<CopyVersion> copyVersions() {
    std::vector<CopyVersion> v{{"lines", detail::copyStoringCrLfByLines}, {"default", copyStoringCrLf}};
#if STRANDEL_HAVE_SSE2
    v.push_back({"sse2", detail::copyStoringCrLfBySse2});
#endif
    return v;
}

const unsigned char* findStopByBytes(const unsigned char* p, const unsigned char* end,
                                     const StopBytes& stops) {
    while (p != end && *p != stops[0] && *p != stops[1] && *p != stops[2] && *p != stops[3]) ++p;
    return p;
}

// Stop sets with one to four distinct bytes, NUL and bytes above 0x7F among them.
const std::vector<StopBytes> kStopSets{
    {'@', '@', '@', '@'},     {'@', '+', '@', '@'}, {'\r', 0x1A, '\r', '\r'},
    {0x00, 0x80, 0xFF, '\n'}, {'a', 'b', 'c', 'd'},
};

// Filler bytes that are none of the stops, chosen so that words holding them come close: each
// differs from some stop in one bit.
unsigned char filler(const StopBytes& stops, std::size_t i) {
    for (unsigned char c = static_cast<unsigned char>(stops[i % 4] ^ 1);; ++c)
        if (c != stops[0] && c != stops[1] && c != stops[2] && c != stops[3]) return c;
}

TEST(FindStop, FindsTheFirstStopAtEveryPositionAndAlignment) {
    for (const FindStopVersion& version : findStopVersions())
        for (const StopBytes& stops : kStopSets)
            for (std::size_t offset = 0; offset < 16; ++offset)
                for (std::size_t length = 0; length <= 80; ++length) {
                    std::vector<unsigned char> block(offset + length + 16);
                    for (std::size_t i = 0; i < block.size(); ++i) block[i] = filler(stops, i);
                    const unsigned char* begin = block.data() + offset;
                    const unsigned char* end = begin + length;
                    block.back() = stops[0];  // a stop past the end must not be found
                    EXPECT_EQ(version.find(begin, end, stops), end)
                        << version.name << " none, length " << length;
                    for (std::size_t at = 0; at < length; ++at) {
                        std::vector<unsigned char> with = block;
                        with[offset + at] = stops[at % 4];
                        if (at + 3 < length) with[offset + at + 3] = stops[(at + 1) % 4];  // a later one too
                        const unsigned char* b = with.data() + offset;
                        EXPECT_EQ(version.find(b, b + length, stops), findStopByBytes(b, b + length, stops))
                            << version.name << " length " << length << " stop at " << at;
                    }
                }
}

TEST(CommonPrefix, CountsAgreeingBytesUpToTheLimit) {
    const std::string base = "EMPLATE_NAME_SHORT@xyzwvu";  // 25 bytes: 24 readable after any start
    for (std::size_t n = 0; n <= 24; ++n)
        for (std::size_t differ = 0; differ <= 24; ++differ) {
            std::string other = base;
            if (differ < 24) other[differ] = static_cast<char>(other[differ] ^ 0x20);
            const auto* p = reinterpret_cast<const unsigned char*>(base.data());
            const auto* q = reinterpret_cast<const unsigned char*>(other.data());
            EXPECT_EQ(commonPrefix(p, q, n), std::min(n, differ)) << "n " << n << " differ at " << differ;
        }
}

std::string crLfByBytes(const std::string& in) {
    std::string out;
    for (char c : in) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

TEST(CopyStoringCrLf, EveryLfBecomesCrLfAndNothingElseChanges) {
    std::vector<std::string> inputs{
        "", "\n", "\n\n\n", std::string(40, '\n'), "\r\n", std::string("\0\n\x80", 3)};
    for (std::size_t length = 1; length <= 70; ++length)
        for (std::size_t at = 0; at < length; at += 3) {
            std::string text(length, 'x');
            for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
            text[at] = '\n';
            if (at + 16 < length) text[at + 16] = '\n';  // one block further
            if (at + 1 < length) text[length - 1] = '\n';
            inputs.push_back(text);
        }
    for (const CopyVersion& version : copyVersions())
        for (const std::string& in : inputs) {
            std::vector<char> out(2 * in.size() + 1, '#');
            char* end = version.copy(out.data(), in.data(), in.data() + in.size());
            EXPECT_EQ(std::string(out.data(), end), crLfByBytes(in)) << version.name;
            const char* const outEnd = out.data() + out.size();
            EXPECT_EQ(std::string(static_cast<const char*>(end), outEnd),
                      std::string(static_cast<std::size_t>(outEnd - end), '#'))
                << version.name << ": wrote past its own end";
        }
}

TEST(CopyShort, CopiesExactlyTheBytesAskedFor) {
    const std::string source = "0123456789abcdefXYZ";
    for (std::size_t n = 0; n <= 16; ++n) {
        std::string out(24, '#');
        copyShort(out.data() + 4, source.data() + 1, n);
        EXPECT_EQ(out, std::string(4, '#') + source.substr(1, n) + std::string(20 - n, '#')) << n;
    }
}

using AnyLf = bool (*)(const char*, std::size_t);

TEST(AnyLfInShort, LooksAtTheFirstNBytesOnly) {
    std::vector<std::pair<const char*, AnyLf>> versions{{"bytes", detail::anyLfByBytes},
                                                        {"default", anyLfInShort}};
#if STRANDEL_HAVE_SSE2
    versions.emplace_back("sse2", detail::anyLfBySse2);
#endif
    for (const auto& [name, anyLf] : versions)
        for (std::size_t n = 0; n < 16; ++n)
            for (std::size_t at = 0; at < 16; ++at) {
                std::string block(16, 'x');
                block[at] = '\n';
                EXPECT_EQ(anyLf(block.data(), n), at < n) << name << " n " << n << " LF at " << at;
            }
}

}  // namespace
}  // namespace strandel
