#include <QtTest>

#include "runtime/Exception.h"
#include "stats/TrendFigures.h"

using namespace qb;

// The price-over-time figures against values worked out by hand.
class TestTrendFigures : public QObject {
  Q_OBJECT

 private slots:
  void figures_data() {
    QTest::addColumn<QStringList>("rows");  // "amount|delivery|sold"
    QTest::addColumn<bool>("withDelivery");
    QTest::addColumn<QString>("report");
    const QString noWeeks = "\nWeek,Sales,Median\n";
    QTest::newRow("four rows, ties, no dates")
        << QStringList{"10||", "30||", "10||", "20||"} << false
        << "Sales: 4\nWith sold date: 0\nQ1: 10.00\nMedian: 15.00\nQ3: 22.50\nIQR: 12.50\nOutliers: 0\n"
           "Trimmed average: 17.50\nTrend per 30 days: n/a\n" +
               noWeeks;
    QTest::newRow("all equal, one date only")
        << QStringList{"5||2026-07-20", "5.00||2026-07-20", "5||2026-07-20", "5||2026-07-20"} << false
        << "Sales: 4\nWith sold date: 4\nQ1: 5.00\nMedian: 5.00\nQ3: 5.00\nIQR: 0.00\nOutliers: 0\n"
           "Trimmed average: 5.00\nTrend per 30 days: n/a\n" +
               noWeeks + "2026-W30,4,5.00\n";
    QTest::newRow("outliers on both sides, weeks, rising")
        << QStringList{"100||2026-07-21", "1||2026-07-01",  "10||2026-07-01",
                       "11||2026-07-11",  "12||2026-07-11", "13||2026-07-21"}
        << false
        << "Sales: 6\nWith sold date: 6\nQ1: 10.25\nMedian: 11.50\nQ3: 12.75\nIQR: 2.50\nOutliers: 2\n"
           "Trimmed average: 11.50\nTrend per 30 days: +76.50\n" +
               noWeeks + "2026-W27,2,5.50\n2026-W28,2,11.50\n2026-W30,2,56.50\n";
    QTest::newRow("falling, a week across the new year")
        << QStringList{"20||2025-12-29", "20||2025-12-29", "10||2026-01-28", "10||2026-01-28"} << false
        << "Sales: 4\nWith sold date: 4\nQ1: 10.00\nMedian: 15.00\nQ3: 20.00\nIQR: 10.00\nOutliers: 0\n"
           "Trimmed average: 15.00\nTrend per 30 days: -10.00\n" +
               noWeeks + "2026-W01,2,20.00\n2026-W05,2,10.00\n";
    QTest::newRow("halves round away from zero")
        << QStringList{"1.00||", "1.01||", "1.00||", "1.01||"} << false
        << "Sales: 4\nWith sold date: 0\nQ1: 1.00\nMedian: 1.01\nQ3: 1.01\nIQR: 0.01\nOutliers: 0\n"
           "Trimmed average: 1.01\nTrend per 30 days: n/a\n" +
               noWeeks;
    const QStringList delivered{"10|5.00|", "20||", "30|0.00|", "40|2.50|"};
    QTest::newRow("delivery on")
        << delivered << true
        << "Sales: 4\nWith sold date: 0\nQ1: 18.75\nMedian: 25.00\nQ3: 33.13\nIQR: 14.38\n"
           "Outliers: 0\nTrimmed average: 26.88\nTrend per 30 days: n/a\n" +
               noWeeks;
    QTest::newRow("delivery off")
        << delivered << false
        << "Sales: 4\nWith sold date: 0\nQ1: 17.50\nMedian: 25.00\nQ3: 32.50\nIQR: 15.00\n"
           "Outliers: 0\nTrimmed average: 25.00\nTrend per 30 days: n/a\n" +
               noWeeks;
  }
  void figures() {
    QFETCH(QStringList, rows);
    QFETCH(bool, withDelivery);
    QFETCH(QString, report);
    GridRows grid;
    for (int i = 0; i < rows.size(); ++i) {
      const QStringList cells = rows[i].split('|');
      const std::string sold = cells[2].toStdString(), delivery = cells[1].toStdString();
      grid.AddGridRow("Lamp", std::to_string(i + 1), "1", cells[0].toStdString(), {sold, delivery, ""});
    }
    const TrendFigures figures = ComputeTrendFigures(grid, {withDelivery, false});
    QCOMPARE(QString::fromStdString(TrendReport(figures)), report);
    QCOMPARE(figures.withoutDelivery, size_t(withDelivery && rows.contains("20||") ? 1 : 0));
  }

  void leavingOutOutliers() {
    GridRows grid;
    for (const char* amount : {"1", "10", "11", "12", "13", "100"})
      grid.AddGridRow("Lamp", amount, "1", amount);
    const TrendFigures figures = ComputeTrendFigures(grid, {false, true});
    QCOMPARE(figures.outliers, size_t(2));
    QCOMPARE(figures.sales, size_t(4));
    QCOMPARE(figures.median, 11.5);
    QCOMPARE(figures.points.size(), size_t(6));  // the charts still know every row
  }

  void amountThatDoesNotRead() {
    GridRows grid;
    grid.AddGridRow("Lamp", "1", "1", "12,50");
    try {
      ComputeTrendFigures(grid);
      QFAIL("no error");
    } catch (const Exception& e) {
      QCOMPARE(QString::fromStdString(e.what()), QString("'12,50' is not a valid floating point value"));
    }
  }
};

QTEST_APPLESS_MAIN(TestTrendFigures)
#include "test_core_trend_figures.moc"
