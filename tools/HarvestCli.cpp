#include "tools/HarvestCli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <sstream>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "harvest/ByteSearch.h"
#include "harvest/HarvestText.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "runtime/AsciiText.h"

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

// The harvest of the command line: rows go to the CSV (or to the grid for
// --stats), messages to standard error under the name of the page's file.
class CliHarvestTarget : public HarvestTarget {
 public:
  CliHarvestTarget(GridRows* grid, Output& out, Output& err) : FGrid(grid), FOut(out), FErr(err) {
    if (!FGrid) FCsv.reserve(kOutputChunk + 4096);
  }
  void StartFile(std::string_view label) { FLabel = label; }

  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount) override {
    if (FGrid) return FGrid->AddGridRow(description, itemNumber, bids, amount);
    if (!FRule.Accepts(description, itemNumber, amount)) return false;
    AppendCsvRow(FCsv, itemNumber, bids, amount, description);
    if (FCsv.size() >= kOutputChunk) FlushCsv();
    return true;
  }
  void ShowDollarNotice() override { Message(FErr, FLabel, kDollarNoticeText); }
  void ShowNoResults() override { Message(FErr, FLabel, kNoResultsText); }
  void ShowNoSoldListings() override { Message(FErr, FLabel, kNoSoldListingsText); }
  void ShowHarvestReport(std::string_view report) override { Message(FErr, FLabel, report); }

  void FlushCsv() {
    FOut.Write(FCsv);
    FCsv.clear();
  }

 private:
  GridRows* FGrid;
  Output& FOut;
  Output& FErr;
  std::string_view FLabel;
  GridAddRule FRule;
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
    "Amount,Description; CR LF line ends). Messages go to standard error, each\n"
    "as \"quellbid-harvest: FILE: message\".\n"
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

namespace {

bool NeedsQuotes(std::string_view text) {
  const char* p = text.data();
  const size_t n = text.size();
#if defined(__SSE2__)
  if (n >= 8) {
    const auto quoted = [](__m128i bytes) {
      return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')),
                                                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
                                            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))))) != 0;
    };
    const auto load8 = [](const char* at) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)); };
    const auto load16 = [](const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    // Blocks that may overlap at the end, so that no byte is left to a loop.
    if (n < 16) return quoted(_mm_unpacklo_epi64(load8(p), load8(p + n - 8)));
    for (size_t i = 0; i + 16 < n; i += 16)
      if (quoted(load16(p + i))) return true;
    return quoted(load16(p + n - 16));
  }
