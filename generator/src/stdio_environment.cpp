// stdio_environment.cpp - byte sources and sinks over FILE streams, opened in binary mode: the
// text-mode translation is ours, so that every platform writes the same bytes.
#include "stdio_environment.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#  define STRANDEL_ISATTY _isatty
#  define STRANDEL_FILENO _fileno
#else
#  include <unistd.h>
#  define STRANDEL_ISATTY isatty
#  define STRANDEL_FILENO fileno
#endif

namespace strandel {

namespace {

constexpr std::size_t kReadBuffer = 128 * 1024;

class FileSource final : public ByteSource {
public:
    FileSource(std::FILE* f, bool owned)
        : f_(f), owned_(owned), interactive_(STRANDEL_ISATTY(STRANDEL_FILENO(f)) != 0) {}
    ~FileSource() override {
        if (owned_) std::fclose(f_);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // The scanner asks for 8192 bytes at a time; a stream buffer larger than that lets the system
    // hand a file over in fewer, larger reads. (Given no buffer of its own, a C library may keep
    // its default size whatever size is asked for.) Only before the stream's first read.
    void useLargeBuffer() {
        buffer_ = std::make_unique_for_overwrite<char[]>(kReadBuffer);
        std::setvbuf(f_, buffer_.get(), _IOFBF, kReadBuffer);
    }

    Result read(char* into, std::size_t max) override {
        const std::size_t n = std::fread(into, 1, max, f_);
        return {n, n == 0 && std::ferror(f_) != 0};
    }

    Result readLine(char* into, std::size_t max) override {
        std::size_t n = 0;
        int c = 0;
        while (n < max && (c = std::getc(f_)) != EOF) {
            into[n++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        return {n, n == 0 && std::ferror(f_) != 0};
    }

    bool interactive() const override { return interactive_; }

private:
    std::FILE* f_;
    bool owned_;
    bool interactive_;
    std::unique_ptr<char[]> buffer_;  // the stream's; freed after the destructor has closed it
};

class FileSink final : public ByteSink {
public:
    FileSink(std::FILE* f, bool owned) : f_(f), owned_(owned) {}
    ~FileSink() override {
        if (owned_ && f_) std::fclose(f_);
    }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool write(const char* data, std::size_t n) override { return std::fwrite(data, 1, n, f_) == n; }
    bool flush() override { return std::fflush(f_) == 0; }
    bool close() override {
        if (!owned_) return flush();
        const bool ok = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }

private:
    std::FILE* f_;
    bool owned_;
};

}  // namespace

StdioEnvironment::StdioEnvironment() : stdout_(std::make_unique<FileSink>(stdout, false)) {}

StdioEnvironment::~StdioEnvironment() = default;

std::unique_ptr<ByteSource> StdioEnvironment::openForReading(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    // Some systems open a directory for reading and only fail at the first read; take it as a
    // skeleton that cannot be opened, as everywhere else.
    struct stat st {};
    if (fstat(STRANDEL_FILENO(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        return nullptr;
    }
    auto source = std::make_unique<FileSource>(f, true);
    source->useLargeBuffer();
    return source;
}

std::unique_ptr<ByteSink> StdioEnvironment::createFile(const std::string& name) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return nullptr;
    // TextFileOutput buffers already; a second buffer would only copy the bytes once more.
    std::setvbuf(f, nullptr, _IONBF, 0);
    return std::make_unique<FileSink>(f, true);
}

ByteSink& StdioEnvironment::standardOutput() {
    return *stdout_;
}

std::unique_ptr<ByteSource> StdioEnvironment::standardInput() {
#if defined(_WIN32)
    // Standard input is translated like any other input, by us.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return std::make_unique<FileSource>(stdin, false);
}

void StdioEnvironment::message(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void StdioEnvironment::fatal(std::string_view message) {
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::exit(2);
}

}  // namespace strandel
