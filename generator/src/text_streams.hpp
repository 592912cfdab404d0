// text_streams.hpp - text mode of our own, the same on every platform, so that one skeleton gives
// the same files everywhere: reading turns CR LF into LF and stops at Ctrl-Z; output files store
// LF as CR LF.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "byte_blocks.hpp"
#include "environment.hpp"

namespace strandel {

// Reads a source in text mode.
class TextReader {
public:
    static constexpr std::size_t kBlock = 8192;
    enum class Status { Data, End, Failed };

    explicit TextReader(ByteSource& source);

    // Fills into[0, got) with at most max >= 1 bytes. Status::End is sticky and reads nothing more.
    Status read(char* into, std::size_t max, std::size_t& got);

private:
    bool fill();  // false when the source failed

    ByteSource& source_;
    const bool interactive_;
    const StopBytes stops_;     // CR, and for a file also Ctrl-Z
    bool sourceEnded_ = false;  // no raw byte will follow those in raw_
    bool failed_ = false;
    std::array<char, kBlock> raw_{};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

// What the scanner writes to: standard output, an output file, or nowhere.
class Output {
public:
    virtual ~Output() = default;
    virtual void write(const char* data, std::size_t n) = 0;
    virtual void flush() = 0;
};

// After an output file failed to open, text has nowhere to go until the next directive.
class NoOutput final : public Output {
public:
    void write(const char*, std::size_t) override {}
    void flush() override {}
};

// Standard output keeps its platform's own line ending: bytes go through unchanged.
class PassThroughOutput final : public Output {
public:
    explicit PassThroughOutput(ByteSink& sink) : sink_(sink) {}
    void write(const char* data, std::size_t n) override { sink_.write(data, n); }
    void flush() override { sink_.flush(); }

private:
    ByteSink& sink_;
};

// An output file: buffered, every LF stored as CR LF. Its first failure to write, flush or close
// is reported once, by name; what follows for that file is dropped.
class TextFileOutput final : public Output {
public:
    TextFileOutput(std::string name, std::unique_ptr<ByteSink> sink, Environment& env);
    ~TextFileOutput() override;
    TextFileOutput(const TextFileOutput&) = delete;
    TextFileOutput& operator=(const TextFileOutput&) = delete;

    void write(const char* data, std::size_t n) override;
    void flush() override;
    void close();

private:
    void drain();
    void makeRoom();
    void fail();

    std::string name_;
    std::unique_ptr<ByteSink> sink_;
    Environment& env_;
    bool failed_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

}  // namespace strandel
