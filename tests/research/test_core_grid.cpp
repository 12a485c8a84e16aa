#include <QtTest>

#include "research/GridRows.h"
#include "research/GridRules.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"

using namespace qb;

namespace {

GridRows Make(const QStringList& itemNumbers) {
  GridRows rows;
  for (const QString& item : itemNumbers) rows.AddGridRow("Lamp", item.toStdString(), "1", "5.00");
  return rows;
}

QStringList Items(const GridRows& rows) {
  QStringList items;
  for (const ResearchRow& r : rows.rows()) items << QString::fromStdString(r.itemNumber);
  return items;
}

int Plain(std::string_view a, std::string_view b) { return a.compare(b); }

}  // namespace

class TestGridCore : public QObject {
  Q_OBJECT
 private slots:
  // clang-format off
  void addGridRow_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("added");
    QTest::newRow("new") << QStringList{"1234"} << "Lamp" << "5678" << "5.00" << true;
    QTest::newRow("prefix is not a match") << QStringList{"1234"} << "Lamp" << "123" << "5.00" << true;
    QTest::newRow("longer is not a match") << QStringList{"123"} << "Lamp" << "1234" << "5.00" << true;
    QTest::newRow("duplicate") << QStringList{"1234"} << "Lamp" << "1234" << "9.00" << false;
    QTest::newRow("duplicate other case") << QStringList{"ab12"} << "Lamp" << "AB12" << "9.00" << false;
    QTest::newRow("empty description") << QStringList{} << "" << "1" << "5.00" << false;
    QTest::newRow("foreign") << QStringList{} << "Lamp" << "1" << "FOREIGN" << false;
    QTest::newRow("foreign other case is an amount") << QStringList{} << "Lamp" << "1" << "foreign" << true;
  }
  // clang-format on
  void addGridRow() {
    QFETCH(QStringList, present);
    QFETCH(QString, description);
    QFETCH(QString, item);
    QFETCH(QString, amount);
    QFETCH(bool, added);
    GridRows rows = Make(present);
    QCOMPARE(rows.AddGridRow(description.toStdString(), item.toStdString(), "3", amount.toStdString()),
             added);
    QCOMPARE(int(rows.size()), present.size() + (added ? 1 : 0));
    if (added) {
      const ResearchRow& last = rows.rows().back();
      QCOMPARE(QString::fromStdString(last.itemNumber), item);
      QCOMPARE(QString::fromStdString(last.bids), QString("3"));
      QCOMPARE(QString::fromStdString(last.description), description);
      QVERIFY(!last.checked);
    }
  }

  // Sequences of adds: "description|item number|amount", and which were taken.
  void addSequence_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("taken");
    QTest::newRow("new, duplicate, letter case")
        << QStringList{"a|45A1|1", "b|45a1|2", "c|45A1|3", "d|45b|4"} << "1001";
    QTest::newRow("empty description, then the same item") << QStringList{"|7|1", "x|7|1", "y|7|1"} << "010";
    QTest::newRow("foreign, then the same item in dollars") << QStringList{"x|8|FOREIGN", "x|8|2.00"} << "01";
    QTest::newRow("foreign spelled otherwise is an amount")
        << QStringList{"x|9|foreign", "y|10|FOREIGN "} << "11";
    QTest::newRow("empty item numbers dedupe") << QStringList{"x||1", "y||2"} << "10";
    QTest::newRow("non-ASCII letters keep their case")
        << QStringList{"x|\u00c9t\u00e9|1", "y|\u00e9t\u00e9|1", "z|\u00c9T\u00c9|1"} << "111";
    QTest::newRow("leading zeros and periods make other numbers")
        << QStringList{"x|7|1", "x|07|1", "x|007|1", "x|7.|1", "x|.7|1", "x|07|1", "x|7.|1"} << "1111100";
    QTest::newRow("fifteen and sixteen digits")
        << QStringList{"x|123456789012345|1",  "x|123456789012345|1",  "x|1234567890123456|1",
                       "x|1234567890123456|1", "x|0123456789012345|1", "x|12345678901234|1"}
        << "101011";
    QStringList many;  // grows the index several times, with prefixes of each other
    QString taken;
    for (int i = 0; i < 5000; ++i) {
      many << QString("x|%1|1").arg(i % 3000) << QString("x|I%1|1").arg(i);
      taken += i < 3000 ? "11" : "01";
    }
    QTest::newRow("thousands") << many << taken;
  }
  void addSequence() {
    QFETCH(QStringList, rows);
    QFETCH(QString, taken);
    GridRows grid;
    for (qsizetype k = 0; k < rows.size(); ++k) {
      const QStringList parts = rows[k].split('|');
      const bool added =
          grid.AddGridRow(parts[0].toStdString(), parts[1].toStdString(), "1", parts[2].toStdString());
      QVERIFY2(added == (taken[k] == '1'), qPrintable(rows[k]));
    }
  }

  void duplicateKeepsOldRow() {
    GridRows rows = Make({"1", "2"});
    rows.SetChecked(0, true);
    QVERIFY(!rows.AddGridRow("Other", "1", "9", "99.00"));
    QCOMPARE(rows[0].description, std::string("Lamp"));
    QCOMPARE(rows[0].amount, std::string("5.00"));
    QVERIFY(rows[0].checked);
  }

  void retypedNumbersAreComparedAfterwards() {
    GridRows rows = Make({"100", "200"});
    rows.SetItemNumber(0, "300");
    QVERIFY(rows.AddGridRow("Lamp", "100", "1", "1"));   // the old number is free again
    QVERIFY(!rows.AddGridRow("Lamp", "300", "1", "1"));  // the retyped one is taken
    // Retyping onto an existing number: both rows keep it until both are gone.
    rows.SetItemNumber(1, "300");
    rows.RemoveFlagged({1});
    QVERIFY(!rows.AddGridRow("Lamp", "300", "1", "1"));
  }

  void readdAfterDeletionAndClear() {
    GridRows rows = Make({"1", "2", "3"});
    rows.RemoveFlagged({0, 1, 0});
    QCOMPARE(Items(rows), QStringList({"1", "3"}));
    QVERIFY(rows.AddGridRow("Lamp", "2", "1", "1"));
    QCOMPARE(Items(rows), QStringList({"1", "3", "2"}));
    rows.Clear();
    QVERIFY(rows.AddGridRow("Lamp", "1", "1", "1"));
  }

  void newRowsGoLastAfterReorder() {
    GridRows rows = Make({"1", "2", "3"});
    rows.Reorder({2, 0, 1});
    QVERIFY(rows.AddGridRow("Lamp", "4", "1", "1"));
    QCOMPARE(Items(rows), QStringList({"3", "1", "2", "4"}));
  }

  void zeroBid_data() {
    QTest::addColumn<QString>("bids");
    QTest::addColumn<bool>("goes");
    QTest::addColumn<QString>("error");
    QTest::newRow("0") << "0" << true << "";
    QTest::newRow("00") << "00" << true << "";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("minus") << "-" << true << "";
    QTest::newRow("letters") << "--" << true << "";
    QTest::newRow("blank inside") << "1 2" << true << "";
    QTest::newRow("1") << "1" << false << "";
    QTest::newRow("12") << "12" << false << "";
    QTest::newRow("fraction") << "1.5" << false << "'1.5' is not a valid integer value";
    QTest::newRow("too big") << "99999999999" << false << "'99999999999' is not a valid integer value";
  }
  void zeroBid() {
    QFETCH(QString, bids);
    QFETCH(bool, goes);
    QFETCH(QString, error);
    try {
      QCOMPARE(IsZeroBid(bids.toStdString()), goes);
      QVERIFY(error.isEmpty());
    } catch (const Exception& e) {
      QCOMPARE(QString::fromStdString(e.what()), error);
    }
  }

  void removalStopsAtFailure() {
    const std::vector<std::string> bids = {"0", "5", "0", "1.5", "0"};
    RemovalScan scan = ScanForRemoval(bids.size(), [&](size_t i) { return IsZeroBid(bids[i]); });
    QVERIFY(scan.error);
    QCOMPARE(scan.removed, size_t(2));
    QCOMPARE(scan.flags, std::vector<char>({1, 0, 1, 0, 0}));
  }

  // clang-format off
  void filterValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("value");
    QTest::newRow("period") << "25.00" << "." << true << 25.0f;
    QTest::newRow("comma locale takes comma") << "1,5" << "," << true << 1.5f;
    QTest::newRow("comma locale takes period") << "1.5" << "," << true << 1.5f;
    QTest::newRow("letters") << "abc" << "." << false << 0.0f;
    QTest::newRow("dollar") << "$5" << "." << false << 0.0f;
    QTest::newRow("comma under period") << "1,5" << "." << false << 0.0f;
    QTest::newRow("empty") << "" << "." << false << 0.0f;
    // Rounded once, from the text's exact value: through double the first
    // would land on the midpoint 16777217 and tie down to 16777216.
    QTest::newRow("just above a single midpoint") << "16777217.000000001" << "." << true << 16777218.0f;
    QTest::newRow("single midpoint ties to even") << "16777217" << "." << true << 16777216.0f;
    QTest::newRow("just below a single midpoint") << "16777218.999999999" << "." << true << 16777218.0f;
  }
  // clang-format on
  void filterValue() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(bool, ok);
    QFETCH(float, value);
    try {
      // Nine digits tell every float apart; QCOMPARE on floats is fuzzy.
      QCOMPARE(QString::number(FilterValue(text.toStdString(), separator.toLatin1()[0]), 'g', 9),
               QString::number(value, 'g', 9));
      QVERIFY(ok);
    } catch (const Exception& e) {
      QVERIFY(!ok);
      QCOMPARE(QString::fromStdString(e.what()), "'" + text + "' is not a valid floating point value");
    }
  }

  // clang-format off
  void priceFilterEdges_data() {
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("aboveGoes");
    QTest::addColumn<bool>("belowGoes");
    QTest::newRow("25 at 25") << "25" << "25.00" << false << false;
    QTest::newRow("24.99 at 25") << "24.99" << "25.00" << false << true;
    QTest::newRow("25.01 at 25") << "25.01" << "25.00" << true << false;
    QTest::newRow("9.99 at 10") << "9.99" << "10" << false << true;
    QTest::newRow("10.00 at 10") << "10.00" << "10" << false << false;
    QTest::newRow("single precision ties") << "1234567.01" << "1234567.02" << false << false;
    QTest::newRow("dollar removed") << "$30" << "25" << true << false;
  }
  // clang-format on
  void priceFilterEdges() {
    QFETCH(QString, amount);
    QFETCH(QString, filter);
    QFETCH(bool, aboveGoes);
    QFETCH(bool, belowGoes);
    const float f = FilterValue(filter.toStdString(), '.');
    QCOMPARE(PriceFilterRemoves(amount.toStdString(), f, true), aboveGoes);
    QCOMPARE(PriceFilterRemoves(amount.toStdString(), f, false), belowGoes);
  }

  void amountWithTwoPeriodsFails() { QVERIFY_THROWS_EXCEPTION(Exception, GridAmountValue("1.2.3")); }

  // clang-format off
  void compareNumeric_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("result");
    QTest::newRow("larger first, +1") << "10" << "9" << 1 << -1;
    QTest::newRow("smaller first, +1") << "9" << "10" << 1 << 1;
    QTest::newRow("larger first, -1") << "10" << "9" << -1 << 1;
    QTest::newRow("equal") << "5.0" << "5" << 1 << 0;
    QTest::newRow("single precision equal") << "1234567.01" << "1234567.02" << 1 << 0;
    QTest::newRow("non-numeric first") << "--" << "5" << 1 << 0;
    QTest::newRow("non-numeric second") << "5" << "" << -1 << 0;
    QTest::newRow("two periods") << "1.2.3" << "5" << 1 << 0;
  }
  // clang-format on
  void compareNumeric() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, direction);
    QFETCH(int, result);
    QCOMPARE(CompareNumericCells(first.toStdString(), second.toStdString(), direction), result);
  }

  // clang-format off
  void isoDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("date");
    QTest::newRow("date") << "2026-07-20" << true;
    QTest::newRow("leap day") << "2024-02-29" << true;
    QTest::newRow("leap day of 2000") << "2000-02-29" << true;
    QTest::newRow("no leap day in 1900") << "1900-02-29" << false;
    QTest::newRow("no leap day in 2025") << "2025-02-29" << false;
    QTest::newRow("31 April") << "2026-04-31" << false;
    QTest::newRow("31 December") << "2026-12-31" << true;
    QTest::newRow("month 13") << "2026-13-01" << false;
    QTest::newRow("month 00") << "2026-00-10" << false;
    QTest::newRow("day 00") << "2026-07-00" << false;
    QTest::newRow("year 0000") << "0000-01-01" << true;
    QTest::newRow("unpadded") << "2026-7-20" << false;
    QTest::newRow("slashes") << "2026/07/20" << false;
    QTest::newRow("time after it") << "2026-07-20T10:00" << false;
    QTest::newRow("blank after it") << "2026-07-20 " << false;
    QTest::newRow("letter in the month") << "2026-0a-20" << false;
    QTest::newRow("sign in the day") << "2026-07-+2" << false;
    QTest::newRow("empty") << "" << false;
  }
  // clang-format on
  void isoDate() {
    QFETCH(QString, text);
    QFETCH(bool, date);
    const std::optional<IsoDate> read = ReadIsoDate(text.toStdString());
    QCOMPARE(read.has_value(), date);
    if (read) QCOMPARE(QString::asprintf("%04d-%02d-%02d", read->year, read->month, read->day), text);
  }

  // The sort order the grid uses, and CompareGridRows agreeing with it on
  // every neighbouring pair; texts in plain byte order here. A "#tag" after a
  // cell tells equal cells apart; it is not part of the cell.
  void sortOrder_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("item numbers as text") << int(kItemNumberColumn) << 1 << QStringList{"99", "1000", "100"}
                                          << QStringList{"100", "1000", "99"};
    QTest::newRow("item numbers backwards")
        << int(kItemNumberColumn) << -1 << QStringList{"100", "99", "1000"}
        << QStringList{"99", "1000", "100"};
    QTest::newRow("description") << int(kDescriptionColumn) << 1 << QStringList{"apple", "Banana", "Apple"}
                                 << QStringList{"Apple", "Banana", "apple"};
    QTest::newRow("bids largest first")
        << int(kBidsColumn) << 1 << QStringList{"2", "10", "1"} << QStringList{"10", "2", "1"};
    QTest::newRow("amount smallest first")
        << int(kAmountColumn) << -1 << QStringList{"7.00", "12.50", "5"} << QStringList{"5", "7.00", "12.50"};
    QTest::newRow("single precision ties keep their order")
        << int(kAmountColumn) << 1 << QStringList{"1234567.01", "3", "1234567.02"}
        << QStringList{"1234567.01", "1234567.02", "3"};
    QTest::newRow("sold oldest first, empties first")
        << int(kSoldColumn) << 1 << QStringList{"2026-07-20", "", "2025-12-31", "2026-01-05"}
        << QStringList{"", "2025-12-31", "2026-01-05", "2026-07-20"};
    QTest::newRow("sold newest first, empties last")
        << int(kSoldColumn) << -1 << QStringList{"2026-01-05", "", "2026-07-20", "2025-12-31"}
        << QStringList{"2026-07-20", "2026-01-05", "2025-12-31", ""};
    QTest::newRow("sold by the date, not the text")
        << int(kSoldColumn) << 1 << QStringList{"2026-10-01", "2026-09-30", "1999-12-31"}
        << QStringList{"1999-12-31", "2026-09-30", "2026-10-01"};
    QTest::newRow("sold equal dates keep their order")
        << int(kSoldColumn) << 1 << QStringList{"2026-03-01#a", "2026-02-01", "2026-03-01#b", "2026-03-01#c"}
        << QStringList{"2026-02-01", "2026-03-01#a", "2026-03-01#b", "2026-03-01#c"};
    QTest::newRow("sold equal dates keep their order backwards")
        << int(kSoldColumn) << -1 << QStringList{"2026-03-01#a", "2026-02-01", "2026-03-01#b", "#x", "#y"}
        << QStringList{"2026-03-01#a", "2026-03-01#b", "2026-02-01", "#x", "#y"};
    QTest::newRow("sold bad cell stays first")
        << int(kSoldColumn) << 1 << QStringList{"July 20", "2026-05-01", "2026-01-01"}
        << QStringList{"July 20", "2026-01-01", "2026-05-01"};
    QTest::newRow("sold bad cell stays last")
        << int(kSoldColumn) << 1 << QStringList{"2026-05-01", "2026-01-01", "2026-7-20"}
        << QStringList{"2026-01-01", "2026-05-01", "2026-7-20"};
    QTest::newRow("sold no date compares equal with empties too")
        << int(kSoldColumn) << 1 << QStringList{"2026-02-30", "", "2026-01-01"}
        << QStringList{"2026-02-30", "", "2026-01-01"};
    QTest::newRow("delivery largest first, empties last")
        << int(kDeliveryColumn) << 1 << QStringList{"", "7.00", "0.00", "12.5"}
        << QStringList{"12.5", "7.00", "0.00", ""};
    QTest::newRow("delivery smallest first, empties first")
        << int(kDeliveryColumn) << -1 << QStringList{"7.00", "", "0.00", "12.5"}
        << QStringList{"", "0.00", "7.00", "12.5"};
    QTest::newRow("delivery equal amounts keep their order")
        << int(kDeliveryColumn) << 1 << QStringList{"7.00", "9", "7"} << QStringList{"9", "7.00", "7"};
    QTest::newRow("delivery single precision ties keep their order")
        << int(kDeliveryColumn) << -1 << QStringList{"1234567.02", "3", "1234567.01"}
        << QStringList{"3", "1234567.02", "1234567.01"};
    QTest::newRow("delivery bad cell stays first")
        << int(kDeliveryColumn) << 1 << QStringList{"free", "3.00", "9.00"}
        << QStringList{"free", "9.00", "3.00"};
    QTest::newRow("delivery with a dollar is bad")
        << int(kDeliveryColumn) << -1 << QStringList{"$1.00", "3.00", "2.00"}
        << QStringList{"$1.00", "2.00", "3.00"};
    QTest::newRow("condition empties first")
        << int(kConditionColumn) << 1 << QStringList{"Used", "", "New"} << QStringList{"", "New", "Used"};
    QTest::newRow("condition empties last backwards")
        << int(kConditionColumn) << -1 << QStringList{"", "New", "Used"} << QStringList{"Used", "New", ""};
  }
  void sortOrder() {
    QFETCH(int, column);
    QFETCH(int, direction);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, sorted);
    std::vector<ResearchRow> rows;
    for (int i = 0; i < cells.size(); ++i) {
      ResearchRow row;
      row.itemNumber = std::to_string(i + 1);
      row.bids = "1";
      row.amount = "1.00";
      row.description = "Lamp";
      std::string* cell[] = {&row.itemNumber, &row.bids,     &row.amount,   &row.description,
                             &row.sold,       &row.delivery, &row.condition};
      *cell[column] = cells[i].section('#', 0, 0).toStdString();
      rows.push_back(row);
    }
    const std::vector<size_t> order =
        GridSortOrder(rows, rows.size(), column, direction, [&](size_t a, size_t b) {
          return Plain(GridCellText(rows[a], column), GridCellText(rows[b], column));
        });
    QStringList got;
    for (size_t i : order) got << cells[qsizetype(i)];
    QCOMPARE(got, sorted);
    for (size_t k = 1; k < order.size(); ++k)
      QVERIFY(CompareGridRows(rows[order[k - 1]], rows[order[k]], column, direction, Plain) <= 0);
  }

  void mergeSortIsStableAndTotal() {
    // Keys with ties and "incomparable" entries (-1) that never go first.
    const std::vector<int> keys = {3, -1, 1, 3, -1, 2, 1, 0, 3};
    auto before = [&](size_t a, size_t b) { return keys[a] >= 0 && keys[b] >= 0 && keys[a] < keys[b]; };
    const std::vector<size_t> order = MergeSortOrder(keys.size(), before);
    QCOMPARE(order.size(), keys.size());
    std::vector<size_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i) QCOMPARE(sorted[i], i);  // a permutation
    // An inconsistent comparison (always "goes first") still terminates.
    QCOMPARE(MergeSortOrder(1000, [](size_t, size_t) { return true; }).size(), size_t(1000));
    // Equal keys keep their order.
    const std::vector<int> flat(50, 7);
    const std::vector<size_t> same =
        MergeSortOrder(flat.size(), [&](size_t a, size_t b) { return flat[a] < flat[b]; });
    for (size_t i = 0; i < same.size(); ++i) QCOMPARE(same[i], i);
  }
};

QTEST_APPLESS_MAIN(TestGridCore)
#include "test_core_grid.moc"
