#include "harvest/ByteSearch.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace qb {

namespace {

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
};

// The starts from i on, 32 or 16 at a time with SSE2, then one by one.
template <bool kFolded>
inline size_t FindRest(const char* data, size_t starts, std::string_view marker, size_t i) {
  using M = Match<kFolded>;
  const size_t m = marker.size();
#if defined(__SSE2__)
  const __m128i firstOr = _mm_set1_epi8(M::Or(marker[0])), lastOr = _mm_set1_epi8(M::Or(marker[m - 1]));
  const __m128i firsts = _mm_or_si128(_mm_set1_epi8(marker[0]), firstOr);
  const __m128i lasts = _mm_or_si128(_mm_set1_epi8(marker[m - 1]), lastOr);
  // Bit k: the start at + k is a candidate (at + 16 <= starts).
  const auto candidates = [&](size_t at) {
    __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + m - 1));
    if (kFolded) {
      heads = _mm_or_si128(heads, firstOr);
      tails = _mm_or_si128(tails, lastOr);
    }
    return static_cast<uint32_t>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, firsts), _mm_cmpeq_epi8(tails, lasts))));
  };
  for (; i + 32 <= starts; i += 32) {
    const size_t hit = M::First(data, i, candidates(i) | candidates(i + 16) << 16, marker);
    if (hit != npos) return hit;
  }
  for (; i + 16 <= starts; i += 16) {
    const size_t hit = M::First(data, i, candidates(i), marker);
    if (hit != npos) return hit;
  }
#endif
  for (; i < starts; ++i)
    if (M::Same(data[i], marker[0]) && M::Same(data[i + m - 1], marker[m - 1]) && M::Inner(data + i, marker))
      return i;
  return npos;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define QB_FIND_AVX2 1
// Bit k: the start p + k is a candidate for the marker of length m, its first
// and last bytes being first and last (after the Or of the search).
template <bool kFolded>
__attribute__((target("avx2"))) inline uint32_t CandidatesAvx2(const char* p, size_t m, __m256i first,
                                                               __m256i last, __m256i firstOr,
                                                               __m256i lastOr) {
  __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  __m256i tails = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + m - 1));
  if (kFolded) {
    heads = _mm256_or_si256(heads, firstOr);
    tails = _mm256_or_si256(tails, lastOr);
  }
  return static_cast<uint32_t>(_mm256_movemask_epi8(
      _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last))));
}

// The starts in blocks of 64 with AVX2, then the rest.
template <bool kFolded>
__attribute__((target("avx2"))) size_t FindAvx2(const char* data, size_t starts, std::string_view marker) {
  using M = Match<kFolded>;
  const size_t m = marker.size();
  const __m256i firstOr = _mm256_set1_epi8(M::Or(marker[0])), lastOr = _mm256_set1_epi8(M::Or(marker[m - 1]));
  const __m256i first = _mm256_or_si256(_mm256_set1_epi8(marker[0]), firstOr);
  const __m256i last = _mm256_or_si256(_mm256_set1_epi8(marker[m - 1]), lastOr);
  size_t i = 0;
  for (; i + 64 <= starts; i += 64) {
    const uint64_t found = CandidatesAvx2<kFolded>(data + i, m, first, last, firstOr, lastOr) |
                           uint64_t{CandidatesAvx2<kFolded>(data + i + 32, m, first, last, firstOr, lastOr)}
                               << 32;
    if (found) {
      const size_t hit = M::First(data, i, found, marker);
      if (hit != npos) return hit;
    }
  }
  return FindRest<kFolded>(data, starts, marker, i);
}
#endif

// Candidates are the starts whose first and last bytes match, many at a time;
// the bytes between are compared only for those.
template <bool kFolded>
size_t Find(const char* data, size_t size, std::string_view marker) {
  const size_t m = marker.size();
  if (m == 0) return 0;
  if (size < m) return npos;
  if (m == 1 && !kFolded) {
    const void* hit = std::memchr(data, marker[0], size);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : npos;
  }
  const size_t starts = size - m + 1;
#if defined(QB_FIND_AVX2)
  if (starts >= 64 && HasAvx2()) return FindAvx2<kFolded>(data, starts, marker);
#endif
  return FindRest<kFolded>(data, starts, marker, 0);
}

}  // namespace

extern const bool kHasAvx2 = [] {
#if defined(QB_FIND_AVX2)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
#else
  return false;
#endif
}();

size_t FindBytes(const char* data, size_t size, std::string_view marker) {
  return Find<false>(data, size, marker);
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

namespace {

bool IsAsciiWord(uint64_t word) { return (word & 0x8080808080808080ULL) == 0; }

#if defined(QB_FIND_AVX2)
// Past the whole blocks of 64 ASCII bytes from i on.
__attribute__((target("avx2"))) size_t SkipAsciiAvx2(const unsigned char* s, size_t n, size_t i) {
  for (; i + 64 <= n; i += 64) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 32));
    if (_mm256_movemask_epi8(_mm256_or_si256(a, b))) break;
  }
  return i;
}
#endif

}  // namespace

std::string_view CutFrom(std::string_view t, std::string_view marker, size_t k) {
  const size_t hit = FindIn(t, marker);
  size_t start;
  if (hit == npos) {
    if (k == 0) return {};
    start = k - 1;
  } else {
    start = hit + k;
  }
  return start >= t.size() ? std::string_view() : t.substr(start);
}

std::string_view CutUpTo(std::string_view t, std::string_view marker) {
  const size_t hit = FindIn(t, marker);
  return hit == npos ? std::string_view() : t.substr(0, hit);
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
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
#if defined(__SSE2__)
    // Runs of ASCII 16 bytes at a time.
    while (i + 16 <= n) {
      const auto high =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i))));
      if (high) {
        i += static_cast<size_t>(std::countr_zero(high));
        break;
      }
      i += 16;
#if defined(QB_FIND_AVX2)
      // A run of ASCII goes on 64 bytes at a time (not at every character of a
      // text dense with others).
      if (i + 64 <= n && HasAvx2()) i = SkipAsciiAvx2(s, n, i);
#endif
    }
    if (i == n) break;
#endif
    if (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, s + i, 8);
      if (IsAsciiWord(word)) {
        i += 8;
        continue;
      }
    }
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
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
  }
  return true;
}

bool TextContains(std::string_view text, std::string_view part) {
  return Find<true>(text.data(), text.size(), part) != npos;
}

}  // namespace qb
