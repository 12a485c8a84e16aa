#pragma once

// A harvest target that keeps what a harvest did: the rows the grid's add
// rule took, and every message in the order it was shown.

#include <string>
#include <string_view>
#include <vector>

#include "harvest/HarvestText.h"
#include "research/GridRows.h"

namespace qbtest {

class RecordingTarget : public qb::HarvestTarget {
 public:
  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const qb::SaleDetails& details) override;
  void ShowDollarNotice() override;
  void ShowNoResults() override;
  void ShowNoCardResults(std::string_view message) override;
  void ShowHarvestReport(std::string_view report, const qb::CardCounts& counts) override;

  // The grid's rows as "item|bids|amount|description", with
  // "|sold|delivery|condition" after it when the row has any of them.
  std::vector<std::string> Rows() const;

  qb::GridRows grid;
  std::vector<std::string> said;  // message texts and report lines
  int dollarNotices = 0;
  int noResults = 0;
  int noCardResults = 0;
  int reports = 0;
};

}  // namespace qbtest
