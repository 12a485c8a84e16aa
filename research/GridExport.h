#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// The one writer of the grid as text: the export file, the clipboard and the
// command-line harvester use it.

// Appends a field: quoted when it holds the separator, a quote mark, CR or LF,
// its quote marks doubled (RFC 4180).
void AppendField(std::string& out, std::string_view text, char separator);
// A field of a CSV line.
std::string CsvField(std::string_view text);

// The CSV header line and one row's CSV line, each ended by CR LF.
void AppendCsvHeader(std::string& out);
void AppendCsvRow(std::string& out, const ResearchRow& row);

// The grid as CSV in grid order: the header line, then one line per row.
std::string GridCsv(const GridRows& grid);

// The given rows as tab-separated lines of the seven columns, the way
// spreadsheets take them from the clipboard: a field holding a tab, quote or
// line break is quoted as in CSV.
std::string GridRowsAsTabText(const GridRows& grid, const std::vector<size_t>& rows);

}  // namespace qb
