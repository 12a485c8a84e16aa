#include "harvest/Snapshot.h"

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "harvest/PageText.h"
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

std::string ReadSnapshotText(const std::string& fileName) {
  return std::string(ReadPageText(fileName).view());
}

}  // namespace qb
