// scanner.cpp - the skeleton scanner's run loop, buffer and rule actions.
#include "scanner.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "automaton.hpp"
#include "byte_blocks.hpp"

namespace strandel {

namespace {

using automaton::kDead;
using automaton::kTables;

// The buffer's size has always been a signed 32-bit count; keep that ceiling everywhere so that
// the 32-bit and 64-bit builds fail the same way on an absurdly long token.
constexpr std::size_t kMaxBuffer = INT32_MAX - 2;

}  // namespace

std::string_view fatalMessage(Fatal f) {
    switch (f) {
        case Fatal::InputFailed: return "input in flex scanner failed";
        case Fatal::BufferOverflow: return "fatal error - scanner input buffer overflow";
        case Fatal::OutOfMemory: return "out of dynamic memory in yy_create_buffer()";
        case Fatal::EndOfBufferMissed: return "fatal flex scanner internal error--end of buffer missed";
        case Fatal::NoActionFound: break;
    }
    return "fatal flex scanner internal error--no action found";
}

Scanner::Scanner(Environment& env)
    : env_(env), standardOutput_(env.standardOutput()), current_(&standardOutput_) {}

Scanner::~Scanner() {
    if (file_) file_->close();
    std::free(data_);
}

void Scanner::setRecord(const MYTPLOPTS& record) {
    record_ = record;
    for (std::size_t f = 0; f < fields_.size(); ++f) fields_[f] = fieldText(record_, static_cast<Field>(f));
}

void Scanner::setInput(std::unique_ptr<ByteSource> input) {
    reader_.reset();
    input_ = std::move(input);
    if (input_) reader_.emplace(*input_);
    pos_ = len_ = 0;
}

void Scanner::setUp() {
    state_ = StartState::Text;
    if (!input_) setInput(env_.standardInput());
    current_ = &standardOutput_;
    capacity_ = kInitialBuffer;
    data_ = static_cast<char*>(std::malloc(capacity_));
    if (!data_) die(Fatal::OutOfMemory);
    firstRun_ = false;
}

std::int32_t Scanner::run() {
    if (firstRun_) setUp();
    for (;;) {
        passSingles();
        if (pos_ == len_) {
            if (!refill()) break;
            continue;
        }
        scanToken();
    }
    writeEchoes();
    current_->flush();
    return 0;
}

// Most bytes are whole tokens by themselves that the rules copy or drop: handle each run of
// them at once rather than running the automaton per byte. In the text state a run ends only at
// one of a few bytes, which a block search finds many bytes at a time.
void Scanner::passSingles() {
    const auto start = static_cast<std::size_t>(state_);
    const auto* p = reinterpret_cast<const unsigned char*>(data_ + pos_);
    const auto* end = reinterpret_cast<const unsigned char*>(data_ + len_);
    const unsigned char* q = p;
    if (kTables.stopsListed[start]) {
        q = findStop(p, end, kTables.stops[start]);
    } else {
        const std::array<bool, 256>& single = kTables.single[start];
        while (q != end && single[*q]) ++q;
    }
    const auto n = static_cast<std::size_t>(q - p);
    if (n == 0) return;
    if (kTables.singleAction[start] == Action::Echo) echo(pos_, n);
    pos_ += n;
}

void Scanner::echo(std::size_t from, std::size_t n) {
    if (echoLen_ != 0 && echoFrom_ + echoLen_ == from) {
        echoLen_ += n;
        return;
    }
    writeEchoes();
    echoFrom_ = from;
    echoLen_ = n;
}

void Scanner::writeEchoes() {
    if (echoLen_ == 0) return;
    current_->write(data_ + echoFrom_, echoLen_);
    echoLen_ = 0;
}

void Scanner::scanToken() {
    // Longest match: run the automaton until no rule can go on, remembering the last state that
    // accepted and where. The token is what that state accepted; scanning resumes right after
    // it, so a placeholder that breaks off is given back byte by byte.
    automaton::StateId s = automaton::startOf(state_);
    std::size_t i = pos_;
    std::size_t end = pos_;
    std::uint8_t rule = 0;
    for (;;) {
        const auto* data = reinterpret_cast<const unsigned char*>(data_);
        const std::size_t len = len_;
        while (i < len) {
            const automaton::Chain& chain = kTables.chains[s];
            if (chain.length != 0 && len - i >= automaton::kChainBytes) {
                // A run of states with one way on each: compare the bytes that run expects in one
                // go. A byte that differs is where the automaton dies.
                const std::size_t same = commonPrefix(data + i, chain.bytes.data(), chain.length);
                i += same;
                if (same < chain.length) {
                    s = kDead;
                    break;
                }
                s = chain.to;
            } else {
                s = kTables.next[s][kTables.classOf[data[i]]];
                if (s == kDead) break;
                ++i;
            }
            if (kTables.accepts[s] != 0) {
                rule = kTables.accepts[s];
                end = i;
                // Nothing can lengthen this token: act on it now, without reading on, for the next
                // read may fail and end the process with the token unwritten.
                if (kTables.complete[s]) {
                    s = kDead;
                    break;
                }
            }
        }
        if (s == kDead) break;
        // The data ran out inside a token that might still grow. Refilling moves the token to
        // the front of the buffer, so the positions into it move by the same amount. At the end
        // of the input the last accepted match stands.
        const std::size_t shift = pos_;
        const bool more = refill();
        i -= shift;
        end -= shift;
        if (!more) break;
    }
    if (rule == 0) die(Fatal::NoActionFound);
    act(kRules[rule - 1], pos_, end - pos_);
    pos_ = end;
}

// Keeps the unscanned bytes, moved to the front, and reads up to one block behind them.
// Returns false at the end of the input.
bool Scanner::refill() {
    if (pos_ > len_) die(Fatal::EndOfBufferMissed);
    writeEchoes();
    if (!reader_) return false;
    const std::size_t keep = len_ - pos_;
    // A token that already starts the buffer stays where it is: moving it onto itself on every
    // read would make one long token cost time in the square of its length.
    if (pos_ > 0) std::memmove(data_, data_ + pos_, keep);
    pos_ = 0;
    len_ = keep;
    // One byte of the buffer is always left unused; a token that fills the rest makes it grow.
    if (capacity_ - len_ <= 1) grow();
    std::size_t got = 0;
    switch (reader_->read(data_ + len_, std::min(capacity_ - len_ - 1, TextReader::kBlock), got)) {
        case TextReader::Status::Data: len_ += got; return true;
        case TextReader::Status::End: return false;
        case TextReader::Status::Failed: break;
    }
    die(Fatal::InputFailed);
}

void Scanner::grow() {
    std::size_t size = capacity_ <= kMaxBuffer / 2 ? capacity_ * 2 : capacity_ + capacity_ / 8;
    if (size > kMaxBuffer) die(Fatal::BufferOverflow);
    char* bigger = static_cast<char*>(std::realloc(data_, size));
    if (!bigger) die(Fatal::BufferOverflow);
    data_ = bigger;
    capacity_ = size;
}

void Scanner::act(const Rule& rule, std::size_t from, std::size_t n) {
    switch (rule.action) {
        case Action::WriteField: {
            writeEchoes();
            const std::string_view value = fields_[static_cast<std::size_t>(rule.field)];
            current_->write(value.data(), value.size());
            return;
        }
        case Action::EnterFileName: state_ = StartState::FileName; return;
        case Action::Echo: echo(from, n); return;
        case Action::OpenNextOutput: openNextOutput({data_ + from, n}); return;
        case Action::LeaveFileName: state_ = StartState::Text; return;
        case Action::Ignore: return;
    }
    die(Fatal::NoActionFound);
}

void Scanner::openNextOutput(std::string_view suffix) {
    writeEchoes();
    if (file_) {
        file_->close();
        file_.reset();
    }
    current_ = &noOutput_;
    const std::string_view shortName = fields_[static_cast<std::size_t>(Field::NameShort)];
    // A name that would not fit the file name buffer is refused like one that cannot be opened;
    // it is not copied first, as it may be as long as the whole skeleton.
    std::string name;
    std::unique_ptr<ByteSink> sink;
    if (shortName.size() + suffix.size() < kFileNameBuffer) {
        name.append(shortName).append(suffix);
        sink = env_.createFile(name);
    }
    if (!sink) {
        std::string line;
        line.reserve(16 + shortName.size() + suffix.size());
        line.append("could not open ").append(shortName).append(suffix).append("\n");
        env_.message(line);
        return;
    }
    file_ = std::make_unique<TextFileOutput>(std::move(name), std::move(sink), env_);
    current_ = file_.get();
}

void Scanner::die(Fatal f) {
    writeEchoes();
    current_->flush();
    env_.fatal(fatalMessage(f));
    std::abort();  // an environment whose fatal() came back must not scan on
}

}  // namespace strandel
