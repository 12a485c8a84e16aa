#pragma once

// Builds version-resource blocks byte by byte for the reader's tests,
// including broken ones (wrong lengths, missing parts), and writes them as the
// file the reader opens.

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qbtest {

inline void PutWord(std::string& out, uint16_t w) {
  out += static_cast<char>(w & 0xFF);
  out += static_cast<char>(w >> 8);
}

inline void PutDWord(std::string& out, uint32_t d) {
  PutWord(out, static_cast<uint16_t>(d & 0xFFFF));
  PutWord(out, static_cast<uint16_t>(d >> 16));
}

// ASCII text as UTF-16LE with its terminating zero.
inline std::string Wide(const std::string& ascii) {
  std::string out;
  for (char c : ascii) PutWord(out, static_cast<unsigned char>(c));
  PutWord(out, 0);
  return out;
}

struct Node {
  std::string key;
  uint16_t type = 1;
  uint16_t valueLength = 0;
  std::string value;
  std::vector<Node> children;
  int lengthOverride = -1;  // written instead of the true length when >= 0
};

inline void Align(std::string& out) {
  while (out.size() % 4) out += '\0';
}

inline std::string Serialize(const Node& node) {
  std::string out(6, '\0');
  out += Wide(node.key);
  Align(out);
  out += node.value;
  for (const auto& child : node.children) {
    Align(out);
    out += Serialize(child);
  }
  const uint16_t length = node.lengthOverride >= 0 ? static_cast<uint16_t>(node.lengthOverride)
                                                   : static_cast<uint16_t>(out.size());
  std::string header;
  PutWord(header, length);
  PutWord(header, node.valueLength);
  PutWord(header, node.type);
  out.replace(0, 6, header);
  return out;
}

inline Node TextNode(const std::string& key, const std::string& text) {
  Node node{key, 1, 0, Wide(text), {}};
  node.valueLength = static_cast<uint16_t>(text.size() + 1);
  return node;
}

inline std::string FixedInfo(uint32_t fileMS, uint32_t fileLS, uint32_t signature = 0xFEEF04BD) {
  std::string out;
  for (uint32_t d :
       {signature, 0x00010000u, fileMS, fileLS, fileMS, fileLS, 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u})
    PutDWord(out, d);
  return out;
}

using Fields = std::vector<std::pair<std::string, std::string>>;

struct BlockContents {
  // Entries of the Translation value: language | code page << 16.
  std::vector<uint32_t> translations{0x04E40409};
  bool varFileInfo = true;
  std::vector<std::pair<std::string, Fields>> tables{{"040904e4", {{"FileVersion", "2.2.0.15"}}}};
  uint32_t fileMS = 0x00020002;
  uint32_t fileLS = 0x0000000F;
};

inline Node RootNode(const BlockContents& contents) {
  Node root{"VS_VERSION_INFO", 0, 52, FixedInfo(contents.fileMS, contents.fileLS), {}};
  Node strings{"StringFileInfo", 1, 0, {}, {}};
  for (const auto& [key, fields] : contents.tables) {
    Node table{key, 1, 0, {}, {}};
    for (const auto& [name, text] : fields) table.children.push_back(TextNode(name, text));
    strings.children.push_back(table);
  }
  root.children.push_back(strings);
  if (contents.varFileInfo) {
    std::string value;
    for (uint32_t entry : contents.translations) PutDWord(value, entry);
    Node var{"Translation", 0, static_cast<uint16_t>(value.size()), value, {}};
    root.children.push_back(Node{"VarFileInfo", 1, 0, {}, {var}});
  }
  return root;
}

inline std::string BuildBlock(const BlockContents& contents) { return Serialize(RootNode(contents)); }

// A block the reader must find inside other bytes, as in an executable.
inline std::string Embedded(const std::string& block, size_t leading = 4099) {
  std::string bytes;
  for (size_t i = 0; i < leading; ++i) bytes += static_cast<char>((i * 131 + 7) & 0xFF);
  return bytes + block + std::string(777, '\x5A');
}

// Replaces the file at path with bytes; false when it cannot be written.
inline bool WriteProgramFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace qbtest
