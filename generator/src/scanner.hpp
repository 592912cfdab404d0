// scanner.hpp - the skeleton scanner: copies the skeleton to the current output, replacing
// placeholders by record fields and switching output files at file directives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "environment.hpp"
#include "rules.hpp"
#include "strandel.h"
#include "text_streams.hpp"

namespace strandel {

// The fatal errors, each ending the process with status 2.
enum class Fatal : std::uint8_t {
    InputFailed,
    BufferOverflow,
    OutOfMemory,
    EndOfBufferMissed,
    NoActionFound,
};

std::string_view fatalMessage(Fatal f);

class Scanner {
public:
    static constexpr std::size_t kInitialBuffer = 16384;
    static constexpr std::size_t kFileNameBuffer = 260;  // the longest name is one less

    explicit Scanner(Environment& env);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    void setRecord(const MYTPLOPTS& record);
    // The stream the next run reads; none makes the first run fall back to standard input.
    void setInput(std::unique_ptr<ByteSource> input);
    bool beforeFirstRun() const { return firstRun_; }

    // Scans the input to its end and returns 0. State and current output carry over to the next
    // run; the current output is flushed, not closed, on the way out.
    std::int32_t run();

private:
    void setUp();
    void passSingles();
    void scanToken();
    bool refill();
    void grow();
    void act(const Rule& rule, std::size_t from, std::size_t n);
    void echo(std::size_t from, std::size_t n);
    void writeEchoes();
    void openNextOutput(std::string_view suffix);
    [[noreturn]] void die(Fatal f);

    Environment& env_;
    StartState state_ = StartState::Text;
    std::unique_ptr<ByteSource> input_;
    std::optional<TextReader> reader_;
    PassThroughOutput standardOutput_;
    NoOutput noOutput_;
    std::unique_ptr<TextFileOutput> file_;  // opened by the latest directive, if that worked
    Output* current_;
    MYTPLOPTS record_{};
    std::array<std::string_view, 6> fields_{};  // the record's texts, indexed by Field
    bool firstRun_ = true;

    // Input buffer: data_[pos_, len_) is not yet scanned; it grows only for a token that does
    // not fit.
    char* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;

    // Copied text not yet written: data_[echoFrom_, echoFrom_ + echoLen_). Echoes that follow each
    // other in the buffer are written as one piece, before anything else reaches the output and
    // before the buffer's contents move.
    std::size_t echoFrom_ = 0;
    std::size_t echoLen_ = 0;
};

}  // namespace strandel
