#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace qb {

// The research window's pseudo-random generator for snapshot names: seeded
// once from the clock when the window is created.
class SnapshotNameGenerator {
 public:
  SnapshotNameGenerator();  // seeded from the clock
  explicit SnapshotNameGenerator(uint32_t seed) : FEngine(seed) {}

  // The next non-negative 31-bit value.
  uint32_t Next() { return static_cast<uint32_t>(FEngine() >> 1); }

 private:
  std::mt19937 FEngine;
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

// ReadPageText as a string.
std::string ReadSnapshotText(const std::string& fileName);

}  // namespace qb
