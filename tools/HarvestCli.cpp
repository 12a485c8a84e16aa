#include "tools/HarvestCli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <sstream>
#include <system_error>

#include "harvest/HarvestText.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "research/GridExport.h"
#include "research/ResearchFile.h"
#include "runtime/ProgramFiles.h"

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

// "quellbid-harvest: <what>: <text>" and a line end ("<what>: " left out
// when empty).
void AppendMessage(std::string& lines, std::string_view what, std::string_view text) {
  lines += kProgram;
  lines += ": ";
  if (!what.empty()) {
    lines += what;
    lines += ": ";
  }
  lines += text;
  lines += '\n';
}

// The same line on standard error.
void Message(Output& err, std::string_view what, std::string_view text) {
  std::string line;
  AppendMessage(line, what, text);
  err.Write(line);
}

std::string_view FileLabel(const std::string& file) {
  if (file == "-") return "standard input";
  return file;
}

// The harvest of the command line: for the figures and for a research file,
// rows go to a grid; otherwise each row the grid's add rule takes is written
// out as CSV at once, and only the add rule's index is kept. Messages go to
// standard error under the name of the page's file; while a page's rows go
// to a research file they wait until the file holds them.
class CliHarvestTarget : public HarvestTarget {
 public:
  CliHarvestTarget(bool csv, Output& out, Output& err) : FWritesCsv(csv), FOut(out), FErr(err) {}
  // A page begins; holdMessages keeps its messages until FlushMessages.
  void StartFile(std::string_view label, bool holdMessages = false) {
    FLabel = label;
    FHoldsMessages = holdMessages;
    FSeen = FAdded = FInGrid = FLeftOut = 0;
    FReport.clear();
  }
  GridRows& grid() { return FGrid; }

  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const SaleDetails& details) override {
    ++FSeen;
    const bool added = FWritesCsv ? WriteCsvRow(description, itemNumber, bids, amount, details)
                                  : FGrid.AddGridRow(description, itemNumber, bids, amount, details);
    if (added)
      ++FAdded;
    else if (IsAddableRow(description, amount))
      ++FInGrid;
    else
      ++FLeftOut;
    return added;
  }
  // A row of a research file, with its check mark where the grid is kept.
  void AddResearchRow(const ResearchRow& row) {
    if (AddGridRow(row.description, row.itemNumber, row.bids, row.amount,
                   {row.sold, row.delivery, row.condition}) &&
        !FWritesCsv)
      FGrid.SetChecked(FGrid.size() - 1, row.checked);
  }
  void ShowDollarNotice() override { Say(kDollarNoticeText); }
  void ShowNoResults() override { Say(kNoResultsText); }
  void ShowNoCardResults(std::string_view message) override { Say(message); }
  void ShowHarvestReport(std::string_view report, const CardCounts& counts) override {
    FReport.assign(report);
    FReportedSold = counts.sold;
    Say(report);
  }

  // What the page since StartFile did, as its harvest line: the card
  // report's count of sold listings where there is one, else the records
  // seen.
  void FillLine(HarvestLine& line) const {
    const size_t sold = FReport.empty() ? FSeen : FReportedSold;
    line.report = FReport;
    line.sold = static_cast<int64_t>(sold);
    line.added = static_cast<int64_t>(FAdded);
    line.inGrid = static_cast<int64_t>(FInGrid);
    line.leftOut = static_cast<int64_t>(std::max(sold, FAdded + FInGrid) - FAdded - FInGrid);
  }
  // The held messages to standard error, or dropped.
  void FlushMessages(bool write) {
    if (write) FErr.Write(FHeld);
    FHeld.clear();
  }
  void FlushCsv() {
    FOut.Write(FCsv);
    FCsv.clear();
  }

 private:
  bool WriteCsvRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                   std::string_view amount, const SaleDetails& details) {
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
  void Say(std::string_view text) {
    if (FHoldsMessages)
      AppendMessage(FHeld, FLabel, text);
    else
      Message(FErr, FLabel, text);
  }

  bool FWritesCsv;
  GridRows FGrid;
  ItemNumberIndex FIndex;
  ResearchRow FRow;  // the row being written
  Output& FOut;
  Output& FErr;
  std::string_view FLabel;
  std::string FCsv;
  bool FHoldsMessages = false;
  std::string FHeld;
  std::string FReport;
  size_t FSeen = 0, FAdded = 0, FInGrid = 0, FLeftOut = 0, FReportedSold = 0;
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

constexpr std::string_view kSqliteHeader{"SQLite format 3\0", 16};

// One FILE of the command line, read before anything is harvested.
struct Input {
  std::string file;
  bool research = false;  // IsResearchInput
  PageText page;
  GridRows rows;  // a research file's
};

// Reads one FILE: a research file's rows, or a page; false with the message
// in error.
bool ReadInput(Input& input, std::FILE* in, std::string& error) {
#ifdef QB_HARVEST_RESEARCH_FILES
  if (input.research) {
    const std::unique_ptr<ResearchFile> file = ResearchFile::Open(input.file, false, error);
    return file && file->Load(input.rows, error);
  }
#endif
  if (const int readError = ReadPage(input.file, in, input.page)) {
    error = std::strerror(readError);
    return false;
  }
  // The page text ends at the header's NUL.
  const std::string_view text = input.page.view();
  if (input.file == "-" && text.size() == kSqliteHeader.size() + 1 &&
      text.starts_with(kSqliteHeader.substr(0, kSqliteHeader.size() - 1))) {
    error = "a research file is read by its name, not from standard input";
    return false;
  }
  return true;
}

// Harvests one FILE into the target; its text or rows are let go after.
void HarvestInput(Input& input, CliHarvestTarget& target) {
  if (input.research) {
    for (const ResearchRow& row : input.rows.rows()) target.AddResearchRow(row);
    input.rows.Clear();
  } else {
    HarvestPage(input.page.view(), target, input.page.utf8(), !input.page.holdsWatched());
    input.page = PageText();
  }
}

#ifdef QB_HARVEST_RESEARCH_FILES
// Where a page came from, for its harvest line.
std::string PageAddress(const std::string& file) {
  if (file == "-") return "standard input";
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(file, error);
  return error ? file : path.lexically_normal().string();
}

// The research file of --into. A new one is made under a name of its own
// beside it and given its name once made, so an interruption never leaves a
// half-made file under that name (which no later run could open).
std::unique_ptr<ResearchFile> OpenInto(const std::string& into, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path path(into);
  std::error_code code;
  if (fs::symlink_status(path, code).type() != fs::file_type::not_found)
    return ResearchFile::Open(into, true, error);
  fs::path making = path;
  making.replace_filename("." + path.filename().string() + ".new");
  for (const char* suffix : {"", "-wal", "-shm"})
    fs::remove(making.string() + suffix, code);  // an earlier run's
  if (!ResearchFile::Open(making.string(), true, error)) {
    // Its messages name the file as the user does.
    const std::string made = ResearchFileMessage(making.string(), ""), wanted = ResearchFileMessage(into, "");
    if (error.starts_with(made)) error.replace(0, made.size(), wanted);
    return nullptr;
  }
  fs::rename(making, path, code);
  if (code) {
    fs::remove(making, code);
    error = ResearchFileMessage(into, "cannot be made: " + code.message() + ".");
    return nullptr;
  }
  return ResearchFile::Open(into, false, error);
}

// --into: the research file's rows into the grid, then each FILE after them,
// one harvest line and one transaction each.
int HarvestInto(const std::string& into, std::vector<Input>& inputs, Output& out, Output& err) {
  std::string error;
  const std::unique_ptr<ResearchFile> file = OpenInto(into, error);
  CliHarvestTarget target(false, out, err);
  if (!file || !file->Load(target.grid(), error)) {
    Message(err, into, error);
    return kHarvestUnreadable;
  }
  for (Input& input : inputs) {
    const size_t first = target.grid().size();
    target.StartFile(FileLabel(input.file), true);
    HarvestInput(input, target);
    HarvestLine line;
    target.FillLine(line);
    line.time = HarvestTimeNow();
    line.pageUrl = PageAddress(input.file);
    line.snapshotFile = SnapshotNameOf(input.file);
    const bool written = file->AddRows(target.grid(), first, &line, error);
    target.FlushMessages(written);
    if (!written) {
      Message(err, into, error);
      return kHarvestUnreadable;
    }
  }
  return kHarvestDone;
}
#else
// quellbid-harvest-research: beside this program in the build folder, else
// where it is installed; empty when this program's folder is unknown.
std::string ResearchHarvester() {
  const std::filesystem::path folder = ProgramFolder();
  if (folder.empty()) return {};
  std::error_code error;
  const std::filesystem::path beside = folder / "quellbid-harvest-research";
  if (std::filesystem::exists(beside, error)) return beside.string();
  return (folder / QB_RESEARCH_HARVESTER).lexically_normal().string();
}

// A run that names a research file goes on as quellbid-harvest-research,
// which links Qt SQL for them; returns only when that cannot be run.
int HandOver(const std::vector<std::string>& arguments, Output& err) {
  std::vector<std::string> command{ResearchHarvester()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  const int error = command[0].empty() ? ENOENT : ReplaceProcess(command[0], command);
  if (command[0].empty()) command[0] = "quellbid-harvest-research";
  Message(err, {}, "research files need " + command[0] + ": " + std::strerror(error));
  return kHarvestUnreadable;
}
#endif

int Finish(int status, Output& out, Output& err) {
  if (const int error = out.Finish()) {
    Message(err, "standard output", std::strerror(error));
    status = kHarvestWriteFailed;
  }
  if (err.Finish()) status = kHarvestWriteFailed;
  return status;
}

}  // namespace

bool IsResearchInput(const std::string& file) {
  if (file.ends_with(kResearchFileSuffix)) return true;
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return false;
  char head[kSqliteHeader.size()];
  const size_t n = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return std::string_view(head, n) == kSqliteHeader;
}

std::string SnapshotNameOf(const std::string& file) {
  const std::string name = std::filesystem::path(file).filename().string();
  if (name.size() != 14 || !name.starts_with("log") || !name.ends_with(".sha")) return {};
  for (size_t i = 3; i < 10; ++i)
    if (name[i] < '0' || name[i] > '9') return {};
  return name;
}

const std::string_view kHarvestUsage =
    "Usage: quellbid-harvest [--stats | --trends [--with-delivery]] FILE...\n"
    "       quellbid-harvest --into RESEARCH.quellbid FILE...\n"
    "\n"
    "Harvests saved auction result pages (table, script or card layout) into one\n"
    "research grid, with the same rules as \"Add All From Page\" (F7): records\n"
    "without a description, with a price not in U.S. dollars or with an item\n"
    "number already in the grid are left out. Snapshot files (log#######.sha)\n"
    "are read like any saved page. A FILE of - is standard input. A research\n"
    "file (a FILE whose name ends in .quellbid, or an SQLite file) gives its\n"
    "rows as a page gives its records.\n"
    "\n"
    "The grid is written to standard output as CSV (header Item Number,Bids,\n"
    "Amount,Description,Sold,Delivery,Condition; Sold as YYYY-MM-DD, Delivery\n"
    "without \"$\"; pages of the table and script layouts leave the three last\n"
    "fields empty; CR LF line ends). Messages go to standard error, each as\n"
    "\"quellbid-harvest: FILE: message\".\n"
    "\n"
    "Options:\n"
    "  --stats       print the figures of \"Graphs and Statistics\" instead of the CSV\n"
    "  --trends      print the figures of \"Price Trends\": Sales, With sold date,\n"
    "                Q1, Median, Q3, IQR, Outliers, Trimmed average, Trend per\n"
    "                30 days, then the weekly medians as CSV (Week,Sales,Median)\n"
    "  --with-delivery  with --trends: a row's price includes its Delivery\n"
    "  --into FILE   add the rows to the research file FILE (made when missing)\n"
    "                after the rows it holds, one harvest per page, each written\n"
    "                whole or not at all; nothing goes to standard output\n"
    "  --help        show this text\n"
    "\n"
    "Exit status: 0 done, 1 bad command line or no figures for --stats or\n"
    "--trends (fewer than 4 rows, an Amount that is not a number), 2 a file\n"
    "could not be read,\n"
    "or a research file could not be opened or written (nothing is written to\n"
    "standard output then; the research file keeps the harvests written before),\n"
    "3 standard output or standard error could not be written (a full disk, a\n"
    "closed output).\n";

bool ParseHarvestArguments(const std::vector<std::string>& arguments, HarvestOptions& options,
                           std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      if (argument == "--") {
        optionsEnded = true;
      } else if (argument == "--help" || argument == "-h") {
        options.help = true;
      } else if (argument == "--stats") {
        options.stats = true;
      } else if (argument == "--trends") {
        options.trends = true;
      } else if (argument == "--with-delivery") {
        options.withDelivery = true;
      } else if (argument == "--into" || argument.starts_with("--into=")) {
        if (argument == "--into") {
          if (++i == arguments.size()) {
            error = "--into needs a file";
            return false;
          }
          options.into = arguments[i];
        } else {
          options.into = argument.substr(7);
        }
        if (options.into.empty()) {
          error = "--into needs a file";
          return false;
        }
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
  if ((options.stats || options.trends) && !options.into.empty()) {
    error = std::string(options.stats ? "--stats" : "--trends") + " and --into cannot be used together";
    return false;
  }
  if (options.stats && options.trends) {
    error = "--stats and --trends cannot be used together";
    return false;
  }
  if (options.withDelivery && !options.trends) {
    error = "--with-delivery needs --trends";
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
  // leaves standard output and the research file as they were.
  std::vector<Input> inputs(options.files.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].file = options.files[i];
    inputs[i].research = inputs[i].file != "-" && IsResearchInput(inputs[i].file);
  }
#ifndef QB_HARVEST_RESEARCH_FILES
  if (!options.into.empty() ||
      std::any_of(inputs.begin(), inputs.end(), [](const Input& input) { return input.research; }))
    return Finish(HandOver(arguments, errors), output, errors);
#endif
  for (size_t i = 0; i < inputs.size(); ++i) {
    if (!ReadInput(inputs[i], in, error)) {
      Message(errors, FileLabel(inputs[i].file), error);
      return Finish(kHarvestUnreadable, output, errors);
    }
  }
#ifdef QB_HARVEST_RESEARCH_FILES
  if (!options.into.empty()) return Finish(HarvestInto(options.into, inputs, output, errors), output, errors);
#endif
  const bool figures = options.stats || options.trends;
  CliHarvestTarget target(!figures, output, errors);
  if (!figures) {
    std::string header;
    AppendCsvHeader(header);
    output.Write(header);
  }
  for (size_t i = 0; i < inputs.size() && !output.error(); ++i) {
    target.StartFile(FileLabel(inputs[i].file));
    HarvestInput(inputs[i], target);
  }
  target.FlushCsv();
  if (!figures) return Finish(kHarvestDone, output, errors);
  std::ostringstream lines, problems;
  const bool shown = options.trends ? WriteGridTrends(target.grid(), options.withDelivery, lines, problems)
                                    : WriteGridStatistics(target.grid(), lines, problems);
  output.Write(lines.str());
  Messages(errors, problems.str());
  return Finish(shown ? kHarvestDone : kHarvestBadUse, output, errors);
}

}  // namespace qb
