#include <QAccessible>
#include <QLineEdit>
#include <QtTest>

#include "chart/PieChart.h"
#include "controls/ProCtrls.h"
#include "controls/Proconst.h"
#include "runtime/Exception.h"
#include "stats/Chart1.h"
#include "tests/common/ModalCloser.h"

using namespace qb;

namespace {

void Fill(GridRows& grid, const QStringList& amounts) {
  grid.Clear();
  int item = 2000;
  for (const QString& a : amounts) {
    const std::string number = std::to_string(item++);
    grid.AddGridRow("Lot " + number, number, "2", a.toStdString());
  }
}

struct Shown {
  QString high, low, avg, median;
  QList<double> slices;
  QStringList labels;
  bool operator==(const Shown&) const = default;
};

Shown Read(const Tch1& w) {
  Shown s{w.pleHigh->Text(), w.pleLow->Text(), w.pleAvg->Text(), w.pleMedian->Text(), {}, {}};
  for (const TPiePoint& p : w.Series1->points()) {
    s.slices << p.value;
    s.labels << p.label;
  }
  return s;
}

// Clicks OK of the statistics window once it is up; records what it showed.
struct OkClicker {
  int opened = 0;
  Shown shown;
  qbtest::ModalCloser closer;
  OkClicker()
      : closer([this](QDialog* d) {
          if (auto* w = qobject_cast<Tch1*>(d)) {
            ++opened;
            shown = Read(*w);
            w->ProButton1->click();
          } else {
            d->accept();
          }
        }) {}
};

}  // namespace

