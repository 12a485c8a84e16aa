#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "research/ResearchDocument.h"

using namespace qb;

namespace {

// Rows "1".."n" through the add rule, then told to the document as one harvest.
bool Harvest(ResearchDocument& doc, GridRows& grid, const QStringList& items, std::string& message) {
  const size_t first = grid.size();
  for (const QString& item : items)
    grid.AddGridRow("Lamp " + item.toStdString(), item.toStdString(), "1", "5.00");
  HarvestLine line{0, "2026-12-08T14:05:00Z", "file:///page.htm", "log0000001.sha", "", 2, 2, 0, 0};
  return doc.Harvested(grid, first, line, message);
}

// The item numbers, "*" after a checked one.
QStringList Items(const GridRows& grid) {
  QStringList items;
  for (const ResearchRow& r : grid.rows())
    items << QString::fromStdString(r.itemNumber) + (r.checked ? "*" : "");
  return items;
}

// What a file holds, read by a document of its own.
QStringList Reopened(const QString& path) {
  ResearchDocument doc;
  GridRows grid;
  std::string message;
  if (doc.Open(path, grid, message) != ResearchDocument::OpenResult::kOpened)
    return {QString::fromStdString(message)};
  return Items(grid);
}

QStringList UntitledFiles() { return QDir(UntitledResearchFolder()).entryList({"*.quellbid"}, QDir::Files); }

}  // namespace

