// make_skeleton.cpp - writes one synthetic skeleton to a file, for profiling a single run.
//
//   strandel_make_skeleton plain|dense|files|long-line MIB FILE
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "skeletons.hpp"

int main(int argc, char** argv) {
    using namespace strandel::bench;
    const std::optional<SkeletonKind> kind = argc == 4 ? kindFromName(argv[1]) : std::nullopt;
    if (!kind) {
        std::fprintf(stderr, "usage: strandel_make_skeleton plain|dense|files|long-line MIB FILE\n");
        return 64;
    }
    std::ofstream out(argv[3], std::ios::binary);
    makeSkeleton(*kind, std::stoul(argv[2]) << 20, [&out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    });
    out.close();
    if (!out) {
        std::fprintf(stderr, "strandel_make_skeleton: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
