#include "research/GridExport.h"

#include "harvest/ByteKernels.h"
#include "research/GridRules.h"

namespace qb {

namespace {

// Appends the grid's columns as one line: cell(c) of each column.
template <class Cell>
void AppendLine(std::string& out, char separator, std::string_view end, Cell cell) {
  for (int c = 0; c < kGridColumnCount; ++c) {
    if (c > 0) out += separator;
    AppendField(out, cell(c), separator);
  }
  out += end;
}

}  // namespace

void AppendField(std::string& out, std::string_view text, char separator) {
  if (!Kernels().needsQuotes(text.data(), text.size(), separator)) {
    out += text;
    return;
  }
  out += '"';
  for (size_t quote; (quote = text.find('"')) != std::string_view::npos; text.remove_prefix(quote + 1)) {
    out += text.substr(0, quote + 1);
    out += '"';
  }
  out += text;
  out += '"';
}

std::string CsvField(std::string_view text) {
  std::string field;
  AppendField(field, text, ',');
  return field;
}

void AppendCsvHeader(std::string& out) {
  AppendLine(out, ',', "\r\n", [](int c) { return kGridColumnCaptions[c]; });
}

void AppendCsvRow(std::string& out, const ResearchRow& row) {
  AppendLine(out, ',', "\r\n", [&](int c) { return GridCellText(row, c); });
}

std::string GridCsv(const GridRows& grid) {
  std::string csv;
  AppendCsvHeader(csv);
  for (const ResearchRow& row : grid.rows()) AppendCsvRow(csv, row);
  return csv;
}

std::string GridRowsAsTabText(const GridRows& grid, const std::vector<size_t>& rows) {
  std::string text;
  for (const size_t i : rows) AppendLine(text, '\t', "\n", [&](int c) { return GridCellText(grid[i], c); });
  return text;
}

}  // namespace qb
