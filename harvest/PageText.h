#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "runtime/Files.h"

namespace qb {

// The page text of snapshot bytes: the bytes up to the first NUL, each CR LF,
// lone CR and lone LF turned into CR LF, and a CR LF after the last line.
std::string PageTextFromBytes(std::string_view bytes);

// Page text made from the bytes in pieces, as PageTextFromBytes does with them
// all: a CR LF may be split between two pieces, and pieces after a NUL add
// nothing.
class LineEndWidener {
 public:
  // Writes the page text of in[0, n) at out, which has room for 2 n bytes;
  // returns the bytes written.
  size_t Add(const char* in, size_t n, char* out);
  // The CR LF after a last line without one, at out (room for 2 bytes);
  // returns the bytes written.
  size_t Finish(char* out);

 private:
  bool FAfterCr = false;   // the last piece ended with CR: an LF next is its pair
  bool FEnded = false;     // a NUL was given
  bool FLineOpen = false;  // text written, and not ending with a line end
};

// A page text read into a block of its own, widened piece by piece as it is
// read. Moved, never copied; the view lives as long as the object.
class PageText {
 public:
  // The pieces the file is read in, each widened while it is in the cache.
  static constexpr size_t kPieceSize = size_t(1) << 17;

  std::string_view view() const { return FBytes.view(); }
  // IsValidUtf8(view()), found while reading.
  bool utf8() const { return FUtf8; }
  // TextContains(view(), watched) for the watched text given to a Read that
  // succeeded, found while reading.
  bool holdsWatched() const { return FHolds; }

  // Reads file to its end and makes the bytes page text as PageTextFromBytes
  // does. sizeHint is the expected byte count (0: unknown). Returns 0, or the
  // errno of the failed read (the text is then empty).
  int Read(std::FILE* file, size_t sizeHint, std::string_view watched = {});
  // The same for the named file.
  int ReadFile(const std::string& fileName, std::string_view watched = {});

 private:
  FileBytes FBytes;
  bool FUtf8 = true;
  bool FHolds = false;
};

// The page text of the named file. Throws Exception:
// Cannot read file "<name>". <reason>
PageText ReadPageText(const std::string& fileName);

}  // namespace qb
