// naive_scanner.hpp - a deliberately plain model of the skeleton language for differential fuzzing:
// it shares no code or table with the library and tries every rule's text at every position.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "strandel.h"

namespace strandel::fuzz {

// What a run leaves behind, in the terms a user sees.
struct Observed {
    std::string out;
    std::string err;
    std::map<std::string, std::string> files;
    std::set<std::string> openFiles;
    std::optional<std::string> fatal;  // the message of a fatal exit
    bool operator==(const Observed&) const = default;
};

class NaiveScanner {
public:
    using NamePredicate = std::function<bool(const std::string&)>;

    NaiveScanner(const MYTPLOPTS& record, NamePredicate refusesOpen, NamePredicate refusesWrite)
        : record_(record), refusesOpen_(std::move(refusesOpen)), refusesWrite_(std::move(refusesWrite)) {}

    // One scan of one input stream. Returns false when the scan ended the process.
    bool run(const std::string& raw, bool interactive, bool lastReadFails) {
        bool fails = lastReadFails;
        const std::string data = readText(raw, interactive, fails);
        std::size_t at = 0;
        while (at < data.size()) {
            const std::string_view rest = std::string_view(data).substr(at);
            // A read that fails leaves the token it would have completed unfinished.
            if (fails && couldGrow(rest)) break;
            const auto [rule, length] = longestMatch(rest);
            act(rule, rest.substr(0, length));
            at += length;
        }
        flushCurrent();
        if (fails) {
            seen_.err += "input in flex scanner failed\n";
            seen_.fatal = "input in flex scanner failed";
            return false;
        }
        return true;
    }

    Observed observed() const {
        Observed o = seen_;
        if (current_ == Current::File) o.openFiles.insert(fileName_);
        return o;
    }

private:
    enum class Current { StandardOutput, None, File };

    static constexpr std::array<std::string_view, 6> kPlaceholders{
        "@TEMPLATE_NAME_SHORT@", "@TEMPLATE_NAME@",      "@SOURCE_LANGUAGE@",
        "@DOCUMENT_EXTENSION@",  "@EXTERNAL_EXTENSION@", "@SOURCE_EXTENSION@"};
    // Offset and capacity in the record of the field each placeholder writes, in the same order.
    static constexpr std::array<std::array<std::size_t, 2>, 6> kPlaceholderFields{
        {{64, 6}, {0, 64}, {70, 9}, {89, 5}, {84, 5}, {79, 5}}};
    static constexpr std::string_view kDirective = "+File:";
    static constexpr std::size_t kLongestName = 259;

    // Text mode: a file's data ends at its first Ctrl-Z, and CR LF reads as LF. A CR that is the
    // last byte before a failed read cannot be told from the first half of a CR LF, so it is
    // never delivered.
    static std::string readText(std::string raw, bool interactive, bool& fails) {
        if (!interactive) {
            const std::size_t z = raw.find('\x1a');
            if (z != std::string::npos) {
                raw.resize(z);
                fails = false;  // nothing behind the Ctrl-Z is read, so no read can fail
            }
        }
        if (fails && !raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string text;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
            text += raw[i];
        }
        return text;
    }

    static bool isNameChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.'; }

    static std::size_t nameRun(std::string_view s) {
        std::size_t n = 0;
        while (n < s.size() && isNameChar(s[n])) ++n;
        return n;
    }

    // Whether text begins with literal, compared byte by byte.
    static bool startsWith(std::string_view text, std::string_view literal) {
        if (text.size() < literal.size()) return false;
        for (std::size_t i = 0; i < literal.size(); ++i)
            if (text[i] != literal[i]) return false;
        return true;
    }

    // Rules are numbered 1 to 12 in priority order. Every rule of the state is tried, in order,
    // and a later one wins only with a strictly longer match.
    std::pair<int, std::size_t> longestMatch(std::string_view rest) const {
        std::pair<int, std::size_t> best{0, 0};
        const auto consider = [&](int rule, std::size_t length) {
            if (length > best.second) best = {rule, length};
        };
        if (!inFileName_) {
            for (std::size_t r = 0; r < kPlaceholders.size(); ++r)
                if (startsWith(rest, kPlaceholders[r])) consider(int(r) + 1, kPlaceholders[r].size());
            if (startsWith(rest, kDirective)) consider(7, kDirective.size());
            if (rest[0] == '\n') consider(8, 1);
            if (rest[0] != '\n') consider(9, 1);
        } else {
            consider(10, nameRun(rest));
            if (rest[0] == '\n') consider(11, 1);
            if (rest[0] != '\n') consider(12, 1);
        }
        return best;
    }

    // Whether more input could still make a longer match here.
    bool couldGrow(std::string_view rest) const {
        if (inFileName_) return nameRun(rest) == rest.size();
        for (std::string_view literal : kPlaceholders)
            if (rest.size() < literal.size() && startsWith(literal, rest)) return true;
        return rest.size() < kDirective.size() && startsWith(kDirective, rest);
    }

    void act(int rule, std::string_view text) {
        if (rule >= 1 && rule <= 6) {
            const auto [offset, capacity] = kPlaceholderFields[std::size_t(rule - 1)];
            write(field(offset, capacity));
        } else if (rule == 7) {
            inFileName_ = true;
        } else if (rule == 8 || rule == 9) {
            write(text);
        } else if (rule == 10) {
            openNext(text);
        } else if (rule == 11) {
            inFileName_ = false;
        }
    }

    std::string field(std::size_t offset, std::size_t capacity) const {
        const char* bytes = reinterpret_cast<const char*>(&record_) + offset;
        std::string text;
        for (std::size_t i = 0; i < capacity && bytes[i] != '\0'; ++i) text += bytes[i];
        return text;
    }

    void write(std::string_view text) {
        switch (current_) {
            case Current::StandardOutput: seen_.out += text; return;
            case Current::None: return;
            case Current::File:
                if (fileRefusesWrites_) return;
                std::string& file = seen_.files[fileName_];
                for (char c : text) {
                    if (c == '\n') file += '\r';
                    file += c;
                }
                return;
        }
    }

    // A file that takes no bytes says so once, the first time its bytes are pushed out.
    void flushCurrent() {
        if (current_ == Current::File && fileRefusesWrites_ && !writeFailureReported_) {
            seen_.err += "could not write " + fileName_ + "\n";
            writeFailureReported_ = true;
        }
    }

    void openNext(std::string_view suffix) {
        flushCurrent();
        const std::string name = field(64, 6) + std::string(suffix);
        if (name.size() > kLongestName || refusesOpen_(name)) {
            seen_.err += "could not open " + name + "\n";
            current_ = Current::None;
            return;
        }
        seen_.files[name].clear();
        current_ = Current::File;
        fileName_ = name;
        fileRefusesWrites_ = refusesWrite_(name);
        writeFailureReported_ = false;
    }

    MYTPLOPTS record_;
    NamePredicate refusesOpen_;
    NamePredicate refusesWrite_;
    bool inFileName_ = false;
    Current current_ = Current::StandardOutput;
    std::string fileName_;
    bool fileRefusesWrites_ = false;
    bool writeFailureReported_ = false;
    Observed seen_;
};

}  // namespace strandel::fuzz
