// The paths of an aarch64 build: the portable one, and NEON, which every aarch64 CPU has.
#include <span>

#include "paths.h"

namespace hexrace::parse_detail {

extern const Path neon_path;

std::span<const Path> available_paths() {
    static const Path paths[] = {
        {"portable", portable_parse32, portable_parse64, portable_parse_list},
        neon_path,
    };
    return paths;
}

}  // namespace hexrace::parse_detail
