// Every function defined between HEXRACE_TARGET_BEGIN("isa") and HEXRACE_TARGET_END is compiled
// for that instruction set, templates from headers included there too; the rest of the program
// is not, so it runs on any CPU of its architecture. Only call such a function where the CPU has
// the instruction set.
#pragma once

#define HEXRACE_PRAGMA(text) _Pragma(#text)
#if defined(__clang__)
#define HEXRACE_TARGET_BEGIN(isa) \
    HEXRACE_PRAGMA(clang attribute push(__attribute__((target(isa))), apply_to = function))
#define HEXRACE_TARGET_END HEXRACE_PRAGMA(clang attribute pop)
#elif defined(__GNUC__)
#define HEXRACE_TARGET_BEGIN(isa) HEXRACE_PRAGMA(GCC push_options) HEXRACE_PRAGMA(GCC target(isa))
#define HEXRACE_TARGET_END HEXRACE_PRAGMA(GCC pop_options)
#else
#error "the vector paths need GCC or Clang; build with the portable path alone"
#endif
