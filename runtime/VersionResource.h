#pragma once

// The version resource of an executable: a VS_VERSIONINFO block in the
// Windows layout (UTF-16LE keys, 32-bit alignment, VS_FIXEDFILEINFO), found
// by scanning the file's bytes and read with the semantics of the Windows
// version API. Every reader is bounded by its buffer: arbitrary bytes are safe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

inline constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
inline constexpr size_t kFixedFileInfoSize = 52;

struct FixedFileInfo {
  uint32_t signature = 0;
  uint32_t strucVersion = 0;
  uint32_t fileVersionMS = 0, fileVersionLS = 0;
  uint32_t productVersionMS = 0, productVersionLS = 0;
  uint32_t fileFlagsMask = 0, fileFlags = 0;
  uint32_t fileOS = 0;
  uint32_t fileType = 0, fileSubtype = 0;
  uint32_t fileDateMS = 0, fileDateLS = 0;
};

// One node of the block: VS_VERSIONINFO, StringFileInfo, a string table, a
// String, VarFileInfo or a Var. Keys are kept as UTF-8; value views point into
// the block the node was parsed from.
struct VersionNode {
  std::string key;
  uint16_t type = 0;       // 1 text value, 0 binary value
  std::string_view value;  // raw value bytes (UTF-16LE for text)
  std::vector<VersionNode> children;
};

// Offset and length of the first valid VS_VERSIONINFO block in the bytes:
// the header, the key "VS_VERSION_INFO" in UTF-16LE, the fixed-info signature,
// and a length that stays inside the bytes.
struct BlockLocation {
  size_t offset = 0;
  size_t length = 0;
};
std::optional<BlockLocation> FindVersionBlock(std::string_view bytes);

// Parses a block that starts at its VS_VERSIONINFO header. Children that run
// past their parent's end, or nest deeper than any real block, are left out.
std::optional<VersionNode> ParseVersionBlock(std::string_view block);
std::optional<FixedFileInfo> ReadFixedFileInfo(const VersionNode& root);

// Looks up a path such as "\\VarFileInfo\\Translation" or
// "\\StringFileInfo\\040904e4\\FileVersion"; keys compare without case.
const VersionNode* FindVersionNode(const VersionNode& root, std::string_view path);

// Text of a text node, UTF-16LE up to the terminating zero, as UTF-8.
std::string VersionNodeText(const VersionNode& node);
// The 32-bit entries of a Translation value: language in the low word, code page in the high word.
std::vector<uint32_t> TranslationEntries(const VersionNode& node);

// Size of the version information of the file; 0 when the file cannot be read
// or holds no block.
uint32_t GetFileVersionInfoSize(const std::string& fileName);
// Copies the file's block into data (at most size bytes); false when there is none.
bool GetFileVersionInfo(const std::string& fileName, uint32_t size, void* data);
// Queries a block read by GetFileVersionInfo: `bytes` holds the raw value,
// `text` the value read as UTF-16LE text up to its zero, as UTF-8; `isText`
// tells a text value (type 1) from a binary one.
struct VersionQueryResult {
  bool isText = false;
  std::string text;
  std::string bytes;
};
std::optional<VersionQueryResult> VerQueryValue(const void* block, size_t blockSize,
                                                std::string_view subBlock);

// Reads one string field of the file's version resource. Copies the text into
// buffer cut to bufSize - 1 bytes (always zero-terminated), stores the text
// read as a packed version number into *version, and returns the full length
// of the text, or 0 when the field cannot be read. buffer and version may be null.
int GetFileVersionField(const char* fileName, const char* fieldName, char* buffer, int bufSize,
                        uint32_t* version);

// "2.2.0.15" -> 0x0202000F: runs between '.' or ',' read as C "%i", low 8 bits
// each, stopping at the fourth number or the first run that does not read;
// missing numbers count as 0.
uint32_t PackVersionText(std::string_view text);

// Blanks and control characters removed from both ends.
std::string TrimVersionText(std::string_view text);
// Field `index` (0-based) of a dotted version text; runs of dots count as one
// separator. Empty when there is no such field.
std::string VersionNumberField(std::string_view text, size_t index);

// One string field of the file's version resource as the version component
// reads it: a 260-byte buffer, trimmed. Empty when it cannot be read.
std::string ReadVersionString(const std::string& fileName, const std::string& fieldName);

std::string Utf16LeToUtf8(std::string_view bytes);

}  // namespace qb
