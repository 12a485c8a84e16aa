#include "runtime/VersionResource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/AsciiText.h"
#include "runtime/Files.h"
#include "runtime/Utf8.h"

namespace qb {

namespace {

constexpr size_t kHeaderSize = 6;        // wLength, wValueLength, wType
constexpr size_t kRootKeyEnd = 38;       // header + "VS_VERSION_INFO\0" in UTF-16
constexpr size_t kRootFixedOffset = 40;  // aligned to 32 bits
constexpr int kMaxDepth = 6;             // real blocks nest four deep

// "VS_VERSION_INFO" with its terminating zero, UTF-16LE.
constexpr char kRootKey[] = "V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0";
constexpr size_t kRootKeySize = sizeof(kRootKey);  // 32: the literal's own zero ends the key

uint16_t Word(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

uint32_t DWord(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(Word(bytes, at)) | (static_cast<uint32_t>(Word(bytes, at + 2)) << 16);
}

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Parses the node at `at` (offsets relative to the block start, which sets the
// alignment) that must end at or before `limit`. Returns its length, or 0
// when the node is not valid.
size_t ParseNode(std::string_view block, size_t at, size_t limit, int depth, VersionNode& node) {
  if (depth > kMaxDepth || at > limit || limit - at < kHeaderSize) return 0;
  const size_t length = Word(block, at);
  if (length < kHeaderSize || length > limit - at) return 0;
  const size_t end = at + length;
  const size_t valueLength = Word(block, at + 2);
  node.type = Word(block, at + 4);

  const size_t keyStart = at + kHeaderSize;
  size_t pos = keyStart;
  bool terminated = false;
  while (pos + 2 <= end) {
    const uint16_t unit = Word(block, pos);
    pos += 2;
    if (unit == 0) {
      terminated = true;
      break;
    }
  }
  if (!terminated) return 0;
  node.key = Utf16LeToUtf8(block.substr(keyStart, pos - 2 - keyStart));

  const size_t valueStart = std::min(Align4(pos), end);
  const size_t valueBytes = node.type == 1 ? valueLength * 2 : valueLength;
  const size_t valueEnd = valueStart + std::min(valueBytes, end - valueStart);
  node.value = block.substr(valueStart, valueEnd - valueStart);

  size_t child = Align4(valueEnd);
  while (child < end && end - child >= kHeaderSize) {
    VersionNode next;
    const size_t used = ParseNode(block, child, end, depth + 1, next);
    if (used == 0) break;
    node.children.push_back(std::move(next));
    child = Align4(child + used);
  }
  return length;
}

std::optional<std::string> ReadFileBlock(const std::string& fileName) {
  FileBytes bytes;
  if (ReadFileWhole(fileName, bytes) != 0) return std::nullopt;
  const auto location = FindVersionBlock(bytes.view());
  if (!location) return std::nullopt;
  return std::string(bytes.view().substr(location->offset, location->length));
}

}  // namespace

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  const size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    uint32_t code = Word(bytes, 2 * i);
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units) {
      const uint32_t low = Word(bytes, 2 * (i + 1));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;  // lone surrogate
    AppendUtf8(out, code);
  }
  return out;
}

std::optional<BlockLocation> FindVersionBlock(std::string_view bytes) {
  const std::string_view key(kRootKey, kRootKeySize);
  size_t from = kHeaderSize;
  while (from < bytes.size()) {
    const size_t found = bytes.find(key, from);
    if (found == std::string_view::npos) break;
    from = found + 1;
    const size_t start = found - kHeaderSize;
    const size_t available = bytes.size() - start;
    if (available < kRootFixedOffset + kFixedFileInfoSize) continue;
    const size_t length = Word(bytes, start);
    if (Word(bytes, start + 2) != kFixedFileInfoSize) continue;
    if (length < kRootFixedOffset + kFixedFileInfoSize || length > available) continue;
    if (DWord(bytes, start + kRootFixedOffset) != kFixedFileInfoSignature) continue;
    return BlockLocation{start, length};
  }
  return std::nullopt;
}

std::optional<VersionNode> ParseVersionBlock(std::string_view block) {
  if (block.size() < kRootKeyEnd ||
      block.substr(kHeaderSize, kRootKeySize) != std::string_view(kRootKey, kRootKeySize))
    return std::nullopt;
  VersionNode root;
  if (ParseNode(block, 0, block.size(), 0, root) == 0) return std::nullopt;
  return root;
}

std::optional<FixedFileInfo> ReadFixedFileInfo(const VersionNode& root) {
  if (root.value.size() < kFixedFileInfoSize) return std::nullopt;
  uint32_t fields[13];
  for (size_t i = 0; i < 13; ++i) fields[i] = DWord(root.value, 4 * i);
  if (fields[0] != kFixedFileInfoSignature) return std::nullopt;
  return FixedFileInfo{fields[0], fields[1], fields[2], fields[3],  fields[4],  fields[5], fields[6],
                       fields[7], fields[8], fields[9], fields[10], fields[11], fields[12]};
}

const VersionNode* FindVersionNode(const VersionNode& root, std::string_view path) {
  const VersionNode* node = &root;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('\\', pos);
    if (next == std::string_view::npos) next = path.size();
    const std::string_view part = path.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty()) continue;
    const VersionNode* match = nullptr;
    for (const auto& child : node->children) {
      if (EqualsAsciiFolded(child.key, part)) {
        match = &child;
        break;
      }
    }
    if (!match) return nullptr;
    node = match;
  }
  return node;
}

