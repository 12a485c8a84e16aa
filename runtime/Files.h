#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace qb {

// Throws Exception 'Cannot <action> file "<name>". <reason>', the reason being
// the text of the errno value error.
[[noreturn]] void ThrowFileError(const char* action, const std::string& fileName, int error);

// Writes the whole file or nothing: the bytes go to a temporary file beside it,
// which then replaces the file. Throws Exception
// 'Cannot write file "<name>". <reason>' and leaves any earlier file as it was.
void WriteFileWhole(const std::string& fileName, std::string_view bytes);

// A file's bytes in one block of their own that grows in place: on Linux an
// anonymous mapping, grown by mremap (which copies no byte) and backed by huge
// pages from 2 MiB on. Moved, never copied; views live as long as the object.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(FileBytes&& other) noexcept;
  FileBytes& operator=(FileBytes&& other) noexcept;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes();

  char* data() { return FData; }
  size_t size() const { return FSize; }
  std::string_view view() const { return {FData, FSize}; }

  // Reads file to its end. sizeHint is the expected byte count (0: unknown);
  // a right hint makes it one read. Returns 0, or the errno of the failure
  // (the block is then empty).
  int Read(std::FILE* file, size_t sizeHint);
  // Room for at least capacity bytes, the bytes kept; false when out of memory.
  bool Reserve(size_t capacity);
  // The byte count, at most the reserved room.
  void Resize(size_t size) { FSize = size; }
  void Release();

 private:
  char* FData = nullptr;
  size_t FSize = 0;
  size_t FCapacity = 0;
};

// Reads the named file whole into bytes; returns 0 or the errno of the failure.
int ReadFileWhole(const std::string& fileName, FileBytes& bytes);
// The same; throws Exception 'Cannot read file "<name>". <reason>'.
FileBytes ReadFileWhole(const std::string& fileName);

}  // namespace qb
