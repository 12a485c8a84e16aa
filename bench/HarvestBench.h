// What the harvest benchmarks share: a target that only counts rows, and the
// timed harvest of one page.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "harvest/HarvestText.h"

class CountingTarget : public qb::HarvestTarget {
 public:
  bool AddGridRow(std::string_view, std::string_view, std::string_view, std::string_view,
                  const qb::SaleDetails&) override {
    ++rows;
    return true;
  }
  void ShowDollarNotice() override {}
  void ShowNoResults() override {}
  size_t rows = 0;
};

// also runs after each harvest, in the timed part.
inline void MeasureHarvest(
    benchmark::State& state, const std::string& page, const std::function<void()>& also = [] {}) {
  size_t rows = 0;
  for (auto _ : state) {
    CountingTarget target;
    qb::HarvestPage(page, target);
    rows = target.rows;
    benchmark::DoNotOptimize(rows);
    also();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
  state.counters["rows"] = static_cast<double>(rows);
}
