#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "research/GridRows.h"

namespace qb {

struct HarvestOptions {
  bool help = false;
  bool stats = false;
  bool trends = false;             // --trends: the price-over-time figures
  bool withDelivery = false;       // --with-delivery: prices include delivery
  std::string into;                // --into: the research file the rows go to
  std::vector<std::string> files;  // "-" is standard input
};

// Reads the command line into options; false (with a message in error) for
// an unknown option, --into without a file or beside --stats, or no file.
bool ParseHarvestArguments(const std::vector<std::string>& arguments, HarvestOptions& options,
                           std::string& error);

extern const std::string_view kHarvestUsage;

// The figures of the statistics window for the grid's Amount column.
// Returns false when they cannot be given (the message is on err).
bool WriteGridStatistics(const GridRows& grid, std::ostream& out, std::ostream& err);
// The price-over-time figures (--trends), the same as the Price Trends window's.
bool WriteGridTrends(const GridRows& grid, bool withDelivery, std::ostream& out, std::ostream& err);

// The exit statuses of the program.
enum HarvestStatus {
  kHarvestDone = 0,
  kHarvestBadUse = 1,       // bad command line; no figures for --stats
  kHarvestUnreadable = 2,   // a file could not be read, or a research file not opened or written
  kHarvestWriteFailed = 3,  // standard output or standard error could not be written
};

// A FILE the harvester reads as a research file rather than a page: its
// name ends in ".quellbid" or it starts with the SQLite header.
bool IsResearchInput(const std::string& file);
// The file's name when it is a page snapshot ("log" + seven digits + ".sha"),
// else empty.
std::string SnapshotNameOf(const std::string& file);

// The whole program; in is read for the file name "-".
int RunHarvestCli(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err);

}  // namespace qb
