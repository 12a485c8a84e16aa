#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "harvest/ByteSearch.h"
#include "harvest/HarvestText.h"
#include "harvest/LayoutRules.h"
#include "runtime/Conversions.h"

namespace qb {

// Smallest shift at which a marker can occur again overlapping itself: after an
// occurrence at h, none starts in (h, h + period).
constexpr size_t MarkerPeriod(std::string_view m) {
  for (size_t shift = 1; shift < m.size(); ++shift)
    if (m.substr(shift) == m.substr(0, m.size() - shift)) return shift;
  return m.size();
}

inline constexpr auto kMarkerPeriod = [] {
  std::array<size_t, kMarkerCount> periods{};
  for (int m = 0; m < kMarkerCount; ++m) periods[m] = MarkerPeriod(kMarkerText[m]);
  return periods;
}();

// Record texts and cut results are suffixes of one page, held as offsets;
// the page's size stands for the empty text. Every marker search keeps a run of
// consecutive occurrences it has already found, so a walk finds each
// occurrence once however far records reach for a missing marker.
class PageScanner {
 public:
  // Descriptions count characters when the page is valid UTF-8; without utf8
  // given, that is checked when a description first holds a non-ASCII byte.
  explicit PageScanner(std::string_view page) : FPage(page) {}
  PageScanner(std::string_view page, bool utf8) : FPage(page), FUtf8(utf8 ? kYes : kNo) {}

  size_t End() const { return FPage.size(); }
  std::string_view Text(size_t s) const { return FPage.substr(s); }

  // Index into FRuns[m].hits of the first occurrence at or after s, or npos.
  size_t FindIndex(Marker m, size_t s);
  size_t Find(Marker m, size_t s) {
    Run& run = FRuns[m];
    if (run.valid && !run.exhausted && s > run.hits.back() + kMarkerPeriod[m] && s < End()) {
      // The usual step: past the run, which a new one from s replaces.
      const size_t hit = FindIn(FPage, kMarkerText[m], s);
      Reset(run, s, hit);
      return hit;
    }
    const size_t index = FindIndex(m, s);
    return index == npos ? npos : FRuns[m].hits[index];
  }

  size_t From(size_t s, Cut cut) {
    const size_t hit = Find(cut.marker, s);
    if (hit == npos) return cut.k == 0 ? End() : Clamp(s + cut.k - 1);
    return Clamp(hit + cut.k);
  }

  std::string_view UpTo(size_t s, Marker m) {
    const size_t hit = Find(m, s);
    return hit == npos ? std::string_view() : FPage.substr(s, hit - s);
  }

  std::string_view TableDescription(size_t rec);
  std::string_view TableItemNumber(size_t rec) {
    size_t t = From(rec, kCategoryCut);
    t = From(t, kItemCut);
    return UpTo(t, kAmp);
  }
  std::string_view TableBids(size_t rec) {
    size_t t = From(rec, kBidsBoldCut);
    t = From(t, kBidsCellCut);
    const std::string_view bids = UpTo(t, kCloseTag);
    return IsNumeric(bids, FBidsMemo) ? bids : std::string_view("0");
  }
  const std::string& TableAmount(size_t rec) {
    const size_t t = From(rec, kAmountCut);
    return Clean(UpTo(t, kBoldClose));
  }
  size_t NextTableRecord(size_t rec) {
    size_t t = From(rec, kRowEndCut);
    const size_t box = Find(kCheckBox, t);
    if (box != npos) t = box;
    return From(t, kNextRecordCut);
  }

  std::string_view ScriptBids(size_t rec) { return UpTo(SkipSeparators(rec, kScriptBidsSeparators), kComma); }
  std::string_view ScriptItemNumber(size_t rec) {
    return UpTo(SkipSeparators(rec, kScriptItemSeparators), kComma);
  }
  std::string_view ScriptDescription(size_t rec) {
    const size_t t = Clamp(SkipSeparators(rec, kScriptTitleSeparators) + 1);
    return UpTo(t, kQuoteComma);
  }
  const std::string& ScriptAmount(size_t rec) {
    const size_t t = From(rec, kScriptAmountCut);
    return Clean(UpTo(t, kSingleQuoteComma));
  }
  size_t NextScriptRecord(size_t rec) { return From(rec, kScriptRecordCut); }

  bool IsItemNumber(std::string_view item) { return IsNumeric(item, FItemMemo); }

 private:
  struct Run {
    bool valid = false;
    bool exhausted = false;  // no occurrence after the last hit
    size_t from = 0;         // the hits are every occurrence from here on
    std::vector<size_t> hits;
  };
  struct NumericMemo {
    const char* data = nullptr;
    size_t size = npos;
    bool numeric = false;
  };
  // Image links followed from the item link at `first` up to the one at `last`.
  struct DescriptionChain {
    bool valid = false;
    size_t first = 0;
    size_t last = 0;
    size_t text = 0;
  };

  size_t Clamp(size_t s) const { return std::min(s, End()); }
  bool StartsWithImage(size_t s) const { return FPage.substr(s, kImgHeight.size()) == kImgHeight; }

  size_t SkipSeparators(size_t s, int n);

  static void Reset(Run& run, size_t from, size_t hit) {
    run.valid = true;
    run.from = from;
    run.hits.clear();
    run.exhausted = hit == npos;
    if (hit != npos) run.hits.push_back(hit);
  }

  // IsNumericText, remembered for the last text (records that miss a marker
  // share the same far-away field).
  static bool IsNumeric(std::string_view text, NumericMemo& memo) {
    if (text.data() != memo.data || text.size() != memo.size) {
      memo.data = text.data();
      memo.size = text.size();
      memo.numeric = IsNumericText(text, true);
    }
    return memo.numeric;
  }

  const std::string& Clean(std::string_view amount) {
    if (!FAmountValid || amount.data() != FAmountData || amount.size() != FAmountSize) {
      FAmountValid = true;
      FAmountData = amount.data();
      FAmountSize = amount.size();
      FAmount = CleanAmount(amount);
    }
    return FAmount;
  }

  std::string_view FPage;
  enum Utf8State { kUnknown, kNo, kYes };
  Utf8State FUtf8 = kUnknown;
  Run FRuns[kMarkerCount];
  DescriptionChain FChain;
  NumericMemo FBidsMemo;
  NumericMemo FItemMemo;
  bool FAmountValid = false;
  const char* FAmountData = nullptr;
  size_t FAmountSize = 0;
  std::string FAmount;
};

}  // namespace qb
