// Research files of 100 000 rows: Save As (CopyTo), Open + Load, one 240-row
// harvest into such a file, and a sort of its grid written to it.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "research/GridRules.h"
#include "research/ResearchFile.h"

namespace {

constexpr size_t kRows = 100000, kHarvestRows = 240;
const char* const kConditions[] = {"Pre-Owned", "New", "Brand New", "For parts or not working", ""};

// The n-th sample row, with all seven columns filled as card pages fill them.
void AddSampleRow(qb::GridRows& grid, size_t n) {
  char item[16], amount[16], bids[8], sold[16], delivery[16];
  std::snprintf(item, sizeof item, "%012zu", 300000000000 + n);
  std::snprintf(amount, sizeof amount, "%zu.%02zu", 5 + n % 400, n % 100);
  std::snprintf(bids, sizeof bids, "%zu", n % 37);
  std::snprintf(sold, sizeof sold, "2026-%02zu-%02zu", 1 + n % 12, 1 + n % 28);
  std::snprintf(delivery, sizeof delivery, "%zu.%02zu", n % 15, n % 4 * 25);
  const std::string description = "Enamel Teapot, Cobalt Blue, 1.5 L, lot " + std::to_string(n);
  grid.AddGridRow(description, item, bids, amount, {sold, delivery, kConditions[n % 5]});
}

qb::HarvestLine Line(size_t rows) {
  qb::HarvestLine line;
  line.time = "2026-12-09T05:00:00Z";
  line.pageUrl = "https://www.gavelton.example/sch/i.html?_nkw=enamel+teapot&LH_Sold=1";
  line.report = std::to_string(rows) + " sold listings: " + std::to_string(rows) + " added";
  line.sold = line.added = static_cast<int64_t>(rows);
  return line;
}

void Fail(benchmark::State& state, const std::string& error) { state.SkipWithError(error.c_str()); }

// The folder of the benchmarks and its research file of kRows rows, made once.
struct Samples {
  QTemporaryDir dir;
  std::string file = dir.filePath("sample.quellbid").toStdString();
  std::string error;
  int copies = 0;
  std::string NewPath() { return dir.filePath(QString("copy%1.quellbid").arg(++copies)).toStdString(); }

  Samples() {
    qb::GridRows grid;
    for (size_t n = 0; n < kRows; ++n) AddSampleRow(grid, n);
    auto research = qb::ResearchFile::Open(file, true, error);
    qb::HarvestLine line = Line(kRows);
    if (research) research->AddRows(grid, 0, &line, error);
  }
};

Samples& TheSamples() {
  static Samples samples;
  return samples;
}

void RemoveResearchFile(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(QString::fromStdString(path + suffix));
}

void BM_ResearchCopyTo100k(benchmark::State& state) {
  Samples& s = TheSamples();
  if (!s.error.empty()) return Fail(state, s.error);
  auto research = qb::ResearchFile::Open(s.file, false, s.error);
  if (!research) return Fail(state, s.error);
  for (auto _ : state) {
    const std::string copy = s.NewPath();
    if (!research->CopyTo(copy, s.error)) return Fail(state, s.error);
    state.PauseTiming();
    RemoveResearchFile(copy);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ResearchCopyTo100k)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_ResearchOpenLoad100k(benchmark::State& state) {
  Samples& s = TheSamples();
  if (!s.error.empty()) return Fail(state, s.error);
  for (auto _ : state) {
    qb::GridRows grid;
    auto research = qb::ResearchFile::Open(s.file, false, s.error);
    if (!research || !research->Load(grid, s.error)) return Fail(state, s.error);
    state.PauseTiming();
    if (grid.size() != kRows) return Fail(state, "the file does not hold its rows");
    research.reset();
    grid.Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ResearchOpenLoad100k)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// A copy of the file at path, open as the research window keeps it, its rows
// in grid; null with s.error.
std::unique_ptr<qb::ResearchFile> OpenCopy(Samples& s, const std::string& path, qb::GridRows& grid) {
  if (!s.error.empty()) return nullptr;
  {
    auto sample = qb::ResearchFile::Open(s.file, false, s.error);
    if (!sample || !sample->CopyTo(path, s.error)) return nullptr;
  }
  auto research = qb::ResearchFile::Open(path, false, s.error);
  if (!research || !research->Load(grid, s.error)) return nullptr;
  return research;
}

// Into a copy of the file.
void BM_ResearchAddRows240Into100k(benchmark::State& state) {
  Samples& s = TheSamples();
  qb::GridRows grid;
  const std::string path = s.NewPath();
  auto research = OpenCopy(s, path, grid);
  if (!research) return Fail(state, s.error);
  size_t next = kRows;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t first = grid.size();
    for (size_t i = 0; i < kHarvestRows; ++i) AddSampleRow(grid, next++);
    qb::HarvestLine line = Line(kHarvestRows);
    state.ResumeTiming();
    if (!research->AddRows(grid, first, &line, s.error)) return Fail(state, s.error);
  }
  research.reset();
  RemoveResearchFile(path);
}
BENCHMARK(BM_ResearchAddRows240Into100k)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// A header click on Amount in a copy of the file, each time the other way
// round: the grid's sort (its share in grid_sort_ms), then the new order
// written to the file (Reorder).
void BM_ResearchSortAmount100k(benchmark::State& state) {
  Samples& s = TheSamples();
  qb::GridRows grid;
  const std::string path = s.NewPath();
  auto research = OpenCopy(s, path, grid);
  if (!research) return Fail(state, s.error);
  int direction = 1;
  double sortSeconds = 0;
  for (auto _ : state) {
    direction = -direction;
    const auto started = std::chrono::steady_clock::now();
    // Amount sorts by number: no text order needed.
    grid.Reorder(qb::GridSortOrder(grid.rows(), grid.size(), 2, direction, [](size_t, size_t) { return 0; }));
    sortSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!research->Reorder(grid, s.error)) return Fail(state, s.error);
  }
  state.counters["grid_sort_ms"] = benchmark::Counter(sortSeconds * 1000, benchmark::Counter::kAvgIterations);
  research.reset();
  RemoveResearchFile(path);
}
BENCHMARK(BM_ResearchSortAmount100k)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);  // Qt SQL finds its SQLite driver through it
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
