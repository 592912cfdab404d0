// compare.cpp - the whole-process comparison: the library through its C caller, the flex peers and
// cat-to-a-file on the same synthetic skeletons, in alternating runs, printed as one table.
//
//   strandel_compare --measure PATH --caller PATH --flex-cf PATH --flex PATH
//                    [--sizes 1,64] [--kinds plain,dense,files,long-line] [--runs 5] [--limit 10]
//                    [--dir DIR] [--keep]
#include <fcntl.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "skeletons.hpp"

namespace strandel::bench {
namespace {

namespace fs = std::filesystem;

struct Options {
    std::string measure;
    std::string caller;
    std::string flexCf;
    std::string flexDefault;
    std::vector<std::size_t> sizesMb{1, 64};
    std::vector<SkeletonKind> kinds{kAllKinds.begin(), kAllKinds.end()};
    int runs = 5;
    unsigned limitSeconds = 10;  // a run taking longer is killed and shown as a bound
    std::string dir;
    bool keep = false;
};

// The values every program gets: the caller's and the peers' six arguments.
const std::vector<std::string> kValues{"Ledger Report", "ledgr", "Fortran", "f90", "inc", "md"};

enum class Role { Ours, PeerFull, PeerDefault, CopyLimit };

struct Subject {
    Role role;
    std::string label;
    std::vector<std::string> argv;
    std::string stdoutName;  // inside the subject's run directory
};

struct Sample {
    double wallMs;
    double userMs;
    double sysMs;
    double maxRssMb;
    bool timedOut;
};

struct Figures {
    double wallMs;
    double userMs;
    double sysMs;
    double maxRssMb;
    bool timedOut;  // the figures are what the run had reached when it was killed
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

Figures medians(const std::vector<Sample>& samples) {
    std::vector<double> wall, user, sys, rss;
    for (const Sample& s : samples) {
        if (s.timedOut) return {s.wallMs, s.userMs, s.sysMs, s.maxRssMb, true};
        wall.push_back(s.wallMs);
        user.push_back(s.userMs);
        sys.push_back(s.sysMs);
        rss.push_back(s.maxRssMb);
    }
    return {median(wall), median(user), median(sys), median(rss), false};
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) items.push_back(item);
    return items;
}

[[noreturn]] void usage(const std::string& problem) {
    std::cerr << "strandel_compare: " << problem
              << "\nusage: strandel_compare --measure PATH --caller PATH --flex-cf PATH --flex PATH\n"
                 "                        [--sizes 1,64] [--kinds plain,dense,files,long-line] [--runs 5]\n"
                 "                        [--limit 10] [--dir DIR] [--keep]\n";
    std::exit(64);
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage(a + " needs a value");
            return argv[++i];
        };
        if (a == "--measure") {
            o.measure = value();
        } else if (a == "--caller") {
            o.caller = value();
        } else if (a == "--flex-cf") {
            o.flexCf = value();
        } else if (a == "--flex") {
            o.flexDefault = value();
        } else if (a == "--sizes") {
            o.sizesMb.clear();
            for (const std::string& s : splitList(value())) o.sizesMb.push_back(std::stoul(s));
        } else if (a == "--kinds") {
            o.kinds.clear();
            for (const std::string& k : splitList(value())) {
                const std::optional<SkeletonKind> kind = kindFromName(k);
                if (!kind) usage("unknown skeleton kind " + k);
                o.kinds.push_back(*kind);
            }
        } else if (a == "--runs") {
            o.runs = std::stoi(value());
        } else if (a == "--limit") {
            o.limitSeconds = static_cast<unsigned>(std::stoul(value()));
        } else if (a == "--dir") {
            o.dir = value();
        } else if (a == "--keep") {
            o.keep = true;
        } else {
            usage("unknown option " + a);
        }
    }
    if (o.measure.empty() || o.caller.empty() || o.flexCf.empty() || o.flexDefault.empty())
        usage("--measure, --caller, --flex-cf and --flex are all needed");
    // The programs run in directories of their own.
    for (std::string* program : {&o.measure, &o.caller, &o.flexCf, &o.flexDefault})
        *program = std::filesystem::absolute(*program).string();
    if (o.runs < 1 || o.sizesMb.empty() || o.kinds.empty()) usage("nothing to run");
    if (o.limitSeconds == 0) usage("--limit must be at least 1");
    return o;
}

