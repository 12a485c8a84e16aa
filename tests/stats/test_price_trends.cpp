#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QtTest>

#include "research/ResearchGridModel.h"
#include "stats/PriceTrends.h"

using namespace qb;

// The Price Trends window driven offscreen over a grid of dated and undated sales.
class TestPriceTrends : public QObject {
  Q_OBJECT

  static void Add(ResearchGridModel& model, int item, const std::string& amount, const std::string& sold,
                  const std::string& delivery) {
    model.AddGridRow("Lamp " + std::to_string(item), std::to_string(item), "1", amount, {sold, delivery, ""});
  }

 private slots:
  void drawsFollowsAndSelects() {
    ResearchGridModel model;
    size_t selected = 99;
    TfrmPriceTrends window(&model, [&](size_t row) { selected = row; });
    Add(model, 1, "10.00", "2026-07-01", "5.00");
    Add(model, 2, "12.00", "2026-07-01", "");
    Add(model, 3, "11.00", "2026-07-09", "0.00");
    Add(model, 4, "14.00", "", "");
    Add(model, 5, "90.00", "2026-07-20", "");
    window.ShowTrends();
    QCOMPARE(window.Sales->count(), 4);          // the undated row is in the histogram only
    QCOMPARE(window.WeeklyMedians->count(), 3);  // ISO weeks 27, 28 and 30
    QCOMPARE(window.Trend->count(), 2);
    QVERIFY(window.HistogramBins() >= 1 && window.HistogramBins() <= 60);
    QVERIFY(window.Figures->text().contains("Outliers: 1"));
    QCOMPARE(window.RowAt(window.Sales->at(2)), size_t(2));
    emit window.Sales->clicked(window.Sales->at(3));
    QCOMPARE(selected, size_t(4));

    window.LeaveOutOutliers->setChecked(true);
    QTRY_COMPARE(window.Sales->count(), 3);
    window.IncludeDelivery->setChecked(true);
    QTRY_VERIFY(window.Figures->text().contains("3 without a delivery figure"));
    Add(model, 6, "13.00", "2026-07-21", "");  // a harvest redraws it
    QTRY_COMPARE(window.Sales->count(), 4);
  }

  void withoutSoldDates() {
    ResearchGridModel model;
    TfrmPriceTrends window(&model, {});
    for (int i = 1; i <= 4; ++i) Add(model, i, "5.00", "", "");
    window.ShowTrends();
    QCOMPARE(window.Sales->count(), 0);
    QCOMPARE(window.TimeChart->chart()->title(),
             QString("No sold dates: harvest today's result pages to see prices over time"));
    QVERIFY(window.Figures->text().contains("Trend per 30 days: n/a"));
  }

  void savesPngAndSvg() {
    ResearchGridModel model;
    TfrmPriceTrends window(&model, {});
    for (int i = 1; i <= 4; ++i) Add(model, i, std::to_string(i * 3), "2026-07-0" + std::to_string(i), "");
    window.ShowTrends();
    QTemporaryDir dir;
    QVERIFY(window.SaveChart(dir.filePath("trends.png")));
    QVERIFY(!QImage(dir.filePath("trends.png")).isNull());
    QVERIFY(window.SaveChart(dir.filePath("trends.svg")));
    QFile svg(dir.filePath("trends.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("<svg"));
  }

  void binCounts_data() {
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");
    QTest::addColumn<double>("iqr");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("bins");
    QTest::newRow("width 2 IQR n^-1/3") << 0.0 << 100.0 << 10.0 << 8 << 10;  // width 10
    QTest::newRow("at most 60") << 0.0 << 1000.0 << 1.0 << 8 << 60;
    QTest::newRow("IQR 0") << 5.0 << 9.0 << 0.0 << 8 << 60;
    QTest::newRow("all equal") << 5.0 << 5.0 << 0.0 << 8 << 1;
  }
  void binCounts() {
    QFETCH(double, lowest);
    QFETCH(double, highest);
    QFETCH(double, iqr);
    QFETCH(int, n);
    QFETCH(int, bins);
    QCOMPARE(int(HistogramBinCount(lowest, highest, iqr, size_t(n))), bins);
  }
};

QTEST_MAIN(TestPriceTrends)
#include "test_price_trends.moc"
