#include "research/GridRules.h"

#include <algorithm>
#include <chrono>
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

namespace {

std::chrono::year_month_day CalendarDate(const IsoDate& date) {
  return {std::chrono::year(date.year), std::chrono::month(unsigned(date.month)),
          std::chrono::day(unsigned(date.day))};
}

}  // namespace

std::optional<IsoDate> ReadIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto number = [&](size_t at, size_t digits, int& value) {
    value = 0;
    for (size_t i = at; i < at + digits; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + (text[i] - '0');
    }
    return true;
  };
  IsoDate date;
  if (!number(0, 4, date.year) || !number(5, 2, date.month) || !number(8, 2, date.day)) return std::nullopt;
  if (!CalendarDate(date).ok()) return std::nullopt;
  return date;
}

namespace {

// A Sold cell's day as a number (days from 1970-01-01; exact in a float for
// every four-digit year); not numeric when the cell is no date.
NumericCell ReadDayCell(std::string_view text) {
  const std::optional<IsoDate> date = ReadIsoDate(text);
  if (!date) return {};
  const std::chrono::sys_days day{CalendarDate(*date)};
  return {true, static_cast<float>(day.time_since_epoch().count())};
}

// Empty cells against the rest: -1 when first goes before second; ascending
// is the direction sign of the ascending order.
int CompareEmpties(bool firstEmpty, bool secondEmpty, int ascending) {
  if (firstEmpty == secondEmpty) return 0;
  return firstEmpty ? -ascending : ascending;
}

int TextOrder(const SortCell& first, const SortCell& second, int direction, const RowTextOrder& textOrder) {
  const int c = textOrder(first.row, second.row);
  return ((c > 0) - (c < 0)) * direction;
}

// Sold and Delivery: a cell neither empty nor numeric compares 0 with all.
int CompareValuesWithEmpties(const SortCell& first, const SortCell& second, int numericDirection,
                             int ascending) {
  if ((!first.empty && !first.number.numeric) || (!second.empty && !second.number.numeric)) return 0;
  if (first.empty || second.empty) return CompareEmpties(first.empty, second.empty, ascending);
  return CompareNumericCells(first.number, second.number, numericDirection);
}

}  // namespace

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
  const std::string_view text = GridCellText(row, column);
  cell.empty = text.empty();
  if (column == kBidsColumn || column == kAmountColumn || column == kDeliveryColumn)
    cell.number = ReadNumericCell(text);
  else if (column == kSoldColumn)
    cell.number = ReadDayCell(text);
  return cell;
}

int CompareSortCells(const SortCell& first, const SortCell& second, int column, int direction,
                     const RowTextOrder& textOrder) {
  switch (column) {
    case kItemNumberColumn:
    case kDescriptionColumn: return TextOrder(first, second, direction, textOrder);
    case kBidsColumn:
    case kAmountColumn: return CompareNumericCells(first.number, second.number, direction);
    // The numeric comparison puts the larger first at +1: the later day.
    case kSoldColumn: return CompareValuesWithEmpties(first, second, -direction, direction);
    case kDeliveryColumn: return CompareValuesWithEmpties(first, second, direction, -direction);
    case kConditionColumn:
      if (first.empty || second.empty) return CompareEmpties(first.empty, second.empty, direction);
      return TextOrder(first, second, direction, textOrder);
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
