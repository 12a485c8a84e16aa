#include "research/ByteSearch.h"

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

// The marker's inner bytes (all but the first and last) at p.
bool InnerBytesMatch(const char* p, std::string_view marker) {
  for (size_t j = 1; j + 1 < marker.size(); ++j)
    if (p[j] != marker[j]) return false;
  return true;
}

// The first match among the starts i + k whose bit k is set in found.
size_t FirstMatch(const char* data, size_t i, uint64_t found, std::string_view marker) {
  for (; found; found &= found - 1) {
    const size_t at = i + static_cast<size_t>(std::countr_zero(found));
    if (InnerBytesMatch(data + at, marker)) return at;
  }
  return npos;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define QB_FIND_AVX2 1
// Bit k: the start p + k is a candidate for the marker of length m.
__attribute__((target("avx2"))) inline uint32_t CandidatesAvx2(const char* p, size_t m, char first,
                                                               char last) {
  const __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i tails = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + m - 1));
  return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(
      _mm256_cmpeq_epi8(heads, _mm256_set1_epi8(first)), _mm256_cmpeq_epi8(tails, _mm256_set1_epi8(last)))));
}

// The starts from i on in blocks of 64 with AVX2; i is left at the first start
// not looked at when nothing matched.
__attribute__((target("avx2"))) size_t FindBlocksAvx2(const char* data, size_t starts,
                                                      std::string_view marker, size_t& i) {
  const size_t m = marker.size();
  const char first = marker[0], last = marker[m - 1];
  for (; i + 64 <= starts; i += 64) {
    const uint64_t found = CandidatesAvx2(data + i, m, first, last) |
                           uint64_t{CandidatesAvx2(data + i + 32, m, first, last)} << 32;
    if (found) {
      const size_t hit = FirstMatch(data, i, found, marker);
      if (hit != npos) return hit;
    }
  }
  return npos;
}

bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#endif

}  // namespace

// Candidates are the starts whose first and last bytes match, many at a time;
// the bytes between are compared only for those.
size_t FindBytes(const char* data, size_t size, std::string_view marker) {
  const size_t m = marker.size();
  if (m == 0) return 0;
  if (size < m) return npos;
  if (m == 1) {
    const void* hit = std::memchr(data, marker[0], size);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : npos;
  }
  const size_t starts = size - m + 1;
  const char first = marker[0], last = marker[m - 1];
  size_t i = 0;
#if defined(QB_FIND_AVX2)
  if (starts >= 64 && HasAvx2()) {
    const size_t hit = FindBlocksAvx2(data, starts, marker, i);
    if (hit != npos) return hit;
  }
#endif
#if defined(__SSE2__)
  const __m128i firsts = _mm_set1_epi8(first), lasts = _mm_set1_epi8(last);
  // Bit k: the start at + k is a candidate (at + 16 <= starts).
  const auto candidates = [&](size_t at) {
    const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + m - 1));
    return static_cast<uint32_t>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, firsts), _mm_cmpeq_epi8(tails, lasts))));
  };
  for (; i + 32 <= starts; i += 32) {
    const size_t hit = FirstMatch(data, i, candidates(i) | candidates(i + 16) << 16, marker);
    if (hit != npos) return hit;
  }
  for (; i + 16 <= starts; i += 16) {
    const size_t hit = FirstMatch(data, i, candidates(i), marker);
    if (hit != npos) return hit;
  }
#endif
  for (; i < starts; ++i)
    if (data[i] == first && data[i + m - 1] == last && InnerBytesMatch(data + i, marker)) return i;
  return npos;
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

// How common a byte is in page text; the least common one of a searched part
// is the one scanned for.
int Commonness(char c) {
  static constexpr std::string_view kLetters = "zqjxkvbywgpfmucdlhrsnioate";  // rare first
  const char f = FoldAscii(c);
  if (f >= 'a' && f <= 'z') return static_cast<int>(kLetters.find(f));
  if (f >= '0' && f <= '9') return 12;
  if (f == ' ' || f == '<' || f == '>' || f == '"' || f == '=' || f == '/' || f == '\n' || f == '\r')
    return 30;
  return 8;
}

bool IsAsciiWord(uint64_t word) { return (word & 0x8080808080808080ULL) == 0; }

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
  if (part.empty()) return true;
  if (part.size() > text.size()) return false;
  size_t anchor = 0;
  for (size_t i = 1; i < part.size(); ++i)
    if (Commonness(part[i]) < Commonness(part[anchor])) anchor = i;
  const char lower = FoldAscii(part[anchor]);
  const char upper = (lower >= 'a' && lower <= 'z') ? static_cast<char>(lower - 'a' + 'A') : lower;
  // Anchor positions run from `anchor` to `last`; a missing byte is reported as
  // `stop` (one past last).
  const char* base = text.data();
  const char* stop = base + (text.size() - part.size() + anchor) + 1;
  const char* pos = base + anchor;
  const char* nextLower = nullptr;
  const char* nextUpper = upper == lower ? stop : nullptr;
  auto next = [&](const char*& cached, char c) {
    if (cached != stop && (cached == nullptr || cached < pos)) {
      const void* hit = std::memchr(pos, c, static_cast<size_t>(stop - pos));
      cached = hit ? static_cast<const char*>(hit) : stop;
    }
  };
  while (pos < stop) {
    next(nextLower, lower);
    next(nextUpper, upper);
    const char* candidate = std::min(nextLower, nextUpper);
    if (candidate == stop) return false;
    if (EqualsAsciiFolded(std::string_view(candidate - anchor, part.size()), part)) return true;
    pos = candidate + 1;
  }
  return false;
}

}  // namespace qb
