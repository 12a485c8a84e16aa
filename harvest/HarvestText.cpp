#include "harvest/HarvestText.h"

#include <string>

#include "harvest/ByteSearch.h"
#include "harvest/HarvestCards.h"
#include "harvest/PageScanner.h"

namespace qb {

namespace {

// Calls AddGridRow unless the record is the very same page text as the one
// before (the grid would reject it again).
class RecordSink {
 public:
  explicit RecordSink(HarvestTarget& target) : FTarget(target) {}
  void Add(std::string_view description, std::string_view item, std::string_view bids,
           const std::string& amount) {
    if (FValid && Same(description, FDescription) && Same(item, FItem) && Same(bids, FBids) &&
        amount == FAmount)
      return;
    FValid = true;
    FDescription = description;
    FItem = item;
    FBids = bids;
    FAmount = amount;
    FTarget.AddGridRow(description, item, bids, amount, {});
  }

 private:
  static bool Same(std::string_view a, std::string_view b) {
    return a.data() == b.data() && a.size() == b.size();
  }
  HarvestTarget& FTarget;
  bool FValid = false;
  std::string_view FDescription, FItem, FBids;
  std::string FAmount;
};

void WalkTable(PageScanner& scanner, size_t rec, HarvestTarget& target) {
  RecordSink sink(target);
  for (;;) {
    std::string_view description = scanner.TableDescription(rec);
    const std::string_view item = scanner.TableItemNumber(rec);
    const std::string_view bids = scanner.TableBids(rec);
    const std::string& amount = scanner.TableAmount(rec);
    if (!scanner.IsItemNumber(item)) {
      description = {};
      if (target.DollarNoticeCount() == 0) {
        // Counted first: the message box lets another harvest run meanwhile.
        ++target.DollarNoticeCount();
        target.ShowDollarNotice();
      }
    }
    if (!description.empty()) sink.Add(description, item, bids, amount);
    if (description.empty()) break;
    rec = scanner.NextTableRecord(rec);
  }
}

void WalkScript(PageScanner& scanner, HarvestTarget& target) {
  RecordSink sink(target);
  size_t rec = scanner.From(0, kScriptListCut);
  rec = scanner.NextScriptRecord(rec);
  for (;;) {
    std::string_view description = scanner.ScriptDescription(rec);
    const std::string_view item = scanner.ScriptItemNumber(rec);
    const std::string_view bids = scanner.ScriptBids(rec);
    const std::string& amount = scanner.ScriptAmount(rec);
    if (!scanner.IsItemNumber(item)) description = {};
    if (description.empty()) break;
    sink.Add(description, item, bids, amount);
    rec = scanner.NextScriptRecord(rec);
  }
}

}  // namespace

bool IsTableLayout(std::string_view page) { return !TextContains(page, kScriptLayoutMark); }

std::string CleanAmount(std::string_view text) {
  // The text is kept when, without its first "$" and its commas, it is numeric.
  // A letter anywhere (GBP, AU, US $) fails that test as surely as the
  // currency checks would, so one pass decides.
  bool dollar = false;
  size_t kept = 0;
  for (const char c : text) {
    if ((c >= '0' && c <= '9') || c == '.') {
      ++kept;
    } else if (c == '$' && !dollar) {
      dollar = true;
    } else if (c != ',') {
      return std::string(kForeignAmount);
    }
  }
  if (kept == 0) return std::string(kForeignAmount);
  std::string amount;
  amount.reserve(kept);
  for (const char c : text)
    if (c != '$' && c != ',') amount.push_back(c);
  return amount;
}

void HarvestTableLayout(std::string_view rec, HarvestTarget& target) {
  PageScanner scanner(rec);
  WalkTable(scanner, 0, target);
}

void HarvestScriptLayout(std::string_view page, HarvestTarget& target) {
  PageScanner scanner(page, false);
  WalkScript(scanner, target);
}

namespace {

// utf8: the page's validity when known; tableLayout: IsTableLayout(page).
void Harvest(std::string_view page, HarvestTarget& target, const bool* utf8, bool tableLayout) {
  if (!tableLayout) {
    HarvestScriptLayout(page, target);
    return;
  }
  const size_t list = FindIn(page, kFindSortArray);
  if (list == npos) {
    if (!HarvestCardLayout(page, target)) target.ShowNoResults();
    return;
  }
  const size_t box = FindIn(page, kMarkerText[kCheckBox], list);
  if (box == npos) return;
  PageScanner scanner = utf8 ? PageScanner(page, *utf8) : PageScanner(page);
  WalkTable(scanner, box, target);
}

}  // namespace

void HarvestPage(std::string_view page, HarvestTarget& target) {
  Harvest(page, target, nullptr, IsTableLayout(page));
}
void HarvestPage(std::string_view page, HarvestTarget& target, bool utf8, bool tableLayout) {
  Harvest(page, target, &utf8, tableLayout);
}

}  // namespace qb
