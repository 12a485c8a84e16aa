#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "research/GridRows.h"
#include "stats/StatisticsFigures.h"

namespace {

// A grid of n rows with realistic amounts ("123.45", a few whole prices).
qb::GridRows MakeGrid(size_t n) {
  qb::GridRows grid;
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> cents(1, 5000000);
  for (size_t i = 0; i < n; ++i) {
    const int c = cents(rng);
    std::string amount = std::to_string(c / 100);
    if (i % 5 != 0) {
      amount += '.';
      amount += std::to_string(c % 100 / 10);
      amount += std::to_string(c % 10);
    }
    const std::string item = std::to_string(3000000000ULL + i);
    grid.AddGridRow("Item " + item, item, "3", amount);
  }
  return grid;
}

void BM_ComputeStatistics(benchmark::State& state) {
  const qb::GridRows grid = MakeGrid(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    qb::PriceStatistics s = qb::ComputeStatistics(grid);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeStatistics)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
