#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "research/GridRows.h"
#include "runtime/Files.h"

namespace qb {

struct HarvestOptions {
  bool help = false;
  bool stats = false;
  std::vector<std::string> files;  // "-" is standard input
};

// Reads the command line into options; false (with a message in error) for
// an unknown option or no file.
bool ParseHarvestArguments(const std::vector<std::string>& arguments, HarvestOptions& options,
                           std::string& error);

extern const std::string_view kHarvestUsage;

// Field quoted when it holds a comma, quote, CR or LF; quotes doubled.
std::string CsvField(std::string_view text);
void AppendCsvField(std::string& out, std::string_view text);
// One CSV line of the grid (RFC 4180, CR LF line end).
void AppendCsvRow(std::string& out, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, std::string_view description);

// The add rule of GridRows::AddGridRow (IsAddableRow, then a new item number)
// for a grid that is written out row by row instead of kept: only the item
// numbers are kept, each in an open-addressing index. One of up to 15 digits
// and periods is its own 64-bit code; any other is folded into one block.
class GridAddRule {
 public:
  bool Accepts(std::string_view description, std::string_view itemNumber, std::string_view amount);

 private:
  // An open-addressing table of 64-bit slots, 0 for a free one, at most half
  // full. The tables lie one after another in FBlock, backed by huge pages: a
  // page of the block faulted in one by one costs more than the probing.
  struct Table {
    size_t offset = 0;  // in FBlock
    size_t size = 0;    // slots, a power of two
    size_t count = 0;   // slots in use
  };
  uint64_t* Slots(const Table& table) { return reinterpret_cast<uint64_t*>(FBlock.data() + table.offset); }
  // Room for one more value: a table of twice the slots (at least 1024) when
  // half full, the values placed by where(value).
  template <class Where>
  void MakeRoom(Table& table, Where where);
  bool AcceptsCode(uint64_t code);
  bool AcceptsOther(std::string_view itemNumber);
  std::string_view Key(uint32_t index) const;

  FileBytes FBlock;
  size_t FBlockRoom = 0, FBlockUsed = 0;
  Table FCodes;                       // the codes themselves
  std::string FKeys;                  // the other folded item numbers, one after another
  std::vector<size_t> FStarts = {0};  // key i is FKeys[FStarts[i], FStarts[i + 1])
  Table FOthers;                      // hash << 32 | key index + 1
};

// The figures of the statistics window for the grid's Amount column.
// Returns false when they cannot be given (the message is on err).
bool WriteGridStatistics(const GridRows& grid, std::ostream& out, std::ostream& err);

// The exit statuses of the program.
enum HarvestStatus {
  kHarvestDone = 0,
  kHarvestBadUse = 1,       // bad command line; no figures for --stats
  kHarvestUnreadable = 2,   // a file could not be read (standard output stays empty)
  kHarvestWriteFailed = 3,  // standard output or standard error could not be written
};

// The whole program; in is read for the file name "-".
int RunHarvestCli(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err);

}  // namespace qb
