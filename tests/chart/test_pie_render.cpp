#include <QAccessible>
#include <QPainter>
#include <QtTest>

#include "chart/PieChart.h"

using namespace qb;

namespace {

TPieChartSettings StatisticsLook() {
  TPieChartSettings s;
  s.titleLines = {"Quellbid", "Each Pie Portion Represents 25%",
                  "of Highest Price Less Lowest Price of Grid Data"};
  s.titleFont = QFont("Arial");
  s.titleFont.setPixelSize(15);
  s.markFont = QFont("Arial");
  s.markFont.setPixelSize(11);
  s.legendFont = s.markFont;
  s.backImage = QImage(":/chart/background.jpg");
  return s;
}

std::vector<TPiePoint> Points(const QList<double>& values) {
  const QStringList labels = {"Low", "Mid-Low", "Mid-High", "High"};
  std::vector<TPiePoint> points;
  for (int i = 0; i < values.size(); ++i)
    points.push_back({double(i), values[i], labels.value(i), AutoColor(i)});
  return points;
}

QImage Render(const TPieChartSettings& s, const std::vector<TPiePoint>& points, QSize size = {700, 398}) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::magenta);
  QPainter p(&image);
  PaintPieChart(p, QRect(QPoint(), size), s, points);
  p.end();
  return image;
}

int CountColor(const QImage& image, const QRectF& area, const QColor& color) {
  int n = 0;
  const QRect r = area.toAlignedRect().intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixelColor(x, y).rgb() == color.rgb()) ++n;
  return n;
}

QPointF Along(const PieFrame& pie, double angle, double share, QPointF offset = {}) {
  PieFrame f = pie;
  f.centre += offset;
  const QPointF rim = EllipsePoint(f, angle);
  return f.centre + (rim - f.centre) * share;
}

}  // namespace

class TestPieRender : public QObject {
  Q_OBJECT
 private slots:
  void backgroundPicture() {
    const QImage picture(":/chart/background.jpg");
    QCOMPARE(picture.size(), QSize(800, 600));
  }

  void panelBevelAndBackground() {
    const QImage image = Render(StatisticsLook(), Points({1, 1, 1, 1}));
    QCOMPARE(image.pixelColor(0, 0).rgb(), QColor(Qt::black).rgb());          // single border
    QCOMPARE(image.pixelColor(5, 5).rgb(), QColor(Qt::white).rgb());          // raised bevel, light side
    QCOMPARE(image.pixelColor(694, 392).rgb(), QColor(128, 128, 128).rgb());  // dark side
    // The picture shows behind a clear back wall: not the plain back colour.
    const QColor corner = image.pixelColor(14, 380);
    QVERIFY(corner.rgb() != QColor(Qt::white).rgb());
    QVERIFY(corner.blue() > corner.red());
  }

