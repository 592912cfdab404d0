// text_streams.cpp - text-mode reading and writing.
#include "text_streams.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "byte_blocks.hpp"

namespace strandel {

namespace {
constexpr unsigned char kCtrlZ = 0x1A;
constexpr std::size_t kFirstOutputBuffer = 4 * 1024;
constexpr std::size_t kOutputBuffer = 128 * 1024;
constexpr std::size_t kShortWrite = 32;
}  // namespace

TextReader::TextReader(ByteSource& source)
    : source_(source),
      interactive_(source.interactive()),
      stops_{'\r', interactive_ ? static_cast<unsigned char>('\r') : kCtrlZ, '\r', '\r'} {}

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
    len_ += r.count;
    return true;
}

TextReader::Status TextReader::read(char* into, std::size_t max, std::size_t& got) {
    got = 0;
    if (failed_) return Status::Failed;
    for (;;) {
        while (pos_ < len_ && got < max) {
            const auto* p = reinterpret_cast<const unsigned char*>(raw_.data() + pos_);
            const std::size_t n = std::min(len_ - pos_, max - got);
            const unsigned char* stop = findStop(p, p + n, stops_);
            const auto plain = static_cast<std::size_t>(stop - p);
            std::memcpy(into + got, p, plain);
            got += plain;
            pos_ += plain;
            if (plain == n) break;
            if (*stop == kCtrlZ) {
                // The data of a file ends at its first Ctrl-Z; nothing behind it is ever read.
                len_ = pos_;
                sourceEnded_ = true;
                break;
            }
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
    : name_(std::move(name)),
      sink_(std::move(sink)),
      env_(env),
      buffer_(std::make_unique_for_overwrite<char[]>(kFirstOutputBuffer)),
      capacity_(kFirstOutputBuffer) {}

TextFileOutput::~TextFileOutput() = default;

// Copies into the buffer with each LF going in as CR LF, and drains the buffer whenever it cannot
// take the next piece.
void TextFileOutput::write(const char* data, std::size_t n) {
    // Short pieces (field values, the text between two placeholders) are the most frequent and
    // seldom hold an LF: copy them as they are, then look at what was copied, which lies inside
    // the buffer whole.
    if (n < 16 && capacity_ - used_ >= kShortWrite) {
        if (failed_) return;
        char* out = buffer_.get() + used_;
        copyShort(out, data, n);
        if (!anyLfInShort(out, n)) {
            used_ += n;
            return;
        }
    }
    while (n > 0 && !failed_) {
        if (capacity_ - used_ < kShortWrite) makeRoom();
        // Take no more than the room holds if every byte taken were an LF.
        const std::size_t take = std::min(n, (capacity_ - used_) / 2);
        char* out = buffer_.get() + used_;
        used_ += static_cast<std::size_t>(copyStoringCrLf(out, data, data + take) - out);
        data += take;
        n -= take;
    }
}

void TextFileOutput::drain() {
    if (used_ > 0 && !failed_ && !sink_->write(buffer_.get(), used_)) fail();
    used_ = 0;
}

// A file starts with a small buffer, so that opening one of many small files costs little, and
// gets a larger one each time it fills, so that a large file is written in large pieces.
void TextFileOutput::makeRoom() {
    drain();
    if (capacity_ < kOutputBuffer) {
        capacity_ = std::min(capacity_ * 4, kOutputBuffer);
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
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
