#pragma once

// The fields of one record text, read by the engine's scanner as the walk
// reads them at a record.

#include <string>
#include <string_view>

#include "harvest/PageScanner.h"

namespace qbtest {

// The description counts characters when utf8 is set (the page is valid
// UTF-8), bytes otherwise; the one-argument form checks rec itself.
inline std::string_view TableDescription(std::string_view rec, bool utf8) {
  return qb::PageScanner(rec, utf8).TableDescription(0);
}
inline std::string_view TableDescription(std::string_view rec) {
  return qb::PageScanner(rec).TableDescription(0);
}
inline std::string_view TableItemNumber(std::string_view rec) {
  return qb::PageScanner(rec, false).TableItemNumber(0);
}
inline std::string_view TableBids(std::string_view rec) { return qb::PageScanner(rec, false).TableBids(0); }
inline std::string TableAmount(std::string_view rec) { return qb::PageScanner(rec, false).TableAmount(0); }
inline std::string_view NextTableRecord(std::string_view rec) {
  qb::PageScanner scanner(rec, false);
  return scanner.Text(scanner.NextTableRecord(0));
}

inline std::string_view ScriptDescription(std::string_view rec) {
  return qb::PageScanner(rec, false).ScriptDescription(0);
}
inline std::string_view ScriptItemNumber(std::string_view rec) {
  return qb::PageScanner(rec, false).ScriptItemNumber(0);
}
inline std::string_view ScriptBids(std::string_view rec) { return qb::PageScanner(rec, false).ScriptBids(0); }
inline std::string ScriptAmount(std::string_view rec) { return qb::PageScanner(rec, false).ScriptAmount(0); }
inline std::string_view NextScriptRecord(std::string_view rec) {
  qb::PageScanner scanner(rec, false);
  return scanner.Text(scanner.NextScriptRecord(0));
}

}  // namespace qbtest
