// process.hpp - runs a program in a directory of its own with chosen standard input, and gives
// back its exit status and what it wrote, for tests at the level of a whole process.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace strandel::testing {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const fs::path& path, const std::string& data) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << data;
}

// A fresh directory, removed with everything in it at the end of its scope.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "strandel-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

    // The regular files in the directory (not below it), by name.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> found;
        for (const auto& e : fs::directory_iterator(path_))
            if (e.is_regular_file()) found[e.path().filename().string()] = readFile(e.path());
        return found;
    }

private:
    fs::path path_;
};

struct ProcessResult {
    int status = -1;  // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs argv in cwd. Standard input is stdinData, or closed when there is none.
inline ProcessResult runProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                                const std::optional<std::string>& stdinData) {
    TempDir io;
    const fs::path in = io.path() / "in", out = io.path() / "out", err = io.path() / "err";
    if (stdinData) writeFile(in, *stdinData);
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0) _exit(127);
        close(0);
        if (stdinData && open(in.c_str(), O_RDONLY) != 0) _exit(127);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(127);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    return {WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, readFile(out), readFile(err)};
}

}  // namespace strandel::testing
