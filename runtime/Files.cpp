#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Exception.h"

namespace qb {

namespace {

[[noreturn]] void ThrowWriteError(const std::string& fileName, int error) {
  throw Exception("Cannot write file \"" + fileName + "\". " + std::strerror(error));
}

}  // namespace

void WriteFileWhole(const std::string& fileName, std::string_view bytes) {
  std::string temporary = fileName + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) ThrowWriteError(fileName, errno);
  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temporary.c_str());
    ThrowWriteError(fileName, error);
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
    ThrowWriteError(fileName, error);
  }
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    ThrowWriteError(fileName, error);
  }
}

}  // namespace qb
