// The reference level: one byte at a time.
#include "harvest/ByteKernelParts.h"

namespace qb::kernels {

namespace {

template <bool kFolded>
size_t Find(const char* data, size_t size, std::string_view marker) {
  return Match<kFolded>::FindFrom(data, size - marker.size() + 1, marker, 0);
}

size_t WidenLineEnds(const char* in, size_t n, char* out, size_t& read) {
  char* o = out;
  read = WidenFrom(in, n, 0, o);
  return static_cast<size_t>(o - out);
}

bool IsValidUtf8(const unsigned char* s, size_t n) {
  for (size_t i = 0; i < n;) {
    if (s[i] < 0x80)
      ++i;
    else if (!Utf8Character(s, n, i))
      return false;
  }
  return true;
}

bool NeedsQuotes(const char* text, size_t n, char separator) {
  for (size_t i = 0; i < n; ++i)
    if (IsQuoted(text[i], separator)) return true;
  return false;
}

}  // namespace

const ByteKernels kPortable = {Find<false>, Find<true>, WidenLineEnds, IsValidUtf8, NeedsQuotes};

}  // namespace qb::kernels
