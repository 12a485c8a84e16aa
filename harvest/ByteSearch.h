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

// The first n bytes of t, or its first n characters when utf8 is set
// (t must then be valid UTF-8).
std::string_view CutFirst(std::string_view t, size_t n, bool utf8 = false);

bool IsValidUtf8(std::string_view text);

// True when part occurs in text, ASCII letter case ignored.
bool TextContains(std::string_view text, std::string_view part);

}  // namespace qb
