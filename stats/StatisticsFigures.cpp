#include "stats/StatisticsFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>

#include "runtime/Conversions.h"
#include "runtime/Exception.h"

namespace qb {

namespace {

// Highest starts from 0; the shown figure is read back from its text.
double ShownValue(const std::string& text) { return static_cast<double>(StrToFloat(text, '.')); }

}  // namespace

double AmountValue(std::string_view amountText) {
  long double value = 0;
  if (!TryReadGridAmount(amountText, value) || !std::isfinite(static_cast<double>(value)))
    throw Exception(GridAmountError(amountText));
  return static_cast<double>(value);
}

std::vector<double> AmountValues(const GridRows& grid) {
  std::vector<double> values;
  values.reserve(grid.size());
  for (const ResearchRow& row : grid.rows()) values.push_back(AmountValue(row.amount));
  return values;
}

std::string FigureText(double value) { return FloatToStr(value, '.'); }

double HighestOf(const std::vector<double>& values) {
  double highest = 0;
  for (double v : values)
    if (v > highest) highest = v;
  return highest;
}

double LowestOf(const std::vector<double>& values) {
  if (values.empty()) return 0;
  double lowest = values.front();
  for (double v : values)
    if (v < lowest) lowest = v;
  return lowest;
}

double AverageOf(const std::vector<double>& values) {
  if (values.empty()) return 0;
  double sum = 0;
  for (double v : values) sum += v;
  if (!std::isfinite(sum)) {
    // Only amounts near the top of the double range get here.
    long double wide = 0;
    for (double v : values) wide += v;
    return static_cast<double>(wide / static_cast<long double>(values.size()));
  }
  return sum / static_cast<double>(values.size());
}

double MedianOf(std::vector<double>& values) {
  if (values.empty()) return 0;
  const size_t n = values.size();
  const auto upper = values.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(values.begin(), upper, values.end());
  if (n % 2 == 1) return *upper;
  const double lower = *std::max_element(values.begin(), upper);
  return std::midpoint(lower, *upper);
}

std::string GetHighest(const GridRows& grid) { return FigureText(HighestOf(AmountValues(grid))); }
std::string GetLowest(const GridRows& grid) { return FigureText(LowestOf(AmountValues(grid))); }
std::string GetAverage(const GridRows& grid) { return FigureText(AverageOf(AmountValues(grid))); }

QuarterBounds QuarterBoundsOf(double lowest, double highest) {
  const double q = (highest - lowest) * 0.25;
  QuarterBounds b;
  b.b1 = lowest + q;
  b.b2 = lowest + q + q;
  b.b3 = lowest + q + q + q;
  return b;
}

PriceRange RangeOf(double amount, const QuarterBounds& bounds) {
  if (amount < bounds.b1) return prLow;
  if (amount < bounds.b2) return prMidLow;
  if (amount < bounds.b3) return prMidHigh;
  return prHigh;
}

RangeCounts CountRanges(const std::vector<double>& values, const QuarterBounds& bounds) {
  RangeCounts counts{};
  for (double v : values) ++counts[RangeOf(v, bounds)];
  return counts;
}

PriceStatistics ComputeStatistics(const GridRows& grid) {
  std::vector<double> values = AmountValues(grid);
  PriceStatistics s;
  s.highest = FigureText(HighestOf(values));
  s.lowest = FigureText(LowestOf(values));
  s.average = FigureText(AverageOf(values));
  // The bounds start from the figures as shown.
  s.bounds = QuarterBoundsOf(ShownValue(s.lowest), ShownValue(s.highest));
  s.counts = CountRanges(values, s.bounds);
  s.median = FigureText(MedianOf(values));
  return s;
}

}  // namespace qb