#endif
  for (size_t i = 0; i < n; ++i)
    if (p[i] == ',' || p[i] == '"' || p[i] == '\r' || p[i] == '\n') return true;
  return false;
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view text) {
  if (!NeedsQuotes(text)) {
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
  AppendCsvField(field, text);
  return field;
}

void AppendCsvRow(std::string& out, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, std::string_view description) {
  // The usual row, written in one go: no field holds a quote mark, and those
  // with a comma or line end are only put in quotes.
  const std::string_view fields[] = {itemNumber, bids, amount, description};
  bool quoted[4];
  size_t size = 5;  // three commas, CR LF
  for (int k = 0; k < 4; ++k) {
    quoted[k] = NeedsQuotes(fields[k]);
    if (quoted[k] && fields[k].find('"') != std::string_view::npos) {
      for (int j = 0; j < 4; ++j) {
        AppendCsvField(out, fields[j]);
        out += j < 3 ? "," : "\r\n";
      }
      return;
    }
    size += fields[k].size() + (quoted[k] ? 2 : 0);
  }
  size_t at = out.size();
  out.resize(at + size);
  char* o = out.data();
  for (int k = 0; k < 4; ++k) {
    if (quoted[k]) o[at++] = '"';
    std::memcpy(o + at, fields[k].data(), fields[k].size());
    at += fields[k].size();
    if (quoted[k]) o[at++] = '"';
    o[at++] = ',';
  }
  o[at - 1] = '\r';
  o[at] = '\n';
}

template <class Where>
void GridAddRule::MakeRoom(Table& table, Where where) {
  if (2 * (table.count + 1) <= table.size) return;
  const Table old = table;
  table.size = old.size ? old.size * 2 : 1024;
  const size_t bytes = table.size * sizeof(uint64_t);
  if (FBlockUsed + bytes > FBlockRoom) {
    FBlockRoom = std::max(size_t(2) << 20, 2 * (FBlockUsed + bytes));
    if (!FBlock.Reserve(FBlockRoom)) throw std::bad_alloc();
  }
  table.offset = FBlockUsed;
  FBlockUsed += bytes;
  uint64_t* slots = Slots(table);
  std::memset(slots, 0, bytes);
  const uint64_t* oldSlots = Slots(old);
  const size_t mask = table.size - 1;
  for (size_t j = 0; j < old.size; ++j) {
    if (!oldSlots[j]) continue;
    size_t i = where(oldSlots[j]) & mask;
    while (slots[i]) i = (i + 1) & mask;
    slots[i] = oldSlots[j];
  }
}

namespace {

// 1, then a digit or period per 4 bits: one code per text. 0 when the text is
// longer than 15 or holds anything else.
uint64_t ShortNumberCode(std::string_view text) {
  if (text.size() > 15) return 0;
  uint64_t code = 1;
  for (const char c : text) {
    if (c == '.')
      code = code << 4 | 10;
    else if (c >= '0' && c <= '9')
      code = code << 4 | static_cast<uint64_t>(c - '0');
    else
      return 0;
  }
  return code;
}

size_t CodeSlot(uint64_t code) { return static_cast<size_t>((code * 0x9E3779B97F4A7C15ULL) >> 32); }

}  // namespace

bool GridAddRule::AcceptsCode(uint64_t code) {
  MakeRoom(FCodes, CodeSlot);
  uint64_t* slots = Slots(FCodes);
  const size_t mask = FCodes.size - 1;
  size_t i = CodeSlot(code) & mask;
  for (; slots[i]; i = (i + 1) & mask)
    if (slots[i] == code) return false;
  slots[i] = code;
  ++FCodes.count;
  return true;
}

std::string_view GridAddRule::Key(uint32_t index) const {
  return std::string_view(FKeys).substr(FStarts[index], FStarts[index + 1] - FStarts[index]);
}

// A slot holds the key's hash in its high half, so a probe that meets another
// key rarely has to read it; the low half is the key index + 1.
bool GridAddRule::AcceptsOther(std::string_view itemNumber) {
  const size_t start = FKeys.size();
  AppendAsciiFolded(FKeys, itemNumber);
  const std::string_view key = std::string_view(FKeys).substr(start);
  const size_t count = FStarts.size() - 1;
  MakeRoom(FOthers, [](uint64_t slot) { return size_t(slot >> 32); });
  uint64_t* slots = Slots(FOthers);
  const auto hash = static_cast<uint32_t>(std::hash<std::string_view>{}(key));
  const size_t mask = FOthers.size - 1;
  size_t i = hash & mask;
  for (; slots[i]; i = (i + 1) & mask) {
    if ((slots[i] >> 32) == hash && Key(static_cast<uint32_t>(slots[i]) - 1) == key) {
      FKeys.resize(start);
      return false;
    }
  }
  slots[i] = (uint64_t{hash} << 32) | (count + 1);
  ++FOthers.count;
  FStarts.push_back(FKeys.size());
  return true;
}

bool GridAddRule::Accepts(std::string_view description, std::string_view itemNumber,
                          std::string_view amount) {
  if (!IsAddableRow(description, amount)) return false;
  const uint64_t code = ShortNumberCode(itemNumber);
  return code ? AcceptsCode(code) : AcceptsOther(itemNumber);
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
  GridRows grid;
  CliHarvestTarget target(options.stats ? &grid : nullptr, output, errors);
  if (!options.stats) output.Write("Item Number,Bids,Amount,Description\r\n");
  for (size_t i = 0; i < pages.size() && !output.error(); ++i) {
    target.StartFile(FileLabel(options.files[i]));
    HarvestPage(pages[i].view(), target, pages[i].utf8(), !pages[i].holdsWatched());
    pages[i] = PageText();  // its rows are written or copied
  }
  target.FlushCsv();
  if (!options.stats) return Finish(kHarvestDone, output, errors);
  std::ostringstream figures, problems;
  const bool shown = WriteGridStatistics(grid, figures, problems);
  output.Write(figures.str());
  Messages(errors, problems.str());
  return Finish(shown ? kHarvestDone : kHarvestBadUse, output, errors);
}

}  // namespace qb
