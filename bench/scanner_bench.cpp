// scanner_bench.cpp - the scanner core in memory: the synthetic skeletons read from memory, the
// output counted and dropped, so that only scanning and text-mode work is measured.
//
//   strandel_scanner_bench [--benchmark_filter=...]   (sizes: STRANDEL_BENCH_SIZES_MB, default "1,64")
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "environment.hpp"
#include "scanner.hpp"
#include "skeletons.hpp"

namespace strandel::bench {
namespace {

// Serves a skeleton held elsewhere, as the file's reads would: no copy of its own.
class ViewSource final : public ByteSource {
public:
    explicit ViewSource(std::string_view data) : data_(data) {}
    Result read(char* into, std::size_t max) override {
        const std::size_t n = std::min(max, data_.size() - at_);
        std::memcpy(into, data_.data() + at_, n);
        at_ += n;
        return {n, false};
    }
    Result readLine(char* into, std::size_t max) override { return read(into, max); }
    bool interactive() const override { return false; }

private:
    std::string_view data_;
    std::size_t at_ = 0;
};

class CountingSink final : public ByteSink {
public:
    explicit CountingSink(std::size_t& total) : total_(total) {}
    bool write(const char*, std::size_t n) override {
        total_ += n;
        return true;
    }
    bool flush() override { return true; }
    bool close() override { return true; }

private:
    std::size_t& total_;
};

// Files and standard output only count what reaches them.
class CountingEnvironment final : public Environment {
public:
    std::size_t written = 0;
    std::size_t files = 0;

    std::unique_ptr<ByteSink> createFile(const std::string&) override {
        ++files;
        return std::make_unique<CountingSink>(written);
    }
    ByteSink& standardOutput() override { return stdout_; }
    std::unique_ptr<ByteSource> standardInput() override { return std::make_unique<ViewSource>(""); }
    void message(std::string_view) override {}
    [[noreturn]] void fatal(std::string_view message) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
        std::exit(2);
    }

private:
    CountingSink stdout_{written};
};

const std::string& skeleton(SkeletonKind kind, std::size_t size) {
    static std::map<std::pair<SkeletonKind, std::size_t>, std::string> made;
    auto [it, fresh] = made.try_emplace({kind, size});
    if (fresh) it->second = makeSkeleton(kind, size);
    return it->second;
}

void scanSkeleton(benchmark::State& state, SkeletonKind kind, std::size_t size) {
    const std::string& text = skeleton(kind, size);
    const MYTPLOPTS record = [] {
        MYTPLOPTS r{};
        std::strcpy(r.NAME_LONG, "Ledger Report");
        std::strcpy(r.NAME_SHORT, "ledgr");
        std::strcpy(r.LANGUAGE, "Fortran");
        std::strcpy(r.SOURCE_EXT, "f90");
        std::strcpy(r.EXTERN_EXT, "inc");
        std::strcpy(r.DOC_EXT, "md");
        return r;
    }();
    std::size_t written = 0;
    std::size_t files = 0;
    for (auto _ : state) {
        CountingEnvironment env;
        Scanner scanner(env);
        scanner.setRecord(record);
        scanner.setInput(std::make_unique<ViewSource>(text));
        benchmark::DoNotOptimize(scanner.run());
        written = env.written;
        files = env.files;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.counters["out_MB"] = static_cast<double>(written) / 1e6;
    state.counters["files"] = static_cast<double>(files);
}

std::vector<std::size_t> sizesInMegabytes() {
    const char* env = std::getenv("STRANDEL_BENCH_SIZES_MB");
    std::istringstream list(env && *env ? env : "1,64");
    std::vector<std::size_t> sizes;
    for (std::string item; std::getline(list, item, ',');)
        if (!item.empty()) sizes.push_back(std::stoul(item));
    return sizes;
}

}  // namespace
}  // namespace strandel::bench

int main(int argc, char** argv) {
    using namespace strandel::bench;
    for (const std::size_t mb : sizesInMegabytes())
        for (const SkeletonKind kind : kAllKinds) {
            const std::string name = "scan/" + std::string(kindName(kind)) + "/" + std::to_string(mb) + "MiB";
            benchmark::RegisterBenchmark(name.c_str(), scanSkeleton, kind, mb << 20)
                ->Unit(benchmark::kMillisecond);
        }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
