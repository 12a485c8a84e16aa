#pragma once

#include <cstddef>
#include <string_view>

namespace qb {

// The harvest's byte kernels. Every level has the same shape; the portable
// one is the reference the others are tested against. The level is chosen
// once at start (the best the processor has); tests may force another.
enum class KernelLevel { kPortable, kSse2, kAvx2 };
inline constexpr int kKernelLevelCount = 3;

struct ByteKernels {
  // Offset of the first marker in data[0, size), or npos (size_t(-1));
  // 1 <= marker.size() <= size. findFolded ignores ASCII letter case.
  size_t (*find)(const char* data, size_t size, std::string_view marker);
  size_t (*findFolded)(const char* data, size_t size, std::string_view marker);
  // Page text of in[0, n) up to its first NUL, at out: each CR without an LF
  // after it and each LF without a CR before it becomes CR LF (nothing lies
  // before in[0] or after in[n - 1]). read is set to the bytes taken: n, or
  // the offset of the NUL. Returns the bytes written. out has room for 2 n
  // bytes; it may also lie n + 64 or more bytes before in, in the same block.
  size_t (*widenLineEnds)(const char* in, size_t n, char* out, size_t& read);
  bool (*isValidUtf8)(const unsigned char* text, size_t n);
  // True when text[0, n) holds the separator, a quote mark, CR or LF.
  bool (*needsQuotes)(const char* text, size_t n, char separator);
};

namespace detail {
extern const ByteKernels* gActiveKernels;
}

// The kernels of the active level.
inline const ByteKernels& Kernels() { return *detail::gActiveKernels; }
KernelLevel ActiveKernelLevel();

// True when this build and processor can run the level.
bool HasKernelLevel(KernelLevel level);
// The kernels of a level the machine has (HasKernelLevel).
const ByteKernels& KernelsAt(KernelLevel level);
const char* KernelLevelName(KernelLevel level);

// For tests: every kernel runs at the level from now on. False, and nothing
// changed, when the machine lacks it.
bool ForceKernelLevel(KernelLevel level);

}  // namespace qb
