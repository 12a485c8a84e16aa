#include "harvest/PageText.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "harvest/ByteSearch.h"
#include "runtime/Files.h"

namespace qb {

namespace {

// The page text of the kWidth bytes at in, whose lone CRs and LFs are the set
// bits of loneCr and loneLf, at out; returns the bytes written. Copies kWidth
// bytes at a time: out needs room for 2 kWidth + 1, in for 2 kWidth.
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

#if defined(__SSE2__)
// The page text of the 16 bytes at in (none of them NUL; in[-1] and the 32
// bytes from in on readable) at out; returns the bytes written, 16 and one
// for each lone CR or LF. Stores 16 bytes at a time: out needs room for 33.
size_t WidenBlock(const char* in, char* out) {
  const __m128i crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n');
  const auto load = [](const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  const __m128i bytes = load(in);
  const __m128i isCr = _mm_cmpeq_epi8(bytes, crs), isLf = _mm_cmpeq_epi8(bytes, lfs);
  // A CR without an LF after it gets one; an LF without a CR before it gets one.
  const auto loneCr =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(load(in + 1), lfs), isCr)));
  const auto loneLf =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(load(in - 1), crs), isLf)));
  return WidenLoneEnds<16>(in, out, loneCr, loneLf);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define QB_WIDEN_AVX2 1
__attribute__((target("avx2"))) inline __m256i Load32(const char* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Widens the blocks of 32 bytes from i on while in[i - 1] and 64 bytes from i
// lie in the piece (i > 0), as WidenBlock does; stops in front of a block
// with a NUL. o - out <= 2 i keeps every store inside the 2 n bytes of out.
__attribute__((target("avx2"))) void WidenBlocksAvx2(const char* in, size_t n, size_t& i, char*& o) {
  const __m256i crs = _mm256_set1_epi8('\r'), lfs = _mm256_set1_epi8('\n'), nuls = _mm256_setzero_si256();
  for (; i + 64 <= n; i += 32) {
    const __m256i bytes = Load32(in + i);
    const __m256i isCr = _mm256_cmpeq_epi8(bytes, crs), isLf = _mm256_cmpeq_epi8(bytes, lfs);
    const __m256i special = _mm256_or_si256(_mm256_or_si256(isCr, isLf), _mm256_cmpeq_epi8(bytes, nuls));
    if (_mm256_testz_si256(special, special)) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), bytes);
      o += 32;
      continue;
    }
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, nuls))) return;
    const auto loneCr = static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_andnot_si256(_mm256_cmpeq_epi8(Load32(in + i + 1), lfs), isCr)));
    const auto loneLf = static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_andnot_si256(_mm256_cmpeq_epi8(Load32(in + i - 1), crs), isLf)));
    o += WidenLoneEnds<32>(in + i, o, loneCr, loneLf);
  }
}
#endif

}  // namespace

size_t LineEndWidener::Add(const char* in, size_t n, char* out) {
  if (FEnded || n == 0) return 0;
  char* o = out;
  size_t i = 0;
  if (FAfterCr && in[0] == '\n') i = 1;  // the LF of a CR LF split between pieces
  FAfterCr = false;
  while (i < n) {
#if defined(QB_WIDEN_AVX2)
    if (i > 0 && i + 64 <= n && HasAvx2()) {
      WidenBlocksAvx2(in, n, i, o);
      if (i + 64 > n) continue;  // else a block with a NUL is next
    }
#endif
#if defined(__SSE2__)
    // Whole blocks while in[i - 1] and 32 bytes from i on lie in the piece: out
    // has room for 2 n bytes, and o - out <= 2 i.
    if (i > 0 && i + 32 <= n) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
      const __m128i nuls = _mm_cmpeq_epi8(bytes, _mm_setzero_si128());
      if (!_mm_movemask_epi8(_mm_or_si128(ends, nuls))) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), bytes);
        o += 16;
        i += 16;
        continue;
      }
      if (!_mm_movemask_epi8(nuls)) {
        o += WidenBlock(in + i, o);
        i += 16;
        continue;
      }
    }
#endif
    const char c = in[i++];
    if (c == '\0') {
      FEnded = true;
      break;
    }
    if (c != '\r' && c != '\n') {
      *o++ = c;
      continue;
    }
    // An LF whose CR a whole block copied ends that pair.
    if (c == '\r' || i < 2 || in[i - 2] != '\r') *o++ = '\r';
    *o++ = '\n';
    if (c == '\r') {
      if (i == n)
        FAfterCr = true;
      else if (in[i] == '\n')
        ++i;
    }
  }
  if (o != out) FLineOpen = o[-1] != '\n';
  return static_cast<size_t>(o - out);
}

