// scanner_fuzz.cpp - libFuzzer target: the real scanner, in memory, against the naive model of the
// skeleton language. Any difference in standard output, files, messages or the fatal exit aborts.
//
// Input layout (missing bytes read as 0):
//   0       flags: 1 interactive source, 2 the last read fails instead of ending,
//           4 some output files cannot be opened, 8 some cannot be written,
//           16 two runs, the skeleton split in two streams at `split`,
//           32 a long run of `fill` bytes goes into the skeleton
//   1       salt that picks which file names fail to open or to be written
//   2-3     split (big-endian, modulo the skeleton's length + 1)
//   4-5     where a run of `fill` bytes goes in the skeleton (modulo length + 1)
//   6       its length in units of 128 bytes, so that inputs reach past the read
//           block (8192) and the input buffer (16384) and make it grow
//   7       fill byte
//   8-15    read sizes, taken in turn: 0 as many as asked, 1-191 that many bytes,
//           192-255 (code - 191) * 128 bytes
//   16-109  the MYTPLOPTS record, byte for byte (fields without a NUL, bytes after the NUL)
//   110-    the skeleton
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "memory_environment.hpp"
#include "naive_scanner.hpp"
#include "scanner.hpp"

namespace {

using strandel::fuzz::NaiveScanner;
using strandel::fuzz::Observed;
using strandel::testing::FatalExit;
using strandel::testing::MemoryEnvironment;
using strandel::testing::MemorySource;

constexpr std::size_t kHeader = 16;

struct Case {
    bool interactive = false;
    bool lastReadFails = false;
    bool someUnopenable = false;
    bool someUnwritable = false;
    std::uint8_t salt = 0;
    std::vector<std::size_t> blocks;
    MYTPLOPTS record{};
    std::vector<std::string> streams;  // one per run
};

std::size_t blockSize(std::uint8_t code) {
    if (code < 192) return code;
    return std::size_t(code - 191) * 128;
}

Case decode(const std::uint8_t* data, std::size_t size) {
    std::uint8_t h[kHeader] = {};
    std::memcpy(h, data, std::min(size, kHeader));
    Case c;
    c.interactive = h[0] & 1;
    c.lastReadFails = h[0] & 2;
    c.someUnopenable = h[0] & 4;
    c.someUnwritable = h[0] & 8;
    c.salt = h[1];
    for (std::size_t i = 8; i < 16; ++i) c.blocks.push_back(blockSize(h[i]));
    const std::size_t recordEnd = kHeader + sizeof(MYTPLOPTS);
    if (size > kHeader) std::memcpy(&c.record, data + kHeader, std::min(size, recordEnd) - kHeader);
    std::string skeleton;
    if (size > recordEnd) skeleton.assign(reinterpret_cast<const char*>(data) + recordEnd, size - recordEnd);
    if (h[0] & 32) {
        const std::size_t at = std::size_t(h[4] << 8 | h[5]) % (skeleton.size() + 1);
        skeleton.insert(at, std::size_t(h[6]) * 128, static_cast<char>(h[7]));
    }
    if (h[0] & 16) {
        const std::size_t split = std::size_t(h[2] << 8 | h[3]) % (skeleton.size() + 1);
        c.streams = {skeleton.substr(0, split), skeleton.substr(split)};
    } else {
        c.streams = {skeleton};
    }
    return c;
}

// About one name in three fails, which names depending on the salt.
bool picked(const std::string& name, std::uint8_t salt, std::uint32_t which) {
    std::uint32_t h = 2166136261U ^ salt ^ (which << 8);
    for (char ch : name) h = (h ^ static_cast<unsigned char>(ch)) * 16777619U;
    return h % 3 == 0;
}

Observed runReal(const Case& c) {
    MemoryEnvironment env;
    if (c.someUnopenable) env.refusesOpen = [&](const std::string& n) { return picked(n, c.salt, 1); };
    if (c.someUnwritable) env.refusesWrite = [&](const std::string& n) { return picked(n, c.salt, 2); };
    Observed o;
    {
        strandel::Scanner scanner(env);
        scanner.setRecord(c.record);
        for (std::size_t i = 0; i < c.streams.size(); ++i) {
            const bool last = i + 1 == c.streams.size();
            scanner.setInput(std::make_unique<MemorySource>(c.streams[i], c.blocks, c.interactive,
                                                            last && c.lastReadFails));
            try {
                if (scanner.run() != 0) {
                    std::fprintf(stderr, "run returned non-zero\n");
                    std::abort();
                }
            } catch (const FatalExit& e) {
                o.fatal = e.message;
                break;
            }
        }
        o.openFiles = env.openFiles;  // before the scanner goes and closes its file
    }
    o.out = env.out;
    o.err = env.err;
    o.files = env.files;
    return o;
}

Observed runNaive(const Case& c) {
    NaiveScanner naive(
        c.record, [&](const std::string& n) { return c.someUnopenable && picked(n, c.salt, 1); },
        [&](const std::string& n) { return c.someUnwritable && picked(n, c.salt, 2); });
    for (std::size_t i = 0; i < c.streams.size(); ++i) {
        const bool last = i + 1 == c.streams.size();
        if (!naive.run(c.streams[i], c.interactive, last && c.lastReadFails)) break;
    }
    return naive.observed();
}

std::string shown(const std::string& s) {
    std::string r = "\"";
    for (const char c : s) {
        const auto ch = static_cast<unsigned char>(c);
        if (ch >= 0x20 && ch < 0x7f && ch != '"' && ch != '\\') {
            r += static_cast<char>(ch);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", ch);
            r += buf;
        }
    }
    return r + "\"";
}

void report(const char* what, const std::string& real, const std::string& naive) {
    if (real == naive) return;
    std::fprintf(stderr, "%s differs\n  scanner: %s\n  naive:   %s\n", what, shown(real).c_str(),
                 shown(naive).c_str());
}

std::string listed(const std::map<std::string, std::string>& files) {
    std::string s;
    for (const auto& [name, text] : files) s += name + "=" + shown(text) + " ";
    return s;
}

std::string listed(const std::set<std::string>& names) {
    std::string s;
    for (const auto& name : names) s += name + " ";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Case c = decode(data, size);
    const Observed real = runReal(c);
    const Observed naive = runNaive(c);
    if (real == naive) return 0;
    report("standard output", real.out, naive.out);
    report("standard error", real.err, naive.err);
    report("files", listed(real.files), listed(naive.files));
    report("open files", listed(real.openFiles), listed(naive.openFiles));
    report("fatal exit", real.fatal.value_or("(none)"), naive.fatal.value_or("(none)"));
    std::abort();
}
