#pragma once

// A literal, unoptimised walk of both page layouts over the plain cut
// operations, to check the memoised engine against (tests and fuzzing). It
// reads the rules' markers and cuts from the engine's table.

#include <string>
#include <string_view>

#include "harvest/ByteSearch.h"
#include "harvest/HarvestText.h"
#include "harvest/LayoutRules.h"
#include "runtime/Conversions.h"

namespace qbref {

using qb::CutFirst;
using qb::kMarkerText;

// The three cut operations on a text t, positions counting from 1 as on the
// page. from M + k: t from (position of M) + k on, empty when that lies
// outside t; without M, t loses its first k - 1 characters (k = 0: empty).
inline std::string_view CutFrom(std::string_view t, std::string_view marker, size_t k) {
  const size_t hit = qb::FindIn(t, marker);
  size_t start;
  if (hit == qb::npos) {
    if (k == 0) return {};
    start = k - 1;
  } else {
    start = hit + k;
  }
  return start >= t.size() ? std::string_view() : t.substr(start);
}
inline std::string_view CutFrom(std::string_view t, qb::Cut cut) {
  return CutFrom(t, kMarkerText[cut.marker], cut.k);
}
// up to M: the characters before the first M; empty without M.
inline std::string_view CutUpTo(std::string_view t, std::string_view marker) {
  const size_t hit = qb::FindIn(t, marker);
  return hit == qb::npos ? std::string_view() : t.substr(0, hit);
}
inline std::string_view CutUpTo(std::string_view t, qb::Marker marker) {
  return CutUpTo(t, kMarkerText[marker]);
}

inline std::string_view TableDescription(std::string_view t, bool utf8) {
  for (;;) {
    t = CutFrom(t, qb::kTitleCut);
    if (t.substr(0, qb::kImgHeight.size()) != qb::kImgHeight)
      return CutFirst(t, qb::kDescriptionLength, utf8);
  }
}
inline std::string_view TableItemNumber(std::string_view t) {
  return CutUpTo(CutFrom(CutFrom(t, qb::kCategoryCut), qb::kItemCut), qb::kAmp);
}
inline std::string_view TableBids(std::string_view t) {
  t = CutUpTo(CutFrom(CutFrom(t, qb::kBidsBoldCut), qb::kBidsCellCut), qb::kCloseTag);
  return qb::IsNumericText(t, true) ? t : std::string_view("0");
}
inline std::string TableAmount(std::string_view t) {
  return qb::CleanAmount(CutUpTo(CutFrom(t, qb::kAmountCut), qb::kBoldClose));
}
inline std::string_view NextTableRecord(std::string_view t) {
  t = CutFrom(t, qb::kRowEndCut);
  if (t.find(kMarkerText[qb::kCheckBox]) != std::string_view::npos)
    t = CutFrom(t, kMarkerText[qb::kCheckBox], 0);
  return CutFrom(t, qb::kNextRecordCut);
}

inline std::string_view Skip(std::string_view t, int n) {
  for (int i = 0; i < n; ++i) t = CutFrom(t, qb::kSeparatorCut);
  return t;
}
inline std::string_view ScriptBids(std::string_view t) {
  return CutUpTo(Skip(t, qb::kScriptBidsSeparators), qb::kComma);
}
inline std::string_view ScriptItemNumber(std::string_view t) {
  return CutUpTo(Skip(t, qb::kScriptItemSeparators), qb::kComma);
}
inline std::string_view ScriptDescription(std::string_view t) {
  t = Skip(t, qb::kScriptTitleSeparators);
  return CutUpTo(t.substr(t.empty() ? 0 : 1), qb::kQuoteComma);
}
inline std::string ScriptAmount(std::string_view t) {
  return qb::CleanAmount(CutUpTo(CutFrom(t, qb::kScriptAmountCut), qb::kSingleQuoteComma));
}
inline std::string_view NextScriptRecord(std::string_view t) { return CutFrom(t, qb::kScriptRecordCut); }

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
    if (!description.empty()) target.AddGridRow(description, item, bids, amount, {});
    rec = NextTableRecord(rec);
    if (description.empty()) return;
  }
}

inline void WalkScript(std::string_view page, qb::HarvestTarget& target) {
  std::string_view rec = NextScriptRecord(CutFrom(page, qb::kScriptListCut));
  for (;;) {
    std::string_view description = ScriptDescription(rec);
    const std::string_view item = ScriptItemNumber(rec);
    const std::string_view bids = ScriptBids(rec);
    const std::string amount = ScriptAmount(rec);
    if (!qb::IsNumericText(item, true)) description = {};
    if (!description.empty()) target.AddGridRow(description, item, bids, amount, {});
    rec = NextScriptRecord(rec);
    if (description.empty()) return;
  }
}

inline void HarvestPage(std::string_view page, qb::HarvestTarget& target) {
  if (qb::TextContains(page, kMarkerText[qb::kVarSalejs])) {
    WalkScript(page, target);
    return;
  }
  const size_t list = page.find(qb::kFindSortArray);
  if (list == std::string_view::npos) {
    target.ShowNoResults();
    return;
  }
  const size_t box = page.find(kMarkerText[qb::kCheckBox], list);
  if (box == std::string_view::npos) return;
  WalkTable(page.substr(box), qb::IsValidUtf8(page), target);
}

}  // namespace qbref
