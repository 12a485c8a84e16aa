#include "stats/TrendFigures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "research/GridRules.h"
#include "stats/StatisticsFigures.h"

namespace qb {

namespace {

using namespace std::chrono;

int64_t DayNumber(const IsoDate& date) {
  return sys_days(year_month_day(year(date.year), month(unsigned(date.month)), day(unsigned(date.day))))
      .time_since_epoch()
      .count();
}

int64_t MondayOf(int64_t dayNumber) {
  return dayNumber - int64_t((weekday(sys_days{days(dayNumber)}).c_encoding() + 6) % 7);
}

// The ISO 8601 week of a day: the week of its Thursday, Monday first.
std::pair<int, int> IsoWeek(int64_t dayNumber) {
  const sys_days today{days(dayNumber)};
  const int fromMonday = int((weekday(today).c_encoding() + 6) % 7);
  const sys_days thursday = today - days(fromMonday) + days(3);
  const year isoYear = year_month_day(thursday).year();
  const sys_days firstOfYear = sys_days(isoYear / January / 1);
  return {int(isoYear), int((thursday - firstOfYear).count() / 7) + 1};
}

double MedianOfSorted(const std::vector<double>& sorted) { return QuantileOf(sorted, 0.5); }

}  // namespace

double QuantileOf(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  const double h = double(sorted.size() - 1) * p;
  const size_t low = size_t(std::floor(h));
  if (low + 1 >= sorted.size()) return sorted[low];
  return sorted[low] + (h - double(low)) * (sorted[low + 1] - sorted[low]);
}

TrendFigures ComputeTrendFigures(const GridRows& grid, const TrendOptions& options) {
  TrendFigures f;
  f.points.reserve(grid.size());
  for (size_t i = 0; i < grid.size(); ++i) {
    const ResearchRow& row = grid[i];
    TrendSale sale;
    sale.row = i;
    sale.price = AmountValue(row.amount);
    if (options.includeDelivery) {
      long double delivery = 0;
      if (!row.delivery.empty() && TryReadGridAmount(row.delivery, delivery) &&
          std::isfinite(double(delivery)))
        sale.price += double(delivery);
      else
        ++f.withoutDelivery;
    }
    if (const std::optional<IsoDate> date = ReadIsoDate(row.sold)) {
      sale.dated = true;
      sale.day = DayNumber(*date);
    }
    f.points.push_back(sale);
  }

  // Outliers by the quartiles of every price.
  std::vector<double> prices;
  prices.reserve(f.points.size());
  for (const TrendSale& s : f.points) prices.push_back(s.price);
  std::sort(prices.begin(), prices.end());
  const double q1 = QuantileOf(prices, 0.25), q3 = QuantileOf(prices, 0.75);
  const double low = q1 - 1.5 * (q3 - q1), high = q3 + 1.5 * (q3 - q1);
  double keptSum = 0;
  size_t kept = 0;
  for (TrendSale& s : f.points) {
    s.outlier = s.price < low || s.price > high;
    f.outliers += s.outlier;
    if (!s.outlier) {
      keptSum += s.price;
      ++kept;
    }
  }
  f.trimmedAverage = kept ? keptSum / double(kept) : 0;

  // The other figures over the prices that count.
  std::vector<double> counted;
  std::map<std::pair<int, int>, std::pair<int64_t, std::vector<double>>> weeks;
  std::vector<std::pair<double, double>> dated;  // (day, price)
  for (const TrendSale& s : f.points) {
    if (options.leaveOutOutliers && s.outlier) continue;
    counted.push_back(s.price);
    if (!s.dated) continue;
    dated.emplace_back(double(s.day), s.price);
    auto& week = weeks[IsoWeek(s.day)];
    week.first = MondayOf(s.day);
    week.second.push_back(s.price);
  }
  std::sort(counted.begin(), counted.end());
  f.sales = counted.size();
  f.withSoldDate = dated.size();
  f.q1 = QuantileOf(counted, 0.25);
  f.median = MedianOfSorted(counted);
  f.q3 = QuantileOf(counted, 0.75);
  f.iqr = f.q3 - f.q1;
  for (auto& [week, days] : weeks) {
    std::vector<double>& values = days.second;
    std::sort(values.begin(), values.end());
    f.weeks.push_back({week.first, week.second, days.first, values.size(), MedianOfSorted(values)});
  }

  // The least-squares slope of price on the day, over rows with a sold date.
  if (!dated.empty()) {
    double meanDay = 0, meanPrice = 0;
    for (const auto& [d, p] : dated) {
      meanDay += d;
      meanPrice += p;
    }
    meanDay /= double(dated.size());
    meanPrice /= double(dated.size());
    double covariance = 0, variance = 0;
    for (const auto& [d, p] : dated) {
      covariance += (d - meanDay) * (p - meanPrice);
      variance += (d - meanDay) * (d - meanDay);
    }
    f.trendMeanDay = meanDay;
    f.trendMeanPrice = meanPrice;
    f.hasTrend = variance > 0;  // two distinct dates at least
    if (f.hasTrend) f.trendPer30Days = covariance / variance * 30;
  }
  return f;
}

std::string AmountText(double value, bool withSign) {
  // Snapped to a ten-thousandth of a cent first, so 1.005 (stored as
  // 1.00499999...) rounds as the decimal it stands for.
  const double cents = std::round(std::round(value * 1e6) / 1e4);
  char text[64];
  std::snprintf(text, sizeof text, withSign && cents >= 0 ? "+%.2f" : "%.2f", cents / 100);
  return std::string(text) == "-0.00" ? (withSign ? "+0.00" : "0.00") : text;
}

std::string TrendReport(const TrendFigures& f) {
  std::string out;
  out += "Sales: " + std::to_string(f.sales) + "\n";
  out += "With sold date: " + std::to_string(f.withSoldDate) + "\n";
  out += "Q1: " + AmountText(f.q1) + "\n";
  out += "Median: " + AmountText(f.median) + "\n";
  out += "Q3: " + AmountText(f.q3) + "\n";
  out += "IQR: " + AmountText(f.iqr) + "\n";
  out += "Outliers: " + std::to_string(f.outliers) + "\n";
  out += "Trimmed average: " + AmountText(f.trimmedAverage) + "\n";
  out +=
      "Trend per 30 days: " + (f.hasTrend ? AmountText(f.trendPer30Days, true) : std::string("n/a")) + "\n";
  out += "\nWeek,Sales,Median\n";
  for (const WeekMedian& w : f.weeks) {
    char week[32];
    std::snprintf(week, sizeof week, "%04d-W%02d", w.isoYear, w.week);
    out += std::string(week) + "," + std::to_string(w.sales) + "," + AmountText(w.median) + "\n";
  }
  return out;
}

}  // namespace qb
