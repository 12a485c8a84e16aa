#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "harvest/HarvestTarget.h"

namespace qb {

// One auction of the research grid. Texts are UTF-8 (or raw page bytes).
struct ResearchRow {
  std::string itemNumber;
  std::string bids;
  std::string amount;
  std::string description;
  std::string sold;  // ISO 8601 date
  std::string delivery;
  std::string condition;
  bool checked = false;
  // In a research file: the row's key there (0: not stored) and the harvest
  // it came from (0: none known).
  int64_t fileId = 0;
  int64_t harvest = 0;
};

// The grid's columns, and their captions as the grid's header and every export name them.
enum GridColumn {
  kItemNumberColumn = 0,
  kBidsColumn = 1,
  kAmountColumn = 2,
  kDescriptionColumn = 3,
  kSoldColumn = 4,
  kDeliveryColumn = 5,
  kConditionColumn = 6
};
inline constexpr int kGridColumnCount = kConditionColumn + 1;
inline constexpr std::string_view kGridColumnCaptions[kGridColumnCount] = {
    "Item Number", "Bids", "Amount", "Description", "Sold", "Delivery", "Condition"};

// The number an Amount text stands for: its first "$" removed, read with a
// period as decimal point whatever the locale. ReadGridAmount throws
// Exception(GridAmountError(amount)): "'%s' is not a valid floating point
// value" for the text without the "$".
bool TryReadGridAmount(std::string_view amount, long double& value);
long double ReadGridAmount(std::string_view amount);
std::string GridAmountError(std::string_view amount);

// The add rule's test of the row itself: it needs a description and a price
// in U.S. dollars. Whether its item number is new is the grid's test.
inline bool IsAddableRow(std::string_view description, std::string_view amount) {
  return !description.empty() && amount != kForeignAmount;
}

// The graph needs at least this many rows; fewer get kNotEnoughDataForGraph.
inline constexpr size_t kMinimumGraphRows = 4;
inline constexpr const char* kNotEnoughDataForGraph = "Not enough data for graph";
inline bool EnoughDataForGraph(size_t rowCount) { return rowCount >= kMinimumGraphRows; }

// The add rule's memory of the item numbers in a grid, letter case ignored,
// so that no add searches through the rows.
class ItemNumberIndex {
 public:
  // The add rule: true, and the item number counted, when the row is
  // addable (IsAddableRow) and its item number is not present yet.
  bool Admit(std::string_view description, std::string_view itemNumber, std::string_view amount);
  void Add(std::string_view itemNumber);
  void Remove(std::string_view itemNumber);
  void Clear() { FCounts.clear(); }

 private:
  // Folded item number -> number of rows carrying it (retyping may duplicate).
  std::unordered_map<std::string, uint32_t> FCounts;
};

// The rows of the research grid in grid order, with the index of their item
// numbers.
class GridRows {
 public:
  // Appends a row the add rule admits (ItemNumberIndex::Admit). New rows are
  // unchecked.
  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const SaleDetails& details = {});

  size_t size() const { return FRows.size(); }
  bool empty() const { return FRows.empty(); }
  const ResearchRow& operator[](size_t i) const { return FRows[i]; }
  const std::vector<ResearchRow>& rows() const { return FRows; }

  void SetChecked(size_t i, bool checked) { FRows[i].checked = checked; }
  void SetOrigin(size_t i, int64_t fileId, int64_t harvest) {
    FRows[i].fileId = fileId;
    FRows[i].harvest = harvest;
  }
  // The user retyped an Item Number in place; later adds compare against it.
  void SetItemNumber(size_t i, std::string_view itemNumber);

  void Clear();
  // Removes every row whose flag is non-zero; the others keep their order.
  // flags may be shorter than the row count (missing flags keep the row).
  void RemoveFlagged(const std::vector<char>& flags);
  // Puts the rows in the given order: order[k] is the old index of new row k.
  void Reorder(const std::vector<size_t>& order);

 private:
  std::vector<ResearchRow> FRows;
  ItemNumberIndex FIndex;
};

}  // namespace qb
