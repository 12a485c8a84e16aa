#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/tools/HarvestRun.h"
#include "tests/tools/ResearchPages.h"

namespace {

QByteArray Said(const QString& file, const QByteArray& text) {
  return "quellbid-harvest: " + file.toUtf8() + ": " + text + "\n";
}

}  // namespace

// quellbid-harvest with research files: --into, reading them back, refusals.
class TestHarvestResearch : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir FDir;
  QString FFile;  // the research file of the test row, made afresh

  QString Path(const QString& name) const { return FDir.filePath(name); }
  // The file behind a token of the tables: A, B (10 cards, 5 shared), S (a
  // snapshot of 4 cards), T (the table sample page), N (a page without
  // results), R (a research file of A), F (the row's research file), D (F's
  // copy named notes.db).
  QString File(const QString& token) const {
    static const QMap<QString, QString> names{{"A", "a.htm"},          {"B", "b.htm"},
                                              {"S", "log1234567.sha"}, {"N", "other.htm"},
                                              {"R", "r.quellbid"},     {"D", "notes.db"}};
    if (token == "T") return qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/sample-lamps.htm";
    if (token == "F") return FFile;
    return Path(names.value(token));
  }
  QStringList Files(const QStringList& tokens) const {
    QStringList files;
    for (const QString& t : tokens) files << File(t);
    return files;
  }
  Run Into(const QStringList& tokens) { return Harvest(QStringList{"--into", FFile} + Files(tokens)); }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    QVERIFY(WriteBytes(Path("a.htm"), CardPage(500000000001, 10)));
    QVERIFY(WriteBytes(Path("b.htm"), CardPage(500000000006, 10)));
    QVERIFY(WriteBytes(Path("log1234567.sha"), CardPage(500000000021, 4)));
    QVERIFY(WriteBytes(Path("other.htm"), "<html><body>Just a page</body></html>"));
    QCOMPARE(Harvest({"--into", Path("r.quellbid"), Path("a.htm")}).status, 0);
  }
  void init() {
    static int serial = 0;
    FFile = Path(QString("research%1.quellbid").arg(++serial));
  }

  void into_data() {
    QTest::addColumn<QList<QStringList>>("runs");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("added");  // per harvest line
    QTest::addColumn<QList<int>>("inGrid");
    QTest::addColumn<QByteArray>("err");  // of the last run
    const QByteArray a = Said(File("A"), "10 sold listings: 10 added");
    const QByteArray b = Said(File("B"), "10 sold listings: 5 added, 5 already in the grid");
    QTest::newRow("new file") << QList<QStringList>{{"A"}} << 10 << QList<int>{10} << QList<int>{0} << a;
    QTest::newRow("two pages, one run")
        << QList<QStringList>{{"A", "B"}} << 15 << QList<int>{10, 5} << QList<int>{0, 5} << a + b;
    QTest::newRow("existing file: its rows first")
        << QList<QStringList>{{"A"}, {"B"}} << 15 << QList<int>{10, 5} << QList<int>{0, 5} << b;
    QTest::newRow("same page in a second run")
        << QList<QStringList>{{"A"}, {"A"}} << 10 << QList<int>{10, 0} << QList<int>{0, 10}
        << Said(File("A"), "10 sold listings: 0 added, 10 already in the grid");
    QTest::newRow("table page") << QList<QStringList>{{"T"}} << 22 << QList<int>{22} << QList<int>{0}
                                << Said(File("T"), "Only U.S. Dollar auctions have been added to the grid");
    QTest::newRow("page without results") << QList<QStringList>{{"N"}} << 0 << QList<int>{0} << QList<int>{0}
                                          << Said(File("N"), "No Results Added");
    QTest::newRow("research file among pages")
        << QList<QStringList>{{"R", "B"}} << 15 << QList<int>{10, 5} << QList<int>{0, 5} << b;
    QTest::newRow("the file into itself")
        << QList<QStringList>{{"A"}, {"F"}} << 10 << QList<int>{10, 0} << QList<int>{0, 10} << QByteArray();
  }
  void into() {
    QFETCH(QList<QStringList>, runs);
    QFETCH(int, rows);
    QFETCH(QList<int>, added);
    QFETCH(QList<int>, inGrid);
    QFETCH(QByteArray, err);
    Run run;
    for (const QStringList& pages : runs) {
      run = Into(pages);
      QCOMPARE(run.status, 0);
      QCOMPARE(run.out, QByteArray());
    }
    QCOMPARE(run.err, err);
    const ResearchContents c = ReadResearch(FFile);
    QCOMPARE(QString::fromStdString(c.error), QString());
    QCOMPARE(int(c.grid.size()), rows);
    QCOMPARE(int(c.lines.size()), added.size());
    const auto counts = c.RowsOf();
    for (int i = 0; i < added.size(); ++i) {
      QCOMPARE(int(c.lines[i].added), added[i]);
      QCOMPARE(int(c.lines[i].inGrid), inGrid[i]);
      QCOMPARE(counts.count(c.lines[i].id) ? int(counts.at(c.lines[i].id)) : 0, added[i]);
    }
  }

  // What a harvest line records of its page.
  void harvestLine_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("pageUrl");
    QTest::addColumn<QString>("snapshot");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QList<int>>("counts");  // sold, added, in grid, left out
    QTest::newRow("snapshot of a card page") << "S" << File("S") << "log1234567.sha"
                                             << "4 sold listings: 4 added" << QList<int>{4, 4, 0, 0};
    QTest::newRow("standard input") << "-"
                                    << "standard input"
                                    << ""
                                    << "10 sold listings: 10 added" << QList<int>{10, 10, 0, 0};
    QTest::newRow("table page: records seen, foreign ones left out") << "T" << File("T") << ""
                                                                     << "" << QList<int>{24, 22, 0, 2};
    QTest::newRow("relative path made absolute") << "a.htm" << File("A") << ""
                                                 << "10 sold listings: 10 added" << QList<int>{10, 10, 0, 0};
  }
  void harvestLine() {
    QFETCH(QString, token);
    QFETCH(QString, pageUrl);
    QFETCH(QString, snapshot);
    QFETCH(QString, report);
    QFETCH(QList<int>, counts);
    const QString file = token.size() == 1 && token != "-" ? File(token) : token;
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(FDir.path());
    const Run run = Harvest({"--into", FFile, file}, token == "-" ? FileBytes(File("A")) : QByteArray());
    QDir::setCurrent(cwd);
    QCOMPARE(run.status, 0);
    const ResearchContents c = ReadResearch(FFile);
    QCOMPARE(int(c.lines.size()), 1);
    const qb::HarvestLine& line = c.lines[0];
    QCOMPARE(QString::fromStdString(line.pageUrl), pageUrl);
    QCOMPARE(QString::fromStdString(line.snapshotFile), snapshot);
    QCOMPARE(QString::fromStdString(line.report), report);
    QCOMPARE((QList<int>{int(line.sold), int(line.added), int(line.inGrid), int(line.leftOut)}), counts);
    const QDateTime time = QDateTime::fromString(QString::fromStdString(line.time), Qt::ISODate);
    QVERIFY2(QString::fromStdString(line.time).endsWith('Z') && time.isValid(), line.time.c_str());
    QVERIFY(qAbs(time.secsTo(QDateTime::currentDateTimeUtc())) < 600);
  }

  // A research file read as a page: the same CSV or figures as its pages.
  void readBack_data() {
    QTest::addColumn<QStringList>("into");
    QTest::addColumn<QStringList>("read");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<bool>("stats");
    QTest::newRow("file as CSV") << QStringList{"A", "B"} << QStringList{"F"} << QStringList{"A", "B"}
                                 << false;
    QTest::newRow("file, then a page")
        << QStringList{"A"} << QStringList{"F", "B"} << QStringList{"A", "B"} << false;
    QTest::newRow("page, then the file: add rule")
        << QStringList{"B"} << QStringList{"A", "F"} << QStringList{"A", "B"} << false;
    QTest::newRow("found by its header")
        << QStringList{"A", "S"} << QStringList{"D"} << QStringList{"A", "S"} << false;
    QTest::newRow("table page's texts kept")
        << QStringList{"T"} << QStringList{"F"} << QStringList{"T"} << false;
    QTest::newRow("statistics of a file")
        << QStringList{"A", "B", "S"} << QStringList{"F"} << QStringList{"A", "B", "S"} << true;
  }
  void readBack() {
    QFETCH(QStringList, into);
    QFETCH(QStringList, read);
    QFETCH(QStringList, pages);
    QFETCH(bool, stats);
    QCOMPARE(Into(into).status, 0);
    QFile::remove(File("D"));
    QVERIFY(QFile::copy(FFile, File("D")));
    const QStringList option = stats ? QStringList{"--stats"} : QStringList();
    const Run fromFile = Harvest(option + Files(read)), fromPages = Harvest(option + Files(pages));
    QCOMPARE(fromFile.status, 0);
    QVERIFY(fromFile.out.size() > 100);
    QCOMPARE(fromFile.out, fromPages.out);
  }

  // Not a research file of this program: refused, read or written, and left
  // byte for byte as it was, with nothing beside it.
  void refusals_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file named .quellbid") << "notes.quellbid"
                                               << "text";
    QTest::newRow("another SQLite database") << "other.quellbid"
                                             << "other database";
    QTest::newRow("another SQLite database, another name") << "other.sqlite"
                                                           << "other database";
    QTest::newRow("newer schema") << "newer.quellbid"
                                  << "newer";
    QTest::newRow("truncated") << "cut.quellbid"
                               << "truncated";
    QTest::newRow("first bytes changed") << "changed.quellbid"
                                         << "changed";
  }
  void refusals() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString file = dir.filePath(name);
    if (kind == "text") {
      QVERIFY(WriteBytes(file, "Lamps to look for:\nbrass, 1930s\n"));
    } else if (kind == "other database") {
      QCOMPARE(Sql(file, {"CREATE TABLE notes(text)", "INSERT INTO notes VALUES('brass lamps')"}), QString());
    } else {
      QCOMPARE(Harvest({"--into", file, File("A"), File("T")}).status, 0);
      if (kind == "newer") {
        QCOMPARE(Sql(file, {QString("PRAGMA user_version = %1").arg(qb::kResearchSchemaVersion + 1)}),
                 QString());
      } else if (kind == "truncated") {
        QFile f(file);
        QVERIFY(f.size() > 8192);
        QVERIFY(f.resize(f.size() / 2));
      } else {
        QByteArray bytes = FileBytes(file);
        bytes.replace(0, 6, "XQLite");
        QVERIFY(WriteBytes(file, bytes));
      }
    }
    const QByteArray before = FileBytes(file);
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(entries, QStringList{name});
    for (const QStringList& arguments : {QStringList{file}, QStringList{"--into", file, File("B")}}) {
      const Run run = Harvest(arguments);
      QCOMPARE(run.status, 2);
      QCOMPARE(run.out, QByteArray());
      QVERIFY2(run.err.startsWith(Said(file, "").chopped(1)) && run.err.count('\n') == 1, run.err);
      QVERIFY(FileBytes(file) == before);
      QCOMPARE(QDir(dir.path()).entryList(QDir::Files), entries);
    }
  }

  void researchFileOnStandardInput() {
    QCOMPARE(Into({"A"}).status, 0);
    const Run run = Harvest({"-"}, FileBytes(FFile));
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, Said("standard input", "a research file is read by its name, not from standard input"));
  }

  // Research files are read and written by quellbid-harvest-research, found
  // beside quellbid-harvest or where it is installed: pages need it not,
  // research files end with status 2 and a message without it.
  void researchHarvester_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::newRow("installed: --into") << true << QStringList{"--into", "F", "A"} << 0;
    QTest::newRow("installed: a file read") << true << QStringList{"R", "B"} << 0;
    QTest::newRow("missing: pages") << false << QStringList{"A", "T"} << 0;
    QTest::newRow("missing: --into") << false << QStringList{"--into", "F", "A"} << 2;
    QTest::newRow("missing: a file read") << false << QStringList{"A", "R"} << 2;
    QTest::newRow("missing: found by its header") << false << QStringList{"D"} << 2;
  }
  void researchHarvester() {
    QFETCH(bool, installed);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString built = qEnvironmentVariable("QB_BINARY_DIR"),
                  program = dir.filePath("bin/quellbid-harvest");
    QVERIFY(QDir(dir.path()).mkpath("bin") && QDir(dir.path()).mkpath("libexec/quellbid"));
    QVERIFY(QFile::copy(built + "/quellbid-harvest", program));
    if (installed)
      QVERIFY(QFile::copy(built + "/quellbid-harvest-research",
                          dir.filePath("libexec/quellbid/quellbid-harvest-research")));
    QFile::remove(File("D"));
    QVERIFY(QFile::copy(File("R"), File("D")));
    // The built program's run, into a file of its own, is the one to match.
    QStringList files = arguments, builtFiles = arguments;
    for (int i = 0; i < files.size(); ++i)
      if (files[i].size() == 1) {
        files[i] = File(files[i]);
        builtFiles[i] = files[i] == FFile ? FFile + ".built.quellbid" : files[i];
      }
    const Run run = HarvestWith(program, files);
    QCOMPARE(run.status, status);
    if (status == 0) {
      const Run expected = Harvest(builtFiles);
      QCOMPARE(run.out, expected.out);
      QCOMPARE(run.err, expected.err);
    } else {
      QCOMPARE(run.out, QByteArray());
      QCOMPARE(run.err, "quellbid-harvest: research files need " + dir.filePath("libexec/quellbid").toUtf8() +
                            "/quellbid-harvest-research: No such file or directory\n");
      QVERIFY(!QFile::exists(FFile));
    }
  }
};

QTEST_GUILESS_MAIN(TestHarvestResearch)
#include "test_core_harvest_research.moc"
