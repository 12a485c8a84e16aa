#include "stats/PriceTrends.h"

#include <QAreaSeries>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "research/GridRows.h"
#include "research/ResearchGridModel.h"
#include "runtime/Exception.h"

namespace qb {

namespace {

constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;
constexpr double kCellPixels = 4;

double Ms(double day) { return day * double(kDayMs); }

QString Money(double value, bool withSign = false) {
  return QString::fromStdString(AmountText(value, withSign));
}

QChartView* MakeChartView(QWidget* parent) {
  auto* view = new QChartView(new QChart(), parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->chart()->legend()->setAlignment(Qt::AlignBottom);
  view->setMinimumSize(560, 260);
  return view;
}

// Removes the chart's axes before new ones are attached.
void DropAxes(QChart* chart) {
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
}

}  // namespace

size_t HistogramBinCount(double lowest, double highest, double iqr, size_t n) {
  if (n == 0 || !(highest > lowest)) return 1;
  const double width = 2 * iqr * std::pow(double(n), -1.0 / 3);
  if (!(width > 0)) return 60;
  return std::clamp<size_t>(size_t(std::ceil((highest - lowest) / width)), 1, 60);
}

TfrmPriceTrends::TfrmPriceTrends(ResearchGridModel* model, std::function<void(size_t)> selectRow,
                                 QWidget* parent)
    : QDialog(parent), FModel(model), FSelectRow(std::move(selectRow)) {
  setObjectName(QStringLiteral("frmPriceTrends"));
  setWindowTitle(QStringLiteral("Price Trends"));
  setModal(false);
  auto* layout = new QHBoxLayout(this);
  FCharts = new QWidget(this);
  auto* charts = new QVBoxLayout(FCharts);
  charts->setContentsMargins(0, 0, 0, 0);
  TimeChart = MakeChartView(FCharts);
  PriceChart = MakeChartView(FCharts);
  charts->addWidget(TimeChart);
  charts->addWidget(PriceChart);
  layout->addWidget(FCharts, 1);

  auto* side = new QVBoxLayout();
  Figures = new QLabel(this);
  Figures->setObjectName(QStringLiteral("Figures"));
  Figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  side->addWidget(Figures);
  IncludeDelivery = new QCheckBox(QStringLiteral("Include delivery"), this);
  LeaveOutOutliers = new QCheckBox(QStringLiteral("Leave out outliers"), this);
  side->addWidget(IncludeDelivery);
  side->addWidget(LeaveOutOutliers);
  side->addStretch(1);
  auto* save = new QPushButton(QStringLiteral("Save Chart..."), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  side->addWidget(save);
  side->addWidget(close);
  layout->addLayout(side);
  connect(IncludeDelivery, &QCheckBox::toggled, this, &TfrmPriceTrends::ScheduleRedraw);
  connect(LeaveOutOutliers, &QCheckBox::toggled, this, &TfrmPriceTrends::ScheduleRedraw);
  connect(save, &QPushButton::clicked, this, &TfrmPriceTrends::SaveChartClick);
  connect(close, &QPushButton::clicked, this, &QDialog::close);

  Sales = new QScatterSeries(this);
  Sales->setName(QStringLiteral("Sales"));
  Sales->setMarkerSize(7);
  WeeklyMedians = new QLineSeries(this);
  WeeklyMedians->setName(QStringLiteral("Weekly median"));
  Trend = new QLineSeries(this);
  Trend->setName(QStringLiteral("Trend"));
  for (QAbstractSeries* series :
       {static_cast<QAbstractSeries*>(Sales), static_cast<QAbstractSeries*>(WeeklyMedians),
        static_cast<QAbstractSeries*>(Trend)})
    TimeChart->chart()->addSeries(series);
  auto* upper = new QLineSeries(this);
  Histogram = new QAreaSeries(upper);
  Histogram->setName(QStringLiteral("Sales per price"));
  PriceChart->chart()->addSeries(Histogram);
  connect(Sales, &QScatterSeries::hovered, this, [this](const QPointF& point, bool state) {
    if (!state || FPoints.empty()) return QToolTip::hideText();
    const ResearchRow& row = FModel->Rows()[RowAt(point)];
    QToolTip::showText(QCursor::pos(), QString::fromUtf8(row.description.c_str()) + "\n$" +
                                           QString::fromUtf8(row.amount.c_str()) + ", sold " +
                                           QString::fromUtf8(row.sold.c_str()));
  });
  connect(Sales, &QScatterSeries::clicked, this, [this](const QPointF& point) {
    if (!FPoints.empty() && FSelectRow) FSelectRow(RowAt(point));
  });

  connect(model, &QAbstractItemModel::modelReset, this, &TfrmPriceTrends::ScheduleRedraw);
  connect(model, &QAbstractItemModel::layoutChanged, this, &TfrmPriceTrends::ScheduleRedraw);
  connect(model, &QAbstractItemModel::rowsInserted, this, &TfrmPriceTrends::ScheduleRedraw);
  connect(model, &QAbstractItemModel::dataChanged, this, &TfrmPriceTrends::ScheduleRedraw);
  resize(900, 620);
}

void TfrmPriceTrends::ShowTrends() {
  Redraw();
  show();
  raise();
  activateWindow();
}

void TfrmPriceTrends::ScheduleRedraw() {
  if (FPending || !isVisible()) return;
  FPending = true;
  QTimer::singleShot(0, this, [this] {
    FPending = false;
    try {
      Redraw();
    } catch (const Exception& e) {
      Figures->setText(QString::fromUtf8(DisplayMessage(e.what()).c_str()));
    }
  });
}

void TfrmPriceTrends::Redraw() {
  const GridRows& rows = FModel->Rows();
  if (!EnoughDataForGraph(rows.size())) {
    FPoints.clear();
    Sales->clear();
    WeeklyMedians->clear();
    Trend->clear();
    Histogram->upperSeries()->clear();
    Figures->setText(QString::fromUtf8(kNotEnoughDataForGraph));
    return;
  }
  const TrendFigures f =
      ComputeTrendFigures(rows, {IncludeDelivery->isChecked(), LeaveOutOutliers->isChecked()});
  QString text = QStringLiteral("Sales: %1\nWith sold date: %2\n").arg(f.sales).arg(f.withSoldDate);
  text += QStringLiteral("Q1: %1\nMedian: %2\nQ3: %3\nIQR: %4\nOutliers: %5\nTrimmed average: %6\n")
              .arg(Money(f.q1), Money(f.median), Money(f.q3), Money(f.iqr))
              .arg(f.outliers)
              .arg(Money(f.trimmedAverage));
  text += QStringLiteral("Trend per 30 days: %1").arg(f.hasTrend ? Money(f.trendPer30Days, true) : "n/a");
  if (IncludeDelivery->isChecked())
    text += QStringLiteral("\n\n%1 without a delivery figure\ncount with their Amount alone")
                .arg(f.withoutDelivery);
  Figures->setText(text);
  DrawTime(f);
  DrawPrices(f);
}

void TfrmPriceTrends::DrawTime(const TrendFigures& f) {
  const bool leaveOut = LeaveOutOutliers->isChecked();
  FPoints.clear();
  QList<QPointF> points;
  QChart* const timeChart = TimeChart->chart();
  double first = 0, last = 0, lowest = 0, highest = 0;
  for (const TrendSale& s : f.points) {
    if (!s.dated || (leaveOut && s.outlier)) continue;
    const QPointF point(Ms(double(s.day)), s.price);
    if (points.empty()) first = last = double(s.day), lowest = highest = s.price;
    first = std::min(first, double(s.day));
    last = std::max(last, double(s.day));
    lowest = std::min(lowest, s.price);
    highest = std::max(highest, s.price);
    points.append(point);
    FPoints.emplace_back(point, s.row);
  }
  // Sales that fall within one marker's cell of the plot share a marker:
  // every sale shows, and the chart stays quick at 100 000 of them.
  const QSizeF plot = timeChart->plotArea().isEmpty() ? QSizeF(500, 220) : timeChart->plotArea().size();
  const double columns = std::max(1.0, plot.width() / kCellPixels),
               rows = std::max(1.0, plot.height() / kCellPixels);
  const double spanX = std::max(1.0, last - first), spanY = std::max(0.01, highest - lowest);
  std::unordered_set<int64_t> cells;
  QList<QPointF> markers;
  for (const auto& [point, row] : FPoints) {
    const int64_t cx = int64_t((point.x() / double(kDayMs) - first) / spanX * columns);
    const int64_t cy = int64_t((point.y() - lowest) / spanY * rows);
    if (cells.insert(cx * 1000003 + cy).second) markers.append(point);
  }
  Sales->replace(markers);
  QList<QPointF> weeks;
  for (const WeekMedian& w : f.weeks) weeks.append(QPointF(Ms(double(w.monday) + 3), w.median));
  WeeklyMedians->replace(weeks);
  QList<QPointF> trend;
  if (f.hasTrend) {
    const double slope = f.trendPer30Days / 30;
    for (const double day : {first, last})
      trend.append(QPointF(Ms(day), f.trendMeanPrice + slope * (day - f.trendMeanDay)));
  }
  Trend->replace(trend);

  timeChart->setTitle(
      points.empty() ? QStringLiteral("No sold dates: harvest today's result pages to see prices over time")
                     : QStringLiteral("Sold prices by date"));
  DropAxes(timeChart);
  auto* x = new QDateTimeAxis();
  x->setFormat(QStringLiteral("d MMM yyyy"));
  x->setTitleText(QStringLiteral("Sold"));
  auto* y = new QValueAxis();
  y->setTitleText(QStringLiteral("Price ($)"));
  y->setLabelFormat(QStringLiteral("%.2f"));
  if (!points.empty()) {
    const double margin = std::max(1.0, (last - first) * 0.03);
    x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(Ms(first - margin)), Qt::UTC),
                QDateTime::fromMSecsSinceEpoch(qint64(Ms(last + margin)), Qt::UTC));
    const double pad = std::max(0.5, (highest - lowest) * 0.05);
    y->setRange(lowest >= 0 ? std::max(0.0, lowest - pad) : lowest - pad, highest + pad);
    y->applyNiceNumbers();
  }
  timeChart->addAxis(x, Qt::AlignBottom);
  timeChart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : timeChart->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
}

void TfrmPriceTrends::DrawPrices(const TrendFigures& f) {
  const bool leaveOut = LeaveOutOutliers->isChecked();
  std::vector<double> prices;
  for (const TrendSale& s : f.points)
    if (!(leaveOut && s.outlier)) prices.push_back(s.price);
  const auto [low, high] = std::minmax_element(prices.begin(), prices.end());
  const double lowest = prices.empty() ? 0 : *low, highest = prices.empty() ? 1 : *high;
  FBins = HistogramBinCount(lowest, highest, f.iqr, prices.size());
  const double width = highest > lowest ? (highest - lowest) / double(FBins) : 1;
  std::vector<int> counts(FBins, 0);
  for (const double p : prices) ++counts[std::min(FBins - 1, size_t((p - lowest) / width))];
  QList<QPointF> outline{{lowest, 0}};
  int most = 1;
  for (size_t b = 0; b < FBins; ++b) {
    outline.append({lowest + width * double(b), double(counts[b])});
    outline.append({lowest + width * double(b + 1), double(counts[b])});
    most = std::max(most, counts[b]);
  }
  outline.append({lowest + width * double(FBins), 0});
  Histogram->upperSeries()->replace(outline);

  QChart* chart = PriceChart->chart();
  chart->setTitle(QStringLiteral("Prices"));
  for (QLineSeries* mark : FMarks) {
    chart->removeSeries(mark);
    delete mark;
  }
  FMarks.clear();
  for (const auto& [name, value] : {std::pair{"Q1", f.q1}, {"Median", f.median}, {"Q3", f.q3}}) {
    auto* mark = new QLineSeries();
    mark->setName(QStringLiteral("%1 %2").arg(QLatin1String(name), Money(value)));
    mark->append(value, 0);
    mark->append(value, most);
    chart->addSeries(mark);
    FMarks.append(mark);
  }
  DropAxes(chart);
  auto* x = new QValueAxis();
  x->setTitleText(QStringLiteral("Price ($)"));
  x->setRange(lowest, lowest + width * double(FBins));
  auto* y = new QValueAxis();
  y->setTitleText(QStringLiteral("Sales"));
  y->setRange(0, most);
  y->setLabelFormat(QStringLiteral("%d"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
}

size_t TfrmPriceTrends::RowAt(const QPointF& point) const {
  size_t best = 0;
  double distance = -1;
  for (const auto& [p, row] : FPoints) {
    const double d = std::abs(p.x() - point.x()) / double(kDayMs) + std::abs(p.y() - point.y());
    if (distance < 0 || d < distance) {
      distance = d;
      best = row;
    }
  }
  return best;
}

bool TfrmPriceTrends::SaveChart(const QString& path) {
  if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(FCharts->size());
    svg.setViewBox(FCharts->rect());
    svg.setTitle(QStringLiteral("Price Trends"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    FCharts->render(&painter);
    return painter.end();
  }
  return FCharts->grab().save(path, "PNG");
}

void TfrmPriceTrends::SaveChartClick() {
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save Chart"), QDir::current().filePath(QStringLiteral("price-trends.png")),
      QStringLiteral("PNG image (*.png);;SVG image (*.svg)"));
  if (path.isEmpty()) return;
  if (!SaveChart(path))
    throw Exception("'" + QFileInfo(path).fileName().toStdString() + "' could not be written");
}

}  // namespace qb
