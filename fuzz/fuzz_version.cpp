// Arbitrary bytes as the executable file of the version reader.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "runtime/VersionResource.h"
#include "tests/common/VersionBlockBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The whole input as a block, and the block found inside it.
  if (auto root = qb::ParseVersionBlock(bytes)) {
    qb::ReadFixedFileInfo(*root);
    if (const auto* node = qb::FindVersionNode(*root, "\\VarFileInfo\\Translation"))
      qb::TranslationEntries(*node);
  }
  if (auto location = qb::FindVersionBlock(bytes)) {
    if (location->offset + location->length > size) __builtin_trap();
    qb::VerQueryValue(data + location->offset, location->length, "\\StringFileInfo\\040904e4\\FileVersion");
  }

  static const std::string path = "/tmp/fuzz_version." + std::to_string(::getpid()) + ".bin";
  qbtest::WriteProgramFile(path, bytes);
  char buffer[260] = {};
  uint32_t version = 0;
  const int length = qb::GetFileVersionField(path.c_str(), "FileVersion", buffer, sizeof buffer, &version);
  if (length < 0 || buffer[sizeof buffer - 1] != '\0') __builtin_trap();
  char tiny[1];
  qb::GetFileVersionField(path.c_str(), "CompanyName", tiny, 1, nullptr);
  qb::PackVersionText(bytes);
  qb::VersionNumberField(qb::TrimVersionText(bytes), 2);
  return 0;
}