class TestResearchDocument : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

 private slots:
  void init() {
    QDir(UntitledResearchFolder()).removeRecursively();
    RecentResearch().Clear();
  }

  void commandsReachTheFile_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("held");
    QTest::newRow("harvest") << "harvest" << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("removal") << "remove" << QStringList{"1", "3"};
    QTest::newRow("clear") << "clear" << QStringList{};
    QTest::newRow("sort") << "reorder" << QStringList{"4", "3", "2", "1"};
    QTest::newRow("check box") << "check" << QStringList{"1", "2*", "3", "4"};
    QTest::newRow("retyped item number") << "retype" << QStringList{"77", "2", "3", "4"};
  }
  void commandsReachTheFile() {
    QFETCH(QString, command);
    QFETCH(QStringList, held);
    QString path;
    {
      RecentResearch recent;
      ResearchDocument doc(&recent);
      GridRows grid;
      std::string message;
      QVERIFY2(Harvest(doc, grid, {"1", "2", "3", "4"}, message), message.c_str());
      path = doc.Path();
      bool ok = true;
      if (command == "harvest") ok = Harvest(doc, grid, {"5", "1"}, message);
      if (command == "remove") {
        const std::vector<int64_t> gone = FileIdsOf(grid, {0, 1, 0, 1});
        grid.RemoveFlagged({0, 1, 0, 1});
        ok = doc.Removed(grid, gone, message);
      }
      if (command == "clear") {
        grid.Clear();
        ok = doc.Cleared(grid, message);
      }
      if (command == "reorder") {
        grid.Reorder({3, 2, 1, 0});
        ok = doc.Reordered(grid, message);
      }
      if (command == "check") {
        grid.SetChecked(1, true);
        ok = doc.RowChanged(grid, 1, message);
      }
      if (command == "retype") {
        grid.SetItemNumber(0, "77");
        ok = doc.RowChanged(grid, 0, message);
      }
      QVERIFY2(ok, message.c_str());
      QCOMPARE(Items(grid), held);
    }
    QCOMPARE(Reopened(path), held);
    // The first harvest's line stays whatever the command.
    std::string error;
    auto file = ResearchFile::Open(path.toStdString(), false, error);
    std::vector<HarvestLine> lines;
    QVERIFY(file && file->Harvests(lines, error));
    QCOMPARE(lines.front().pageUrl, std::string("file:///page.htm"));
    QCOMPARE(lines.front().snapshotFile, std::string("log0000001.sha"));
  }

  void untitledFileComesWithTheFirstRow() {
    RecentResearch recent;
    ResearchDocument doc(&recent);
    GridRows grid;
    std::string message;
    QVERIFY(doc.Cleared(grid, message) && doc.Reordered(grid, message));
    QVERIFY(Harvest(doc, grid, {}, message));
    QVERIFY(doc.Path().isEmpty());
    QVERIFY(UntitledFiles().isEmpty());
    doc.New();  // a research that never held a row is not kept
    QVERIFY(UntitledFiles().isEmpty());

    QVERIFY(Harvest(doc, grid, {"1"}, message));
    QVERIFY(IsUntitledResearchPath(doc.Path()));
    QCOMPARE(doc.WindowTitle(), QString("Quellbid"));
    QCOMPARE(recent.Paths(), QStringList{doc.Path()});
    const QString untitled = doc.Path();
    doc.New();  // kept, and still in the list
    QVERIFY(QFile::exists(untitled));
    QCOMPARE(recent.Paths(), QStringList{untitled});
    // Two researches started in the same second get files of their own.
    ResearchDocument first, second;
    GridRows one, two;
    QVERIFY(Harvest(first, one, {"1"}, message) && Harvest(second, two, {"2"}, message));
    QVERIFY(first.Path() != second.Path());
    QVERIFY(IsUntitledResearchPath(second.Path()));
  }

  void saveAsMovesAnUntitledFileAndCopiesANamedOne() {
    RecentResearch recent;
    ResearchDocument doc(&recent);
    GridRows grid;
    std::string message;
    QVERIFY(Harvest(doc, grid, {"1", "2"}, message));
    const QString untitled = doc.Path();
    const QString lamps = FDir.filePath("lamps.quellbid");
    QVERIFY2(doc.SaveAs(lamps, grid, message), message.c_str());
    QVERIFY(!QFile::exists(untitled));
    QCOMPARE(doc.WindowTitle(), QString("lamps.quellbid - Quellbid"));
    QCOMPARE(recent.Paths(), QStringList{CanonicalResearchPath(lamps)});

    const QString other = FDir.filePath("other.quellbid");
    QVERIFY2(doc.SaveAs(other, grid, message), message.c_str());
    QVERIFY(Harvest(doc, grid, {"3"}, message));
    QCOMPARE(recent.Paths(), (QStringList{CanonicalResearchPath(other), CanonicalResearchPath(lamps)}));
    doc.New();
    QCOMPARE(Reopened(other), (QStringList{"1", "2", "3"}));
    QCOMPARE(Reopened(lamps), (QStringList{"1", "2"}));
    // A research without a row gets an empty file under its name.
    GridRows empty;
    QVERIFY2(doc.SaveAs(FDir.filePath("empty.quellbid"), empty, message), message.c_str());
    doc.New();
    QCOMPARE(Reopened(FDir.filePath("empty.quellbid")), QStringList{});
    QVERIFY(UntitledFiles().isEmpty());
  }

  void displayNames_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    const QString data = UntitledResearchFolder() + "/";
    QTest::newRow("untitled") << data + "untitled-20261208-140512.quellbid"
                              << "Untitled research, 8 Dec 2026 14:05";
    QTest::newRow("second of a second") << data + "untitled-20261208-140512-2.quellbid"
                                        << "Untitled research, 8 Dec 2026 14:05";
    QTest::newRow("named") << "/tmp/lamps.quellbid"
                           << "lamps.quellbid";
    QTest::newRow("untitled name elsewhere") << "/tmp/untitled-20261208-140512.quellbid"
                                             << "untitled-20261208-140512.quellbid";
    QTest::newRow("no such month") << data + "untitled-20261308-140512.quellbid"
                                   << "untitled-20261308-140512.quellbid";
  }
  void displayNames() {
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QDir().mkpath(UntitledResearchFolder());
    QCOMPARE(ResearchDisplayName(path), shown);
  }

  void recentListKeepsTenMostRecentFirst() {
    RecentResearch recent;
    for (int i = 1; i <= 12; ++i) recent.Add(FDir.filePath(QString("r%1.quellbid").arg(i)));
    const QStringList paths = recent.Paths();
    QCOMPARE(paths.size(), kRecentResearchCount);
    QCOMPARE(paths.first(), FDir.filePath("r12.quellbid"));
    QCOMPARE(paths.last(), FDir.filePath("r3.quellbid"));
    recent.Add(FDir.filePath("r5.quellbid"));
    QCOMPARE(RecentResearch().Paths().first(), FDir.filePath("r5.quellbid"));
    QCOMPARE(RecentResearch().Paths().count(FDir.filePath("r5.quellbid")), 1);
    recent.Remove(FDir.filePath("r5.quellbid"));
    QCOMPARE(recent.Paths().first(), FDir.filePath("r12.quellbid"));
    recent.Clear();
    QVERIFY(recent.Paths().isEmpty());
  }

  void lockRefusesASecondOpen() {
    ResearchDocument first;
    GridRows grid;
    std::string message;
    QVERIFY(first.SaveAs(FDir.filePath("held.quellbid"), grid, message));
    QVERIFY(Harvest(first, grid, {"1", "2"}, message));
    // An hour old, the lock of a running program still holds.
    for (const QFileInfo& lock : QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
                                     .entryInfoList({"quellbid-*.lock"})) {
      QFile file(lock.filePath());
      QVERIFY(file.open(QIODevice::ReadWrite));
      QVERIFY(
          file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    ResearchDocument second;
    GridRows other;
    QCOMPARE(second.Open(FDir.filePath("held.quellbid"), other, message),
             ResearchDocument::OpenResult::kInUse);
    QCOMPARE(message, std::string("'held.quellbid' is open in another Quellbid window."));
    QVERIFY(other.empty() && second.Path().isEmpty());
    // A copy opens as an untitled research; the held file stays as it is.
    QVERIFY2(second.OpenCopy(FDir.filePath("held.quellbid"), other, message), message.c_str());
    QCOMPARE(Items(other), (QStringList{"1", "2"}));
    QVERIFY(second.IsUntitled() && IsUntitledResearchPath(second.Path()));
    QVERIFY(Harvest(second, other, {"3"}, message));
    QVERIFY(Harvest(first, grid, {"4"}, message));
    first.New();
    QCOMPARE(Reopened(FDir.filePath("held.quellbid")), (QStringList{"1", "2", "4"}));
  }

  // A write the file refuses (here another connection holds it) leaves the
  // rows in the grid and moves them to an untitled file.
  void failedWriteGoesOnInAnUntitledFile() {
    const QString busy = FDir.filePath("busy.quellbid");
    ResearchDocument doc;
    GridRows grid;
    std::string message;
    QVERIFY(doc.SaveAs(busy, grid, message));
    QVERIFY(Harvest(doc, grid, {"1"}, message));
    {
      QSqlDatabase blocker = QSqlDatabase::addDatabase("QSQLITE", "blocker");
      blocker.setDatabaseName(busy);
      QVERIFY(blocker.open());
      QVERIFY(QSqlQuery(blocker).exec("BEGIN EXCLUSIVE"));
      QVERIFY(!Harvest(doc, grid, {"2"}, message));
      QVERIFY2(message.rfind("'busy.quellbid' ", 0) == 0, message.c_str());
      QVERIFY2(QString::fromStdString(message).endsWith(
                   " The rows stay in the window and are kept in an untitled research file."),
               message.c_str());
      QVERIFY(QSqlQuery(blocker).exec("ROLLBACK"));
      blocker.close();
    }
    QSqlDatabase::removeDatabase("blocker");
    QCOMPARE(Items(grid), (QStringList{"1", "2"}));
    QVERIFY(doc.IsUntitled() && IsUntitledResearchPath(doc.Path()));
    const QString untitled = doc.Path();
    doc.New();
    QCOMPARE(Reopened(untitled), (QStringList{"1", "2"}));
    QCOMPARE(Reopened(busy), QStringList{"1"});
  }

  void whatIsNoResearchFileIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << QByteArray("Item Number,Bids\n1,2\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("damaged") << QByteArray("SQLite format 3\0garbage", 23);
  }
  void whatIsNoResearchFileIsRefused() {
    QFETCH(QByteArray, bytes);
    const QString path = FDir.filePath("other.quellbid");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    ResearchDocument doc;
    GridRows grid;
    std::string message;
    QVERIFY(Harvest(doc, grid, {"1"}, message));
    const QString before = doc.Path();
    GridRows fresh;
    QCOMPARE(doc.Open(path, fresh, message), ResearchDocument::OpenResult::kFailed);
    QVERIFY2(message.rfind("'other.quellbid'", 0) == 0, message.c_str());
    QCOMPARE(doc.Path(), before);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
  }
};

QTEST_GUILESS_MAIN(TestResearchDocument)
#include "test_core_document.moc"
