#pragma once

#include <cstdint>
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
  // Zeroed 64-bit slots, 0 for a free one, mapped with their pages already in
  // (faulting them in one by one costs more than the probing).
  class Slots {
   public:
    Slots() = default;
    Slots(const Slots&) = delete;
    Slots& operator=(const Slots&) = delete;
    ~Slots();
    void Swap(Slots& other);
    // n zeroed slots (a power of two); false when out of memory.
    bool Reset(size_t n);
    size_t size() const { return FSize; }
    uint64_t& operator[](size_t i) { return FData[i]; }

   private:
    uint64_t* FData = nullptr;
    size_t FSize = 0;
  };

  // Twice the slots (at least 1024), the values placed by where(value).
  template <class Where>
  void Grow(Slots& slots, Where where);
  bool AcceptsCode(uint64_t code);
  bool AcceptsOther(std::string_view itemNumber);
  std::string_view Key(uint32_t index) const;

  Slots FCodes;  // the codes themselves
  size_t FCodeCount = 0;
  std::string FKeys;                  // the other folded item numbers, one after another
  std::vector<size_t> FStarts = {0};  // key i is FKeys[FStarts[i], FStarts[i + 1])
  Slots FSlots;                       // hash << 32 | key index + 1
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
