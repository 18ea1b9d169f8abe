// SPDX-License-Identifier: MIT
// What the parser's inline code asks of the compiler, and which kernel it uses: chosen at compile
// time from the caller's own flags, each kernel with names of its own (the inline namespace in
// every inline symbol), so that files built with different flags never share one definition.
#pragma once

// Older standards fail far into the headers with messages that do not name the cause.
#if defined(_MSVC_LANG)
#define HEXRACE_PARSE_CPLUSPLUS _MSVC_LANG
#else
#define HEXRACE_PARSE_CPLUSPLUS __cplusplus
#endif
#if HEXRACE_PARSE_CPLUSPLUS < 201703L
#error "hexrace's headers need C++17 or later (-std=c++17, /std:c++17)"
#endif

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
// A static build exports nothing, so that a plugin linked with it does not export them either.
#if defined(_WIN32)
#if !defined(HEXRACE_PARSE_SHARED)
#define HEXRACE_PARSE_API
#elif defined(HEXRACE_PARSE_BUILDING)
#define HEXRACE_PARSE_API __declspec(dllexport)
#else
#define HEXRACE_PARSE_API __declspec(dllimport)
#endif
#elif (defined(__GNUC__) || defined(__clang__)) && defined(HEXRACE_PARSE_SHARED)
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

// unsigned __int128 and __int128, which GCC and Clang have on 64-bit targets.
#if defined(__SIZEOF_INT128__) && (defined(__GNUC__) || defined(__clang__))
#define HEXRACE_PARSE_HAS_INT128 1
#else
#define HEXRACE_PARSE_HAS_INT128 0
#endif

// SSE2, which every x86-64 CPU has, where the caller's flags allow it (GCC and Clang); define
// HEXRACE_PARSE_PORTABLE to take the portable kernel everywhere.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__SSE2__) && \
    !defined(HEXRACE_PARSE_PORTABLE)
#define HEXRACE_PARSE_SSE2 1
#define HEXRACE_PARSE_KERNEL sse2
#else
#define HEXRACE_PARSE_SSE2 0
#define HEXRACE_PARSE_KERNEL portable
#endif

