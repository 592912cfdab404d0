// vdgentemplate.cpp - the library's one exported function and the one process-wide scanner.
#include <new>

#include "scanner.hpp"
#include "stdio_environment.hpp"
#include "strandel.h"

namespace {

constexpr const char* kSkeletonPath = ".//skels//template.skl";

struct Generator {
    strandel::StdioEnvironment env;
    strandel::Scanner scanner{env};
};

// Created on the first call and never destroyed: its output file stays open after a call
// returns, and the C run-time closes it when the process ends.
Generator& generator() {
    static Generator* const g = new Generator;
    return *g;
}

}  // namespace

extern "C" STRANDEL_API int32_t STRANDEL_CALL vdgentemplate(MYTPLOPTS opts) {
    Generator& g = generator();
    try {
        g.scanner.setRecord(opts);
        std::unique_ptr<strandel::ByteSource> skeleton = g.env.openForReading(kSkeletonPath);
        if (!skeleton) {
            g.env.message(std::string("could not open ") + kSkeletonPath + "\n");
            // Only the first call can fall back to standard input; a later one has nothing to
            // read and leaves the state and the current output as they were.
            if (!g.scanner.beforeFirstRun()) return 1;
        }
        g.scanner.setInput(std::move(skeleton));
        return g.scanner.run();
    } catch (const std::bad_alloc&) {
        // Nothing may be thrown across the C boundary.
        g.env.fatal(strandel::fatalMessage(strandel::Fatal::OutOfMemory));
    }
}
