#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "research/ResearchFile.h"

using namespace qb;

namespace {

QByteArray Digest(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "missing";
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// "item|bids|amount|description|sold|delivery|condition|checked" of every row.
QStringList Rows(const GridRows& grid) {
  QStringList rows;
  for (const ResearchRow& r : grid.rows())
    rows << QString::fromStdString(r.itemNumber + '|' + r.bids + '|' + r.amount + '|' + r.description + '|' +
                                   r.sold + '|' + r.delivery + '|' + r.condition + '|' +
                                   (r.checked ? "x" : "-"));
  return rows;
}

QStringList Reopened(const QString& path) {
  std::string error;
  const auto file = ResearchFile::Open(path.toStdString(), false, error);
  if (!file) return {QString::fromStdString(error)};
  GridRows grid;
  if (!file->Load(grid, error)) return {QString::fromStdString(error)};
  return Rows(grid);
}

// Runs SQL on a database of another program.
void WriteDatabase(const QString& path, const QStringList& statements) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
    db.setDatabaseName(path);
    QVERIFY(db.open());
    QSqlQuery query(db);
    for (const QString& sql : statements) QVERIFY2(query.exec(sql), qPrintable(sql));
    db.close();
  }
  QSqlDatabase::removeDatabase("other");
}

}  // namespace

