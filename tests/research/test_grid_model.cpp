#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>

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
