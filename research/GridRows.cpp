#include "GridRows.h"

#include <algorithm>

#include "AsciiText.h"
#include "Conversions.h"
#include "Exception.h"

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

void GridRows::IndexAdd(std::string_view itemNumber) { ++index_[AsciiFolded(itemNumber)]; }

void GridRows::IndexRemove(std::string_view itemNumber) {
  auto it = index_.find(AsciiFolded(itemNumber));
  if (it != index_.end() && --it->second == 0) index_.erase(it);
}

bool GridRows::ContainsItemNumber(std::string_view itemNumber) const {
  return index_.find(AsciiFolded(itemNumber)) != index_.end();
}

bool GridRows::AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                          std::string_view amount) {
  if (!IsAddableRow(description, amount)) return false;
  std::string key = AsciiFolded(itemNumber);
  auto [it, inserted] = index_.try_emplace(std::move(key), 0);
  if (!inserted && it->second > 0) return false;
  it->second = 1;
  rows_.push_back(ResearchRow{std::string(itemNumber), std::string(bids), std::string(amount),
                              std::string(description), false});
  return true;
}

void GridRows::SetItemNumber(size_t i, std::string_view itemNumber) {
  IndexRemove(rows_[i].itemNumber);
  rows_[i].itemNumber = std::string(itemNumber);
  IndexAdd(rows_[i].itemNumber);
}

void GridRows::Clear() {
  rows_.clear();
  index_.clear();
}

void GridRows::RemoveFlagged(const std::vector<char>& flags) {
  size_t out = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (i < flags.size() && flags[i]) {
      IndexRemove(rows_[i].itemNumber);
      continue;
    }
    if (out != i) rows_[out] = std::move(rows_[i]);
    ++out;
  }
  rows_.resize(out);
}

void GridRows::Reorder(const std::vector<size_t>& order) {
  std::vector<ResearchRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<char> taken(rows_.size(), 0);
  for (size_t old : order)
    if (old < rows_.size() && !taken[old]) {
      taken[old] = 1;
      sorted.push_back(std::move(rows_[old]));
    }
  // Rows the order does not name keep their place at the end.
  for (size_t i = 0; i < rows_.size(); ++i)
    if (!taken[i]) sorted.push_back(std::move(rows_[i]));
  rows_ = std::move(sorted);
}

}  // namespace qb
