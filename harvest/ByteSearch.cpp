#include "harvest/ByteSearch.h"

#include <algorithm>
#include <cstring>

#include "harvest/ByteKernels.h"

namespace qb {

size_t FindBytes(const char* data, size_t size, std::string_view marker) {
  const size_t m = marker.size();
  if (m == 0) return 0;
  if (size < m) return npos;
  if (m == 1) {
    const void* hit = std::memchr(data, marker[0], size);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : npos;
  }
  return Kernels().find(data, size, marker);
}

size_t FindIn(std::string_view text, std::string_view marker, size_t from) {
  if (marker.size() == 1 && from < text.size()) {
    // Separators are close together: look at a few bytes before calling memchr.
    const size_t near = std::min(text.size(), from + 16);
    for (size_t i = from; i < near; ++i)
      if (text[i] == marker[0]) return i;
    if (near == text.size()) return npos;
    const void* hit = std::memchr(text.data() + near, marker[0], text.size() - near);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : npos;
  }
  if (from > text.size()) return npos;
  const size_t hit = FindBytes(text.data() + from, text.size() - from, marker);
  return hit == npos ? npos : hit + from;
}

std::string_view CutFirst(std::string_view t, size_t n, bool utf8) {
  if (!utf8 || t.size() <= n) return t.substr(0, n);
  // Stop in front of the lead byte of character n + 1.
  size_t chars = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if ((static_cast<unsigned char>(t[i]) & 0xC0) == 0x80) continue;
    if (chars == n) return t.substr(0, i);
    ++chars;
  }
  return t;
}

bool IsValidUtf8(std::string_view text) {
  return Kernels().isValidUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

bool TextContains(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  return text.size() >= part.size() && Kernels().findFolded(text.data(), text.size(), part) != npos;
}

}  // namespace qb