class TestResearchFile : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  QString Path(const QString& name) const { return FDir.filePath(name); }

  // A research file with four rows from one harvest.
  std::unique_ptr<ResearchFile> Made(const QString& name, GridRows& grid, HarvestLine* line = nullptr) {
    std::string error;
    auto file = ResearchFile::Open(Path(name).toStdString(), true, error);
    if (!file) return nullptr;
    grid.AddGridRow("Brass lamp", "101", "3", "12.50", {"2026-07-20", "7.00", "Pre-Owned"});
    grid.AddGridRow("Caf\xC3\xA9 lamp, \"shade\"", "102", "0", "1299.00", {"", "0.00", ""});
    grid.AddGridRow(std::string("raw \xFF\x00 bytes", 11), "103", "--", "5", {});
    grid.AddGridRow("Desk lamp", "104", "1", "2.00", {"2026-07-03", "", "New"});
    HarvestLine own{0, "2026-12-08T14:05:00Z", "https://site/sch?q=lamp", "log0000001.sha", "4 sold", 4, 4, 0,
                    0};
    if (!file->AddRows(grid, 0, line ? line : &own, error)) return nullptr;
    return file;
  }

 private slots:
  void roundTrip() {
    GridRows grid;
    HarvestLine line{0,
                     "2026-12-08T14:05:00Z",
                     "https://site/sch?q=lamp",
                     "log0000001.sha",
                     "4 sold listings: 4 added",
                     4,
                     4,
                     0,
                     0};
    auto file = Made("round.quellbid", grid, &line);
    QVERIFY(file);
    QVERIFY(line.id > 0);
    for (const ResearchRow& row : grid.rows()) QVERIFY(row.fileId > 0 && row.harvest == line.id);
    file.reset();
    QCOMPARE(Reopened(Path("round.quellbid")), Rows(grid));
    std::string error;
    file = ResearchFile::Open(Path("round.quellbid").toStdString(), false, error);
    std::vector<HarvestLine> lines;
    QVERIFY(file->Harvests(lines, error));
    QCOMPARE(lines.size(), size_t(1));
    QCOMPARE(lines[0].pageUrl, line.pageUrl);
    QCOMPARE(lines[0].report, line.report);
    QCOMPARE(lines[0].snapshotFile, line.snapshotFile);
    QCOMPARE(lines[0].added, 4);
  }

  // Each command's change is in the file when it is opened again.
  void commands() {
    GridRows grid;
    auto file = Made("commands.quellbid", grid);
    QVERIFY(file);
    std::string error;
    grid.SetChecked(0, true);
    QVERIFY(file->UpdateRow(grid[0], error));
    grid.SetItemNumber(3, "777");
    QVERIFY(file->UpdateRow(grid[3], error));
    QVERIFY(file->RemoveRows({grid[1].fileId}, error));
    grid.RemoveFlagged({0, 1});
    grid.Reorder({2, 1, 0});
    QVERIFY(file->Reorder(grid, error));
    const size_t before = grid.size();
    grid.AddGridRow("Late lamp", "105", "2", "3.00");
    QVERIFY(file->AddRows(grid, before, nullptr, error));
    QCOMPARE(Reopened(Path("commands.quellbid")), Rows(grid));
    QVERIFY(file->Clear(error));
    QCOMPARE(Reopened(Path("commands.quellbid")), QStringList());
    std::vector<HarvestLine> lines;
    QVERIFY(file->Harvests(lines, error) && lines.size() == 1);  // the harvests stay
  }

  void copy() {
    GridRows grid;
    auto file = Made("original.quellbid", grid);
    std::string error;
    QVERIFY(file->CopyTo(Path("copy.quellbid").toStdString(), error));
    QCOMPARE(Reopened(Path("copy.quellbid")), Rows(grid));
    QVERIFY(!file->CopyTo(Path("copy.quellbid").toStdString(), error));
    QVERIFY2(error.find("already exists") != std::string::npos, error.c_str());
  }

  void olderVersionIsBroughtUpToDate() {
    std::string error;
    QVERIFY(ResearchFile::MakeFileOfVersion(Path("v1.quellbid").toStdString(), 1, error));
    WriteDatabase(Path("v1.quellbid"),
                  {"INSERT INTO harvests VALUES (1, '2026-01-01T00:00:00Z', x'', '', 1, 1, 0, 0)",
                   "INSERT INTO rows VALUES (1, 0, '9', '1', '2.00', 'Old lamp', '', '', '', 1, 1)"});
    auto file = ResearchFile::Open(Path("v1.quellbid").toStdString(), false, error);
    QVERIFY2(file, error.c_str());
    GridRows grid;
    QVERIFY(file->Load(grid, error));
    QCOMPARE(Rows(grid), QStringList{"9|1|2.00|Old lamp||||x"});
    HarvestLine line{0, "2026-12-09T00:00:00Z", "", "", "1 sold listing: 1 added", 1, 1, 0, 0};
    grid.AddGridRow("New lamp", "10", "1", "3.00");
    QVERIFY2(file->AddRows(grid, 1, &line, error), error.c_str());
    std::vector<HarvestLine> lines;
    QVERIFY(file->Harvests(lines, error));
    QCOMPARE(lines.size(), size_t(2));
    QCOMPARE(lines[1].report, line.report);
  }

  // What is not a research file is refused with a message naming it, and
  // stays byte for byte as it was.
  void refusals_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << "missing.quellbid"
                             << "does not exist";
    QTest::newRow("folder") << "folder.quellbid"
                            << "is a folder";
    QTest::newRow("text file") << "notes.quellbid"
                               << "is not a research file.";
    QTest::newRow("empty file") << "empty.quellbid"
                                << "is not a research file.";
    QTest::newRow("another program's database") << "other.quellbid"
                                                << "database of another program";
    QTest::newRow("newer version") << "newer.quellbid"
                                   << "newer version of Quellbid (research file version 99;";
    QTest::newRow("header changed") << "header.quellbid"
                                    << "is not a research file.";
    QTest::newRow("truncated") << "truncated.quellbid"
                               << "is damaged";
  }
  void refusals() {
    QFETCH(QString, name);
    QFETCH(QString, why);
    const QString path = Path(name);
    if (name.startsWith("folder")) QVERIFY(QDir().mkpath(path));
    if (name.startsWith("notes")) {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("Item Number,Bids\r\n1,2\r\n");
    }
    if (name.startsWith("empty")) QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    if (name.startsWith("other"))
      WriteDatabase(path, {"CREATE TABLE rows (a)", "INSERT INTO rows VALUES (1)"});
    if (name.startsWith("newer")) {
      GridRows grid;
      QVERIFY(Made(name, grid));
      WriteDatabase(path, {"PRAGMA user_version = 99"});
    }
    if (name.startsWith("header") || name.startsWith("truncated")) {
      GridRows grid;
      {
        auto file = Made(name, grid);
        QVERIFY(file);
        std::string error;
        for (int i = 0; i < 2000; ++i)
          grid.AddGridRow(std::string(200, 'x'), std::to_string(1000 + i), "1", "1");
        QVERIFY(file->AddRows(grid, 4, nullptr, error));
      }
      QFile f(path);
      QVERIFY(f.open(QIODevice::ReadWrite));
      if (name.startsWith("header")) {
        f.write("SQLite format 4");
      } else {
        QVERIFY(f.resize(f.size() / 2));
      }
    }
    const QByteArray before = Digest(path);
    std::string error;
    QVERIFY(!ResearchFile::Open(path.toStdString(), false, error));
    QVERIFY2(QString::fromStdString(error).startsWith("'" + name + "' "), error.c_str());
    QVERIFY2(QString::fromStdString(error).contains(why), error.c_str());
    QCOMPARE(Digest(path), before);
  }
};

QTEST_GUILESS_MAIN(TestResearchFile)
#include "test_core_research_file.moc"
