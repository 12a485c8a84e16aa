#include <QtTest>
#include <cmath>

#include "chart/PieChart.h"
#include "chart/PieGeometry.h"

using namespace qb;

namespace {

bool Near(double a, double b, double eps = 1e-9) { return std::fabs(a - b) <= eps; }
bool Near(QPointF a, QPointF b, double eps = 1e-9) {
  return Near(a.x(), b.x(), eps) && Near(a.y(), b.y(), eps);
}
bool OnBoxEdge(const QRectF& box, QPointF p) {
  const double eps = 1e-6;
  const bool insideX = p.x() >= box.left() - eps && p.x() <= box.right() + eps;
  const bool insideY = p.y() >= box.top() - eps && p.y() <= box.bottom() + eps;
  return insideX && insideY &&
         (Near(p.x(), box.left(), eps) || Near(p.x(), box.right(), eps) || Near(p.y(), box.top(), eps) ||
          Near(p.y(), box.bottom(), eps));
}

PieFrame Frame() { return PieFrame{QPointF(300, 200), 100, 70, 25}; }

}  // namespace

class TestPieGeometry : public QObject {
  Q_OBJECT
 private slots:
  void slices_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QList<double>>("spans");
    QTest::addColumn<QList<double>>("percents");
    QTest::addColumn<int>("exploded");
    QTest::newRow("quarters") << QList<double>{1, 1, 1, 1} << QList<double>{90, 90, 90, 90}
                              << QList<double>{25, 25, 25, 25} << 0;
    QTest::newRow("zero slice") << QList<double>{2, 0, 1, 1} << QList<double>{180, 0, 90, 90}
                                << QList<double>{50, 0, 25, 25} << 0;
    QTest::newRow("biggest last") << QList<double>{3, 0, 0, 1} << QList<double>{270, 0, 0, 90}
                                  << QList<double>{75, 0, 0, 25} << 0;
    QTest::newRow("biggest later") << QList<double>{1, 0, 0, 3} << QList<double>{90, 0, 0, 270}
                                   << QList<double>{25, 0, 0, 75} << 3;
    QTest::newRow("one slice") << QList<double>{0, 0, 0, 4} << QList<double>{0, 0, 0, 360}
                               << QList<double>{0, 0, 0, 100} << 3;
    QTest::newRow("all zero") << QList<double>{0, 0, 0, 0} << QList<double>{0, 0, 0, 0}
                              << QList<double>{0, 0, 0, 0} << -1;
    QTest::newRow("negative ignored")
        << QList<double>{-5, 1, 1, 2} << QList<double>{0, 90, 90, 180} << QList<double>{0, 25, 25, 50} << 3;
  }
  void slices() {
    QFETCH(QList<double>, values);
    QFETCH(QList<double>, spans);
    QFETCH(QList<double>, percents);
    QFETCH(int, exploded);
    const std::vector<double> v(values.begin(), values.end());
    const auto slices = PieSlices(v);
    QCOMPARE(int(slices.size()), values.size());
    QCOMPARE(BiggestSlice(v), exploded);
    double previousStart = 90;
    for (int i = 0; i < values.size(); ++i) {
      const PieSlice& s = slices[size_t(i)];
      QCOMPARE(s.index, i);
      QVERIFY2(Near(s.spanAngle, spans[i]), qPrintable(QString::number(i)));
      QVERIFY(Near(s.percent, percents[i]));
      QCOMPARE(s.exploded, i == exploded);
      // Clockwise from twelve o'clock without gaps: each ends where the one before starts.
      QVERIFY(Near(std::fmod(s.startAngle + s.spanAngle + 360, 360), std::fmod(previousStart + 360, 360)));
      QVERIFY(s.startAngle >= 0 && s.startAngle < 360);
      previousStart = s.startAngle;
    }
  }

  void firstSliceStartsAtTwelve() {
    const auto slices = PieSlices({1, 1, 1, 1});
    QVERIFY(Near(slices[0].startAngle, 0));  // covers 0..90: twelve to three o'clock
    QVERIFY(Near(slices[0].midAngle, 45));
    QVERIFY(Near(slices[1].midAngle, 315));
  }

  void explodeOffset_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPointF>("offset");
    QTest::newRow("right") << 0.0 << QPointF(15, 0);
    QTest::newRow("back") << 90.0 << QPointF(0, -10.5);
    QTest::newRow("left") << 180.0 << QPointF(-15, 0);
    QTest::newRow("front") << 270.0 << QPointF(0, 10.5);
  }
  void explodeOffset() {
    QFETCH(double, angle);
    QFETCH(QPointF, offset);
    QVERIFY(Near(ExplodeOffset(Frame(), angle, 15), offset, 1e-9));
  }

  void ellipsePoint() {
    QVERIFY(Near(EllipsePoint(Frame(), 0), QPointF(400, 200)));
    QVERIFY(Near(EllipsePoint(Frame(), 90), QPointF(300, 130)));
    QVERIFY(Near(EllipsePoint(Frame(), 270), QPointF(300, 270)));
  }

  void frontArcs_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("span");
    QTest::addColumn<QList<QPointF>>("arcs");  // (start, span)
    QTest::newRow("back quarter") << 0.0 << 90.0 << QList<QPointF>{};
    QTest::newRow("front quarter") << 180.0 << 90.0 << QList<QPointF>{{180, 90}};
    QTest::newRow("left half") << 90.0 << 180.0 << QList<QPointF>{{180, 90}};
    QTest::newRow("across three o'clock") << 300.0 << 120.0 << QList<QPointF>{{300, 60}};
    QTest::newRow("wraps into both") << 350.0 << 200.0 << QList<QPointF>{{350, 10}, {540, 10}};
    QTest::newRow("whole pie") << 0.0 << 360.0 << QList<QPointF>{{180, 180}};
    QTest::newRow("negative start") << -90.0 << 45.0 << QList<QPointF>{{270, 45}};
  }
  void frontArcs() {
    QFETCH(double, start);
    QFETCH(double, span);
    QFETCH(QList<QPointF>, arcs);
    const auto got = FrontArcs(start, span);
    QCOMPARE(int(got.size()), arcs.size());
    for (int i = 0; i < arcs.size(); ++i) {
      QVERIFY(Near(got[size_t(i)].first, arcs[i].x()));
      QVERIFY(Near(got[size_t(i)].second, arcs[i].y()));
    }
  }

  void visibleFaces_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("span");
    QTest::addColumn<QList<double>>("faces");
    // A cut face shows when it turns towards the front.
    QTest::newRow("back right quarter") << 0.0 << 90.0 << QList<double>{0};
    QTest::newRow("back left quarter") << 90.0 << 90.0 << QList<double>{180};
    QTest::newRow("front right") << 300.0 << 40.0 << QList<double>{300};
    QTest::newRow("front left") << 200.0 << 40.0 << QList<double>{240};
    QTest::newRow("front wedge hides its sides") << 250.0 << 40.0 << QList<double>{};
    QTest::newRow("back wedge shows both") << 70.0 << 40.0 << QList<double>{70, 110};
    QTest::newRow("big slice around the front") << 100.0 << 300.0 << QList<double>{};
    QTest::newRow("whole pie") << 0.0 << 360.0 << QList<double>{};
  }
  void visibleFaces() {
    QFETCH(double, start);
    QFETCH(double, span);
    QFETCH(QList<double>, faces);
    PieSlice s;
    s.startAngle = start;
    s.spanAngle = span;
    auto got = VisibleFaces(s);
    std::sort(got.begin(), got.end());
    std::sort(faces.begin(), faces.end());
    QCOMPARE(QList<double>(got.begin(), got.end()), faces);
    QVERIFY(FaceDepth(90) < FaceDepth(0) && FaceDepth(0) < FaceDepth(270));
  }

  void tilt() {
    QVERIFY(Near(TiltRatio(315), std::sqrt(0.5)));
    QVERIFY(Near(TiltRatio(270), 1));
    QVERIFY(Near(TiltRatio(360), 0.15));  // never flat
  }

  void fitPie_data() {
    QTest::addColumn<QRectF>("plot");
    QTest::addColumn<QSizeF>("mark");
    QTest::newRow("statistics window") << QRectF(15, 79, 560, 304) << QSizeF(90, 19);
    QTest::newRow("wide") << QRectF(0, 0, 2000, 300) << QSizeF(60, 15);
    QTest::newRow("tall") << QRectF(0, 0, 300, 2000) << QSizeF(60, 15);
    QTest::newRow("no marks") << QRectF(10, 10, 400, 400) << QSizeF();
  }
  void fitPie() {
    QFETCH(QRectF, plot);
    QFETCH(QSizeF, mark);
    const PieView view;
    const PieFrame pie = FitPie(plot, view, mark);
    QVERIFY(pie.rx > 0);
    QVERIFY(Near(pie.ry, pie.rx * std::sqrt(0.5)));
    QVERIFY(Near(pie.depth, pie.rx * 0.65 * std::sqrt(0.5) * 0.5));
    // Exploded slice plus arrow and mark stay inside the plot in every direction.
    const double grow = 1.15;
    const double a = view.arrowLength;
    QVERIFY(pie.centre.x() - pie.rx * grow - a - mark.width() >= plot.left() - 1e-6);
    QVERIFY(pie.centre.x() + pie.rx * grow + a + mark.width() <= plot.right() + 1e-6);
    QVERIFY(pie.centre.y() - pie.ry * grow - a - mark.height() >= plot.top() - 1e-6);
    QVERIFY(pie.centre.y() + pie.ry * grow + pie.depth + a + mark.height() <= plot.bottom() + 1e-6);
    // Zoom 96: the pie is smaller than the room allows in its tighter direction.
    PieView full = view;
    full.zoomPercent = 100;
    QVERIFY(Near(FitPie(plot, full, mark).rx * 0.96, pie.rx, 1e-6));
  }

  void horizontalOffset() {
    const QRectF plot(0, 0, 600, 300);
    PieView view;
    QVERIFY(Near(FitPie(plot, view, {}).centre.x(), 336));
    view.horizontalOffset = 0;
    QVERIFY(Near(FitPie(plot, view, {}).centre.x(), 300));
    view.horizontalOffset = 500;  // no room: centred
    QVERIFY(Near(FitPie(plot, view, {}).centre.x(), 300));
  }

  void placeMark_data() {
    QTest::addColumn<double>("angle");
    QTest::newRow("right") << 0.0;
    QTest::newRow("back right") << 45.0;
    QTest::newRow("back") << 90.0;
    QTest::newRow("left") << 180.0;
    QTest::newRow("front left") << 225.0;
    QTest::newRow("front") << 270.0;
    QTest::newRow("front right") << 300.0;
  }
  void placeMark() {
    QFETCH(double, angle);
    const PieFrame pie = Frame();
    const QSizeF text(80, 18);
    const MarkPlacement m = PlaceMark(pie, QPointF(), angle, text, 8);
    QVERIFY(Near(QLineF(m.anchor, m.arrowEnd).length(), 8));
    QVERIFY(OnBoxEdge(m.box, m.arrowEnd));
    QCOMPARE(m.box.size(), text);
    // The box lies outside the pie: further from the centre than the anchor.
    const QPointF out = m.box.center() - pie.centre;
    const QPointF rim = m.anchor - pie.centre;
    QVERIFY(QPointF::dotProduct(out, rim) > QPointF::dotProduct(rim, rim));
    // On the front the arrow starts at the wall's lower edge.
    const double below = std::max(0.0, -std::sin(angle * M_PI / 180));
    QVERIFY(Near(m.anchor.y(), EllipsePoint(pie, angle).y() + pie.depth * below));
    // An exploded slice's mark moves with it.
    const QPointF offset = ExplodeOffset(pie, angle, 15);
    const MarkPlacement moved = PlaceMark(pie, offset, angle, text, 8);
    QVERIFY(Near(moved.box.topLeft() - m.box.topLeft(), offset));
  }

  void separateMarks() {
    std::vector<MarkPlacement> marks(3);
    marks[0].box = QRectF(100, 100, 80, 18);
    marks[1].box = QRectF(120, 105, 80, 18);  // overlaps the first
    marks[2].box = QRectF(400, 105, 80, 18);  // beside, untouched
    const QRectF bounds(0, 0, 500, 300);
    SeparateMarks(marks, bounds);
    QVERIFY(!marks[0].box.intersects(marks[1].box));
    QCOMPARE(marks[2].box, QRectF(400, 105, 80, 18));
    for (const auto& m : marks) QVERIFY(bounds.contains(m.box));

    // Crowded at the bottom edge: pushed back up, still apart.
    std::vector<MarkPlacement> low(3);
    for (int i = 0; i < 3; ++i) low[size_t(i)].box = QRectF(50, 290 + i, 80, 18);
    SeparateMarks(low, bounds);
    for (int i = 0; i < 3; ++i) {
      QVERIFY(bounds.contains(low[size_t(i)].box));
      for (int j = 0; j < i; ++j) QVERIFY(!low[size_t(i)].box.intersects(low[size_t(j)].box));
    }
    // Out at the sides: moved in.
    std::vector<MarkPlacement> side(1);
    side[0].box = QRectF(-30, 10, 80, 18);
    SeparateMarks(side, bounds);
    QCOMPARE(side[0].box.left(), 0.0);
  }

  void nearestPoint() {
    const QRectF box(10, 10, 20, 10);
    QCOMPARE(NearestPointOnBox(box, {0, 15}), QPointF(10, 15));
    QCOMPARE(NearestPointOnBox(box, {40, 40}), QPointF(30, 20));
    QCOMPARE(NearestPointOnBox(box, {15, 15}), QPointF(15, 15));
  }

  void legend_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("shown");
    QTest::newRow("four") << 4 << 4;
    QTest::newRow("ten") << 10 << 10;
    QTest::newRow("fifteen") << 15 << 10;
    QTest::newRow("none") << 0 << 0;
  }
  void legend() {
    QFETCH(int, rows);
    QFETCH(int, shown);
    const QRectF area(11, 11, 678, 376);
    const LegendStyle style;
    const LegendLayout l = LayoutLegend(area, rows, 15, 10, 50, style);
    QCOMPARE(int(l.colorBoxes.size()), shown);
    if (shown == 0) {
      QVERIFY(l.frame.isNull());
      return;
    }
    QVERIFY(Near(l.frame.right() + style.shadow + style.rightMargin, area.right()));
    QVERIFY(Near(l.frame.center().y(), area.center().y()));
    QVERIFY(Near(l.frame.height(), 2 * style.padding + shown * 15));
    for (int i = 0; i < shown; ++i) {
      const QRectF& box = l.colorBoxes[size_t(i)];
      QCOMPARE(box.width(), 12.0);
      QVERIFY(l.frame.contains(box) && l.frame.contains(l.labelCells[size_t(i)]));
      // Colour box, then the value, then the label.
      QVERIFY(box.right() < l.valueCells[size_t(i)].left());
      QVERIFY(l.valueCells[size_t(i)].right() < l.labelCells[size_t(i)].left());
      if (i > 0) QVERIFY(Near(box.top() - l.colorBoxes[size_t(i - 1)].top(), 15));
    }
  }

  void chartLayout() {
    const QRectF inner(11, 11, 678, 376);
    LegendMetrics legend{4, 15, 10, 50};
    const ChartLayout withLegend =
        LayoutChart(inner, QSizeF(320, 51), 4, legend, LegendStyle(), PieView(), {90, 19});
    QVERIFY(withLegend.title.top() >= inner.top());
    QVERIFY(Near(withLegend.title.center().x(), inner.center().x()));
    QVERIFY(Near(withLegend.title.height(), 59));
    QVERIFY(withLegend.plot.top() > withLegend.title.bottom());
    QVERIFY(withLegend.plot.right() < withLegend.legend.frame.left());
    QVERIFY(withLegend.legend.frame.top() > withLegend.title.bottom());
    // A wider legend leaves less room: the pie shrinks.
    legend.labelWidth = 400;
    const ChartLayout wide =
        LayoutChart(inner, QSizeF(320, 51), 4, legend, LegendStyle(), PieView(), {90, 19});
    QVERIFY(wide.pie.rx < withLegend.pie.rx);
    // No title: the plot starts at the top.
    const ChartLayout untitled = LayoutChart(inner, QSizeF(), 4, legend, LegendStyle(), PieView(), {90, 19});
    QVERIFY(untitled.title.isNull());
    QVERIFY(untitled.plot.top() < withLegend.plot.top());
  }

  void texts_data() {
    QTest::addColumn<double>("percent");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 25.0 << "25%";
    QTest::newRow("third") << 100.0 / 3 << "33.33%";
    QTest::newRow("half a percent") << 12.5 << "12.5%";
    QTest::newRow("all") << 100.0 << "100%";
    QTest::newRow("rounded up") << 99.999 << "100%";
  }
  void texts() {
    QFETCH(double, percent);
    QFETCH(QString, text);
    QCOMPARE(PercentText(percent), text);
    QCOMPARE(MarkText("Low", percent), "Low " + text);
  }

  void legendValues() {
    QCOMPARE(LegendValueText(0), QString("0"));
    QCOMPARE(LegendValueText(12), QString("12"));
    QCOMPARE(LegendValueText(2.5), QString("2.5"));
    QCOMPARE(LegendValueText(100000), QString("100000"));
  }

  void autoColors() {
    QSet<QRgb> seen;
    for (int i = 0; i < 10; ++i) seen.insert(AutoColor(i).rgb());
    QCOMPARE(seen.size(), 10);  // every slice its own colour
    QCOMPARE(AutoColor(0), QColor(Qt::red));
  }
};

QTEST_MAIN(TestPieGeometry)
#include "test_pie_geometry.moc"
