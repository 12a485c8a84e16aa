#include "research/GridExport.h"

#include "research/GridRules.h"

namespace qb {

namespace {

std::string Quoted(std::string_view text) {
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::string TabField(std::string_view text) {
  if (text.find_first_of("\t\"\r\n") == std::string_view::npos) return std::string(text);
  return Quoted(text);
}

// Appends the grid's columns as one line: cell(c) of each column through field.
template <class Cell>
void AppendLine(std::string& out, std::string (*field)(std::string_view), char separator,
                std::string_view end, Cell cell) {
  for (int c = 0; c < kGridColumnCount; ++c) {
    if (c > 0) out += separator;
    out += field(cell(c));
  }
  out += end;
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  return Quoted(text);
}

std::string GridCsv(const GridRows& grid) {
  std::string csv;
  AppendLine(csv, CsvField, ',', "\r\n", [](int c) { return kGridColumnCaptions[c]; });
  for (const ResearchRow& row : grid.rows())
    AppendLine(csv, CsvField, ',', "\r\n", [&](int c) { return GridCellText(row, c); });
  return csv;
}

std::string GridRowsAsTabText(const GridRows& grid, const std::vector<size_t>& rows) {
  std::string text;
  for (const size_t i : rows)
    AppendLine(text, TabField, '\t', "\n", [&](int c) { return GridCellText(grid[i], c); });
  return text;
}

}  // namespace qb
