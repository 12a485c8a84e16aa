#include <QFile>
#include <QProcess>
#include <QtTest>
#include <sstream>

#include "tests/tools/HarvestRun.h"
#include "tools/HarvestCli.h"

using namespace qb;

namespace {

QByteArray Sample(const QString& name) {
  QFile file(qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/" + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

GridRows GridOf(const QStringList& amounts) {
  GridRows grid;
  int item = 500;
  for (const QString& a : amounts) {
    const std::string number = std::to_string(item++);
    grid.AddGridRow("Lot " + number, number, "1", a.toStdString());
  }
  return grid;
}

}  // namespace

class TestStatsCli : public QObject {
  Q_OBJECT
 private slots:
  void figures_data() {
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("one per range") << QStringList{"10", "20", "30", "40"}
                                   << QByteArray(
                                          "Highest: 40\nLowest: 10\nAverage: 25\nMedian: 25\n"
                                          "Low: 1\nMid-Low: 1\nMid-High: 1\nHigh: 1\n");
    QTest::newRow("skewed") << QStringList{"1", "2", "3", "100"}
                            << QByteArray(
                                   "Highest: 100\nLowest: 1\nAverage: 26.5\nMedian: 2.5\n"
                                   "Low: 3\nMid-Low: 0\nMid-High: 0\nHigh: 1\n");
    QTest::newRow("seven sixths") << QStringList{"1", "1", "1", "1", "1", "2"}
                                  << QByteArray(
                                         "Highest: 2\nLowest: 1\nAverage: 1.16666666666667\nMedian: 1\n"
                                         "Low: 5\nMid-Low: 0\nMid-High: 0\nHigh: 1\n");
  }
  void figures() {
    QFETCH(QStringList, amounts);
    QFETCH(QByteArray, expected);
    std::ostringstream out, err;
    QVERIFY(WriteGridStatistics(GridOf(amounts), out, err));
    QCOMPARE(QByteArray::fromStdString(out.str()), expected);
    QCOMPARE(QByteArray::fromStdString(err.str()), QByteArray());
  }

  void refused_data() {
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no rows") << QStringList{} << QByteArray("Not enough data for graph\n");
    QTest::newRow("three rows") << QStringList{"1", "2", "3"} << QByteArray("Not enough data for graph\n");
    QTest::newRow("bad amount") << QStringList{"1", "2", "1.2.3", "4.4.4"}
                                << QByteArray("'1.2.3' is not a valid floating point value\n");
  }
  void refused() {
    QFETCH(QStringList, amounts);
    QFETCH(QByteArray, message);
    std::ostringstream out, err;
    QVERIFY(!WriteGridStatistics(GridOf(amounts), out, err));
    QCOMPARE(QByteArray::fromStdString(out.str()), QByteArray());
    QCOMPARE(QByteArray::fromStdString(err.str()), message);
  }

  void samplePage() {
    const Run run = Harvest({"--stats", qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/sample-pens.htm"});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith("Highest: 1024.5\nLowest: "), run.out.constData());
    QVERIFY(!run.out.contains("Item Number"));  // no CSV
    QCOMPARE(run.out.split('\n').size(), 9);
    QVERIFY(run.out.contains("\nHigh: 1\n"));
  }

  void badAmountsOnPage() {
    QByteArray page = Sample("sample-pens.htm");
    QVERIFY(page.contains("'$86.00'") && page.contains("'$54.50'"));
    page.replace("'$86.00'", "'$1.2.3'").replace("'$54.50'", "'$5..4'");
    QFile file("bad-amounts.htm");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(page);
    file.close();
    const Run run = Harvest({"--stats", "bad-amounts.htm"});
    QVERIFY(run.status != 0);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.endsWith("'1.2.3' is not a valid floating point value\n"), run.err.constData());
  }

  void tooFewRowsOnPage() {
    QFile file("nothing.htm");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><body>No auctions here</body></html>");
    file.close();
    for (const char* figures : {"--stats", "--trends"}) {
      const Run run = Harvest({figures, "nothing.htm"});
      QCOMPARE(run.status, 1);
      QCOMPARE(run.out, QByteArray());
      QVERIFY2(run.err.endsWith("Not enough data for graph\n"), run.err.constData());
    }
  }

  // The card sample pages' trend figures, with and without delivery.
  void trendsOfCardPages() {
    QStringList pages;
    for (const char* year : {"2026", "2025", "2024"})
      pages << qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/sample-cards-" + year + ".htm";
    const Run run = Harvest(QStringList{"--trends"} + pages);
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith("Sales: 45\nWith sold date: 45\nQ1: 27.00\nMedian: 57.00\nQ3: 118.00\n"),
             run.out.constData());
    QVERIFY(run.out.contains("\n\nWeek,Sales,Median\n2024-W09,2,21.25\n"));
    const Run delivered = Harvest(QStringList{"--trends", "--with-delivery"} + pages);
    QCOMPARE(delivered.status, 0);
    QVERIFY(delivered.out.startsWith("Sales: 45\n") && delivered.out != run.out);
    QCOMPARE(Harvest({"--with-delivery", pages[0]}).status, 1);
  }
};

QTEST_GUILESS_MAIN(TestStatsCli)
#include "test_core_stats_cli.moc"