size_t LineEndWidener::Finish(char* out) {
  if (!FLineOpen) return 0;
  FLineOpen = false;
  out[0] = '\r';
  out[1] = '\n';
  return 2;
}

std::string PageTextFromBytes(std::string_view bytes) {
  // Made in a block first: only the pages written are faulted in.
  FileBytes block;
  if (!block.Reserve(2 * bytes.size() + 2)) throw std::bad_alloc();
  LineEndWidener widener;
  size_t size = widener.Add(bytes.data(), bytes.size(), block.data());
  size += widener.Finish(block.data() + size);
  return std::string(block.data(), size);
}

namespace {

// The end of text[from, to) without its last bytes from the last character
// start on, which may belong to a character not yet complete. Validity of
// UTF-8 holds for a text exactly when it holds for its pieces cut there.
size_t BeforeLastCharacter(const char* text, size_t from, size_t to) {
  for (size_t i = to; i > from && to - i < 4; --i)
    if ((static_cast<unsigned char>(text[i - 1]) & 0xC0) != 0x80) return i - 1;
  return to;
}

}  // namespace

int PageText::Read(std::FILE* file, size_t sizeHint, std::string_view watched) {
  FBytes.Release();
  FUtf8 = true;
  FHolds = watched.empty();
  size_t watchedTo = 0;  // the text before it is looked at
  // Looks at the text up to its end `to`, while that is in the cache; the
  // watched text may begin before the last piece.
  const auto watch = [&](size_t to) {
    if (FHolds) return;
    const size_t from = watchedTo > watched.size() ? watchedTo - (watched.size() - 1) : 0;
    FHolds = TextContains(std::string_view(FBytes.data() + from, to - from), watched);
    watchedTo = to;
  };
  // Read in pieces that stay in the cache, each widened into the block. A
  // piece is read into the block this far ahead of the text, where widening
  // cannot catch up with it, while that lies in huge pages the text fills
  // anyway; otherwise into a buffer of its own.
  constexpr size_t kPiece = size_t(1) << 17, kAhead = kPiece + 64, kHugePage = size_t(2) << 20;
  std::unique_ptr<char[]> buffer;
  LineEndWidener widener;
  size_t room = sizeHint + sizeHint / 8 + kAhead + 2 * kPiece + 2, used = 0, checked = 0, read = 0;
  if (!FBytes.Reserve(room)) return ENOMEM;
  for (;;) {
    if (used + kAhead + 2 * kPiece + 2 > room) {
      room = std::max(2 * room, used + kAhead + 2 * kPiece + 2);
      if (!FBytes.Reserve(room)) {
        FBytes.Release();
        return ENOMEM;
      }
    }
    const size_t least = used + (sizeHint > read ? sizeHint - read : 0);  // the text without a NUL
    char* piece = FBytes.data() + used + kAhead;
    if (used + kAhead + kPiece > (least + kHugePage - 1) / kHugePage * kHugePage) {
      if (!buffer) buffer.reset(new char[kPiece]);
      piece = buffer.get();
    }
    const size_t n = std::fread(piece, 1, kPiece, file);
    if (n == 0) break;
    read += n;
    used += widener.Add(piece, n, FBytes.data() + used);
    // Checked while the piece is in the cache.
    if (FUtf8) {
      const size_t cut = BeforeLastCharacter(FBytes.data(), checked, used);
      FUtf8 = IsValidUtf8(std::string_view(FBytes.data() + checked, cut - checked));
      checked = cut;
    }
    watch(used);
  }
  if (std::ferror(file)) {
    const int error = errno ? errno : EIO;
    FBytes.Release();
    return error;
  }
  used += widener.Finish(FBytes.data() + used);
  FUtf8 = FUtf8 && IsValidUtf8(std::string_view(FBytes.data() + checked, used - checked));
  watch(used);
  if (!FBytes.Reserve(used)) {
    FBytes.Release();
    return ENOMEM;
  }
  FBytes.Resize(used);
  return 0;
}

int PageText::ReadFile(const std::string& fileName, std::string_view watched) {
  FBytes.Release();
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return errno;
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(fileName, sizeError);
  const int error = Read(file, sizeError ? 0 : static_cast<size_t>(size), watched);
  std::fclose(file);
  return error;
}

PageText ReadPageText(const std::string& fileName) {
  PageText text;
  if (const int error = text.ReadFile(fileName)) ThrowFileError("read", fileName, error);
  return text;
}

}  // namespace qb
