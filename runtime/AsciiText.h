#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qb {

// ASCII letter case folding: 'A'..'Z' become 'a'..'z', every other byte (UTF-8
// included) stays as it is. Inline, since the page scans call it per byte.
inline char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Appends text to out with its letters folded.
inline void AppendAsciiFolded(std::string& out, std::string_view text) {
  const size_t start = out.size();
  out += text;
  for (size_t i = start; i < out.size(); ++i) out[i] = FoldAscii(out[i]);
}

inline std::string AsciiFolded(std::string_view text) {
  std::string folded;
  AppendAsciiFolded(folded, text);
  return folded;
}

inline bool EqualsAsciiFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

}  // namespace qb
