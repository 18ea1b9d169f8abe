// The paths of a build without vector paths: the portable one alone.
#include <span>

#include "paths.h"

namespace hexrace::parse_detail {

std::span<const Path> available_paths() {
    static constexpr Path kPaths[] = {
        {"portable", portable_parse32, portable_parse64, portable_parse_list},
    };
    return kPaths;
}

}  // namespace hexrace::parse_detail
