#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// A CSV field (RFC 4180): quoted when it holds a comma, quote, CR or LF, with
// its quotes doubled.
std::string CsvField(std::string_view text);

// The grid as CSV in grid order: the header line, then one line per row, each
// ended by CR LF.
std::string GridCsv(const GridRows& grid);

// The given rows as tab-separated lines of the four columns, the way
// spreadsheets take them from the clipboard: a field holding a tab, quote or
// line break is quoted as in CSV.
std::string GridRowsAsTabText(const GridRows& grid, const std::vector<size_t>& rows);

}  // namespace qb
