// text_streams.cpp - text-mode reading and writing.
#include "text_streams.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace strandel {

namespace {
constexpr char kCtrlZ = '\x1a';
constexpr std::size_t kOutputBuffer = 32 * 1024;
}  // namespace

bool TextReader::fill() {
    // Only a CR held back from the last block can be left over; keep it in front of the new bytes.
    const std::size_t keep = len_ - pos_;
    std::memmove(raw_.data(), raw_.data() + pos_, keep);
    pos_ = 0;
    len_ = keep;
    char* into = raw_.data() + len_;
    const std::size_t room = raw_.size() - len_;
    const ByteSource::Result r = interactive_ ? source_.readLine(into, room) : source_.read(into, room);
    if (r.count == 0) {
        if (r.failed) return false;
        sourceEnded_ = true;
        return true;
    }
    std::size_t count = r.count;
    if (!interactive_) {
        // The data of a file ends at its first Ctrl-Z; nothing behind it is ever read.
        if (const void* z = std::memchr(into, kCtrlZ, count)) {
            count = static_cast<std::size_t>(static_cast<const char*>(z) - into);
            sourceEnded_ = true;
        }
    }
    len_ += count;
    return true;
}

TextReader::Status TextReader::read(char* into, std::size_t max, std::size_t& got) {
    got = 0;
    if (failed_) return Status::Failed;
    for (;;) {
        while (pos_ < len_ && got < max) {
            const char* p = raw_.data() + pos_;
            const std::size_t n = std::min(len_ - pos_, max - got);
            const void* cr = std::memchr(p, '\r', n);
            const std::size_t plain = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - p) : n;
            std::memcpy(into + got, p, plain);
            got += plain;
            pos_ += plain;
            if (!cr) break;
            // A CR is half of a line end only if an LF follows it, and that may lie in the next
            // block: when the CR is the last byte read so far, hold it until the next read shows.
            if (pos_ + 1 < len_) {
                const bool crlf = raw_[pos_ + 1] == '\n';
                into[got++] = crlf ? '\n' : '\r';
                pos_ += crlf ? 2 : 1;
            } else if (sourceEnded_) {
                into[got++] = '\r';
                ++pos_;
            } else {
                break;
            }
        }
        if (got > 0) return Status::Data;
        if (sourceEnded_ && pos_ == len_) return Status::End;
        if (!fill()) {
            failed_ = true;
            return Status::Failed;
        }
    }
}

TextFileOutput::TextFileOutput(std::string name, std::unique_ptr<ByteSink> sink, Environment& env)
    : name_(std::move(name)), sink_(std::move(sink)), env_(env), buffer_(kOutputBuffer) {}

TextFileOutput::~TextFileOutput() = default;

void TextFileOutput::write(const char* data, std::size_t n) {
    while (n > 0) {
        const void* lf = std::memchr(data, '\n', n);
        if (!lf) {
            put(data, n);
            return;
        }
        const auto line = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
        put(data, line);
        put("\r\n", 2);
        data += line + 1;
        n -= line + 1;
    }
}

void TextFileOutput::put(const char* data, std::size_t n) {
    if (failed_) return;
    if (n > buffer_.size() - used_) {
        drain();
        if (n >= buffer_.size()) {
            if (!failed_ && !sink_->write(data, n)) fail();
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, data, n);
    used_ += n;
}

void TextFileOutput::drain() {
    if (used_ > 0 && !failed_ && !sink_->write(buffer_.data(), used_)) fail();
    used_ = 0;
}

void TextFileOutput::flush() {
    drain();
    if (!failed_ && !sink_->flush()) fail();
}

void TextFileOutput::close() {
    flush();
    if (!sink_->close()) fail();
}

void TextFileOutput::fail() {
    if (!failed_) env_.message("could not write " + name_ + "\n");
    failed_ = true;
}

}  // namespace strandel
