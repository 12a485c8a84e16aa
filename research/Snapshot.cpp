#include "Snapshot.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Exception.h"

namespace qb {

namespace {

[[noreturn]] void ThrowFileError(const char* action, const std::string& fileName, int error) {
  throw Exception(std::string("Cannot ") + action + " file \"" + fileName + "\". " + std::strerror(error));
}

const char* FindByte(const char* from, const char* end, char c) {
  if (from == end) return end;
  const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
  return hit ? static_cast<const char*>(hit) : end;
}

}  // namespace

SnapshotNameGenerator::SnapshotNameGenerator() {
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  engine_.seed(static_cast<uint32_t>(ticks ^ (ticks >> 32)));
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

std::string ReadFileBytes(const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) ThrowFileError("read", fileName, errno);
  std::string bytes;
  // One read of the whole size; the loop only matters for files that grow or
  // cannot tell their size.
  std::error_code sizeError;
  const auto size = std::filesystem::file_size(fileName, sizeError);
  bytes.resize(sizeError ? size_t(1) << 16 : static_cast<size_t>(size) + 1);
  size_t used = 0;
  for (;;) {
    used += std::fread(bytes.data() + used, 1, bytes.size() - used, file);
    if (used < bytes.size()) break;
    bytes.resize(bytes.size() * 2);
  }
  if (std::ferror(file)) {
    const int error = errno;
    std::fclose(file);
    ThrowFileError("read", fileName, error);
  }
  std::fclose(file);
  bytes.resize(used);
  return bytes;
}

std::string PageTextFromBytes(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (const void* nul = std::memchr(bytes.data(), 0, bytes.size()))
    bytes = bytes.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - bytes.data()));
  std::string text;
  if (bytes.empty()) return text;
  text.reserve(bytes.size() + bytes.size() / 16 + 2);
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  const char* nextCr = FindByte(p, end, '\r');
  const char* nextLf = FindByte(p, end, '\n');
  while (p < end) {
    if (nextCr < p) nextCr = FindByte(p, end, '\r');
    if (nextLf < p) nextLf = FindByte(p, end, '\n');
    const char* lineEnd = std::min(nextCr, nextLf);
    text.append(p, lineEnd);
    text += "\r\n";
    if (lineEnd == end) break;
    p = (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') ? lineEnd + 2 : lineEnd + 1;
  }
  return text;
}

std::string ReadSnapshotText(const std::string& fileName) {
  return PageTextFromBytes(ReadFileBytes(fileName));
}

}  // namespace qb
