#pragma once

#include <QDialog>
#include <QPointF>
#include <functional>
#include <vector>

#include "stats/TrendFigures.h"

class QAreaSeries;
class QChart;
class QChartView;
class QCheckBox;
class QLabel;
class QLineSeries;
class QScatterSeries;

namespace qb {

class ResearchGridModel;

// "Price Trends": every sale's price against its sold date with the weekly
// medians and the trend line, a histogram of the prices with Q1, Median and
// Q3 marked, and the figures beside them. Follows the grid: a harvest, a
// prune or an edit redraws it. Never changes the grid.
class TfrmPriceTrends : public QDialog {
  Q_OBJECT
 public:
  // selectRow selects a grid row (a click on its point).
  TfrmPriceTrends(ResearchGridModel* model, std::function<void(size_t)> selectRow, QWidget* parent = nullptr);

  // Draws from the grid and shows the window; throws Exception for an
  // Amount that does not read.
  void ShowTrends();
  // Writes both charts as one picture: PNG, or SVG for a ".svg" path.
  bool SaveChart(const QString& path);

  QChartView* TimeChart = nullptr;
  QChartView* PriceChart = nullptr;
  QScatterSeries* Sales = nullptr;
  QLineSeries* WeeklyMedians = nullptr;
  QLineSeries* Trend = nullptr;
  QAreaSeries* Histogram = nullptr;
  QCheckBox* IncludeDelivery = nullptr;
  QCheckBox* LeaveOutOutliers = nullptr;
  QLabel* Figures = nullptr;
  size_t HistogramBins() const { return FBins; }
  // The sale nearest to a point of the scatter: its grid row.
  size_t RowAt(const QPointF& point) const;

 private:
  void Redraw();
  void ScheduleRedraw();
  void DrawTime(const TrendFigures& figures);
  void DrawPrices(const TrendFigures& figures);
  void SaveChartClick();

  ResearchGridModel* FModel;
  std::function<void(size_t)> FSelectRow;
  std::vector<std::pair<QPointF, size_t>> FPoints;  // the scatter's points and their rows
  QWidget* FCharts = nullptr;
  QList<QLineSeries*> FMarks;
  size_t FBins = 0;
  bool FPending = false;
};

// Freedman-Diaconis: width 2 IQR n^(-1/3) over [lowest, highest], at least
// 1 and at most 60 bins.
size_t HistogramBinCount(double lowest, double highest, double iqr, size_t n);

}  // namespace qb
