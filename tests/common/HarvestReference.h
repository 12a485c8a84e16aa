#pragma once

// A literal, unoptimised walk of both page layouts over the plain cut
// operations, to check the memoised engine against (tests and fuzzing).

#include <string>
#include <string_view>

#include "harvest/HarvestText.h"
#include "runtime/Conversions.h"

namespace qbref {

using qb::CutFirst;
using qb::CutFrom;
using qb::CutUpTo;

inline std::string_view TableDescription(std::string_view t, bool utf8) {
  for (;;) {
    t = CutFrom(t, "rd=1\">", 6);
    if (t.substr(0, 11) != "<img height") return CutFirst(t, 55, utf8);
  }
}
inline std::string_view TableItemNumber(std::string_view t) {
  return CutUpTo(CutFrom(CutFrom(t, "category=", 9), "item=", 5), "&amp");
}
inline std::string_view TableBids(std::string_view t) {
  t = CutUpTo(CutFrom(CutFrom(t, "<b>", 0), "rowspan=\"1\">", 12), "</");
  return qb::IsNumericText(t, true) ? t : std::string_view("0");
}
inline std::string TableAmount(std::string_view t) {
  return qb::CleanAmount(CutUpTo(CutFrom(t, "<b>", 3), "</b>"));
}
inline std::string_view NextTableRecord(std::string_view t) {
  t = CutFrom(t, "</tr>", 3);
  if (t.find("input type=\"checkbox\"") != std::string_view::npos)
    t = CutFrom(t, "input type=\"checkbox\"", 0);
  return CutFrom(t, "rd=1", 3);
}

inline std::string_view Skip(std::string_view t, int n) {
  for (int i = 0; i < n; ++i) t = CutFrom(t, ",", 1);
  return t;
}
inline std::string_view ScriptBids(std::string_view t) { return CutUpTo(Skip(t, 12), ","); }
inline std::string_view ScriptItemNumber(std::string_view t) { return CutUpTo(Skip(t, 14), ","); }
inline std::string_view ScriptDescription(std::string_view t) {
  t = Skip(t, 15);
  return CutUpTo(t.substr(t.empty() ? 0 : 1), "\",");
}
inline std::string ScriptAmount(std::string_view t) {
  return qb::CleanAmount(CutUpTo(CutFrom(t, "','", 3), "',"));
}
inline std::string_view NextScriptRecord(std::string_view t) { return CutFrom(t, "dSI(", 4); }

inline void WalkTable(std::string_view rec, bool utf8, qb::HarvestTarget& target) {
  for (;;) {
    std::string_view description = TableDescription(rec, utf8);
    const std::string_view item = TableItemNumber(rec);
    const std::string_view bids = TableBids(rec);
    const std::string amount = TableAmount(rec);
    if (!qb::IsNumericText(item, true)) {
      description = {};
      if (target.DollarNoticeCount() == 0) {
        target.ShowDollarNotice();
        ++target.DollarNoticeCount();
      }
    }
    if (!description.empty()) target.AddGridRow(description, item, bids, amount);
    rec = NextTableRecord(rec);
    if (description.empty()) return;
  }
}

inline void WalkScript(std::string_view page, qb::HarvestTarget& target) {
  std::string_view rec = NextScriptRecord(CutFrom(page, "var salejs", 3));
  for (;;) {
    std::string_view description = ScriptDescription(rec);
    const std::string_view item = ScriptItemNumber(rec);
    const std::string_view bids = ScriptBids(rec);
    const std::string amount = ScriptAmount(rec);
    if (!qb::IsNumericText(item, true)) description = {};
    if (!description.empty()) target.AddGridRow(description, item, bids, amount);
    rec = NextScriptRecord(rec);
    if (description.empty()) return;
  }
}

inline void HarvestPage(std::string_view page, qb::HarvestTarget& target) {
  if (qb::TextContains(page, "var salejs")) {
    WalkScript(page, target);
    return;
  }
  const size_t list = page.find("var findSortArray = [");
  if (list == std::string_view::npos) {
    target.ShowNoResults();
    return;
  }
  const size_t box = page.find("input type=\"checkbox\"", list);
  if (box == std::string_view::npos) return;
  WalkTable(page.substr(box), qb::IsValidUtf8(page), target);
}

}  // namespace qbref
