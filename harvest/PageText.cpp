#include "harvest/PageText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#include "harvest/ByteKernels.h"
#include "harvest/ByteSearch.h"
#include "runtime/Files.h"

namespace qb {

size_t LineEndWidener::Add(const char* in, size_t n, char* out) {
  if (FEnded || n == 0) return 0;
  // The LF of a CR LF split between pieces: the CR was widened on its own.
  const size_t from = FAfterCr && in[0] == '\n' ? 1 : 0;
  size_t read = 0;
  const size_t written = Kernels().widenLineEnds(in + from, n - from, out, read);
  FEnded = from + read < n;  // a NUL
  FAfterCr = !FEnded && in[n - 1] == '\r';
  if (written > 0) FLineOpen = out[written - 1] != '\n';
  return written;
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
  constexpr size_t kPiece = kPieceSize, kAhead = kPiece + 64, kHugePage = size_t(2) << 20;
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