// The inline code's names carry the kernel and every instruction-set extension that the caller's
// flags let the compiler use in it: a file built with -march=native and one built for the base
// CPU then never share a definition that the linker could pick for both (at -O0 every helper is
// an out-of-line weak symbol). Vector levels imply the ones below them; the rest stand alone.
// These are x86-64's extensions, and SVE on aarch64: on other CPUs, build every file that
// includes this header for one instruction set.
#if defined(__AVX512F__)
#define HEXRACE_PARSE_ISA_VECTOR _avx512f
#elif defined(__AVX2__)
#define HEXRACE_PARSE_ISA_VECTOR _avx2
#elif defined(__AVX__)
#define HEXRACE_PARSE_ISA_VECTOR _avx
#elif defined(__SSE4_2__)
#define HEXRACE_PARSE_ISA_VECTOR _sse42
#elif defined(__SSE4_1__)
#define HEXRACE_PARSE_ISA_VECTOR _sse41
#elif defined(__SSSE3__)
#define HEXRACE_PARSE_ISA_VECTOR _ssse3
#elif defined(__SSE3__)
#define HEXRACE_PARSE_ISA_VECTOR _sse3
#elif defined(__ARM_FEATURE_SVE2)
#define HEXRACE_PARSE_ISA_VECTOR _sve2
#elif defined(__ARM_FEATURE_SVE)
#define HEXRACE_PARSE_ISA_VECTOR _sve
#else
#define HEXRACE_PARSE_ISA_VECTOR
#endif
#if defined(__AVX512BW__)
#define HEXRACE_PARSE_ISA_BW _bw
#else
#define HEXRACE_PARSE_ISA_BW
#endif
#if defined(__AVX512VL__)
#define HEXRACE_PARSE_ISA_VL _vl
#else
#define HEXRACE_PARSE_ISA_VL
#endif
#if defined(__AVX512DQ__)
#define HEXRACE_PARSE_ISA_DQ _dq
#else
#define HEXRACE_PARSE_ISA_DQ
#endif
#if defined(__AVX512VBMI__)
#define HEXRACE_PARSE_ISA_VBMI _vbmi
#else
#define HEXRACE_PARSE_ISA_VBMI
#endif
#if defined(__AVX512VBMI2__)
#define HEXRACE_PARSE_ISA_VBMI2 _vbmi2
#else
#define HEXRACE_PARSE_ISA_VBMI2
#endif
#if defined(__AVX512BITALG__) && defined(__AVX512VPOPCNTDQ__)
#define HEXRACE_PARSE_ISA_BITALG _bitalg_vpopcntdq
#elif defined(__AVX512BITALG__)
#define HEXRACE_PARSE_ISA_BITALG _bitalg
#elif defined(__AVX512VPOPCNTDQ__)
#define HEXRACE_PARSE_ISA_BITALG _vpopcntdq
#else
#define HEXRACE_PARSE_ISA_BITALG
#endif
#if defined(__POPCNT__)
#define HEXRACE_PARSE_ISA_POPCNT _popcnt
#else
#define HEXRACE_PARSE_ISA_POPCNT
#endif
#if defined(__BMI__)
#define HEXRACE_PARSE_ISA_BMI _bmi
#else
#define HEXRACE_PARSE_ISA_BMI
#endif
#if defined(__BMI2__)
#define HEXRACE_PARSE_ISA_BMI2 _bmi2
#else
#define HEXRACE_PARSE_ISA_BMI2
#endif
#if defined(__LZCNT__)
#define HEXRACE_PARSE_ISA_LZCNT _lzcnt
#else
#define HEXRACE_PARSE_ISA_LZCNT
#endif
#if defined(__MOVBE__) && defined(__APX_F__)
#define HEXRACE_PARSE_ISA_MOVBE _movbe_apx
#elif defined(__MOVBE__)
#define HEXRACE_PARSE_ISA_MOVBE _movbe
#elif defined(__APX_F__)
#define HEXRACE_PARSE_ISA_MOVBE _apx
#else
#define HEXRACE_PARSE_ISA_MOVBE
#endif

// Two steps, so that the arguments are expanded before they are pasted (empty ones paste to
// nothing).
#define HEXRACE_PARSE_PASTE_(v, k, a, b, c, d, e, f, g, h, i, j, l, m) \
    v##k##a##b##c##d##e##f##g##h##i##j##l##m
// The extra expansion spreads __VA_ARGS__ over the parameters with MSVC's traditional
// preprocessor too, which passes it on as one argument.
#define HEXRACE_PARSE_EXPAND(x) x
#define HEXRACE_PARSE_PASTE(...) HEXRACE_PARSE_EXPAND(HEXRACE_PARSE_PASTE_(__VA_ARGS__))
// v2_sse2 for the base x86-64 CPU, v2_sse2_avx2_bmi_bmi2_lzcnt_movbe for -march=haswell, ...
#define HEXRACE_PARSE_ABI                                                                          \
    HEXRACE_PARSE_PASTE(v2_, HEXRACE_PARSE_KERNEL, HEXRACE_PARSE_ISA_VECTOR, HEXRACE_PARSE_ISA_BW, \
                        HEXRACE_PARSE_ISA_VL, HEXRACE_PARSE_ISA_DQ, HEXRACE_PARSE_ISA_VBMI,        \
                        HEXRACE_PARSE_ISA_VBMI2, HEXRACE_PARSE_ISA_BITALG,                         \
                        HEXRACE_PARSE_ISA_POPCNT, HEXRACE_PARSE_ISA_BMI, HEXRACE_PARSE_ISA_BMI2,   \
                        HEXRACE_PARSE_ISA_LZCNT, HEXRACE_PARSE_ISA_MOVBE)
