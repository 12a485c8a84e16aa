#include "research/GridRows.h"

#include <algorithm>

#include "runtime/AsciiText.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"

namespace qb {

namespace {

// amount without its first "$"; held in store when there was one.
std::string_view WithoutDollar(std::string_view amount, std::string& store) {
  const size_t dollar = amount.find('$');
  if (dollar == std::string_view::npos) return amount;
  store.assign(amount);
  store.erase(dollar, 1);
  return store;
}

}  // namespace

bool TryReadGridAmount(std::string_view amount, long double& value) {
  std::string store;
  const std::string_view text = WithoutDollar(amount, store);
  return TryExactDecimal(text, value) || TryStrToFloat(text, value, '.');
}

long double ReadGridAmount(std::string_view amount) {
  long double value = 0;
  if (!TryReadGridAmount(amount, value)) throw Exception(GridAmountError(amount));
  return value;
}

std::string GridAmountError(std::string_view amount) {
  std::string store;
  return FloatErrorMessage(WithoutDollar(amount, store));
}

bool ItemNumberIndex::Admit(std::string_view description, std::string_view itemNumber,
                            std::string_view amount) {
  if (!IsAddableRow(description, amount)) return false;
  auto [it, inserted] = FCounts.try_emplace(AsciiFolded(itemNumber), 0);
  if (!inserted && it->second > 0) return false;
  it->second = 1;
  return true;
}

void ItemNumberIndex::Add(std::string_view itemNumber) { ++FCounts[AsciiFolded(itemNumber)]; }

void ItemNumberIndex::Remove(std::string_view itemNumber) {
  auto it = FCounts.find(AsciiFolded(itemNumber));
  if (it != FCounts.end() && --it->second == 0) FCounts.erase(it);
}

bool GridRows::AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                          std::string_view amount, const SaleDetails& details) {
  if (!FIndex.Admit(description, itemNumber, amount)) return false;
  FRows.push_back(ResearchRow{std::string(itemNumber), std::string(bids), std::string(amount),
                              std::string(description), std::string(details.sold),
                              std::string(details.delivery), std::string(details.condition), false, 0, 0});
  return true;
}

void GridRows::SetItemNumber(size_t i, std::string_view itemNumber) {
  FIndex.Remove(FRows[i].itemNumber);
  FRows[i].itemNumber = std::string(itemNumber);
  FIndex.Add(FRows[i].itemNumber);
}

void GridRows::Clear() {
  FRows.clear();
  FIndex.Clear();
}

void GridRows::RemoveFlagged(const std::vector<char>& flags) {
  size_t out = 0;
  for (size_t i = 0; i < FRows.size(); ++i) {
    if (i < flags.size() && flags[i]) {
      FIndex.Remove(FRows[i].itemNumber);
      continue;
    }
    if (out != i) FRows[out] = std::move(FRows[i]);
    ++out;
  }
  FRows.resize(out);
}

void GridRows::Reorder(const std::vector<size_t>& order) {
  std::vector<ResearchRow> sorted;
  sorted.reserve(FRows.size());
  std::vector<char> taken(FRows.size(), 0);
  for (size_t old : order)
    if (old < FRows.size() && !taken[old]) {
      taken[old] = 1;
      sorted.push_back(std::move(FRows[old]));
    }
  // Rows the order does not name keep their place at the end.
  for (size_t i = 0; i < FRows.size(); ++i)
    if (!taken[i]) sorted.push_back(std::move(FRows[i]));
  FRows = std::move(sorted);
}

}  // namespace qb
