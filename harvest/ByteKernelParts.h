#pragma once

// What the kernel levels share: the portable steps that finish what the
// blocks of a SIMD level leave, and the levels' tables.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "harvest/ByteKernels.h"
#include "runtime/AsciiText.h"

namespace qb::kernels {

inline constexpr size_t npos = std::string_view::npos;

extern const ByteKernels kPortable;
#if defined(__SSE2__)
#define QB_KERNELS_SSE2 1
extern const ByteKernels kSse2;
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#define QB_KERNELS_AVX2 1
extern const ByteKernels kAvx2;
#endif

// Byte comparison of a search: exact, or with ASCII letter case ignored. A
// letter c matches the bytes b with b | 0x20 == c | 0x20, which are its two
// cases; Or(c) is that 0x20 for a letter, 0 for any other byte.
template <bool kFolded>
struct Match {
  static char Or(char c) {
    return kFolded && FoldAscii(c) >= 'a' && FoldAscii(c) <= 'z' ? char(0x20) : char(0);
  }
  static bool Same(char a, char b) { return kFolded ? FoldAscii(a) == FoldAscii(b) : a == b; }
  // The marker's inner bytes (all but the first and last) at p.
  static bool Inner(const char* p, std::string_view marker) {
    for (size_t j = 1; j + 1 < marker.size(); ++j)
      if (!Same(p[j], marker[j])) return false;
    return true;
  }
  // The first match among the starts i + k whose bit k is set in found.
  static size_t First(const char* data, size_t i, uint64_t found, std::string_view marker) {
    for (; found; found &= found - 1) {
      const size_t at = i + static_cast<size_t>(std::countr_zero(found));
      if (Inner(data + at, marker)) return at;
    }
    return npos;
  }
  // The first match among the starts [i, starts), one by one.
  static size_t FindFrom(const char* data, size_t starts, std::string_view marker, size_t i) {
    const size_t last = marker.size() - 1;
    for (; i < starts; ++i)
      if (Same(data[i], marker[0]) && Same(data[i + last], marker[last]) && Inner(data + i, marker)) return i;
    return npos;
  }
};

// The page text of in[i] at o, as widenLineEnds makes it; in[i] is no NUL.
inline void WidenByte(const char* in, size_t n, size_t i, char*& o) {
  const char c = in[i];
  if (c == '\n' && (i == 0 || in[i - 1] != '\r')) *o++ = '\r';
  *o++ = c;
  if (c == '\r' && (i + 1 == n || in[i + 1] != '\n')) *o++ = '\n';
}

// Widens in[i, n) byte by byte up to a NUL; returns where it stopped.
inline size_t WidenFrom(const char* in, size_t n, size_t i, char*& o) {
  for (; i < n; ++i) {
    if (in[i] == '\0') break;
    WidenByte(in, n, i, o);
  }
  return i;
}

// The page text of the kWidth bytes at in, whose lone CRs and LFs are the set
// bits of loneCr and loneLf, at out; returns the bytes written. Copies kWidth
// bytes at a time: out needs room for 2 kWidth + 1.
template <size_t kWidth>
inline size_t WidenLoneEnds(const char* in, char* out, uint32_t loneCr, uint32_t loneLf) {
  char* o = out;
  size_t from = 0;  // in[from, kWidth) still to copy
  for (uint32_t lone = loneCr | loneLf; lone; lone &= lone - 1) {
    const auto k = static_cast<size_t>(std::countr_zero(lone));
    std::memcpy(o, in + from, kWidth);
    if (loneCr >> k & 1) {
      o += k + 1 - from;
      *o++ = '\n';
      from = k + 1;
    } else {
      o += k - from;
      *o++ = '\r';
      from = k;
    }
  }
  std::memcpy(o, in + from, kWidth);
  return static_cast<size_t>(o - out) + kWidth - from;
}

// The UTF-8 character that starts with the non-ASCII byte s[i]: false when it
// is not well formed (overlong, a surrogate, above U+10FFFF, cut short);
// otherwise i moves past it.
inline bool Utf8Character(const unsigned char* s, size_t n, size_t& i) {
  const unsigned char c = s[i];
  size_t length;
  uint32_t lowest;
  uint32_t code;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2, lowest = 0x80, code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3, lowest = 0x800, code = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4, lowest = 0x10000, code = c & 0x07;
  } else {
    return false;
  }
  if (i + length > n) return false;
  for (size_t j = 1; j < length; ++j) {
    if ((s[i + j] & 0xC0) != 0x80) return false;
    code = (code << 6) | (s[i + j] & 0x3F);
  }
  if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  i += length;
  return true;
}

inline bool IsQuoted(char c, char separator) { return c == separator || c == '"' || c == '\r' || c == '\n'; }

}  // namespace qb::kernels
