// The Price Trends window over big grids, offscreen: opening it, and its
// redraw after a 240-row harvest; the figures alone as --trends computes them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <random>
#include <string>

#include "research/ResearchGridModel.h"
#include "stats/PriceTrends.h"

namespace {

// Rows sold over a year, nine in ten with a date, with deliveries.
void Fill(qb::ResearchGridModel& model, int rows, int from = 0) {
  std::mt19937 random(7 + unsigned(from));
  model.BeginAdding();
  for (int i = from; i < from + rows; ++i) {
    char sold[16] = "";
    if (random() % 10)
      std::snprintf(sold, sizeof sold, "2026-%02u-%02u", unsigned(1 + random() % 12),
                    unsigned(1 + random() % 28));
    const std::string amount = std::to_string(5 + random() % 400) + "." + std::to_string(10 + random() % 90);
    const std::string delivery = random() % 4 ? std::to_string(random() % 20) + ".00" : "";
    model.AddGridRow("Brass lamp " + std::to_string(i), std::to_string(100000000 + i), "3", amount,
                     {sold, delivery, "Pre-Owned"});
  }
  model.EndAdding();
}

void BM_OpenPriceTrends(benchmark::State& state) {
  qb::ResearchGridModel model;
  Fill(model, int(state.range(0)));
  for (auto _ : state) {
    qb::TfrmPriceTrends window(&model, {});
    window.ShowTrends();
    QApplication::processEvents();
  }
}

void BM_RedrawAfterHarvest(benchmark::State& state) {
  qb::ResearchGridModel model;
  Fill(model, int(state.range(0)));
  qb::TfrmPriceTrends window(&model, {});
  window.ShowTrends();
  QApplication::processEvents();
  int next = int(state.range(0));
  for (auto _ : state) {
    Fill(model, 240, next);
    next += 240;
    QApplication::processEvents();  // the redraw the harvest scheduled
  }
}

void BM_TrendFigures(benchmark::State& state) {
  qb::ResearchGridModel model;
  Fill(model, int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(qb::ComputeTrendFigures(model.Rows()).median);
}

}  // namespace

BENCHMARK(BM_OpenPriceTrends)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RedrawAfterHarvest)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TrendFigures)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
