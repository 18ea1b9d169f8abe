// The paths of an x86-64 build: the portable one, and SSSE3 where the running CPU reports it.
// (The same kernels in VEX encoding, for AVX, took three instructions fewer a number and no less
// time in the suite: not kept.)
#include <span>
#include <vector>

#include "paths.h"

namespace hexrace::parse_detail {

extern const Path ssse3_path;

std::span<const Path> available_paths() {
    static const std::vector<Path> paths = [] {
        std::vector<Path> found{
            {"portable", portable_parse32, portable_parse64, portable_parse_list}};
        __builtin_cpu_init();  // the first call may come from a static constructor
        if (__builtin_cpu_supports("ssse3")) {
            found.push_back(ssse3_path);
        }
        return found;
    }();
    return paths;
}

}  // namespace hexrace::parse_detail
