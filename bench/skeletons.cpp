// skeletons.cpp - the synthetic skeletons: pseudo-random lines from a fixed seed, cut to size.
#include "skeletons.hpp"

#include <algorithm>
#include <cstdint>

namespace strandel::bench {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

// splitmix64: small, fast, and the same sequence on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& from) {
        return from[below(N)];
    }

private:
    std::uint64_t state_;
};

// Collects text and hands it on in pieces until `size` bytes have gone out.
class Writer {
public:
    Writer(std::size_t size, const std::function<void(std::string_view)>& sink) : size_(size), sink_(sink) {
        buffer_.reserve(kPiece + 4096);
    }
    bool full() const { return sent_ + buffer_.size() >= size_; }
    void put(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= kPiece) drain();
    }
    void finish() { drain(); }

private:
    void drain() {
        const std::size_t n = std::min(buffer_.size(), size_ - sent_);
        if (n > 0) sink_(std::string_view(buffer_).substr(0, n));
        sent_ += n;
        buffer_.clear();
    }

    std::size_t size_;
    const std::function<void(std::string_view)>& sink_;
    std::string buffer_;
    std::size_t sent_ = 0;
};

constexpr std::array<std::string_view, 32> kWords{
    "the",     "ledger", "report", "value",  "index",    "return", "begin",  "end",
    "total",   "line",   "column", "header", "footer",   "page",   "amount", "balance",
    "account", "date",   "print",  "format", "template", "source", "file",   "module",
    "record",  "field",  "width",  "count",  "loop",     "next",   "when",   "then",
};

constexpr std::array<std::string_view, 6> kPlaceholders{
    "@TEMPLATE_NAME_SHORT@", "@TEMPLATE_NAME@",      "@SOURCE_LANGUAGE@",
    "@DOCUMENT_EXTENSION@",  "@EXTERNAL_EXTENSION@", "@SOURCE_EXTENSION@",
};

// Texts that begin like a token and break off, so the scanner has to fall back.
constexpr std::array<std::string_view, 10> kNearMisses{
    "@", "@TEMPLATE_NAME",  "+Fil",       "@SOURCE_", "@@",
    "+", "user@host.local", "@TEMPLATE_", "+File",    "@TEMPLATE_NAME_SHORT",
};

void proseLine(Random& rnd, Writer& out, bool withPlaceholder) {
    const std::size_t words = 4 + rnd.below(11);
    if (rnd.below(4) == 0) out.put("    ");
    for (std::size_t w = 0; w < words; ++w) {
        if (w > 0) out.put(rnd.below(12) == 0 ? ", " : " ");
        out.put(rnd.pick(kWords));
    }
    if (withPlaceholder) {
        out.put(" ");
        out.put(rnd.pick(kPlaceholders));
    }
    out.put(rnd.below(8) == 0 ? ";\n" : ".\n");
}

void codeLine(Random& rnd, Writer& out) {
    out.put("    ");
    out.put(rnd.pick(kWords));
    out.put(" = ");
    out.put(rnd.pick(kWords));
    out.put(" + ");
    out.put(rnd.pick(kWords));
    out.put("(1);\n");
}

void plain(Random& rnd, Writer& out) {
    out.put("A plain skeleton: prose and code, few placeholders.\n+File:.txt\n");
    for (std::size_t line = 0; !out.full(); ++line) {
        if (line % 8 == 7)
            codeLine(rnd, out);
        else
            proseLine(rnd, out, line % 64 == 13);
    }
}

void dense(Random& rnd, Writer& out) {
    out.put("+File:.dns\n");
    while (!out.full()) {
        const std::size_t items = 6 + rnd.below(9);
        for (std::size_t i = 0; i < items; ++i) {
            if (i > 0) out.put(" ");
            switch (rnd.below(10)) {
                case 0:
                case 1:
                case 2:
                case 3: out.put(rnd.pick(kPlaceholders)); break;
                case 4:
                    // Two placeholders back to back.
                    out.put(rnd.pick(kPlaceholders));
                    out.put(rnd.pick(kPlaceholders));
                    break;
                case 5:
                case 6:
                case 7: out.put(rnd.pick(kNearMisses)); break;
                default: out.put(rnd.pick(kWords)); break;
            }
        }
        out.put("\n");
    }
}

void files(Random& rnd, Writer& out) {
    out.put("Files follow.\n");
    for (std::size_t file = 0; !out.full(); ++file) {
        const char suffix[] = {'+',
                               'F',
                               'i',
                               'l',
                               'e',
                               ':',
                               '.',
                               static_cast<char>('a' + file % 8),
                               static_cast<char>('a' + (file / 8) % 8),
                               '\n'};
        out.put(std::string_view(suffix, sizeof suffix));
        out.put("/* @TEMPLATE_NAME@ (@TEMPLATE_NAME_SHORT@) in @SOURCE_LANGUAGE@ */\n");
        const std::size_t lines = 2 + rnd.below(8);
        for (std::size_t line = 0; line < lines; ++line) proseLine(rnd, out, false);
    }
}

void longDirective(Writer& out, std::size_t size) {
    constexpr std::string_view head = "+File:";
    constexpr std::string_view tail = "\n+File:.tail\nend of the long line\n";
    constexpr std::string_view nameChars = "abcdefghijklmnopqrstuvwxyz.ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    out.put(head);
    std::size_t run = size > head.size() + tail.size() ? size - head.size() - tail.size() : 0;
    std::string piece;
    while (piece.size() < 4096) piece += nameChars;
    while (run > 0) {
        const std::size_t n = std::min(run, piece.size());
        out.put(std::string_view(piece).substr(0, n));
        run -= n;
    }
    out.put(tail);
}

}  // namespace

std::string_view kindName(SkeletonKind kind) {
    switch (kind) {
        case SkeletonKind::Plain: return "plain";
        case SkeletonKind::Dense: return "dense";
        case SkeletonKind::Files: return "files";
        case SkeletonKind::LongDirective: break;
    }
    return "long-line";
}

std::optional<SkeletonKind> kindFromName(std::string_view name) {
    for (SkeletonKind k : kAllKinds)
        if (kindName(k) == name) return k;
    return std::nullopt;
}

void makeSkeleton(SkeletonKind kind, std::size_t size, const std::function<void(std::string_view)>& sink) {
    Random rnd(0x5EED0000U + static_cast<unsigned>(kind));
    Writer out(size, sink);
    switch (kind) {
        case SkeletonKind::Plain: plain(rnd, out); break;
        case SkeletonKind::Dense: dense(rnd, out); break;
        case SkeletonKind::Files: files(rnd, out); break;
        case SkeletonKind::LongDirective: longDirective(out, size); break;
    }
    out.finish();
}

std::string makeSkeleton(SkeletonKind kind, std::size_t size) {
    std::string all;
    all.reserve(size);
    makeSkeleton(kind, size, [&all](std::string_view piece) { all += piece; });
    return all;
}

}  // namespace strandel::bench
