#include "tests/common/RecordingTarget.h"

namespace qbtest {

bool RecordingTarget::AddGridRow(std::string_view description, std::string_view itemNumber,
                                 std::string_view bids, std::string_view amount,
                                 const qb::SaleDetails& details) {
  return grid.AddGridRow(description, itemNumber, bids, amount, details);
}

void RecordingTarget::ShowDollarNotice() {
  said.emplace_back(qb::kDollarNoticeText);
  ++dollarNotices;
}

void RecordingTarget::ShowNoResults() {
  said.emplace_back(qb::kNoResultsText);
  ++noResults;
}

void RecordingTarget::ShowNoCardResults(std::string_view message) {
  said.emplace_back(message);
  ++noCardResults;
}

void RecordingTarget::ShowHarvestReport(std::string_view report, const qb::CardCounts&) {
  said.emplace_back(report);
  ++reports;
}

std::vector<std::string> RecordingTarget::Rows() const {
  std::vector<std::string> rows;
  rows.reserve(grid.size());
  for (const qb::ResearchRow& row : grid.rows()) {
    rows.push_back(row.itemNumber + '|' + row.bids + '|' + row.amount + '|' + row.description);
    if (!row.sold.empty() || !row.delivery.empty() || !row.condition.empty())
      rows.back() += '|' + row.sold + '|' + row.delivery + '|' + row.condition;
  }
  return rows;
}

}  // namespace qbtest
