#pragma once

// The bulk loops of the writer and the reader work sixteen characters at a
// time with SSE2 where the compiler targets it (every x86-64 machine). Each
// loop has a plain form beside it, which other processors run and which a
// build with QUILLFORT_NO_SIMD defined uses everywhere, so that both are
// built and tested on this machine.
#if !defined(QUILLFORT_NO_SIMD) &&                                                                           \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#include <emmintrin.h>
#define QUILLFORT_SSE2 1
#endif
