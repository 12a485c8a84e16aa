#include "runtime/Exception.h"
#include "stats/StatisticsFigures.h"
#include "stats/TrendFigures.h"
#include "tools/HarvestCli.h"

namespace qb {

bool WriteGridStatistics(const GridRows& grid, std::ostream& out, std::ostream& err) {
  if (!EnoughDataForGraph(grid.size())) {
    err << kNotEnoughDataForGraph << '\n';
    return false;
  }
  PriceStatistics s;
  try {
    s = ComputeStatistics(grid);
  } catch (const Exception& e) {
    err << e.what() << '\n';
    return false;
  }
  out << "Highest: " << s.highest << '\n'
      << "Lowest: " << s.lowest << '\n'
      << "Average: " << s.average << '\n'
      << "Median: " << s.median << '\n';
  for (size_t i = 0; i < s.counts.size(); ++i) out << kPriceRangeLabels[i] << ": " << s.counts[i] << '\n';
  return true;
}

bool WriteGridTrends(const GridRows& grid, bool withDelivery, std::ostream& out, std::ostream& err) {
  if (!EnoughDataForGraph(grid.size())) {
    err << kNotEnoughDataForGraph << '\n';
    return false;
  }
  try {
    out << TrendReport(ComputeTrendFigures(grid, {withDelivery, false}));
  } catch (const Exception& e) {
    err << e.what() << '\n';
    return false;
  }
  return true;
}

}  // namespace qb