std::string fileSystemOf(const fs::path& dir) {
    struct statfs st {};
    if (statfs(dir.c_str(), &st) != 0) return "unknown";
    switch (static_cast<unsigned long>(st.f_type)) {
        case 0x01021994UL: return "tmpfs";
        case 0xEF53UL: return "ext2/3/4";
        case 0x9123683EUL: return "btrfs";
        case 0x58465342UL: return "xfs";
        case 0x794C7630UL: return "overlayfs";
        default: break;
    }
    std::ostringstream hex;
    hex << "type 0x" << std::hex << static_cast<unsigned long>(st.f_type);
    return hex.str();
}

class Bench {
public:
    Bench(Options options, fs::path scratch) : o_(std::move(options)), scratch_(std::move(scratch)) {
        subjects_ = {
            {Role::Ours, "strandel (caller)", withValues(o_.caller), "stdout"},
            {Role::PeerFull, "flex -Cf", withValues(o_.flexCf), "stdout"},
            {Role::PeerDefault, "flex default", withValues(o_.flexDefault), "stdout"},
            {Role::CopyLimit, "cat > file", {"cat", "skels/template.skl"}, "copy"},
        };
        for (const Subject& s : subjects_) fs::create_directories(runDir(s) / "skels");
    }

    // Peak memory of the caller when it has nothing to do: what the library adds is measured
    // against this.
    Figures emptyCaller() {
        const fs::path empty = scratch_ / "empty.skl";
        std::ofstream(empty, std::ios::binary).close();
        const Subject& ours = subjects_.front();
        link(ours, empty);
        std::vector<Sample> samples;
        for (int r = 0; r < o_.runs; ++r) samples.push_back(run(ours));
        fs::remove(empty);
        return medians(samples);
    }

    // One skeleton, every subject, o_.runs rounds; each round starts with the next subject so
    // that none always runs first after the skeleton was written. A program killed for taking
    // too long is not run again on the same skeleton.
    std::map<Role, Figures> measure(SkeletonKind kind, std::size_t mb) {
        const fs::path skeleton =
            scratch_ / (std::string(kindName(kind)) + "-" + std::to_string(mb) + "MiB.skl");
        {
            std::ofstream out(skeleton, std::ios::binary);
            makeSkeleton(kind, mb << 20, [&out](std::string_view piece) {
                out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            });
            if (!out) throw std::runtime_error("cannot write " + skeleton.string());
        }
        for (const Subject& s : subjects_) link(s, skeleton);
        std::map<Role, std::vector<Sample>> samples;
        for (int r = 0; r < o_.runs; ++r)
            for (std::size_t i = 0; i < subjects_.size(); ++i) {
                const Subject& s = subjects_[(i + static_cast<std::size_t>(r)) % subjects_.size()];
                std::vector<Sample>& mine = samples[s.role];
                if (!mine.empty() && mine.back().timedOut) continue;
                mine.push_back(run(s));
                if (r == 0 && s.role == Role::PeerFull && !mine.back().timedOut &&
                    !samples[Role::Ours].back().timedOut)
                    checkSameFiles(kind, mb);
            }
        for (const Subject& s : subjects_) clean(s);
        if (!o_.keep) fs::remove(skeleton);
        std::map<Role, Figures> result;
        for (const auto& [role, list] : samples) result[role] = medians(list);
        return result;
    }

