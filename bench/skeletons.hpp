// skeletons.hpp - synthetic skeletons for the benchmarks: the same bytes for a kind and a size on
// every run, produced in pieces so that a 256 MB skeleton never has to be held whole.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace strandel::bench {

enum class SkeletonKind {
    Plain,          // prose and code lines, a placeholder every few kilobytes
    Dense,          // placeholders packed between near-misses: "@", "@TEMPLATE_NAME", "+Fil", ...
    Files,          // a file directive every few hundred bytes, cycling through 64 suffixes
    LongDirective,  // one directive line whose suffix is the whole skeleton
};

inline constexpr std::array<SkeletonKind, 4> kAllKinds{SkeletonKind::Plain, SkeletonKind::Dense,
                                                       SkeletonKind::Files, SkeletonKind::LongDirective};

std::string_view kindName(SkeletonKind kind);
std::optional<SkeletonKind> kindFromName(std::string_view name);

// Hands the skeleton of exactly `size` bytes to `sink`, in pieces of about 64 KiB.
void makeSkeleton(SkeletonKind kind, std::size_t size, const std::function<void(std::string_view)>& sink);

std::string makeSkeleton(SkeletonKind kind, std::size_t size);

}  // namespace strandel::bench
