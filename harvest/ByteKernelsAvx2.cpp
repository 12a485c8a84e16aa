// AVX2: 32 bytes at a time, the rest left to the SSE2 steps. Built for every
// x86-64 processor and run only where it has AVX2.
#include "harvest/ByteKernelParts.h"

#if defined(QB_KERNELS_AVX2)
#include <immintrin.h>

#include "harvest/ByteKernelsSse2.h"

#define QB_AVX2 __attribute__((target("avx2")))

namespace qb::kernels {

namespace {

QB_AVX2 inline __m256i Load(const char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// Bit k: the start p + k is a candidate for the marker of length m, its first
// and last bytes being first and last (after the Or of the search).
template <bool kFolded>
QB_AVX2 inline uint32_t Candidates(const char* p, size_t m, __m256i first, __m256i last, __m256i firstOr,
                                   __m256i lastOr) {
  __m256i heads = Load(p);
  __m256i tails = Load(p + m - 1);
  if (kFolded) {
    heads = _mm256_or_si256(heads, firstOr);
    tails = _mm256_or_si256(tails, lastOr);
  }
  return static_cast<uint32_t>(_mm256_movemask_epi8(
      _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last))));
}

// The starts in blocks of 64, then the rest.
template <bool kFolded>
QB_AVX2 size_t Find(const char* data, size_t size, std::string_view marker) {
  using M = Match<kFolded>;
  const size_t m = marker.size();
  const size_t starts = size - m + 1;
  const __m256i firstOr = _mm256_set1_epi8(M::Or(marker[0])), lastOr = _mm256_set1_epi8(M::Or(marker[m - 1]));
  const __m256i first = _mm256_or_si256(_mm256_set1_epi8(marker[0]), firstOr);
  const __m256i last = _mm256_or_si256(_mm256_set1_epi8(marker[m - 1]), lastOr);
  size_t i = 0;
  for (; i + 64 <= starts; i += 64) {
    const uint64_t found = Candidates<kFolded>(data + i, m, first, last, firstOr, lastOr) |
                           uint64_t{Candidates<kFolded>(data + i + 32, m, first, last, firstOr, lastOr)}
                               << 32;
    if (found) {
      const size_t hit = M::First(data, i, found, marker);
      if (hit != npos) return hit;
    }
  }
  return Sse2FindFrom<kFolded>(data, starts, marker, i);
}

// Widens the blocks of 32 bytes while in[i - 1] and 64 bytes from i on lie in
// the piece, then leaves the rest to SSE2. o - out <= 2 i keeps every store
// inside the 2 n bytes of out.
QB_AVX2 size_t WidenLineEnds(const char* in, size_t n, char* out, size_t& read) {
  const __m256i crs = _mm256_set1_epi8('\r'), lfs = _mm256_set1_epi8('\n'), nuls = _mm256_setzero_si256();
  char* o = out;
  size_t i = 0;
  if (n > 0 && in[0] != '\0') WidenByte(in, n, i++, o);
  for (; i > 0 && i + 64 <= n; i += 32) {
    const __m256i bytes = Load(in + i);
    const __m256i isCr = _mm256_cmpeq_epi8(bytes, crs), isLf = _mm256_cmpeq_epi8(bytes, lfs);
    const __m256i isNul = _mm256_cmpeq_epi8(bytes, nuls);
    const __m256i special = _mm256_or_si256(_mm256_or_si256(isCr, isLf), isNul);
    if (_mm256_testz_si256(special, special)) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), bytes);
      o += 32;
      continue;
    }
    if (!_mm256_testz_si256(isNul, isNul)) break;  // left to the steps below
    const auto loneCr = static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_andnot_si256(_mm256_cmpeq_epi8(Load(in + i + 1), lfs), isCr)));
    const auto loneLf = static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_andnot_si256(_mm256_cmpeq_epi8(Load(in + i - 1), crs), isLf)));
    o += WidenLoneEnds<32>(in + i, o, loneCr, loneLf);
  }
  read = Sse2WidenFrom(in, n, i, o);
  return static_cast<size_t>(o - out);
}

// Past the ASCII from i on: 16 bytes at a time, and after a whole block of
// them 64 at a time (not at every character of a text dense with others).
QB_AVX2 size_t SkipAscii(const unsigned char* s, size_t n, size_t i) {
  const auto* p = reinterpret_cast<const char*>(s);
  while (i + 16 <= n) {
    const auto high =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i))));
    if (high) return i + static_cast<size_t>(std::countr_zero(high));
    i += 16;
    for (; i + 64 <= n; i += 64)
      if (_mm256_movemask_epi8(_mm256_or_si256(Load(p + i), Load(p + i + 32)))) break;
  }
  while (i < n && s[i] < 0x80) ++i;
  return i;
}

QB_AVX2 bool IsValidUtf8(const unsigned char* s, size_t n) {
  for (size_t i = 0; i < n;) {
    i = SkipAscii(s, n, i);
    if (i < n && !Utf8Character(s, n, i)) return false;
  }
  return true;
}

}  // namespace

const ByteKernels kAvx2 = {Find<false>, Find<true>, WidenLineEnds, IsValidUtf8, Sse2NeedsQuotes};

}  // namespace qb::kernels

#endif
