// SSE2: 16 bytes at a time (every x86-64 processor has it).
#include "harvest/ByteKernelParts.h"

#if defined(QB_KERNELS_SSE2)
#include <emmintrin.h>

#include "harvest/ByteKernelsSse2.h"

namespace qb::kernels {

namespace {

inline __m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

template <bool kFolded>
size_t Find(const char* data, size_t size, std::string_view marker) {
  return Sse2FindFrom<kFolded>(data, size - marker.size() + 1, marker, 0);
}

size_t WidenLineEnds(const char* in, size_t n, char* out, size_t& read) {
  char* o = out;
  read = Sse2WidenFrom(in, n, 0, o);
  return static_cast<size_t>(o - out);
}

bool IsValidUtf8(const unsigned char* s, size_t n) {
  for (size_t i = 0; i < n;) {
    i = Sse2SkipAscii(s, n, i);
    if (i < n && !Utf8Character(s, n, i)) return false;
  }
  return true;
}

}  // namespace

template <bool kFolded>
size_t Sse2FindFrom(const char* data, size_t starts, std::string_view marker, size_t i) {
  using M = Match<kFolded>;
  const size_t m = marker.size();
  const __m128i firstOr = _mm_set1_epi8(M::Or(marker[0])), lastOr = _mm_set1_epi8(M::Or(marker[m - 1]));
  const __m128i firsts = _mm_or_si128(_mm_set1_epi8(marker[0]), firstOr);
  const __m128i lasts = _mm_or_si128(_mm_set1_epi8(marker[m - 1]), lastOr);
  // Bit k: the start at + k is a candidate (at + 16 <= starts).
  const auto candidates = [&](size_t at) {
    __m128i heads = Load(data + at);
    __m128i tails = Load(data + at + m - 1);
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
  return M::FindFrom(data, starts, marker, i);
}
template size_t Sse2FindFrom<false>(const char*, size_t, std::string_view, size_t);
template size_t Sse2FindFrom<true>(const char*, size_t, std::string_view, size_t);

size_t Sse2WidenFrom(const char* in, size_t n, size_t i, char*& o) {
  const __m128i crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n'), nuls = _mm_setzero_si128();
  while (i < n) {
    // Whole blocks while in[i - 1] and 32 bytes from i on lie in the piece:
    // o - out <= 2 i keeps every store inside the 2 n bytes of out.
    if (i > 0 && i + 32 <= n) {
      const __m128i bytes = Load(in + i);
      const __m128i isCr = _mm_cmpeq_epi8(bytes, crs), isLf = _mm_cmpeq_epi8(bytes, lfs);
      const __m128i isNul = _mm_cmpeq_epi8(bytes, nuls);
      if (!_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(isCr, isLf), isNul))) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), bytes);
        o += 16;
        i += 16;
        continue;
      }
      if (!_mm_movemask_epi8(isNul)) {
        // A CR without an LF after it gets one; an LF without a CR before it gets one.
        const auto loneCr = static_cast<uint32_t>(
            _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(Load(in + i + 1), lfs), isCr)));
        const auto loneLf = static_cast<uint32_t>(
            _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(Load(in + i - 1), crs), isLf)));
        o += WidenLoneEnds<16>(in + i, o, loneCr, loneLf);
        i += 16;
        continue;
      }
    }
    if (in[i] == '\0') break;
    WidenByte(in, n, i, o);
    ++i;
  }
  return i;
}

size_t Sse2SkipAscii(const unsigned char* s, size_t n, size_t i) {
  for (; i + 16 <= n; i += 16) {
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(Load(reinterpret_cast<const char*>(s + i))));
    if (high) return i + static_cast<size_t>(std::countr_zero(high));
  }
  while (i < n && s[i] < 0x80) ++i;
  return i;
}

bool Sse2NeedsQuotes(const char* p, size_t n, char separator) {
  if (n < 8) {
    for (size_t i = 0; i < n; ++i)
      if (IsQuoted(p[i], separator)) return true;
    return false;
  }
  const __m128i separators = _mm_set1_epi8(separator), quotes = _mm_set1_epi8('"');
  const __m128i crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n');
  const auto quoted = [&](__m128i bytes) {
    return _mm_movemask_epi8(
               _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, separators), _mm_cmpeq_epi8(bytes, quotes)),
                            _mm_or_si128(_mm_cmpeq_epi8(bytes, crs), _mm_cmpeq_epi8(bytes, lfs)))) != 0;
  };
  const auto load8 = [](const char* at) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)); };
  // Blocks that may overlap at the end, so that no byte is left to a loop.
  if (n < 16) return quoted(_mm_unpacklo_epi64(load8(p), load8(p + n - 8)));
  for (size_t i = 0; i + 16 < n; i += 16)
    if (quoted(Load(p + i))) return true;
  return quoted(Load(p + n - 16));
}

const ByteKernels kSse2 = {Find<false>, Find<true>, WidenLineEnds, IsValidUtf8, Sse2NeedsQuotes};

}  // namespace qb::kernels

#endif
