#pragma once

// The SSE2 steps that the AVX2 level finishes its work with.

#include <cstddef>
#include <string_view>

namespace qb::kernels {

// The first match among the starts [i, starts), or npos.
template <bool kFolded>
size_t Sse2FindFrom(const char* data, size_t starts, std::string_view marker, size_t i);
// Widens in[i, n) up to a NUL (in[i - 1] read when i > 0); returns where it stopped.
size_t Sse2WidenFrom(const char* in, size_t n, size_t i, char*& o);
// The offset of the first non-ASCII byte from i on, or n.
size_t Sse2SkipAscii(const unsigned char* s, size_t n, size_t i);
bool Sse2NeedsQuotes(const char* text, size_t n, char separator);

}  // namespace qb::kernels
