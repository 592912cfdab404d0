// memory_environment.hpp - a scanner environment held in memory: files, standard streams and the
// fatal exit become data a test can look at, and reads come in blocks of chosen sizes.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "environment.hpp"
#include "strandel.h"

namespace strandel::testing {

// Thrown where a real process would end with status 2.
struct FatalExit {
    std::string message;
};

// Serves data in reads of at most `block` bytes (0: as many as asked), then the end, or a
// failure in place of the end. Given several block sizes, the reads take them in turn, so that
// line ends, Ctrl-Z and tokens can be made to fall across any read boundary.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string data, std::size_t block = 0, bool interactive = false,
                          bool failAtEnd = false)
        : MemorySource(std::move(data), std::vector<std::size_t>{block}, interactive, failAtEnd) {}
    MemorySource(std::string data, std::vector<std::size_t> blocks, bool interactive, bool failAtEnd)
        : data_(std::move(data)),
          blocks_(blocks.empty() ? std::vector<std::size_t>{0} : std::move(blocks)),
          interactive_(interactive),
          failAtEnd_(failAtEnd) {}

    Result read(char* into, std::size_t max) override { return take(into, std::min(max, nextBlock())); }
    Result readLine(char* into, std::size_t max) override {
        std::size_t n = std::min(max, nextBlock());
        const std::size_t lf = data_.find('\n', at_);
        if (lf != std::string::npos) n = std::min(n, lf + 1 - at_);
        return take(into, n);
    }
    bool interactive() const override { return interactive_; }
    std::size_t reads() const { return reads_; }

private:
    std::size_t nextBlock() {
        const std::size_t block = blocks_[reads_ % blocks_.size()];
        return std::min(block ? block : data_.size(), data_.size() - at_);
    }
    Result take(char* into, std::size_t n) {
        ++reads_;
        if (n == 0) return {0, failAtEnd_};
        std::memcpy(into, data_.data() + at_, n);
        at_ += n;
        return {n, false};
    }

    std::string data_;
    std::vector<std::size_t> blocks_;
    bool interactive_;
    bool failAtEnd_;
    std::size_t at_ = 0;
    std::size_t reads_ = 0;
};

class MemoryEnvironment final : public Environment {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> openFiles;
    std::set<std::string> unopenable;  // createFile fails for these names
    std::set<std::string> unwritable;  // writes to these fail
    // Further names that fail to open, or to be written, decided by the test.
    std::function<bool(const std::string&)> refusesOpen = [](const std::string&) { return false; };
    std::function<bool(const std::string&)> refusesWrite = [](const std::string&) { return false; };
    std::string out;
    std::string err;
    std::string stdinData;
    bool stdinFails = false;

    std::unique_ptr<ByteSink> createFile(const std::string& name) override {
        if (unopenable.count(name) || refusesOpen(name)) return nullptr;
        files[name].clear();
        openFiles.insert(name);
        return std::make_unique<FileSink>(*this, name);
    }
    ByteSink& standardOutput() override { return stdout_; }
    std::unique_ptr<ByteSource> standardInput() override {
        return std::make_unique<MemorySource>(stdinData, 0, false, stdinFails);
    }
    void message(std::string_view line) override { err += line; }
    [[noreturn]] void fatal(std::string_view message) override {
        err += std::string(message) + "\n";
        throw FatalExit{std::string(message)};
    }

private:
    class FileSink final : public ByteSink {
    public:
        FileSink(MemoryEnvironment& env, std::string name) : env_(env), name_(std::move(name)) {}
        bool write(const char* data, std::size_t n) override {
            if (!writable()) return false;
            env_.files[name_].append(data, n);
            return true;
        }
        bool flush() override { return writable(); }
        bool close() override {
            env_.openFiles.erase(name_);
            return writable();
        }

    private:
        bool writable() const { return !env_.unwritable.count(name_) && !env_.refusesWrite(name_); }

        MemoryEnvironment& env_;
        std::string name_;
    };

    class StdoutSink final : public ByteSink {
    public:
        explicit StdoutSink(std::string& out) : out_(out) {}
        bool write(const char* data, std::size_t n) override {
            out_.append(data, n);
            return true;
        }
        bool flush() override { return true; }
        bool close() override { return true; }

    private:
        std::string& out_;
    };

    StdoutSink stdout_{out};
};

// A record whose bytes after each field's NUL are 0xAB, so that reading past a field shows.
// A value as long as its field's capacity is stored without a NUL.
inline MYTPLOPTS makeRecord(std::string_view nameLong, std::string_view nameShort, std::string_view language,
                            std::string_view sourceExt, std::string_view externExt, std::string_view docExt) {
    MYTPLOPTS r;
    std::memset(&r, 0xAB, sizeof r);
    const auto put = [](char* field, std::size_t capacity, std::string_view value) {
        const std::size_t n = std::min(capacity, value.size());
        std::memcpy(field, value.data(), n);
        if (n < capacity) field[n] = '\0';
    };
    put(r.NAME_LONG, sizeof r.NAME_LONG, nameLong);
    put(r.NAME_SHORT, sizeof r.NAME_SHORT, nameShort);
    put(r.LANGUAGE, sizeof r.LANGUAGE, language);
    put(r.SOURCE_EXT, sizeof r.SOURCE_EXT, sourceExt);
    put(r.EXTERN_EXT, sizeof r.EXTERN_EXT, externExt);
    put(r.DOC_EXT, sizeof r.DOC_EXT, docExt);
    return r;
}

}  // namespace strandel::testing
