#include "HarvestCli.h"

#include "Exception.h"
#include "HarvestText.h"
#include "Snapshot.h"

namespace qb {

namespace {

// The research window's harvest target without a window: rows go to the grid,
// messages to the error stream, one per line.
class StreamHarvestTarget : public HarvestTarget {
 public:
  StreamHarvestTarget(GridRows& grid, std::ostream& err) : grid_(grid), err_(err) {}
  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount) override {
    return grid_.AddGridRow(description, itemNumber, bids, amount);
  }
  void ShowDollarNotice() override { err_ << kDollarNoticeText << '\n'; }
  void ShowNoResults() override { err_ << kNoResultsText << '\n'; }

 private:
  GridRows& grid_;
  std::ostream& err_;
};

}  // namespace

bool ParseHarvestArguments(const std::vector<std::string>& arguments, HarvestOptions& options,
                           std::string& error) {
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      if (argument == "--") {
        optionsEnded = true;
      } else if (argument == "--help" || argument == "-h") {
        options.help = true;
      } else if (argument == "--stats") {
        options.stats = true;
      } else {
        error = "unknown option " + argument;
        return false;
      }
    } else {
      options.files.push_back(argument);
    }
  }
  if (options.files.empty() && !options.help) {
    error = "no file given";
    return false;
  }
  return true;
}

void WriteHarvestUsage(std::ostream& out) {
  out << "Usage: quellbid-harvest [--stats] FILE...\n"
         "\n"
         "Harvests saved auction result pages (table or script layout) into one\n"
         "research grid, with the same rules as \"Add All From Page\" (F7): records\n"
         "without a description, with a price not in U.S. dollars or with an item\n"
         "number already in the grid are left out. Snapshot files (log#######.sha)\n"
         "are read like any saved page.\n"
         "\n"
         "The grid is written to standard output as CSV (header Item Number,Bids,\n"
         "Amount,Description; CR LF line ends). Messages go to standard error.\n"
         "\n"
         "Options:\n"
         "  --stats   print the figures of \"Graphs and Statistics\" instead of the CSV\n"
         "  --help    show this text\n"
         "\n"
         "Exit status: 0 done, 1 bad command line or no figures for --stats (fewer\n"
         "than 4 rows, an Amount that is not a number), 2 a file could not be read\n"
         "(nothing is written to standard output then).\n";
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

void WriteGridCsv(const GridRows& grid, std::ostream& out) {
  out << "Item Number,Bids,Amount,Description\r\n";
  for (const ResearchRow& row : grid.rows())
    out << CsvField(row.itemNumber) << ',' << CsvField(row.bids) << ',' << CsvField(row.amount) << ','
        << CsvField(row.description) << "\r\n";
}

int RunHarvestCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  HarvestOptions options;
  std::string error;
  if (!ParseHarvestArguments(arguments, options, error)) {
    err << "quellbid-harvest: " << error << "\nTry 'quellbid-harvest --help'.\n";
    return 1;
  }
  if (options.help) {
    WriteHarvestUsage(out);
    return 0;
  }
  // Every file is read before anything is harvested, so an unreadable one
  // leaves standard output empty.
  std::vector<std::string> pages;
  pages.reserve(options.files.size());
  for (const std::string& file : options.files) {
    try {
      pages.push_back(ReadSnapshotText(file));
    } catch (const Exception& e) {
      err << e.what() << '\n';
      return 2;
    }
  }
  GridRows grid;
  StreamHarvestTarget target(grid, err);
  for (const std::string& page : pages) HarvestPage(page, target);
  if (options.stats) return WriteGridStatistics(grid, out, err) ? 0 : 1;
  WriteGridCsv(grid, out);
  return 0;
}

}  // namespace qb
