#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// The value of an Amount text: its first "$" removed, read with a period as
// decimal point whatever the locale. Throws Exception
// "'%s' is not a valid floating point value" (also for values beyond double range).
double AmountValue(std::string_view amountText);
// Every row's amount value in grid order; throws for the first text that does not convert.
std::vector<double> AmountValues(const GridRows& grid);

// Figures as texts in the shared number-to-text format (period as decimal point).
// Highest starts from 0; Lowest is the true lowest amount; Average is the sum
// divided by the row count ("0" for an empty grid, like the other figures).
std::string GetHighest(const GridRows& grid);
std::string GetLowest(const GridRows& grid);
std::string GetAverage(const GridRows& grid);
std::string FigureText(double value);

double HighestOf(const std::vector<double>& values);
double LowestOf(const std::vector<double>& values);
double AverageOf(const std::vector<double>& values);
// Middle value of the sorted values, the mean of the two middle ones for an
// even count; 0 for none. Reorders values.
double MedianOf(std::vector<double>& values);

// Four equal ranges between lowest and highest; each bound summed from lowest.
struct QuarterBounds {
  double b1 = 0;
  double b2 = 0;
  double b3 = 0;
};
QuarterBounds QuarterBoundsOf(double lowest, double highest);

enum PriceRange { prLow, prMidLow, prMidHigh, prHigh };
inline constexpr size_t kPriceRangeCount = prHigh + 1;
inline constexpr std::array<const char*, kPriceRangeCount> kPriceRangeLabels = {"Low", "Mid-Low", "Mid-High",
                                                                                "High"};
// A value on a bound goes to the upper range.
PriceRange RangeOf(double amount, const QuarterBounds& bounds);
using RangeCounts = std::array<int, kPriceRangeCount>;
RangeCounts CountRanges(const std::vector<double>& values, const QuarterBounds& bounds);

// Everything the statistics window shows, computed in one pass over the grid.
struct PriceStatistics {
  std::string highest;
  std::string lowest;
  std::string average;
  std::string median;
  QuarterBounds bounds;
  RangeCounts counts{};
};
// Throws Exception with the conversion message of the first bad Amount in grid order.
PriceStatistics ComputeStatistics(const GridRows& grid);

}  // namespace qb
