// Grid operations at 100 000 rows, through the model and view the research window uses.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <random>
#include <string>

#include "research/GridRules.h"
#include "research/LVMainGrid.h"
#include "research/ResearchGridModel.h"

namespace {

constexpr int kRows = 100000;

struct Sample {
  std::string item, bids, amount, description, sold, delivery, condition;
  qb::SaleDetails Details() const { return {sold, delivery, condition}; }
};

// A sold date in the year from 2025-12-10, or empty (one in ten).
std::string SoldDate(std::mt19937& random) {
  if (random() % 10 == 0) return {};
  using namespace std::chrono;
  const year_month_day day{sys_days{2025y / December / 10} + days(random() % 365)};
  const auto two = [](unsigned n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  return std::to_string(int(day.year())) + "-" + two(unsigned(day.month())) + "-" + two(unsigned(day.day()));
}

// Empty (one in eight), free (one in four) or a few dollars.
std::string Delivery(std::mt19937& random) {
  const unsigned kind = random() % 8;
  if (kind == 0) return {};
  if (kind <= 2) return "0.00";
  return std::to_string(1 + random() % 25) + "." + std::to_string(10 + random() % 90);
}

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::mt19937 random(7);
    const char* words[] = {"Vintage", "Brass",  "Lamp",  "Camera", "Lens",    "Watch",
                           "Radio",   "Tube",   "Mint",  "Boxed",  "Rare",    "Oak",
                           "Table",   "Silver", "Spoon", "Set",    "Antique", "Clock"};
    const char* conditions[] = {"",
                                "New",
                                "Used",
                                "Pre-Owned",
                                "Open box",
                                "Refurbished",
                                "used",
                                "Gebraucht",
                                "Neu",
                                "Used, very good",
                                "For parts or not working"};
    std::vector<Sample> out;
    out.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
      std::string description;
      while (description.size() < 40) description += std::string(words[random() % 18]) + " ";
      std::string bids = std::to_string(random() % 3 == 0 ? 0 : random() % 40);
      std::string amount = std::to_string(random() % 500) + "." + std::to_string(10 + random() % 90);
      std::string sold = SoldDate(random), delivery = Delivery(random);
      out.push_back({std::to_string(4000000000LL + i * 7), std::move(bids), std::move(amount), description,
                     std::move(sold), std::move(delivery), conditions[random() % 11]});
    }
    return out;
  }();
  return samples;
}

struct Grid {
  qb::ResearchGridModel model;
  qb::LVMainGridView view{&model};
  Grid() {
    view.resize(900, 300);
    view.show();
  }
  void Fill() {
    model.BeginAdding();
    for (const Sample& s : Samples()) model.AddGridRow(s.description, s.item, s.bids, s.amount, s.Details());
    model.EndAdding();
    FitColumns();
  }
  // The view's fit of the columns to the new rows, which waits for the event loop.
  void FitColumns() { QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall); }
};

// Times body on a new grid per iteration; making the grid, filling it (and
// fitting the columns to the rows) when fill is set, setup and destroying it
// are not timed.
template <typename Setup, typename Body>
void TimeOnGrid(benchmark::State& state, bool fill, Setup setup, Body body) {
  for (auto _ : state) {
    state.PauseTiming();
    auto grid = std::make_unique<Grid>();
    if (fill) grid->Fill();
    setup(*grid);
    state.ResumeTiming();
    body(*grid);
    state.PauseTiming();
    grid.reset();
    state.ResumeTiming();
  }
}

void NoSetup(Grid&) {}

void BM_AddGridRow100k(benchmark::State& state) {
  TimeOnGrid(state, false, NoSetup, [](Grid& grid) {
    grid.Fill();
    benchmark::DoNotOptimize(grid.model.rowCount());
  });
}

void BM_AddGridRowOneByOne100k(benchmark::State& state) {
  TimeOnGrid(state, false, NoSetup, [](Grid& grid) {
    for (const Sample& s : Samples())
      grid.model.AddGridRow(s.description, s.item, s.bids, s.amount, s.Details());
    grid.FitColumns();
  });
}

// Removes every second row (by check mark), like a removal command.
void BM_RemovalPassHalf100k(benchmark::State& state) {
  const auto checkEverySecond = [](Grid& grid) {
    for (int i = 0; i < kRows; i += 2)
      grid.model.setData(grid.model.index(i, 0), Qt::Checked, Qt::CheckStateRole);
  };
  TimeOnGrid(state, true, checkEverySecond, [](Grid& grid) {
    const qb::GridRows& rows = grid.model.Rows();
    qb::RemovalScan scan = qb::ScanForRemoval(rows.size(), [&](size_t i) { return rows[i].checked; });
    grid.view.RemoveFlagged(scan.flags);
  });
}

// A low filter at the median price removes about half the rows.
void BM_PriceFilterHalf100k(benchmark::State& state) {
  TimeOnGrid(state, true, NoSetup, [](Grid& grid) {
    const float filter = qb::FilterValue("250.00", '.');
    const qb::GridRows& rows = grid.model.Rows();
    qb::RemovalScan scan = qb::ScanForRemoval(
        rows.size(), [&](size_t i) { return qb::GridAmountValue(rows[i].amount) < filter; });
    grid.view.RemoveFlagged(scan.flags);
  });
}

void BM_Sort100k(benchmark::State& state) {
  const int column = int(state.range(0));
  TimeOnGrid(
      state, true, [](Grid& grid) { grid.view.selectRow(10); },
      [column](Grid& grid) { grid.model.SortByColumn(column, 1); });
}

void BM_Clear100k(benchmark::State& state) {
  TimeOnGrid(state, true, NoSetup, [](Grid& grid) { grid.model.Clear(); });
}

}  // namespace

BENCHMARK(BM_AddGridRow100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AddGridRowOneByOne100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RemovalPassHalf100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PriceFilterHalf100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Sort100k)
    ->Arg(qb::kAmountColumn)
    ->Arg(qb::kDescriptionColumn)
    ->Arg(qb::kItemNumberColumn)
    ->Arg(qb::kSoldColumn)
    ->Arg(qb::kDeliveryColumn)
    ->Arg(qb::kConditionColumn)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_Clear100k)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
