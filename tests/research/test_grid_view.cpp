#include <QHeaderView>
#include <QStyle>
#include <QtTest>

#include "research/GridRows.h"
#include "research/LVMainGrid.h"
#include "research/ResearchGridModel.h"

using namespace qb;

namespace {

constexpr int kFitted[] = {kSoldColumn, kDeliveryColumn, kConditionColumn};

// Whether the cell's text fits its column beside the delegate's text margins.
bool Fits(const LVMainGridView& view, int row, int column) {
  const QString text = view.model()->index(row, column).data().toString();
  const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
  return view.columnWidth(column) >= view.fontMetrics().horizontalAdvance(text) + 2 * margin;
}

}  // namespace

// Column widths: the four first columns keep theirs; Sold, Delivery and
// Condition fit their captions and grow with the rows that arrive.
class TestGridView : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
  void cleanup() { QLocale::setDefault(QLocale::system()); }

  void startsAtTheCaptions() {
    ResearchGridModel model;
    LVMainGridView view(&model);
    QCOMPARE(view.columnWidth(kBidsColumn), 50);
    QCOMPARE(view.columnWidth(kAmountColumn), 50);
    QCOMPARE(view.columnWidth(kDescriptionColumn), 650);
    for (const int c : kFitted) {
      const QString caption = model.headerData(c, Qt::Horizontal).toString();
      QVERIFY(view.columnWidth(c) >= view.horizontalHeader()->fontMetrics().horizontalAdvance(caption));
      QCOMPARE(view.columnWidth(c), view.horizontalHeader()->sectionSizeHint(c));
    }
    for (int c = 0; c < model.columnCount(); ++c)
      QCOMPARE(view.horizontalHeader()->sectionResizeMode(c), QHeaderView::Interactive);
  }

  // Rows "sold|delivery|condition" added in one batch or one by one; the
  // widths once the event loop has run.
  void growsWithTheRows_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("oneByOne");
    QTest::addColumn<int>("widestCondition");  // the row whose Condition must fit; -1: capped
    const QString longest = "For parts or not working, scratches on the lid";
    QTest::newRow("batch") << QStringList{"2026-07-20|7.00|Used", "2026-12-31|12.50|" + longest, "||"}
                           << false << 1;
    QTest::newRow("one by one") << QStringList{"||New", "2026-12-31|0.00|" + longest, "2026-01-01|1|Used"}
                                << true << 1;
    QTest::newRow("a date that is no date shows as stored")
        << QStringList{"2026-02-30 (estimated)|7.00|New"} << true << 0;
    QTest::newRow("a very long condition is capped") << QStringList{"||" + QString(300, 'W')} << false << -1;
    QStringList many;
    for (int i = 0; i < 30000; ++i)
      many << QString("2026-03-%1|%2.00|%3").arg(1 + i % 28).arg(i % 90).arg(i % 7 ? "Used" : longest);
    QTest::newRow("thousands, sampled") << many << false << 0;
  }
  void growsWithTheRows() {
    QFETCH(QStringList, rows);
    QFETCH(bool, oneByOne);
    QFETCH(int, widestCondition);
    ResearchGridModel model;
    LVMainGridView view(&model);
    if (!oneByOne) model.BeginAdding();
    for (int i = 0; i < rows.size(); ++i) {
      const QStringList d = rows[i].split('|');
      const std::string sold = d[0].toStdString(), delivery = d[1].toStdString(),
                        condition = d[2].toStdString();
      QVERIFY(model.AddGridRow("Lamp", std::to_string(i + 1), "1", "9.00", {sold, delivery, condition}));
    }
    if (!oneByOne) model.EndAdding();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(view.columnWidth(kDescriptionColumn), 650);
    for (int r = 0; r < std::min<int>(rows.size(), 50); ++r) {
      QVERIFY2(Fits(view, r, kSoldColumn), qPrintable(model.index(r, kSoldColumn).data().toString()));
      QVERIFY2(Fits(view, r, kDeliveryColumn), qPrintable(rows[r]));
    }
    if (widestCondition >= 0) {
      QVERIFY(Fits(view, widestCondition, kConditionColumn));
      QVERIFY(view.columnWidth(kConditionColumn) < 400);
    } else {
      QCOMPARE(view.columnWidth(kConditionColumn), 400);
    }
  }

  // Widths never shrink as rows come and go; an empty grid is back at the captions.
  void shrinksOnlyWhenCleared() {
    ResearchGridModel model;
    LVMainGridView view(&model);
    const int caption = view.columnWidth(kConditionColumn);
    model.AddGridRow("Lamp", "1", "1", "9.00", {"2026-07-20", "7.00", "Used, in its original box"});
    QCoreApplication::sendPostedEvents();
    const int wide = view.columnWidth(kConditionColumn);
    QVERIFY(wide > caption);
    model.AddGridRow("Lamp", "2", "1", "9.00", {"", "", "New"});
    model.RemoveFlagged({1});
    QCoreApplication::sendPostedEvents();
    QCOMPARE(view.columnWidth(kConditionColumn), wide);
    // Rows added and the grid cleared before the fit runs: nothing left to fit.
    model.AddGridRow("Lamp", "3", "1", "9.00", {"", "", QString(80, 'W').toStdString()});
    model.Clear();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(view.columnWidth(kConditionColumn), caption);
    QCOMPARE(view.columnWidth(kSoldColumn), view.horizontalHeader()->sectionSizeHint(kSoldColumn));
  }

  // Another research's rows in place of the grid's.
  void growsWithReplacedRows() {
    ResearchGridModel model;
    LVMainGridView view(&model);
    GridRows rows;
    rows.AddGridRow("Lamp", "1", "1", "9.00", {"2026-07-20", "17.00", "Used, in its original box"});
    model.ReplaceRows(std::move(rows));
    QCoreApplication::sendPostedEvents();
    for (const int c : kFitted) QVERIFY2(Fits(view, 0, c), qPrintable(QString::number(c)));
  }

  // A larger font widens the columns to the captions and texts in that font.
  void refitsOnAFontChange() {
    ResearchGridModel model;
    LVMainGridView view(&model);
    model.AddGridRow("Lamp", "1", "1", "9.00", {"2026-07-20", "17.00", "Used"});
    QCoreApplication::sendPostedEvents();
    QFont font = view.font();
    font.setPointSize(font.pointSize() * 3);
    view.setFont(font);
    QCoreApplication::sendPostedEvents();
    for (const int c : kFitted) {
      QVERIFY(Fits(view, 0, c));
      QVERIFY(view.columnWidth(c) >= view.horizontalHeader()->sectionSizeHint(c));
    }
  }
};

QTEST_MAIN(TestGridView)
#include "test_grid_view.moc"
