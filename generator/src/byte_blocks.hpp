// byte_blocks.hpp - work on blocks of bytes many at a time: finding the next of a few byte values,
// comparing short texts, copying text with every LF stored as CR LF. SSE2 where the processor has
// it, portable code everywhere else; both give the same results.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#  include <emmintrin.h>
#  define STRANDEL_HAVE_SSE2 1
#else
#  define STRANDEL_HAVE_SSE2 0
#endif

namespace strandel {

// The byte values to stop at; a set of fewer than four repeats one of its values. Each value is
// also kept spread over a 16-byte block, so that a search compares blocks against it at once
// instead of building those patterns on every call.
class StopBytes {
public:
    constexpr StopBytes() = default;
    constexpr StopBytes(unsigned char a, unsigned char b, unsigned char c, unsigned char d)
        : bytes_{a, b, c, d} {
        for (std::size_t i = 0; i < bytes_.size(); ++i)
            for (std::size_t k = 0; k < 16; ++k) blocks_[16 * i + k] = bytes_[i];
    }
    constexpr unsigned char operator[](std::size_t i) const { return bytes_[i]; }
    // Value i, sixteen times over.
    const unsigned char* block(std::size_t i) const { return blocks_.data() + 16 * i; }

private:
    std::array<unsigned char, 4> bytes_{};
    std::array<unsigned char, 64> blocks_{};
};

namespace detail {

using Word = std::size_t;
inline constexpr Word kOnes = ~Word{0} / 0xFF;  // 0x01 in every byte
inline constexpr Word kHighs = kOnes * 0x80;

// Non-zero exactly when some byte of v is zero (the value says nothing about which).
constexpr Word anyZeroByte(Word v) {
    return (v - kOnes) & ~v & kHighs;
}

inline bool isStop(unsigned char c, const StopBytes& stops) {
    return c == stops[0] || c == stops[1] || c == stops[2] || c == stops[3];
}

// The portable way: skip whole words that hold none of the stops, then look byte by byte.
inline const unsigned char* findStopByWords(const unsigned char* p, const unsigned char* end,
                                            const StopBytes& stops) {
    const Word s0 = kOnes * stops[0], s1 = kOnes * stops[1], s2 = kOnes * stops[2], s3 = kOnes * stops[3];
    while (static_cast<std::size_t>(end - p) >= sizeof(Word)) {
        Word w;
        std::memcpy(&w, p, sizeof w);
        if ((anyZeroByte(w ^ s0) | anyZeroByte(w ^ s1) | anyZeroByte(w ^ s2) | anyZeroByte(w ^ s3)) != 0)
            break;
        p += sizeof w;
    }
    while (p != end && !isStop(*p, stops)) ++p;
    return p;
}

#if STRANDEL_HAVE_SSE2
inline const unsigned char* findStopBySse2(const unsigned char* p, const unsigned char* end,
                                           const StopBytes& stops) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stops.block(0)));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stops.block(1)));
    const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stops.block(2)));
    const __m128i s3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stops.block(3)));
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, s0), _mm_cmpeq_epi8(v, s1)),
                                         _mm_or_si128(_mm_cmpeq_epi8(v, s2), _mm_cmpeq_epi8(v, s3)));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0) return p + std::countr_zero(mask);
        p += 16;
    }
    return findStopByWords(p, end, stops);
}
#endif

// The portable way: one line at a time.
inline char* copyStoringCrLfByLines(char* out, const char* p, const char* end) {
    while (p != end) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        const std::size_t line = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p)
                                    : static_cast<std::size_t>(end - p);
        std::memcpy(out, p, line);
        out += line;
        p += line;
        if (!lf) break;
        *out++ = '\r';
        *out++ = '\n';
        ++p;
    }
    return out;
}

#if STRANDEL_HAVE_SSE2
// Stores 16 bytes at a time and fixes up at each LF. A store may run up to 16 bytes past what has
// been written so far, never past what the whole copy writes: every byte still to come writes at
// least one.
inline char* copyStoringCrLfBySse2(char* out, const char* p, const char* end) {
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        if (mask == 0) {
            p += 16;
            out += 16;
            continue;
        }
        const auto k = static_cast<std::size_t>(std::countr_zero(mask));
        out[k] = '\r';
        out[k + 1] = '\n';
        out += k + 2;
        p += k + 1;
    }
    return copyStoringCrLfByLines(out, p, end);
}
#endif

// The portable way: look at each byte.
inline bool anyLfByBytes(const char* p, std::size_t n) {
    return std::memchr(p, '\n', n) != nullptr;
}

#if STRANDEL_HAVE_SSE2
inline bool anyLfBySse2(const char* p, std::size_t n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
    return (mask & ((1U << n) - 1U)) != 0;
}
#endif

}  // namespace detail

// Copies n <= 16 bytes with a few fixed-size moves that may overlap, reading and writing no byte
// outside the n.
inline void copyShort(char* out, const char* p, std::size_t n) {
    if (n >= 8) {
        std::memcpy(out, p, 8);
        std::memcpy(out + n - 8, p + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(out, p, 4);
        std::memcpy(out + n - 4, p + n - 4, 4);
    } else if (n > 0) {
        out[0] = p[0];
        out[n / 2] = p[n / 2];
        out[n - 1] = p[n - 1];
    }
}

// Whether the first n < 16 bytes at p hold an LF; all 16 bytes at p must be readable.
inline bool anyLfInShort(const char* p, std::size_t n) {
#if STRANDEL_HAVE_SSE2
    return detail::anyLfBySse2(p, n);
#else
    return detail::anyLfByBytes(p, n);
#endif
}

// Copies [p, end) to out with every LF stored as CR LF; out must have room for twice the bytes.
// Returns the end of what was written.
inline char* copyStoringCrLf(char* out, const char* p, const char* end) {
#if STRANDEL_HAVE_SSE2
    return detail::copyStoringCrLfBySse2(out, p, end);
#else
    return detail::copyStoringCrLfByLines(out, p, end);
#endif
}

// How many of the first n bytes (at most 24) at p and q agree. Reads whole 8-byte words: both
// sides must have 24 readable bytes.
inline std::size_t commonPrefix(const unsigned char* p, const unsigned char* q, std::size_t n) {
    for (std::size_t w = 0; w < n; w += 8) {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, p + w, 8);
        std::memcpy(&b, q + w, 8);
        if (const std::uint64_t x = a ^ b; x != 0) {
            // The first byte in memory is the low byte of a little-endian word, the high one of a
            // big-endian word.
            const int bit =
                std::endian::native == std::endian::little ? std::countr_zero(x) : std::countl_zero(x);
            const std::size_t same = w + static_cast<std::size_t>(bit) / 8;
            return same < n ? same : n;
        }
    }
    return n;
}

// The first byte in [p, end) that is one of stops, or end when there is none.
inline const unsigned char* findStop(const unsigned char* p, const unsigned char* end,
                                     const StopBytes& stops) {
#if STRANDEL_HAVE_SSE2
    return detail::findStopBySse2(p, end, stops);
#else
    return detail::findStopByWords(p, end, stops);
#endif
}

}  // namespace strandel
