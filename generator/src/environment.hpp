// environment.hpp - everything the scanner needs from outside: raw byte sources and sinks, the
// standard streams, file creation and the process exit of a fatal error. The library runs on
// the C standard streams; tests run the same scanner in memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace strandel {

// Where raw input bytes come from.
class ByteSource {
public:
    struct Result {
        std::size_t count;
        bool failed;  // only with count 0: the read failed rather than found the end
    };
    virtual ~ByteSource() = default;
    // Up to max bytes; a count of 0 without failed is the end of the data.
    virtual Result read(char* into, std::size_t max) = 0;
    // For interactive sources: up to max bytes, stopping after the first '\n'.
    virtual Result readLine(char* into, std::size_t max) = 0;
    // A terminal: read line by line, and Ctrl-Z is an ordinary byte there.
    virtual bool interactive() const = 0;
};

// Where raw output bytes go. Each call reports whether it succeeded.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const char* data, std::size_t n) = 0;
    virtual bool flush() = 0;
    virtual bool close() = 0;
};

class Environment {
public:
    virtual ~Environment() = default;
    // Creates or truncates a file for writing; nullptr when it cannot be opened.
    virtual std::unique_ptr<ByteSink> createFile(const std::string& name) = 0;
    virtual ByteSink& standardOutput() = 0;
    virtual std::unique_ptr<ByteSource> standardInput() = 0;
    // One whole line, its '\n' included, to standard error.
    virtual void message(std::string_view line) = 0;
    // Writes the message and a newline to standard error and ends the process with status 2.
    [[noreturn]] virtual void fatal(std::string_view message) = 0;
};

}  // namespace strandel
