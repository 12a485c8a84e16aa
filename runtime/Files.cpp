#include "runtime/Files.h"

#include <fcntl.h>
#if defined(__linux__)
#include <sys/mman.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "runtime/Exception.h"

namespace qb {

void ThrowFileError(const char* action, const std::string& fileName, int error) {
  throw Exception(std::string("Cannot ") + action + " file \"" + fileName + "\". " + std::strerror(error));
}

void WriteFileWhole(const std::string& fileName, std::string_view bytes) {
  std::string temporary = fileName + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) ThrowFileError("write", fileName, errno);
  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temporary.c_str());
    ThrowFileError("write", fileName, error);
  };
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  // The file gets the permissions a newly created file would have.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    ThrowFileError("write", fileName, error);
  }
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    ThrowFileError("write", fileName, error);
  }
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : FData(std::exchange(other.FData, nullptr)),
      FSize(std::exchange(other.FSize, 0)),
      FCapacity(std::exchange(other.FCapacity, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
  if (this != &other) {
    Release();
    FData = std::exchange(other.FData, nullptr);
    FSize = std::exchange(other.FSize, 0);
    FCapacity = std::exchange(other.FCapacity, 0);
  }
  return *this;
}

FileBytes::~FileBytes() { Release(); }

#if defined(__linux__)
namespace {
constexpr size_t kPage = 4096;
constexpr size_t kHugePage = size_t(2) << 20;
size_t Pages(size_t bytes) { return (bytes + kPage - 1) / kPage * kPage; }
}  // namespace

bool FileBytes::Reserve(size_t capacity) {
  // Faulting in a big block 4 KiB at a time costs more than reading it: whole
  // huge pages from 2 MiB on, so the mapping starts on a huge page too.
  const size_t bytes = capacity >= kHugePage ? (capacity + kHugePage - 1) / kHugePage * kHugePage
                                             : Pages(std::max<size_t>(capacity, 1));
  if (bytes == FCapacity) return true;
  void* block = FData ? mremap(FData, Pages(FCapacity), bytes, MREMAP_MAYMOVE)
                      : mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return false;
  if (bytes >= kHugePage) madvise(block, bytes, MADV_HUGEPAGE);
  FData = static_cast<char*>(block);
  FCapacity = bytes;
  return true;
}

void FileBytes::Release() {
  if (FData) munmap(FData, Pages(FCapacity));
  FData = nullptr;
  FSize = FCapacity = 0;
}
#else
bool FileBytes::Reserve(size_t capacity) {
  void* block = std::realloc(FData, std::max<size_t>(capacity, 1));
  if (!block) return false;
  FData = static_cast<char*>(block);
  FCapacity = capacity;
  return true;
}

void FileBytes::Release() {
  std::free(FData);
  FData = nullptr;
  FSize = FCapacity = 0;
}
#endif

int FileBytes::Read(std::FILE* file, size_t sizeHint) {
  Release();
  // The loop only matters for files that grow or cannot tell their size
  // (standard input).
  if (!Reserve(sizeHint ? sizeHint + 1 : size_t(1) << 16)) return ENOMEM;
  size_t used = 0;
  for (;;) {
    used += std::fread(FData + used, 1, FCapacity - used, file);
    if (used < FCapacity) break;
    if (!Reserve(FCapacity * 2)) {
      Release();
      return ENOMEM;
    }
  }
  if (std::ferror(file)) {
    const int error = errno ? errno : EIO;
    Release();
    return error;
  }
  FSize = used;
  return 0;
}

int ReadFileWhole(const std::string& fileName, FileBytes& bytes) {
  bytes.Release();
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return errno;
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(fileName, sizeError);
  const int error = bytes.Read(file, sizeError ? 0 : static_cast<size_t>(size));
  std::fclose(file);
  return error;
}

FileBytes ReadFileWhole(const std::string& fileName) {
  FileBytes bytes;
  if (const int error = ReadFileWhole(fileName, bytes)) ThrowFileError("read", fileName, error);
  return bytes;
}

}  // namespace qb
