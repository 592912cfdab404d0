// stdio_environment.hpp - the scanner's environment on the C standard streams: what the library
// uses in a real process.
#pragma once

#include <memory>

#include "environment.hpp"

namespace strandel {

class StdioEnvironment final : public Environment {
public:
    StdioEnvironment();
    ~StdioEnvironment() override;

    // A file's data for reading; nullptr when it cannot be opened or is a directory.
    std::unique_ptr<ByteSource> openForReading(const char* path);

    std::unique_ptr<ByteSink> createFile(const std::string& name) override;
    ByteSink& standardOutput() override;
    std::unique_ptr<ByteSource> standardInput() override;
    void message(std::string_view line) override;
    [[noreturn]] void fatal(std::string_view message) override;

private:
    std::unique_ptr<ByteSink> stdout_;
};

}  // namespace strandel
