// Marks a hot pixel loop to be built twice, for baseline x86-64 and for AVX2, the loader picking
// the build the processor can run: baseline x86-64 lacks the byte shuffles that the three
// interleaved channels of a colour row need, and AVX2 doubles the width of every vector.
#pragma once

// Only GCC makes these clones reliably for functions called from other files (clang 14 leaves
// the callers unresolved); elsewhere the loop is built once for the baseline.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define PIXAMORPH_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define PIXAMORPH_VECTOR_CLONES
#endif
