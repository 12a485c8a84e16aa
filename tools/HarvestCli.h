#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "GridRows.h"

namespace qb {

struct HarvestOptions {
  bool help = false;
  bool stats = false;
  std::vector<std::string> files;
};

// Reads the command line into options; false (with a message in error) for
// an unknown option or no file.
bool ParseHarvestArguments(const std::vector<std::string>& arguments, HarvestOptions& options,
                           std::string& error);

void WriteHarvestUsage(std::ostream& out);

// The grid as CSV (RFC 4180, CR LF line ends): header, then one line per row.
void WriteGridCsv(const GridRows& grid, std::ostream& out);

// Field quoted when it holds a comma, quote, CR or LF; quotes doubled.
std::string CsvField(std::string_view text);

// The figures of the statistics window for the grid's Amount column.
// Returns false when they cannot be given (the message is on err).
bool WriteGridStatistics(const GridRows& grid, std::ostream& out, std::ostream& err);

// The whole program: 0 done, 1 bad command line, 2 a file could not be read.
int RunHarvestCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace qb
