#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>

namespace qb {

// The research window's pseudo-random generator for snapshot names: seeded
// once from the clock when the window is created.
class SnapshotNameGenerator {
 public:
  SnapshotNameGenerator();  // seeded from the clock
  explicit SnapshotNameGenerator(uint32_t seed) : engine_(seed) {}

  // The next non-negative 31-bit value.
  uint32_t Next() { return static_cast<uint32_t>(engine_() >> 1); }

 private:
  std::mt19937 engine_;
};

// "log" + (r mod 1000000 + 1000000) + ".sha" for the generator's next value r.
std::string SnapshotFileName(uint32_t r);

// A fresh snapshot name in the current directory; any file of that name is
// deleted (a failed deletion is ignored).
std::string MakeSnapshotFileName(SnapshotNameGenerator& generator);

// Writes the bytes to the file (created, or emptied when it exists). Throws
// Exception: Cannot create file "<name>". <reason>  (or Cannot write file ...).
void WriteSnapshotFile(const std::string& fileName, std::string_view bytes);

// Makes a fresh snapshot file holding the document bytes; returns its name.
std::string SaveSnapshot(SnapshotNameGenerator& generator, std::string_view documentBytes);

// The page text of snapshot bytes: the bytes up to the first NUL, each CR LF,
// lone CR and lone LF turned into CR LF, and a CR LF after the last line.
std::string PageTextFromBytes(std::string_view bytes);

// A page text read from a file into one block of its own, grown in place
// (without copies) while it is read and turned into page text. Moved, never
// copied; the view lives as long as the object.
class PageText {
 public:
  PageText() = default;
  PageText(PageText&& other) noexcept;
  PageText& operator=(PageText&& other) noexcept;
  PageText(const PageText&) = delete;
  PageText& operator=(const PageText&) = delete;
  ~PageText();

  std::string_view view() const { return {data_, size_}; }

  // Reads file to its end and makes the bytes page text as PageTextFromBytes
  // does. sizeHint is the expected byte count (0: unknown). Returns 0, or the
  // errno of the failed read (the text is then empty).
  int Read(std::FILE* file, size_t sizeHint);

 private:
  bool Reserve(size_t capacity);
  void Release();

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// The page text of the named file. Throws Exception:
// Cannot read file "<name>". <reason>
PageText ReadPageText(const std::string& fileName);

// ReadPageText as a string.
std::string ReadSnapshotText(const std::string& fileName);

}  // namespace qb
