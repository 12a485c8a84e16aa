#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// The removal pass: tests every row in order; flags[i] is set for the rows that
// go. A test that throws stops the pass there: the flags found so far are kept
// and the error is returned, so the caller removes those rows and reports it.
struct RemovalScan {
  std::vector<char> flags;
  size_t removed = 0;
  std::exception_ptr error;
};
RemovalScan ScanForRemoval(size_t rowCount, const std::function<bool(size_t)>& goes);

// Zero-bid rule: the row goes when its Bids text is not numeric, or is numeric
// with the integer value 0. Throws the integer conversion message otherwise.
bool IsZeroBid(std::string_view bids);

// A grid Amount as the filters and the sort compare it: first "$" removed,
// read with the period, rounded to single precision. Throws on bad text.
float GridAmountValue(std::string_view amount);

// The typed filter value: the locale's separator or the period, rounded to
// single precision. Throws "'<text>' is not a valid floating point value".
float FilterValue(std::string_view text, char localeSeparator);

// The price filters' test of one row: the high filter removes amounts above
// the filter value, the low filter amounts below it; equal amounts stay.
// Throws when the Amount does not convert.
bool PriceFilterRemoves(std::string_view amount, float filter, bool high);

// A Bids or Amount cell as the sort reads it: numeric text that converts,
// rounded to single precision. Cells of digits and periods that do not
// convert count as non-numeric.
struct NumericCell {
  bool numeric = false;
  float value = 0;
};
NumericCell ReadNumericCell(std::string_view text);

// Numeric comparison of the Bids/Amount sort: 0 when either cell is not a
// number; otherwise -1 when the first is larger, +1 when smaller, 0 when
// equal, times direction.
int CompareNumericCells(NumericCell first, NumericCell second, int direction);
inline int CompareNumericCells(std::string_view first, std::string_view second, int direction) {
  return CompareNumericCells(ReadNumericCell(first), ReadNumericCell(second), direction);
}

// A Sold cell as a date: exactly "YYYY-MM-DD", a month 01-12 and a day that
// month has in that year (Gregorian leap years); nothing otherwise.
struct IsoDate {
  int year = 0, month = 0, day = 0;
};
std::optional<IsoDate> ReadIsoDate(std::string_view text);

// The text of a row's cell in a grid column.
std::string_view GridCellText(const ResearchRow& row, int column);

// Text comparison of the Item Number/Description/Condition sort, supplied by
// the caller (locale order, letter case ignored).
using TextCompare = std::function<int(std::string_view, std::string_view)>;
// The same order asked by row index, so the caller can read every text into
// a collation key once before a sort.
using RowTextOrder = std::function<int(size_t firstRow, size_t secondRow)>;

// A row's cell in the sorted column, read once before the sort: its row
// index, whether it is empty, and its number: the value of a Bids, Amount or
// Delivery cell, the day of a Sold cell (not numeric when it is no date).
struct SortCell {
  size_t row = 0;
  bool empty = false;
  NumericCell number;
};
SortCell ReadSortCell(const ResearchRow& row, size_t index, int column);

// The sort comparison: negative when first goes before second.
// Item Number, Description: the text order times direction.
// Bids, Amount: the numeric comparison (direction +1: largest first).
// Sold: oldest first at direction +1; Delivery: as Amount; Condition: as
// Description. In these three an empty cell goes before every value in
// ascending order, after them in descending; a Sold or Delivery cell that is
// neither empty nor readable compares 0 with every cell.
int CompareSortCells(const SortCell& first, const SortCell& second, int column, int direction,
                     const RowTextOrder& textOrder);
int CompareGridRows(const ResearchRow& first, const ResearchRow& second, int column, int direction,
                    const TextCompare& compareText);

// The order of rows[0..n) sorted by a column with CompareSortCells.
std::vector<size_t> GridSortOrder(const std::vector<ResearchRow>& rows, size_t n, int column, int direction,
                                  const RowTextOrder& textOrder);

// Stable merge sort of the indices 0..n-1 that only asks whether the row at
// index a must go before the row at index b; any answer pattern terminates.
std::vector<size_t> MergeSortOrder(size_t n, const std::function<bool(size_t, size_t)>& goesBefore);

}  // namespace qb
