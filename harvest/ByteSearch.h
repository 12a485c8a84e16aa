#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/AsciiText.h"

namespace qb {

inline constexpr size_t npos = std::string_view::npos;

// Offset of the first marker in [data, data + size), or npos.
size_t FindBytes(const char* data, size_t size, std::string_view marker);
// Offset in text of the first marker at or after from, or npos.
size_t FindIn(std::string_view text, std::string_view marker, size_t from = 0);

// The three cut operations on a text t. Positions count from 1 as on the page.
// from M + k: t from (position of M) + k on; empty when that lies outside t.
// Without M, t loses its first k - 1 characters (k = 0 makes it empty).
std::string_view CutFrom(std::string_view t, std::string_view marker, size_t k);
// up to M: the characters before the first M; empty without M.
std::string_view CutUpTo(std::string_view t, std::string_view marker);
// first n: the first n bytes, or the first n characters when utf8 is set
// (t must then be valid UTF-8).
std::string_view CutFirst(std::string_view t, size_t n, bool utf8 = false);

bool IsValidUtf8(std::string_view text);

// True when part occurs in text, ASCII letter case ignored.
bool TextContains(std::string_view text, std::string_view part);

}  // namespace qb
