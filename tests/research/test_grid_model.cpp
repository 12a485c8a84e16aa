#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>

#include "research/GridRows.h"
#include "research/ResearchGridModel.h"

using namespace qb;

namespace {

QStringList Column(const ResearchGridModel& model, int column) {
  QStringList texts;
  for (int r = 0; r < model.rowCount(); ++r) texts << model.index(r, column).data().toString();
  return texts;
}

}  // namespace

// The model's contract with its views, checked the way Qt checks its own models.
class TestGridModel : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    FModel = std::make_unique<ResearchGridModel>();
    FTester = std::make_unique<QAbstractItemModelTester>(
        FModel.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }
  void cleanup() {
    FTester.reset();
    FModel.reset();
    QLocale::setDefault(QLocale::system());
  }

  // What the three last columns show: Sold in the locale's short format
  // unless it is no date, Delivery and Condition as stored.
  void detailsShown_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sold, en_US") << "en_US" << int(kSoldColumn) << "2026-07-20"
                                 << "7/20/26";
    QTest::newRow("sold, de_DE") << "de_DE" << int(kSoldColumn) << "2026-07-20"
                                 << "20.07.26";
    QTest::newRow("sold, fr_FR") << "fr_FR" << int(kSoldColumn) << "2026-01-05"
                                 << "05/01/2026";
    QTest::newRow("sold empty") << "de_DE" << int(kSoldColumn) << ""
                                << "";
    QTest::newRow("sold 30 February as stored") << "de_DE" << int(kSoldColumn) << "2026-02-30"
                                                << "2026-02-30";
    QTest::newRow("sold text as stored") << "en_US" << int(kSoldColumn) << "Jul 20, 2026"
                                         << "Jul 20, 2026";
    QTest::newRow("sold year 0000 as stored") << "en_US" << int(kSoldColumn) << "0000-01-01"
                                              << "0000-01-01";
    QTest::newRow("free delivery") << "de_DE" << int(kDeliveryColumn) << "0.00"
                                   << "0.00";
    QTest::newRow("delivery keeps its period") << "de_DE" << int(kDeliveryColumn) << "7.50"
                                               << "7.50";
    QTest::newRow("delivery not read") << "en_US" << int(kDeliveryColumn) << "see page"
                                       << "see page";
    QTest::newRow("condition") << "en_US" << int(kConditionColumn) << "Used, very good"
                               << "Used, very good";
  }
  void detailsShown() {
    QFETCH(QString, locale);
    QFETCH(int, column);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    std::string cells[3];
    cells[column - kSoldColumn] = stored.toStdString();
    QVERIFY(FModel->AddGridRow("Lamp", "1", "2", "3.00", {cells[0], cells[1], cells[2]}));
    QCOMPARE(FModel->index(0, column).data().toString(), shown);
  }

  // Only the Item Number is checkable and editable; Description and
  // Condition have their text as tooltip.
  void detailsAreReadOnly() {
    FModel->AddGridRow("Lamp", "1", "2", "3.00", {"2026-07-20", "7.00", "Used"});
    QCOMPARE(FModel->columnCount(), 7);
    for (int c = 0; c < FModel->columnCount(); ++c) {
      const QModelIndex cell = FModel->index(0, c);
      QCOMPARE(bool(cell.flags() & Qt::ItemIsEditable), c == kItemNumberColumn);
      QCOMPARE(bool(cell.flags() & Qt::ItemIsUserCheckable), c == kItemNumberColumn);
      QCOMPARE(cell.data(Qt::CheckStateRole).isValid(), c == kItemNumberColumn);
      QCOMPARE(cell.data(Qt::ToolTipRole).isValid(), c == kDescriptionColumn || c == kConditionColumn);
      if (c != kItemNumberColumn) QVERIFY(!FModel->setData(cell, QStringLiteral("x"), Qt::EditRole));
    }
    QCOMPARE(FModel->index(0, kConditionColumn).data(Qt::ToolTipRole).toString(), QStringLiteral("Used"));
  }

  // The model's sort of the new columns: Sold by the stored date, not by the
  // text shown; Condition in locale order, letter case ignored, equal texts
  // and empties in their order.
  void detailsSort_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("sold by date, not by the short text")
        << "en_US" << int(kSoldColumn) << 1 << QStringList{"2026-10-01", "2026-09-30", ""}
        << QStringList{"3", "2", "1"};
    QTest::newRow("condition, letter case ignored")
        << "en_US" << int(kConditionColumn) << 1 << QStringList{"used", "New", "", "USED", "parts"}
        << QStringList{"3", "2", "5", "1", "4"};
    QTest::newRow("condition, letter case ignored, C locale")
        << "C" << int(kConditionColumn) << 1 << QStringList{"used", "New", "", "USED", "parts"}
        << QStringList{"3", "2", "5", "1", "4"};
    QTest::newRow("condition backwards, empties last")
        << "de_DE" << int(kConditionColumn) << -1 << QStringList{"", "\u00c4hnlich neu", "Gebraucht", "Neu"}
        << QStringList{"4", "3", "2", "1"};
    // More spellings than an insertion sort handles: equal texts still keep their order.
    QStringList spellings, news, useds;
    for (int i = 0; i < 48; ++i) {
      QString word = i % 3 ? "used" : "new";
      for (int b = 0; b < word.size(); ++b)
        if ((i >> b) & 1) word[b] = word[b].toUpper();
      spellings << word;
      (i % 3 ? useds : news) << QString::number(i + 1);
    }
    for (const char* locale : {"en_US", "C"})
      QTest::addRow("many spellings of two texts, %s", locale)
          << locale << int(kConditionColumn) << 1 << spellings << news + useds;
    QTest::newRow("condition of ignorable marks after the empty")
        << "en_US" << int(kConditionColumn) << 1 << QStringList{"\u200b", "", "New"}
        << QStringList{"2", "1", "3"};
  }
  void detailsSort() {
    QFETCH(QString, locale);
    QFETCH(int, column);
    QFETCH(int, direction);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, items);
    QLocale::setDefault(QLocale(locale));
    for (int i = 0; i < cells.size(); ++i) {
      std::string details[3];
      details[column - kSoldColumn] = cells[i].toStdString();
      FModel->AddGridRow("Lamp", std::to_string(i + 1), "1", "1.00", {details[0], details[1], details[2]});
    }
    FModel->SortByColumn(column, direction);
    QCOMPARE(Column(*FModel, kItemNumberColumn), items);
  }

  void harvestBatchInsertsOnce() {
    QSignalSpy inserted(FModel.get(), &QAbstractItemModel::rowsInserted);
    FModel->BeginAdding();
    QVERIFY(FModel->AddGridRow("Lamp", "1", "2", "3.00"));
    QVERIFY(!FModel->AddGridRow("Lamp again", "1", "2", "3.00"));
    QVERIFY(FModel->AddGridRow("Shade", "2", "0", "1.00"));
    QCOMPARE(inserted.count(), 0);
    FModel->EndAdding();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 0);
    QCOMPARE(inserted[0][2].toInt(), 1);
    FModel->BeginAdding();
    FModel->EndAdding();  // nothing new: no signal
    QVERIFY(FModel->AddGridRow("Base", "3", "1", "2.00"));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted[1][1].toInt(), 2);
    QCOMPARE(inserted[1][2].toInt(), 2);
    // Nested batches are one batch; an unmatched end leaves later adds announced at once.
    FModel->BeginAdding();
    FModel->BeginAdding();
    QVERIFY(FModel->AddGridRow("Cord", "4", "1", "2.00"));
    FModel->EndAdding();
    QCOMPARE(inserted.count(), 2);
    FModel->EndAdding();
    QCOMPARE(inserted.count(), 3);
    FModel->EndAdding();
    QVERIFY(FModel->AddGridRow("Plug", "5", "1", "2.00"));
    QCOMPARE(inserted.count(), 4);
    QCOMPARE(inserted[3][1].toInt(), 4);
    QCOMPARE(FModel->rowCount(), 5);
  }

  void editsAndChecks() {
    FModel->AddGridRow("Lamp", "1", "2", "3.00");
    QSignalSpy changed(FModel.get(), &QAbstractItemModel::dataChanged);
    const QModelIndex item = FModel->index(0, 0);
    QVERIFY(FModel->setData(item, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(FModel->setData(item, QStringLiteral("77"), Qt::EditRole));
    QVERIFY(!FModel->setData(FModel->index(0, 2), QStringLiteral("9"), Qt::EditRole));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed[0][0].toModelIndex(), item);
    QCOMPARE(changed[0][2].value<QList<int>>(), QList<int>{Qt::CheckStateRole});
    QCOMPARE(changed[1][1].toModelIndex(), item);
    QCOMPARE(changed[1][2].value<QList<int>>(), (QList<int>{Qt::DisplayRole, Qt::EditRole}));
    QCOMPARE(item.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(item.data().toString(), QStringLiteral("77"));
    QVERIFY(!FModel->AddGridRow("Other", "77", "0", "1.00"));  // the retyped number is taken
  }

  void removalPass() {
    for (const char* item : {"1", "2", "3", "4"}) FModel->AddGridRow("Row", item, "0", "1.00");
    QSignalSpy reset(FModel.get(), &QAbstractItemModel::modelReset);
    FModel->RemoveFlagged({1, 0, 1});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(Column(*FModel, 0), (QStringList{"2", "4"}));
  }

  void sortKeepsPersistentIndexes() {
    FModel->AddGridRow("b", "1", "0", "20.00");
    FModel->AddGridRow("c", "2", "0", "3.00");
    FModel->AddGridRow("a", "3", "0", "100");
    const QPersistentModelIndex selected = FModel->index(1, 3);
    QItemSelectionModel selection(FModel.get());
    selection.select(selected, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSignalSpy layout(FModel.get(), &QAbstractItemModel::layoutChanged);
    FModel->SortByColumn(2, 1);  // the first header click: highest first
    QCOMPARE(Column(*FModel, 2), (QStringList{"100", "20.00", "3.00"}));
    QCOMPARE(selected.row(), 2);
    QCOMPARE(selected.data().toString(), QStringLiteral("c"));
    FModel->SortByColumn(3, -1);  // texts from Z to A
    QCOMPARE(Column(*FModel, 3), (QStringList{"c", "b", "a"}));
    QCOMPARE(selected.row(), 0);
    FModel->SortByColumn(0, 1);
    QCOMPARE(Column(*FModel, 0), (QStringList{"1", "2", "3"}));
    QCOMPARE(selected.row(), 1);
    QCOMPARE(layout.count(), 3);
    QCOMPARE(selection.selectedRows(3), QModelIndexList{FModel->index(1, 3)});
  }

 private:
  std::unique_ptr<ResearchGridModel> FModel;
  std::unique_ptr<QAbstractItemModelTester> FTester;
};

QTEST_GUILESS_MAIN(TestGridModel)
#include "test_grid_model.moc"
