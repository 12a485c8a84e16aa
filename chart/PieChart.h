#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "chart/PieGeometry.h"

class QPainter;

namespace qb {

// One point of a pie series. An invalid colour means "automatic".
struct TPiePoint {
  double x = 0;
  double value = 0;
  QString label;
  QColor color;
};

// The colour the engine gives the point at index when none was passed.
QColor AutoColor(int index);
// "Low 25%": the mark of a slice (percent with at most two decimals).
QString MarkText(const QString& label, double percent);
QString PercentText(double percent);
// The value as the legend shows it (up to 15 significant digits).
QString LegendValueText(double value);

// The points of the one pie series of a chart.
class TPieSeries : public QObject {
  Q_OBJECT
 public:
  explicit TPieSeries(QObject* parent = nullptr);
  void Clear();
  // Appends a point; an invalid colour takes the automatic colour of its index.
  void AddXY(double x, double value, const QString& label, const QColor& color = QColor());
  const std::vector<TPiePoint>& points() const { return FPoints; }
  QString name() const { return FName; }
  void setName(const QString& name) { FName = name; }

 signals:
  void changed();

 private:
  std::vector<TPiePoint> FPoints;
  QString FName = QStringLiteral("Pie");
};

// Everything the chart's look depends on besides the points.
struct TPieChartSettings {
  PieView view;
  double rotation = 360;  // turns the first slice's start clockwise from twelve o'clock
  // Panel around the chart.
  int borderWidth = 1;  // single border
  int bevelInnerWidth = 10;
  bool bevelInnerRaised = true;
  // Background picture, scaled to cover the chart behind a clear back wall.
  QImage backImage;
  QColor backColor = Qt::white;
  // Title.
  QStringList titleLines;
  QFont titleFont;
  QColor titleColor = Qt::blue;
  QColor titleBackColor = Qt::white;
  int titleFrameWidth = 2;
  double titlePadding = 4;
  // Slices and marks.
  QColor outlineColor = QColor(128, 128, 0);  // olive
  Qt::PenStyle outlineStyle = Qt::DotLine;
  bool marksVisible = true;
  QFont markFont;
  // Legend.
  bool legendVisible = true;
  LegendStyle legend;
  QFont legendFont;
};

// Paints the whole chart (panel, background, title, pie, marks, legend) into rect.
void PaintPieChart(QPainter& painter, const QRect& rect, const TPieChartSettings& settings,
                   const std::vector<TPiePoint>& points);
// The geometry PaintPieChart uses for these points, with its fonts measured.
ChartLayout MeasurePieChart(const QRect& rect, const TPieChartSettings& settings,
                            const std::vector<TPiePoint>& points);
QRect ChartInnerRect(const QRect& rect, const TPieChartSettings& settings);

// The chart control: holds the settings and one pie series, and paints them.
// It reports its points ("Low: 1, Mid-Low: 0, ...") as accessible description.
class TPieChart : public QWidget {
  Q_OBJECT
 public:
  explicit TPieChart(QWidget* parent = nullptr);
  TPieSeries* Series() const { return FSeries; }
  const TPieChartSettings& settings() const { return FSettings; }
  void setSettings(const TPieChartSettings& settings);
  QString DescriptionText() const;
  QImage Render() const;  // the chart as it paints at its current size

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void SeriesChanged();

  TPieChartSettings FSettings;
  TPieSeries* FSeries;
};

}  // namespace qb