    const std::vector<Subject>& subjects() const { return subjects_; }

private:
    static std::vector<std::string> withValues(const std::string& program) {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), kValues.begin(), kValues.end());
        return argv;
    }

    fs::path runDir(const Subject& s) const {
        return scratch_ / ("run-" + std::to_string(static_cast<int>(s.role)));
    }

    void link(const Subject& s, const fs::path& skeleton) const {
        const fs::path target = runDir(s) / "skels" / "template.skl";
        fs::remove(target);
        fs::create_symlink(fs::absolute(skeleton), target);
    }

    // Everything a run wrote, so that the next run creates its files afresh.
    void clean(const Subject& s) const {
        for (const auto& e : fs::directory_iterator(runDir(s)))
            if (e.path().filename() != "skels") fs::remove_all(e.path());
    }

    std::set<std::string> writtenFiles(const Subject& s) const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(runDir(s)))
            if (e.is_regular_file() && e.path().filename() != "stdout" && e.path().filename() != "stderr")
                names.insert(e.path().filename().string());
        return names;
    }

    // A cheap guard that the peer and the library did the same job: the same files came out.
    void checkSameFiles(SkeletonKind kind, std::size_t mb) const {
        if (writtenFiles(subjects_[0]) != writtenFiles(subjects_[1]))
            throw std::runtime_error("the library and the flex peer wrote different files for " +
                                     std::string(kindName(kind)) + " " + std::to_string(mb) + " MiB");
    }

    Sample run(const Subject& s) const {
        clean(s);
        const fs::path dir = runDir(s);
        const fs::path result = scratch_ / "result";
        fs::remove(result);
        std::vector<std::string> args{o_.measure, std::to_string(o_.limitSeconds), result.string()};
        args.insert(args.end(), s.argv.begin(), s.argv.end());
        const pid_t pid = fork();
        if (pid < 0) throw std::runtime_error("fork failed");
        if (pid == 0) {
            const fs::path out = dir / s.stdoutName, err = dir / "stderr";
            if (chdir(dir.c_str()) != 0) _exit(127);
            const int in = open("/dev/null", O_RDONLY);
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || o < 0 || e < 0 || dup2(in, 0) < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(127);
            std::vector<char*> cargs;
            for (std::string& a : args) cargs.push_back(a.data());
            cargs.push_back(nullptr);
            execv(cargs[0], cargs.data());
            _exit(127);
        }
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        long long wallNs = 0, userUs = 0, sysUs = 0, rssKb = 0, status = -1, timedOut = 0;
        std::ifstream in(result);
        if (!(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0) ||
            !(in >> wallNs >> userUs >> sysUs >> rssKb >> status >> timedOut))
            throw std::runtime_error("could not measure " + s.label);
        if (status != 0 && !timedOut) {
            std::ifstream err(dir / "stderr");
            std::string first;
            std::getline(err, first);
            throw std::runtime_error(s.label + " ended with status " + std::to_string(status) + ": " +
                                     first.substr(0, 200));
        }
        return {static_cast<double>(wallNs) / 1e6, static_cast<double>(userUs) / 1e3,
                static_cast<double>(sysUs) / 1e3, static_cast<double>(rssKb) / 1024, timedOut != 0};
    }

    Options o_;
    fs::path scratch_;
    std::vector<Subject> subjects_;
};

std::string fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

struct Row {
    SkeletonKind kind;
    std::size_t mb;
    std::map<Role, Figures> figures;
};

// A figure from a killed run is only a bound: ">" or "<" in front says which way.
std::string shown(double v, int decimals, char bound = 0) {
    return (bound ? std::string(1, bound) : std::string()) + fixed(v, decimals);
}

