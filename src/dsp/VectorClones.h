#pragma once
// AURIVO_CLONES marks a loop function to be compiled twice, for the x86-64 baseline and for
// AVX2, with the variant chosen when the program loads. No FMA: both give the same results.
// Left out under the sanitizers and for other compilers and processors.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_ADDRESS__)
#define AURIVO_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define AURIVO_CLONES
#endif
