#include "tools/HarvestCli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <sstream>
#include <system_error>

#include "harvest/HarvestText.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "research/GridExport.h"

namespace qb {

namespace {

constexpr std::string_view kProgram = "quellbid-harvest";
constexpr size_t kOutputChunk = size_t(1) << 16;

// An output stream that keeps its first error; later writes are dropped.
class Output {
 public:
  explicit Output(std::FILE* file) : FFile(file) {}
  void Write(std::string_view bytes) {
    if (FError || bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), FFile) != bytes.size()) FError = errno ? errno : EIO;
  }
  // Flushes and reports the first error (0 for none).
  int Finish() {
    if (!FError && std::fflush(FFile) != 0) FError = errno ? errno : EIO;
    if (!FError && std::ferror(FFile)) FError = EIO;
    return FError;
  }
  int error() const { return FError; }

 private:
  std::FILE* FFile;
  int FError = 0;
};

// "quellbid-harvest: <what>: <text>" on standard error ("<what>: " left out
// when empty).
void Message(Output& err, std::string_view what, std::string_view text) {
  std::string line(kProgram);
  line += ": ";
  if (!what.empty()) {
    line += what;
    line += ": ";
  }
  line += text;
  line += '\n';
  err.Write(line);
}

std::string_view FileLabel(const std::string& file) {
  if (file == "-") return "standard input";
  return file;
}

// The harvest of the command line: for the figures, rows go to a grid;
// otherwise each row the grid's add rule takes is written out as CSV at once,
// and only the add rule's index is kept. Messages go to standard error under
// the name of the page's file.
class CliHarvestTarget : public HarvestTarget {
 public:
  CliHarvestTarget(bool csv, Output& out, Output& err) : FWritesCsv(csv), FOut(out), FErr(err) {}
  void StartFile(std::string_view label) { FLabel = label; }
  const GridRows& grid() const { return FGrid; }

  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const SaleDetails& details) override {
    if (!FWritesCsv) return FGrid.AddGridRow(description, itemNumber, bids, amount, details);
    if (!FIndex.Admit(description, itemNumber, amount)) return false;
    FRow.itemNumber.assign(itemNumber);
    FRow.bids.assign(bids);
    FRow.amount.assign(amount);
    FRow.description.assign(description);
    FRow.sold.assign(details.sold);
    FRow.delivery.assign(details.delivery);
    FRow.condition.assign(details.condition);
    AppendCsvRow(FCsv, FRow);
    if (FCsv.size() >= kOutputChunk) FlushCsv();
    return true;
  }
  void ShowDollarNotice() override { Message(FErr, FLabel, kDollarNoticeText); }
  void ShowNoResults() override { Message(FErr, FLabel, kNoResultsText); }
  void ShowNoCardResults(std::string_view message) override { Message(FErr, FLabel, message); }
  void ShowHarvestReport(std::string_view report) override { Message(FErr, FLabel, report); }

  void FlushCsv() {
    FOut.Write(FCsv);
    FCsv.clear();
  }

 private:
  bool FWritesCsv;
  GridRows FGrid;
  ItemNumberIndex FIndex;
  ResearchRow FRow;  // the row being written
  Output& FOut;
  Output& FErr;
  std::string_view FLabel;
  std::string FCsv;
};

// The expected size of standard input, 0 when it cannot tell (a pipe, a terminal).
size_t StandardInputSize() {
  std::error_code error;
  const auto size = std::filesystem::file_size("/dev/stdin", error);
  return error ? 0 : static_cast<size_t>(size);
}

// Reads one file of the command line; 0 or the errno of the failure.
int ReadPage(const std::string& file, std::FILE* in, PageText& page) {
  if (file == "-") return page.Read(in, StandardInputSize(), kScriptLayoutMark);
  return page.ReadFile(file, kScriptLayoutMark);
}

// Relays the lines of a message text, each under the program's name.
void Messages(Output& err, const std::string& text) {
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    Message(err, {}, std::string_view(text).substr(from, end - from));
    from = end + 1;
  }
}

int Finish(int status, Output& out, Output& err) {
  if (const int error = out.Finish()) {
    Message(err, "standard output", std::strerror(error));
    status = kHarvestWriteFailed;
  }
  if (err.Finish()) status = kHarvestWriteFailed;
  return status;
}

}  // namespace

const std::string_view kHarvestUsage =
    "Usage: quellbid-harvest [--stats] FILE...\n"
    "\n"
    "Harvests saved auction result pages (table, script or card layout) into one\n"
    "research grid, with the same rules as \"Add All From Page\" (F7): records\n"
    "without a description, with a price not in U.S. dollars or with an item\n"
    "number already in the grid are left out. Snapshot files (log#######.sha)\n"
    "are read like any saved page. A FILE of - is standard input.\n"
    "\n"
    "The grid is written to standard output as CSV (header Item Number,Bids,\n"
    "Amount,Description,Sold,Delivery,Condition; Sold as YYYY-MM-DD, Delivery\n"
    "without \"$\"; pages of the table and script layouts leave the three last\n"
    "fields empty; CR LF line ends). Messages go to standard error, each as\n"
    "\"quellbid-harvest: FILE: message\".\n"
    "\n"
    "Options:\n"
    "  --stats   print the figures of \"Graphs and Statistics\" instead of the CSV\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 done, 1 bad command line or no figures for --stats (fewer\n"
    "than 4 rows, an Amount that is not a number), 2 a file could not be read\n"
    "(nothing is written to standard output then), 3 standard output or\n"
    "standard error could not be written (a full disk, a closed output).\n";

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

int RunHarvestCli(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err) {
  Output output(out), errors(err);
  HarvestOptions options;
  std::string error;
  if (!ParseHarvestArguments(arguments, options, error)) {
    Message(errors, {}, error);
    errors.Write("Try 'quellbid-harvest --help'.\n");
    return Finish(kHarvestBadUse, output, errors);
  }
  if (options.help) {
    output.Write(kHarvestUsage);
    return Finish(kHarvestDone, output, errors);
  }
  // Every file is read before anything is harvested, so an unreadable one
  // leaves standard output empty.
  std::vector<PageText> pages(options.files.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    if (const int readError = ReadPage(options.files[i], in, pages[i])) {
      Message(errors, FileLabel(options.files[i]), std::strerror(readError));
      return Finish(kHarvestUnreadable, output, errors);
    }
  }
  CliHarvestTarget target(!options.stats, output, errors);
  if (!options.stats) {
    std::string header;
    AppendCsvHeader(header);
    output.Write(header);
  }
  for (size_t i = 0; i < pages.size() && !output.error(); ++i) {
    target.StartFile(FileLabel(options.files[i]));
    HarvestPage(pages[i].view(), target, pages[i].utf8(), !pages[i].holdsWatched());
    pages[i] = PageText();  // its rows are written or copied
  }
  target.FlushCsv();
  if (!options.stats) return Finish(kHarvestDone, output, errors);
  std::ostringstream figures, problems;
  const bool shown = WriteGridStatistics(target.grid(), figures, problems);
  output.Write(figures.str());
  Messages(errors, problems.str());
  return Finish(shown ? kHarvestDone : kHarvestBadUse, output, errors);
}

}  // namespace qb
