#pragma once

// Page bytes between the engine's std types and QtTest's QByteArray.

#include <QByteArray>
#include <QByteArrayList>
#include <string>
#include <string_view>
#include <vector>

namespace qbtest {

inline QByteArray Bytes(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string_view View(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<size_t>(bytes.size())};
}
inline QByteArrayList ByteList(const std::vector<std::string>& texts) {
  QByteArrayList list;
  for (const std::string& text : texts) list << Bytes(text);
  return list;
}

}  // namespace qbtest
