#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QtTest>

#include "research/LVMainGrid.h"
#include "research/Price1.h"
#include "research/ResearchGridModel.h"

using namespace qb;

class TestGridClipboard : public QObject {
  Q_OBJECT

 private slots:
  // Ctrl+C copies the selected rows in grid order, not the current cell;
  // Ctrl+A selects every row.
  void copyAndSelectAll() {
    ResearchGridModel model;
    model.AddGridRow("First", "11", "2", "1.50");
    model.AddGridRow("Second", "12", "0", "2.00");
    model.AddGridRow("Third", "13", "5", "3.25", {"2026-07-20", "0.00", "Used, good"});
    LVMainGridView view(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setCurrentIndex(model.index(2, 3));
    view.SelectRows({1, 0, 1});
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    // Sold as stored (ISO 8601), not as the grid shows it.
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("11\t2\t1.50\tFirst\t\t\t\n13\t5\t3.25\tThird\t2026-07-20\t0.00\tUsed, good\n"));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view.SelectedCount(), 3);
  }

  void exportBeforeExit() {
    TfrmMainPrice window;
    QMenu* file = window.menuBar()->findChild<QMenu*>("FileMenu");
    QVERIFY(file);
    QStringList items;
    for (QAction* action : file->actions()) items << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(items, (QStringList{"New Research", "Open Research...", "Open Recent", "Save Research As...",
                                 "-", "Search Start Page", "Export Grid...", "-", "Exit"}));
  }
};

QTEST_MAIN(TestGridClipboard)
#include "test_grid_clipboard.moc"
