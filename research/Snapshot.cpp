#include "research/Snapshot.h"

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/Files.h"

namespace qb {

SnapshotNameGenerator::SnapshotNameGenerator() {
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  FEngine.seed(static_cast<uint32_t>(ticks ^ (ticks >> 32)));
}

std::string SnapshotFileName(uint32_t r) { return "log" + std::to_string(r % 1000000 + 1000000) + ".sha"; }

std::string MakeSnapshotFileName(SnapshotNameGenerator& generator) {
  std::string name = SnapshotFileName(generator.Next());
  std::remove(name.c_str());
  return name;
}

void WriteSnapshotFile(const std::string& fileName, std::string_view bytes) {
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (!file) ThrowFileError("create", fileName, errno);
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    const int error = errno;
    std::fclose(file);
    ThrowFileError("write", fileName, error);
  }
  if (std::fclose(file) != 0) ThrowFileError("write", fileName, errno);
}

std::string SaveSnapshot(SnapshotNameGenerator& generator, std::string_view documentBytes) {
  std::string name = MakeSnapshotFileName(generator);
  WriteSnapshotFile(name, documentBytes);
  return name;
}

std::string PageTextFromBytes(std::string_view bytes) {
  FileBytes block;
  if (!block.Reserve(bytes.size())) throw std::bad_alloc();
  if (!bytes.empty()) std::memcpy(block.data(), bytes.data(), bytes.size());
  block.Resize(bytes.size());
  PageText text;
  if (text.MakeFrom(std::move(block)) != 0) throw std::bad_alloc();
  return std::string(text.view());
}

namespace {

#if defined(__SSE2__)
size_t SumBytes(__m128i counts) {
  const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
  return static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
}
#endif

// Bytes the line ends of text[0, n) add to it as page text: one for each lone
// CR or lone LF, two for a last line without a line end.
size_t AddedLineEndBytes(const char* text, size_t n) {
  if (n == 0) return 0;
  size_t cr = 0, lf = 0, pairs = 0, i = 0;
#if defined(__SSE2__)
  // 16 bytes at a time, counted in byte lanes that are summed before they can
  // overflow; a pair is a CR whose next byte is LF.
  const __m128i crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n');
  while (i + 17 <= n) {
    __m128i crCount = _mm_setzero_si128(), lfCount = crCount, pairCount = crCount;
    for (int round = 0; round < 255 && i + 17 <= n; ++round, i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
      const __m128i isCr = _mm_cmpeq_epi8(bytes, crs);
      crCount = _mm_sub_epi8(crCount, isCr);
      lfCount = _mm_sub_epi8(lfCount, _mm_cmpeq_epi8(bytes, lfs));
      pairCount = _mm_sub_epi8(pairCount, _mm_and_si128(isCr, _mm_cmpeq_epi8(next, lfs)));
    }
    cr += SumBytes(crCount);
    lf += SumBytes(lfCount);
    pairs += SumBytes(pairCount);
  }
#endif
  // The pair of a CR just before i is counted above.
  for (size_t j = i; j < n; ++j) {
    if (text[j] == '\r') {
      ++cr;
    } else if (text[j] == '\n') {
      ++lf;
      if (j > i && text[j - 1] == '\r') ++pairs;
    }
  }
  const char last = text[n - 1];
  return (cr - pairs) + (lf - pairs) + (last == '\r' || last == '\n' ? 0 : 2);
}

// Offset of the last CR or LF in text[0, n); n when there is none.
size_t LastLineEnd(const char* text, size_t n) {
  size_t i = n;
#if defined(__SSE2__)
  const __m128i crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n');
  for (; i >= 16; i -= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i - 16));
    const auto ends = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, crs), _mm_cmpeq_epi8(bytes, lfs))));
    if (ends) return i - 16 + static_cast<size_t>(std::bit_width(ends) - 1);
  }
#endif
  while (i > 0)
    if (text[--i] == '\r' || text[i] == '\n') return i;
  return n;
}

// Rewrites text[0, n) in place, from its end, as the page text of total bytes
// (n + AddedLineEndBytes); the lines before the last added byte stay put.
void ExpandLineEnds(char* text, size_t n, size_t total) {
  size_t from = n, to = total;
  if (to > from && text[n - 1] != '\r' && text[n - 1] != '\n') {
    text[--to] = '\n';
    text[--to] = '\r';
  }
  // Each byte still to move has a line end before it, as to > from says.
  while (to > from) {
    const size_t end = LastLineEnd(text, from);
    to -= from - end - 1;
    std::memmove(text + to, text + end + 1, from - end - 1);
    from = (text[end] == '\n' && end > 0 && text[end - 1] == '\r') ? end - 1 : end;
    text[--to] = '\n';
    text[--to] = '\r';
  }
}

}  // namespace

int PageText::MakeFrom(FileBytes bytes) {
  FBytes = std::move(bytes);
  size_t used = FBytes.size();
  if (const void* nul = used ? std::memchr(FBytes.data(), 0, used) : nullptr)
    used = static_cast<size_t>(static_cast<const char*>(nul) - FBytes.data());
  const size_t total = used + AddedLineEndBytes(FBytes.data(), used);
  if (!FBytes.Reserve(total)) {
    FBytes.Release();
    return ENOMEM;
  }
  ExpandLineEnds(FBytes.data(), used, total);
  FBytes.Resize(total);
  return 0;
}

int PageText::Read(std::FILE* file, size_t sizeHint) {
  FileBytes bytes;
  if (const int error = bytes.Read(file, sizeHint)) {
    FBytes.Release();
    return error;
  }
  return MakeFrom(std::move(bytes));
}

PageText ReadPageText(const std::string& fileName) {
  PageText text;
  if (const int error = text.MakeFrom(ReadFileWhole(fileName))) ThrowFileError("read", fileName, error);
  return text;
}

std::string ReadSnapshotText(const std::string& fileName) {
  return std::string(ReadPageText(fileName).view());
}

}  // namespace qb
