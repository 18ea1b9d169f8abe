// SPDX-License-Identifier: MIT
// What the parser's inline code asks of the compiler, and which kernel it uses: chosen at compile
// time from the caller's own flags, each kernel with names of its own (the inline namespace in
// every inline symbol), so that files built with different flags never share one definition.
#pragma once

// Compilers weigh inlining a function of this size differently (clang++ 14 kept parse_hex out of
// line at -O3): the fast road is forced into its caller and the rare one kept out.
// HEXRACE_PARSE_ALWAYS_INLINE goes with constexpr, which implies inline already.
#if defined(__GNUC__) || defined(__clang__)
#define HEXRACE_PARSE_ALWAYS_INLINE __attribute__((always_inline))
#define HEXRACE_PARSE_INLINE inline __attribute__((always_inline))
#define HEXRACE_PARSE_COLD __attribute__((noinline, cold))
#define HEXRACE_PARSE_UNROLL _Pragma("GCC unroll 7")
#elif defined(_MSC_VER)
#define HEXRACE_PARSE_ALWAYS_INLINE __forceinline
#define HEXRACE_PARSE_INLINE __forceinline
#define HEXRACE_PARSE_COLD __declspec(noinline)
#define HEXRACE_PARSE_UNROLL
#else
#define HEXRACE_PARSE_ALWAYS_INLINE
#define HEXRACE_PARSE_INLINE inline
#define HEXRACE_PARSE_COLD
#define HEXRACE_PARSE_UNROLL
#endif

// The list functions are the library's: exported from a shared build, whose other names stay
// hidden, and imported from one on Windows (the build says HEXRACE_PARSE_SHARED to its users).
#if defined(_WIN32)
#if !defined(HEXRACE_PARSE_SHARED)
#define HEXRACE_PARSE_API
#elif defined(HEXRACE_PARSE_BUILDING)
#define HEXRACE_PARSE_API __declspec(dllexport)
#else
#define HEXRACE_PARSE_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define HEXRACE_PARSE_API __attribute__((visibility("default")))
#else
#define HEXRACE_PARSE_API
#endif

#if defined(__cpp_lib_is_constant_evaluated)
#define HEXRACE_PARSE_CONSTANT_EVALUATED() std::is_constant_evaluated()
#elif defined(__GNUC__) || defined(__clang__) || (defined(_MSC_VER) && _MSC_VER >= 1925)
#define HEXRACE_PARSE_CONSTANT_EVALUATED() __builtin_is_constant_evaluated()
#else
#define HEXRACE_PARSE_CONSTANT_EVALUATED() false
#endif

// SSE2, which every x86-64 CPU has, where the caller's flags allow it (GCC and Clang); define
// HEXRACE_PARSE_PORTABLE to take the portable kernel everywhere.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__SSE2__) && \
    !defined(HEXRACE_PARSE_PORTABLE)
#define HEXRACE_PARSE_SSE2 1
#define HEXRACE_PARSE_ABI v2_sse2
#else
#define HEXRACE_PARSE_SSE2 0
#define HEXRACE_PARSE_ABI v2_portable
#endif