std::string VersionNodeText(const VersionNode& node) {
  size_t units = 0;
  while (2 * units + 1 < node.value.size() && Word(node.value, 2 * units) != 0) ++units;
  return Utf16LeToUtf8(node.value.substr(0, 2 * units));
}

std::vector<uint32_t> TranslationEntries(const VersionNode& node) {
  std::vector<uint32_t> entries;
  for (size_t at = 0; at + 4 <= node.value.size(); at += 4) entries.push_back(DWord(node.value, at));
  return entries;
}

uint32_t GetFileVersionInfoSize(const std::string& fileName) {
  const auto block = ReadFileBlock(fileName);
  return block ? static_cast<uint32_t>(block->size()) : 0;
}

bool GetFileVersionInfo(const std::string& fileName, uint32_t size, void* data) {
  if (!data || size == 0) return false;
  const auto block = ReadFileBlock(fileName);
  if (!block) return false;
  std::memcpy(data, block->data(), std::min<size_t>(size, block->size()));
  return true;
}

std::optional<VersionQueryResult> VerQueryValue(const void* block, size_t blockSize,
                                                std::string_view subBlock) {
  if (!block) return std::nullopt;
  const auto root = ParseVersionBlock(std::string_view(static_cast<const char*>(block), blockSize));
  if (!root) return std::nullopt;
  const VersionNode* node = FindVersionNode(*root, subBlock);
  if (!node) return std::nullopt;
  VersionQueryResult result;
  result.isText = node->type == 1;
  result.bytes = std::string(node->value);
  result.text = VersionNodeText(*node);
  return result;
}

int GetFileVersionField(const char* fileName, const char* fieldName, char* buffer, int bufSize,
                        uint32_t* version) {
  if (version) *version = 0;
  if (!fileName || !fieldName) return 0;
  const uint32_t size = GetFileVersionInfoSize(fileName);
  if (size == 0) return 0;
  std::string block(size, '\0');
  if (!GetFileVersionInfo(fileName, size, block.data())) return 0;

  const auto translation = VerQueryValue(block.data(), block.size(), "\\VarFileInfo\\Translation");
  if (!translation || translation->bytes.size() < 4) return 0;
  const uint32_t first = DWord(translation->bytes, 0);
  const unsigned long key = (first & 0xFFFFu) * 65536ul + (first >> 16);
  char path[64];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%08lx\\", key);

  const auto field = VerQueryValue(block.data(), block.size(), std::string(path) + fieldName);
  if (!field) return 0;
  const std::string& text = field->text;
  const size_t n = std::strlen(text.c_str());

  if (buffer && bufSize > 0) {
    const size_t count = std::min(n + 1, static_cast<size_t>(bufSize) - 1);
    std::memcpy(buffer, text.c_str(), count);
    buffer[bufSize - 1] = '\0';
  }
  if (version) *version = PackVersionText(std::string_view(text.c_str(), n));
  return static_cast<int>(std::min<size_t>(n, 0x7FFFFFFF));
}

uint32_t PackVersionText(std::string_view text) {
  uint64_t packed = 0;
  int count = 0;
  size_t pos = 0;
  while (count < 4) {
    size_t separator = text.find_first_of(".,", pos);
    const size_t runEnd = separator == std::string_view::npos ? text.size() : separator;
    const std::string run(text.substr(pos, runEnd - pos));
    char* end = nullptr;
    const long long value = std::strtoll(run.c_str(), &end, 0);
    if (end == run.c_str()) break;
    packed = (packed << 8) | (static_cast<unsigned long long>(value) & 0xFF);
    ++count;
    if (separator == std::string_view::npos) break;
    pos = separator + 1;
  }
  packed <<= 8 * (4 - count);
  return static_cast<uint32_t>(packed);
}

std::string TrimVersionText(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t first = 0;
  size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

std::string VersionNumberField(std::string_view text, size_t index) {
  size_t pos = 0;
  size_t found = 0;
  while (pos < text.size()) {
    const size_t start = text.find_first_not_of('.', pos);
    if (start == std::string_view::npos) break;
    size_t end = text.find('.', start);
    if (end == std::string_view::npos) end = text.size();
    if (found == index) return std::string(text.substr(start, end - start));
    ++found;
    pos = end;
  }
  return {};
}

std::string ReadVersionString(const std::string& fileName, const std::string& fieldName) {
  constexpr int kBufferSize = 260;
  char buffer[kBufferSize] = {};
  uint32_t version = 0;
  if (GetFileVersionField(fileName.c_str(), fieldName.c_str(), buffer, kBufferSize, &version) == 0) return {};
  std::string text(buffer);
  // A cut may end inside a multi-byte character; drop the broken tail.
  size_t lead = text.size();
  while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead > 0 && static_cast<unsigned char>(text[lead - 1]) >= 0xC0) {
    const unsigned char c = static_cast<unsigned char>(text[lead - 1]);
    const size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    if (text.size() - (lead - 1) < need) text.resize(lead - 1);
  }
  return TrimVersionText(text);
}

}  // namespace qb