void printTable(const std::vector<Subject>& subjects, const std::vector<Row>& rows, const Figures& empty) {
    const char* const layout = "%-10s %5s  %-18s %10s %8s %8s %8s %8s %8s %9s %9s\n";
    std::printf(layout, "skeleton", "MiB", "program", "median ms", "user ms", "sys ms", "MiB/s", "x flexCf",
                "x cat", "peak MiB", "vs empty");
    for (const Row& row : rows) {
        const Figures& full = row.figures.at(Role::PeerFull);
        const Figures& cat = row.figures.at(Role::CopyLimit);
        for (const Subject& s : subjects) {
            const Figures& f = row.figures.at(s.role);
            const char slower = f.timedOut ? '>' : 0;
            const char faster = f.timedOut ? '<' : 0;
            // This program's time over another's: a bound when either was killed.
            const auto ratio = [&](const Figures& other) {
                if (f.timedOut && other.timedOut) return std::string("?");
                return shown(other.wallMs / f.wallMs, 2, other.timedOut ? '>' : faster);
            };
            const std::string above =
                s.role == Role::Ours ? shown(f.maxRssMb - empty.maxRssMb, 2, slower) : "";
            std::printf(layout, std::string(kindName(row.kind)).c_str(), std::to_string(row.mb).c_str(),
                        s.label.c_str(), shown(f.wallMs, 1, slower).c_str(),
                        shown(f.userMs, 1, slower).c_str(), shown(f.sysMs, 1, slower).c_str(),
                        shown(static_cast<double>(row.mb) * 1000 / f.wallMs, 0, faster).c_str(),
                        ratio(full).c_str(), ratio(cat).c_str(), shown(f.maxRssMb, 2, slower).c_str(),
                        above.c_str());
        }
    }
    std::printf(layout, "empty", "0", "strandel (caller)", fixed(empty.wallMs, 1).c_str(),
                fixed(empty.userMs, 1).c_str(), fixed(empty.sysMs, 1).c_str(), "", "", "",
                fixed(empty.maxRssMb, 2).c_str(), "");
}

constexpr std::size_t kGoalMb = 64;

void printGoals(const std::vector<Row>& rows, const Figures& empty) {
    std::printf("\ngoals (library through the caller; throughput from %zu MiB up):\n", kGoalMb);
    for (const Row& row : rows) {
        const Figures& ours = row.figures.at(Role::Ours);
        // A run of ours that had to be killed meets nothing.
        const auto verdict = [&ours](bool met) { return met && !ours.timedOut ? "met" : "NOT met"; };
        const std::string what = std::string(kindName(row.kind)) + " " + std::to_string(row.mb) + " MiB";
        // The throughput goals are for large skeletons; below that, starting the process weighs in.
        const bool large = row.mb >= kGoalMb;
        if (large && (row.kind == SkeletonKind::Plain || row.kind == SkeletonKind::Dense)) {
            const double x = row.figures.at(Role::PeerFull).wallMs / ours.wallMs;
            std::printf("  %-20s throughput %6.2f x flex -Cf      (>= 10)      %s\n", what.c_str(), x,
                        verdict(x >= 10));
        }
        if (large && row.kind == SkeletonKind::Plain) {
            const double x = row.figures.at(Role::CopyLimit).wallMs / ours.wallMs;
            std::printf("  %-20s throughput %6.2f x cat > file    (>= 0.33)    %s\n", what.c_str(), x,
                        verdict(x >= 1.0 / 3));
        }
        if (row.kind != SkeletonKind::LongDirective) {
            const double above = ours.maxRssMb - empty.maxRssMb;
            std::printf("  %-20s peak memory %+6.2f MiB vs empty (<= +4 MiB) %s\n", what.c_str(), above,
                        verdict(above <= 4));
        }
    }
}

}  // namespace
}  // namespace strandel::bench

int main(int argc, char** argv) {
    using namespace strandel::bench;
    const Options o = parse(argc, argv);
    try {
        const fs::path base = o.dir.empty() ? fs::temp_directory_path() : fs::path(o.dir);
        fs::create_directories(base);
        std::string pattern = (base / "strandel-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a directory in " + base.string());
        const fs::path scratch = pattern;
        std::printf("scratch directory: %s (%s); %d runs per program, medians\n\n", scratch.c_str(),
                    fileSystemOf(scratch).c_str(), o.runs);
        std::fflush(stdout);

        Bench bench(o, scratch);
        const Figures empty = bench.emptyCaller();
        std::vector<Row> rows;
        for (const std::size_t mb : o.sizesMb)
            for (const SkeletonKind kind : o.kinds) {
                std::fprintf(stderr, "  measuring %s %zu MiB\n", std::string(kindName(kind)).c_str(), mb);
                rows.push_back({kind, mb, bench.measure(kind, mb)});
            }
        printTable(bench.subjects(), rows, empty);
        printGoals(rows, empty);
        if (!o.keep) fs::remove_all(scratch);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "strandel_compare: %s\n", e.what());
        return 1;
    }
    return 0;
}