class TestChart1 : public QObject {
  Q_OBJECT
 private slots:
  void layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("chart") << "Chart1" << QRect(0, 0, 700, 398) << "";
    QTest::newRow("highest") << "pleHigh" << QRect(8, 408, 250, 21) << "Highest:";
    QTest::newRow("lowest") << "pleLow" << QRect(8, 440, 250, 21) << "Lowest:";
    QTest::newRow("average") << "pleAvg" << QRect(264, 408, 250, 21) << "Average:";
    QTest::newRow("median") << "pleMedian" << QRect(264, 440, 250, 21) << "Median:";
    QTest::newRow("ok") << "ProButton1" << QRect(569, 431, 75, 25) << "OK";
  }
  void layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    GridRows grid;
    Tch1 w(grid);
    QCOMPARE(w.size(), QSize(700, 500));
    QCOMPARE(w.windowTitle(), QString());
    auto* child = w.findChild<QWidget*>(name);
    QVERIFY(child);
    QCOMPARE(child->geometry(), geometry);
    if (auto* edit = qobject_cast<TProLabelEdit*>(child)) {
      QCOMPARE(edit->Caption(), caption);
      QVERIFY(edit->ReadOnly());
      QCOMPARE(edit->LabelWidth(), 100);
      QCOMPARE(edit->Edit()->geometry().left(), 100);
      QVERIFY(!edit->Edit()->hasFrame());
    }
    if (auto* button = qobject_cast<TProButton*>(child)) {
      QCOMPARE(button->Caption(), caption);
      QCOMPARE(button->ModalResult(), mrOk);
    }
  }

  void tabOrder() {
    GridRows grid;
    Tch1 w(grid);
    QList<QWidget*> expected = {w.Chart1,         w.ProButton1,     w.pleHigh->Edit(),
                                w.pleLow->Edit(), w.pleAvg->Edit(), w.pleMedian->Edit()};
    QList<QWidget*> chain;
    QWidget* at = w.Chart1;
    do {
      if (at->focusPolicy() & Qt::TabFocus) chain << at;
      at = at->nextInFocusChain();
    } while (at != w.Chart1 && chain.size() < 20);
    QCOMPARE(chain.mid(0, expected.size()), expected);
  }

  void figuresAndChart_data() {
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QStringList>("figures");
    QTest::addColumn<QList<double>>("slices");
    QTest::newRow("one per range") << QStringList{"10", "20", "30", "40"}
                                   << QStringList{"40", "10", "25", "25"} << QList<double>{1, 1, 1, 1};
    QTest::newRow("bounds go up") << QStringList{"0", "25", "50", "100"}
                                  << QStringList{"100", "0", "43.75", "37.5"} << QList<double>{1, 1, 1, 1};
    QTest::newRow("skewed") << QStringList{"1", "2", "3", "100"} << QStringList{"100", "1", "26.5", "2.5"}
                            << QList<double>{3, 0, 0, 1};
    QTest::newRow("all equal") << QStringList{"10", "10", "10", "10"} << QStringList{"10", "10", "10", "10"}
                               << QList<double>{0, 0, 0, 4};
    QTest::newRow("all zero") << QStringList{"0", "0", "0", "0"} << QStringList{"0", "0", "0", "0"}
                              << QList<double>{0, 0, 0, 4};
    QTest::newRow("seven sixths") << QStringList{"1", "1", "1", "1", "1", "2"}
                                  << QStringList{"2", "1", "1.16666666666667", "1"}
                                  << QList<double>{5, 0, 0, 1};
    QTest::newRow("true lowest") << QStringList{"10000000", "12000000", "16000000", "18000000"}
                                 << QStringList{"18000000", "10000000", "14000000", "14000000"}
                                 << QList<double>{1, 1, 0, 2};
  }
  void figuresAndChart() {
    QFETCH(QStringList, amounts);
    QFETCH(QStringList, figures);
    QFETCH(QList<double>, slices);
    GridRows grid;
    Fill(grid, amounts);
    Tch1 w(grid);
    OkClicker ok;
    QCOMPARE(w.ShowModal(), mrOk);
    QCOMPARE(ok.opened, 1);
    const Shown expected{figures[0], figures[1], figures[2],
                         figures[3], slices,     {"Low", "Mid-Low", "Mid-High", "High"}};
    QCOMPARE(ok.shown, expected);
    QCOMPARE(Read(w), expected);  // kept while hidden
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(w.Series1->points()[size_t(i)].x, double(i));
      QCOMPARE(w.Series1->points()[size_t(i)].color, AutoColor(i));
    }
    QCOMPARE(w.GetHighest(), figures[0]);
    QCOMPARE(w.GetLowest(), figures[1]);
    QCOMPARE(w.GetAverage(), figures[2]);
    QCOMPARE(int(grid.size()), int(amounts.size()));
  }

  void everyShowingRereadsTheGrid() {
    GridRows grid;
    Fill(grid, {"10", "20", "30", "40", "50"});
    Tch1 w(grid);
    OkClicker ok;
    w.ShowModal();
    const Shown first = Read(w);
    w.ShowModal();
    QCOMPARE(Read(w), first);
    grid.RemoveFlagged({0, 0, 0, 0, 1});  // pruning between showings
    w.ShowModal();
    QCOMPARE(ok.opened, 3);
    QCOMPARE(Read(w).high, QString("40"));
    QCOMPARE(Read(w).avg, QString("25"));
    QVERIFY(!(Read(w) == first));
  }

  void badAmountKeepsWindowClosed() {
    GridRows grid;
    Fill(grid, {"10", "20", "30", "40"});
    Tch1 w(grid);
    OkClicker ok;
    w.ShowModal();
    const Shown before = Read(w);
    Fill(grid, {"10", "1.2.3", "30", "4..0"});
    try {
      w.ShowModal();
      QFAIL("no exception");
    } catch (const Exception& e) {
      QCOMPARE(QString::fromUtf8(e.what()), QString("'1.2.3' is not a valid floating point value"));
    }
    QCOMPARE(ok.opened, 1);
    QVERIFY(!w.isVisible());
    QCOMPARE(Read(w), before);
    QCOMPARE(grid[1].amount, std::string("1.2.3"));
  }

  void closeButtonCancels() {
    GridRows grid;
    Fill(grid, {"1", "2", "3", "4"});
    Tch1 w(grid);
    qbtest::ModalCloser closer([](QDialog* d) { d->close(); });
    QCOMPARE(w.ShowModal(), int(QDialog::Rejected));
  }

  void centredOnParent() {
    QWidget research;
    research.setGeometry(100, 80, 1000, 700);
    research.show();
    GridRows grid;
    Fill(grid, {"1", "2", "3", "4"});
    Tch1 w(grid, &research);
    QPoint centre;
    qbtest::ModalCloser closer([&](QDialog* d) {
      centre = d->frameGeometry().center();
      d->accept();
    });
    w.ShowModal();
    QVERIFY2((centre - research.frameGeometry().center()).manhattanLength() <= 6,
             qPrintable(QString("%1,%2").arg(centre.x()).arg(centre.y())));
  }

  void accessibility() {
    GridRows grid;
    Fill(grid, {"10", "20", "30", "40", "45"});
    Tch1 w(grid);
    w.FormShow();
    QAccessibleInterface* high = QAccessible::queryAccessibleInterface(w.pleHigh);
    QVERIFY(high);
    QCOMPARE(high->text(QAccessible::Name), QString("Highest:"));
    QCOMPARE(high->text(QAccessible::Value), QString("45"));
    QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(w.pleMedian->Edit());
    QCOMPARE(edit->text(QAccessible::Name), QString("Median:"));
    QCOMPARE(edit->text(QAccessible::Value), QString("30"));
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(w.Chart1);
    QCOMPARE(chart->text(QAccessible::Description), QString("Low: 1, Mid-Low: 1, Mid-High: 1, High: 2"));
  }
};

QTEST_MAIN(TestChart1)
#include "test_chart1.moc"
