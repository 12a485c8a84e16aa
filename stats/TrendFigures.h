#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// Price over time: quartiles, outliers, the trend and weekly medians of the
// grid's prices. Amounts must read as numbers (AmountValue throws otherwise).
struct TrendOptions {
  bool includeDelivery = false;   // price = Amount + Delivery where the row has a Delivery figure
  bool leaveOutOutliers = false;  // the other figures over the prices that are no outliers
};

struct WeekMedian {
  int isoYear = 0;
  int week = 0;        // ISO 8601, Monday first
  int64_t monday = 0;  // its first day, in days since 1970-01-01
  size_t sales = 0;
  double median = 0;
};

// One sale as the charts show it.
struct TrendSale {
  size_t row = 0;  // in the grid
  double price = 0;
  int64_t day = 0;  // days since 1970-01-01; valid when dated
  bool dated = false;
  bool outlier = false;
};

struct TrendFigures {
  size_t sales = 0;  // prices the figures are over
  size_t withSoldDate = 0;
  size_t withoutDelivery = 0;  // with includeDelivery: rows counted with their Amount alone
  double q1 = 0, median = 0, q3 = 0, iqr = 0;
  size_t outliers = 0;  // below Q1 - 1.5 IQR or above Q3 + 1.5 IQR, of every price
  double trimmedAverage = 0;
  bool hasTrend = false;  // two distinct sold dates at least
  double trendPer30Days = 0;
  double trendMeanDay = 0, trendMeanPrice = 0;  // the trend line passes through them
  std::vector<WeekMedian> weeks;                // in week order
  std::vector<TrendSale> points;                // every row, in grid order
};

TrendFigures ComputeTrendFigures(const GridRows& grid, const TrendOptions& options = {});

// x[floor h] + (h - floor h)(x[floor h + 1] - x[floor h]) with h = (n - 1)p over
// sorted values; 0 for none.
double QuantileOf(const std::vector<double>& sorted, double p);

// Two decimals, rounded half away from zero ("1.01" for 1.005); withSign puts
// "+" before values that are not negative.
std::string AmountText(double value, bool withSign = false);

// The lines quellbid-harvest --trends prints: the figures, an empty line,
// then "Week,Sales,Median" and a line per week ("2026-W29,3,12.50").
std::string TrendReport(const TrendFigures& figures);

}  // namespace qb
