#include "GridExport.h"

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

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  return Quoted(text);
}

std::string GridCsv(const GridRows& grid) {
  std::string csv;
  for (int c = 0; c < kGridColumnCount; ++c) {
    if (c > 0) csv += ',';
    csv += kGridColumnCaptions[c];
  }
  csv += "\r\n";
  for (const ResearchRow& row : grid.rows()) {
    csv += CsvField(row.itemNumber) + ',' + CsvField(row.bids) + ',' + CsvField(row.amount) + ',' +
           CsvField(row.description) + "\r\n";
  }
  return csv;
}

std::string GridRowsAsTabText(const GridRows& grid, const std::vector<size_t>& rows) {
  std::string text;
  for (const size_t i : rows) {
    const ResearchRow& row = grid[i];
    text += TabField(row.itemNumber) + '\t' + TabField(row.bids) + '\t' + TabField(row.amount) + '\t' +
            TabField(row.description) + '\n';
  }
  return text;
}

}  // namespace qb
