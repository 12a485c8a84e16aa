#include "research/GridRules.h"

#include <algorithm>
#include <string>

#include "runtime/Conversions.h"
#include "runtime/Exception.h"

namespace qb {

RemovalScan ScanForRemoval(size_t rowCount, const std::function<bool(size_t)>& goes) {
  RemovalScan scan;
  scan.flags.assign(rowCount, 0);
  for (size_t i = 0; i < rowCount; ++i) {
    try {
      if (goes(i)) {
        scan.flags[i] = 1;
        ++scan.removed;
      }
    } catch (...) {
      scan.error = std::current_exception();
      break;
    }
  }
  return scan;
}

bool IsZeroBid(std::string_view bids) {
  if (!IsNumericText(bids, true)) return true;
  return StrToInt(bids) == 0;
}

float GridAmountValue(std::string_view amount) { return static_cast<float>(ReadGridAmount(amount)); }

float FilterValue(std::string_view text, char localeSeparator) {
  long double value = 0;
  if (TryStrToFloat(text, value, localeSeparator) ||
      (localeSeparator != '.' && TryStrToFloat(text, value, '.')))
    return static_cast<float>(value);
  throw Exception(FloatErrorMessage(text));
}

bool PriceFilterRemoves(std::string_view amount, float filter, bool high) {
  const float value = GridAmountValue(amount);
  return high ? value > filter : value < filter;
}

NumericCell ReadNumericCell(std::string_view text) {
  NumericCell cell;
  long double v = 0;
  if (IsNumericText(text, true) && TryStrToFloat(text, v, '.')) cell = {true, static_cast<float>(v)};
  return cell;
}

int CompareNumericCells(NumericCell first, NumericCell second, int direction) {
  if (!first.numeric || !second.numeric) return 0;
  if (first.value > second.value) return -direction;
  if (first.value < second.value) return direction;
  return 0;
}

std::string_view GridCellText(const ResearchRow& row, int column) {
  switch (column) {
    case kItemNumberColumn: return row.itemNumber;
    case kBidsColumn: return row.bids;
    case kAmountColumn: return row.amount;
    case kSoldColumn: return row.sold;
    case kDeliveryColumn: return row.delivery;
    case kConditionColumn: return row.condition;
    default: return row.description;
  }
}

SortCell ReadSortCell(const ResearchRow& row, size_t index, int column) {
  SortCell cell;
  cell.row = index;
  if (column == kBidsColumn || column == kAmountColumn)
    cell.number = ReadNumericCell(GridCellText(row, column));
  return cell;
}

int CompareSortCells(const SortCell& first, const SortCell& second, int column, int direction,
                     const RowTextOrder& textOrder) {
  switch (column) {
    case kItemNumberColumn:
    case kDescriptionColumn: {
      const int c = textOrder(first.row, second.row);
      return ((c > 0) - (c < 0)) * direction;
    }
    case kBidsColumn:
    case kAmountColumn: return CompareNumericCells(first.number, second.number, direction);
    default: return 0;
  }
}

int CompareGridRows(const ResearchRow& first, const ResearchRow& second, int column, int direction,
                    const TextCompare& compareText) {
  const std::string_view texts[2] = {GridCellText(first, column), GridCellText(second, column)};
  return CompareSortCells(ReadSortCell(first, 0, column), ReadSortCell(second, 1, column), column, direction,
                          [&](size_t a, size_t b) { return compareText(texts[a], texts[b]); });
}

std::vector<size_t> GridSortOrder(const std::vector<ResearchRow>& rows, size_t n, int column, int direction,
                                  const RowTextOrder& textOrder) {
  n = std::min(n, rows.size());
  std::vector<SortCell> cells(n);
  for (size_t i = 0; i < n; ++i) cells[i] = ReadSortCell(rows[i], i, column);
  return MergeSortOrder(n, [&](size_t a, size_t b) {
    return CompareSortCells(cells[a], cells[b], column, direction, textOrder) < 0;
  });
}

std::vector<size_t> MergeSortOrder(size_t n, const std::function<bool(size_t, size_t)>& goesBefore) {
  std::vector<size_t> order(n), buffer(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  // Bottom-up merge: a right element moves ahead only when it must go before
  // the left one, so equal or incomparable rows keep their relative order.
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) buffer[k++] = goesBefore(order[j], order[i]) ? order[j++] : order[i++];
      while (i < mid) buffer[k++] = order[i++];
      while (j < hi) buffer[k++] = order[j++];
    }
    order.swap(buffer);
  }
  return order;
}

}  // namespace qb
