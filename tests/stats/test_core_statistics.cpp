#include <QtTest>
#include <cstring>
#include <random>

#include "research/GridRows.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"
#include "stats/StatisticsFigures.h"

using namespace qb;

namespace {

GridRows GridOf(const QStringList& amounts) {
  GridRows grid;
  int item = 1000;
  for (const QString& a : amounts) {
    const std::string number = std::to_string(item++);
    grid.AddGridRow("item " + number, number, "1", a.toStdString());
  }
  return grid;
}

QList<int> CountsOf(const RangeCounts& c) { return {c[0], c[1], c[2], c[3]}; }

}  // namespace

class TestStatistics : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    // Amounts read with a period whatever the locale.
    qputenv("LC_ALL", "de_DE.UTF-8");
    SetLocaleDecimalSeparator(',');
  }

  void enoughData_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("enough");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("three") << 3 << false;
    QTest::newRow("four") << 4 << true;
    QTest::newRow("many") << 100000 << true;
  }
  void enoughData() {
    QFETCH(int, rows);
    QFETCH(bool, enough);
    QCOMPARE(EnoughDataForGraph(static_cast<size_t>(rows)), enough);
  }

  void figures_data() {
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("highest");
    QTest::addColumn<QString>("lowest");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("median");
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("one per range") << QStringList{"10", "20", "30", "40"} << "40"
                                   << "10"
                                   << "25"
                                   << "25" << QList<int>{1, 1, 1, 1};
    QTest::newRow("grid order irrelevant") << QStringList{"40", "10", "30", "20"} << "40"
                                           << "10"
                                           << "25"
                                           << "25" << QList<int>{1, 1, 1, 1};
    QTest::newRow("values on bounds go up") << QStringList{"0", "25", "50", "100"} << "100"
                                            << "0"
                                            << "43.75"
                                            << "37.5" << QList<int>{1, 1, 1, 1};
    QTest::newRow("skewed") << QStringList{"1", "2", "3", "100"} << "100"
                            << "1"
                            << "26.5"
                            << "2.5" << QList<int>{3, 0, 0, 1};
    QTest::newRow("all equal are High") << QStringList{"10", "10", "10", "10"} << "10"
                                        << "10"
                                        << "10"
                                        << "10" << QList<int>{0, 0, 0, 4};
    QTest::newRow("all zero") << QStringList{"0", "0", "0", "0"} << "0"
                              << "0"
                              << "0"
                              << "0" << QList<int>{0, 0, 0, 4};
    QTest::newRow("seven sixths") << QStringList{"1", "1", "1", "1", "1", "2"} << "2"
                                  << "1"
                                  << "1.16666666666667"
                                  << "1" << QList<int>{5, 0, 0, 1};
    QTest::newRow("odd count median") << QStringList{"5", "1", "9", "3", "7"} << "9"
                                      << "1"
                                      << "5"
                                      << "5" << QList<int>{1, 1, 1, 2};
    QTest::newRow("true lowest above start value")
        << QStringList{"10000000", "20000000", "30000000", "40000000"} << "40000000"
        << "10000000"
        << "25000000"
        << "25000000" << QList<int>{1, 1, 1, 1};
    QTest::newRow("just under old start value")
        << QStringList{"9999998", "10000000", "10000001", "10000002"} << "10000002"
        << "9999998"
        << "10000000.25"
        << "10000000.5" << QList<int>{1, 0, 1, 2};
    QTest::newRow("fractions") << QStringList{"0.5", "1.25", "2.75", "10.01"} << "10.01"
                               << "0.5"
                               << "3.6275"
                               << "2" << QList<int>{3, 0, 0, 1};
    QTest::newRow("first dollar removed") << QStringList{"$10", "20", "$30", "40"} << "40"
                                          << "10"
                                          << "25"
                                          << "25" << QList<int>{1, 1, 1, 1};
    QTest::newRow("lone period reads 0") << QStringList{".", "4", "8", "12"} << "12"
                                         << "0"
                                         << "6"
                                         << "6" << QList<int>{1, 1, 1, 1};
    QTest::newRow("blanks around") << QStringList{" 10", "20 ", "30", "40"} << "40"
                                   << "10"
                                   << "25"
                                   << "25" << QList<int>{1, 1, 1, 1};
    QTest::newRow("scientific highest") << QStringList{"1e15", "0", "0", "0"} << "1E15"
                                        << "0"
                                        << "250000000000000"
                                        << "0" << QList<int>{3, 0, 0, 1};
    QTest::newRow("negative keeps highest at 0") << QStringList{"-4", "-3", "-2", "-1"} << "0"
                                                 << "-4"
                                                 << "-2.5"
                                                 << "-2.5" << QList<int>{1, 1, 1, 1};
  }
  void figures() {
    QFETCH(QStringList, amounts);
    QFETCH(QString, highest);
    QFETCH(QString, lowest);
    QFETCH(QString, average);
    QFETCH(QString, median);
    QFETCH(QList<int>, counts);
    const GridRows grid = GridOf(amounts);
    QCOMPARE(int(grid.size()), int(amounts.size()));
    const PriceStatistics s = ComputeStatistics(grid);
    QCOMPARE(QString::fromStdString(s.highest), highest);
    QCOMPARE(QString::fromStdString(s.lowest), lowest);
    QCOMPARE(QString::fromStdString(s.average), average);
    QCOMPARE(QString::fromStdString(s.median), median);
    QCOMPARE(CountsOf(s.counts), counts);
    QCOMPARE(QString::fromStdString(GetHighest(grid)), highest);
    QCOMPARE(QString::fromStdString(GetLowest(grid)), lowest);
    QCOMPARE(QString::fromStdString(GetAverage(grid)), average);
  }

  void bounds_data() {
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");
    QTest::addColumn<double>("b1");
    QTest::addColumn<double>("b2");
    QTest::addColumn<double>("b3");
    QTest::newRow("10 to 40") << 10.0 << 40.0 << 17.5 << 25.0 << 32.5;
    QTest::newRow("0 to 100") << 0.0 << 100.0 << 25.0 << 50.0 << 75.0;
    QTest::newRow("empty range") << 10.0 << 10.0 << 10.0 << 10.0 << 10.0;
    // Summed in order, so 0.1 steps carry the rounding of repeated addition.
    QTest::newRow("summed from lowest") << 0.0 << 0.4 << 0.1 << 0.1 + 0.1 << 0.1 + 0.1 + 0.1;
  }
  void bounds() {
    QFETCH(double, lowest);
    QFETCH(double, highest);
    const QuarterBounds b = QuarterBoundsOf(lowest, highest);
    QFETCH(double, b1);
    QFETCH(double, b2);
    QFETCH(double, b3);
    QCOMPARE(b.b1, b1);
    QCOMPARE(b.b2, b2);
    QCOMPARE(b.b3, b3);
  }

  void statisticsBounds() {
    const PriceStatistics s = ComputeStatistics(GridOf({"10", "20", "30", "40"}));
    QCOMPARE(s.bounds.b1, 17.5);
    QCOMPARE(s.bounds.b2, 25.0);
    QCOMPARE(s.bounds.b3, 32.5);
  }

  void range_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("range");
    QTest::newRow("below b1") << 17.4 << int(prLow);
    QTest::newRow("on b1") << 17.5 << int(prMidLow);
    QTest::newRow("on b2") << 25.0 << int(prMidHigh);
    QTest::newRow("on b3") << 32.5 << int(prHigh);
    QTest::newRow("above highest") << 99.0 << int(prHigh);
  }
  void range() {
    QFETCH(double, amount);
    QFETCH(int, range);
    QCOMPARE(int(RangeOf(amount, QuarterBoundsOf(10, 40))), range);
  }

  void badAmount_data() {
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("message");
    QTest::newRow("two periods") << QStringList{"10", "1.2.3", "30", "40"}
                                 << "'1.2.3' is not a valid floating point value";
    QTest::newRow("first bad in grid order")
        << QStringList{"10", "1..2", "30", "4.4.4"} << "'1..2' is not a valid floating point value";
    QTest::newRow("comma is no decimal point")
        << QStringList{"10", "20", "1,5", "40"} << "'1,5' is not a valid floating point value";
    QTest::newRow("only the first dollar goes")
        << QStringList{"10", "$$5", "30", "40"} << "'$5' is not a valid floating point value";
    QTest::newRow("beyond double range")
        << QStringList{"10", "20", "1e400", "40"} << "'1e400' is not a valid floating point value";
  }
  void badAmount() {
    QFETCH(QStringList, amounts);
    QFETCH(QString, message);
    const GridRows grid = GridOf(amounts);
    for (auto compute :
         {+[](const GridRows& g) { ComputeStatistics(g); }, +[](const GridRows& g) { GetHighest(g); },
          +[](const GridRows& g) { GetLowest(g); }, +[](const GridRows& g) { GetAverage(g); }}) {
      try {
        compute(grid);
        QFAIL("no exception");
      } catch (const Exception& e) {
        QCOMPARE(QString::fromStdString(e.what()), message);
      }
    }
  }

  // The fast reading of plain amounts must agree bit for bit with the general conversion.
  void plainAmountsReadLikeConversion() {
    std::mt19937 rng(42);
    for (int i = 0; i < 200000; ++i) {
      const int length = 1 + int(rng() % 22);
      std::string text;
      for (int k = 0; k < length; ++k) text += char('0' + rng() % 10);
      if (rng() % 4) text.insert(rng() % (text.size() + 1), 1, '.');
      const double expected = double(StrToFloat(text, '.'));
      const double actual = AmountValue(text);
      if (std::memcmp(&expected, &actual, sizeof expected) != 0)
        QFAIL(qPrintable(QString::fromStdString(text)));
    }
  }

  void emptyGrid() {
    const PriceStatistics s = ComputeStatistics(GridRows{});
    QCOMPARE(QString::fromStdString(s.average), QStringLiteral("0"));
    QCOMPARE(CountsOf(s.counts), (QList<int>{0, 0, 0, 0}));
  }

  void largeEvenMedian() {
    std::vector<double> values;
    for (int i = 100000; i >= 1; --i) values.push_back(i);
    QCOMPARE(MedianOf(values), 50000.5);
  }
};

QTEST_APPLESS_MAIN(TestStatistics)
#include "test_core_statistics.moc"