  void legendEntries_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::newRow("one per range") << QList<double>{1, 1, 1, 1};
    QTest::newRow("zero slice") << QList<double>{2, 0, 1, 1};
    QTest::newRow("only one") << QList<double>{0, 0, 0, 4};
  }
  void legendEntries() {
    QFETCH(QList<double>, values);
    const TPieChartSettings s = StatisticsLook();
    const auto points = Points(values);
    const QImage image = Render(s, points);
    const ChartLayout layout = MeasurePieChart(QRect(0, 0, 700, 398), s, points);
    QCOMPARE(int(layout.legend.colorBoxes.size()), 4);
    for (int i = 0; i < 4; ++i) {
      const QRectF box = layout.legend.colorBoxes[size_t(i)];
      QCOMPARE(box.width(), 12.0);
      QCOMPARE(image.pixelColor(box.center().toPoint()).rgb(), AutoColor(i).rgb());
    }
    // White legend with a shadow below its right edge.
    const QRectF frame = layout.legend.frame;
    QCOMPARE(image.pixelColor(QPointF(frame.right() - 3, frame.top() + 3).toPoint()).rgb(),
             QColor(Qt::white).rgb());
    const QColor shadow = image.pixelColor(QPointF(frame.right() + 2, frame.bottom() + 2).toPoint());
    QVERIFY(shadow.lightness() < 100);
    QVERIFY(layout.plot.right() < frame.left());
  }

  void zeroSliceDrawsNothing() {
    const TPieChartSettings s = StatisticsLook();
    const auto points = Points({2, 0, 1, 1});
    const QImage image = Render(s, points);
    const ChartLayout layout = MeasurePieChart(QRect(0, 0, 700, 398), s, points);
    // Green (Mid-Low) only in its legend box.
    const QColor green = AutoColor(1);
    QCOMPARE(CountColor(image, layout.plot, green), 0);
    QVERIFY(CountColor(image, layout.legend.colorBoxes[1], green) > 50);
    // The other three slices are there.
    for (int i : {0, 2, 3})
      QVERIFY2(CountColor(image, layout.plot, AutoColor(i)) > 200, qPrintable(QString::number(i)));
  }

  void biggestSliceExploded_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<int>("biggest");
    QTest::newRow("Mid-Low at the front") << QList<double>{1, 3, 1, 1} << 1;
    QTest::newRow("Low at the back") << QList<double>{1, 0, 0, 5} << 3;
    QTest::newRow("first of equals") << QList<double>{1, 1, 1, 1} << 0;
  }
  void biggestSliceExploded() {
    QFETCH(QList<double>, values);
    QFETCH(int, biggest);
    const TPieChartSettings s = StatisticsLook();
    const auto points = Points(values);
    const QImage image = Render(s, points);
    const ChartLayout layout = MeasurePieChart(QRect(0, 0, 700, 398), s, points);
    std::vector<double> v(values.begin(), values.end());
    const auto slices = PieSlices(v, 90);
    const PieSlice& slice = slices[size_t(biggest)];
    QVERIFY(slice.exploded);
    const QPointF offset = ExplodeOffset(layout.pie, slice.midAngle, 15);
    const QColor color = AutoColor(biggest);
    // Its top has moved out: solid colour beyond the pie's rim along its middle...
    QCOMPARE(image.pixelColor(Along(layout.pie, slice.midAngle, 0.6, offset).toPoint()).rgb(), color.rgb());
    QCOMPARE(image.pixelColor(Along(layout.pie, slice.midAngle, 1.08).toPoint()).rgb(), color.rgb());
    // ...and a gap at the pie's centre where it would have started.
    QVERIFY(image.pixelColor(Along(layout.pie, slice.midAngle, 0.06).toPoint()).rgb() != color.rgb());
    // The others stay in place.
    for (const PieSlice& other : slices)
      if (other.index != biggest && other.spanAngle > 30)
        QCOMPARE(image.pixelColor(Along(layout.pie, other.midAngle, 0.5).toPoint()).rgb(),
                 AutoColor(other.index).rgb());
  }

  void emptySeries() {
    const TPieChartSettings s = StatisticsLook();
    const QImage image = Render(s, Points({0, 0, 0, 0}));
    const ChartLayout layout = MeasurePieChart(QRect(0, 0, 700, 398), s, Points({0, 0, 0, 0}));
    for (int i = 0; i < 4; ++i) QCOMPARE(CountColor(image, layout.plot, AutoColor(i)), 0);
    Render(s, {});  // nothing at all: must not fail
  }

  void widgetDescription() {
    TPieChart chart;
    chart.resize(700, 398);
    chart.Series()->AddXY(0, 1, "Low");
    chart.Series()->AddXY(1, 0, "Mid-Low");
    chart.Series()->AddXY(2, 2, "Mid-High");
    chart.Series()->AddXY(3, 1, "High");
    QCOMPARE(chart.Series()->points()[2].color, AutoColor(2));
    QCOMPARE(chart.DescriptionText(), QString("Low: 1, Mid-Low: 0, Mid-High: 2, High: 1"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&chart);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Chart);
    QCOMPARE(iface->text(QAccessible::Description), chart.DescriptionText());
    chart.Series()->Clear();
    QCOMPARE(iface->text(QAccessible::Description), QString());
    QVERIFY(!chart.Render().isNull());
  }
};

QTEST_MAIN(TestPieRender)
#include "test_pie_render.moc"
