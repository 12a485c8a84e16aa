#include <QFile>
#include <QProcess>
#include <QtTest>

#include "tests/tools/HarvestRun.h"
#include "tools/HarvestCli.h"

namespace {

QString Sample(const QString& name) { return qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/" + name; }

QByteArray ReadSample(const QString& name) {
  QFile file(Sample(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

const QByteArray kHeader = "Item Number,Bids,Amount,Description,Sold,Delivery,Condition\r\n";
const QByteArray kNotice = "Only U.S. Dollar auctions have been added to the grid";

// A message line as the program writes it about a file.
QByteArray Said(const QString& file, const QByteArray& text) {
  return "quellbid-harvest: " + file.toUtf8() + ": " + text + "\n";
}

}  // namespace

class TestHarvestCli : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(QFile::exists(qEnvironmentVariable("QB_BINARY_DIR") + "/quellbid-harvest"));
    // A table page whose one title needs CSV quoting; a page of another kind.
    WriteFile("quoting.htm",
              "var findSortArray = [\n<tr><td><input type=\"checkbox\"></td><td><a "
              "href=\"v?category=1&amp;item=77&amp;"
              "rd=1\">Say \"cheese\", please</a></td><td><b>$3.00</b></td><td rowspan=\"1\">2</td></tr>\n");
    WriteFile("other.htm", "<html><body>Just a page</body></html>");
    WriteFile("empty.sha", "");
    WriteFile("nosold.htm", "<ul class=\"srp-results x\"><li class=\"s-item\">Shop on the site</li></ul>");
  }

  void arguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("stats");
    QTest::addColumn<QString>("into");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("files") << QStringList{"a", "b"} << true << false << false << "" << QStringList{"a", "b"};
    QTest::newRow("stats") << QStringList{"--stats", "a"} << true << false << true << "" << QStringList{"a"};
    QTest::newRow("help alone") << QStringList{"--help"} << true << true << false << "" << QStringList();
    QTest::newRow("short help") << QStringList{"-h"} << true << true << false << "" << QStringList();
    QTest::newRow("no file") << QStringList() << false << false << false << "" << QStringList();
    QTest::newRow("stats without file")
        << QStringList{"--stats"} << false << false << true << "" << QStringList();
    QTest::newRow("unknown option") << QStringList{"--fast", "a"} << false << false << false << ""
                                    << QStringList();
    QTest::newRow("after --") << QStringList{"--", "--stats"} << true << false << false << ""
                              << QStringList{"--stats"};
    QTest::newRow("lone dash is a file")
        << QStringList{"-"} << true << false << false << "" << QStringList{"-"};
    QTest::newRow("into") << QStringList{"--into", "r.quellbid", "a"} << true << false << false
                          << "r.quellbid" << QStringList{"a"};
    QTest::newRow("into=") << QStringList{"a", "--into=r.quellbid"} << true << false << false << "r.quellbid"
                           << QStringList{"a"};
    QTest::newRow("into takes a name like an option")
        << QStringList{"--into", "--stats", "a"} << true << false << false << "--stats" << QStringList{"a"};
    QTest::newRow("into without its file")
        << QStringList{"a", "--into"} << false << false << false << "" << QStringList();
    QTest::newRow("into= empty") << QStringList{"--into=", "a"} << false << false << false << ""
                                 << QStringList();
    QTest::newRow("into without pages")
        << QStringList{"--into", "r.quellbid"} << false << false << false << "" << QStringList();
    QTest::newRow("into with stats") << QStringList{"--stats", "--into", "r.quellbid", "a"} << false << false
                                     << true << "" << QStringList();
  }
  void arguments() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(bool, help);
    QFETCH(bool, stats);
    QFETCH(QString, into);
    QFETCH(QStringList, files);
    std::vector<std::string> args;
    for (const QString& a : arguments) args.push_back(a.toStdString());
    qb::HarvestOptions options;
    std::string error;
    QCOMPARE(qb::ParseHarvestArguments(args, options, error), ok);
    QCOMPARE(error.empty(), ok);
    if (!ok) return;
    QCOMPARE(options.help, help);
    QCOMPARE(options.stats, stats);
    QCOMPARE(QString::fromStdString(options.into), into);
    QStringList parsed;
    for (const std::string& f : options.files) parsed << QString::fromStdString(f);
    QCOMPARE(parsed, files);
  }

  void researchInput_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("research");
    QTest::addColumn<QString>("snapshot");
    QTest::newRow("page") << "page.htm" << false << "";
    QTest::newRow("by its name, even missing") << "missing.quellbid" << true << "";
    QTest::newRow("another ending") << "notes.quellbid.bak" << false << "";
    QTest::newRow("by the SQLite header") << "sqlite.db" << true << "";
    QTest::newRow("header without its NUL") << "almost.db" << false << "";
    QTest::newRow("snapshot") << "log0001234.sha" << false << "log0001234.sha";
    QTest::newRow("snapshot in a folder") << "saved/log9999999.sha" << false << "log9999999.sha";
    QTest::newRow("six digits") << "log123456.sha" << false << "";
    QTest::newRow("a letter among the digits") << "log12a4567.sha" << false << "";
    QTest::newRow("another ending after the digits") << "log1234567.htm" << false << "";
  }
  void researchInput() {
    QFETCH(QString, file);
    QFETCH(bool, research);
    QFETCH(QString, snapshot);
    WriteFile("page.htm", "<html></html>");
    WriteFile("sqlite.db", QByteArray("SQLite format 3\0\x10\0", 18));
    WriteFile("almost.db", "SQLite format 3 and more");
    QCOMPARE(qb::IsResearchInput(file.toStdString()), research);
    QCOMPARE(QString::fromStdString(qb::SnapshotNameOf(file.toStdString())), snapshot);
  }

  // The real program on sample pages: rows, messages, exit status.
  void program_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("err");
    const QString lamps = Sample("sample-lamps.htm"), pens = Sample("sample-pens.htm");
    const QString watches = Sample("sample-watches.htm");
    QTest::newRow("table page") << QStringList{lamps} << QByteArray() << 0 << 22 << Said(lamps, kNotice);
    QTest::newRow("script page, no notice") << QStringList{pens} << QByteArray() << 0 << 14 << QByteArray();
    QTest::newRow("three pages, one notice under its file")
        << QStringList{pens, watches, lamps} << QByteArray() << 0 << 52 << Said(watches, kNotice);
    QTest::newRow("same page twice adds once")
        << QStringList{watches, watches} << QByteArray() << 0 << 16 << Said(watches, kNotice);
    QTest::newRow("standard input") << QStringList{"-"} << ReadSample("sample-lamps.htm") << 0 << 22
                                    << Said("standard input", kNotice);
    QTest::newRow("standard input beside a file")
        << QStringList{pens, "-"} << ReadSample("sample-pens.htm") << 0 << 14 << QByteArray();
    QTest::newRow("page of another kind")
        << QStringList{"other.htm"} << QByteArray() << 0 << 0 << Said("other.htm", "No Results Added");
    QTest::newRow("empty snapshot") << QStringList{"empty.sha"} << QByteArray() << 0 << 0
                                    << Said("empty.sha", "No Results Added");
    QTest::newRow("card page without sold cards") << QStringList{"nosold.htm"} << QByteArray() << 0 << 0
                                                  << Said("nosold.htm", "0 sold listings: 0 added") +
                                                         Said("nosold.htm",
                                                              "This page shows no sold listings. Search with "
                                                              "the Sold Items filter, then press F7 again.");
    QTest::newRow("card page reported")
        << QStringList{Sample("sample-cards-2025.htm")} << QByteArray() << 0 << 14
        << Said(Sample("sample-cards-2025.htm"),
                "22 sold listings: 14 added, 7 left out (price not a single U.S. "
                "dollar amount), 1 left out (no item number)");
    QTest::newRow("card page of fewer words only")
        << QStringList{Sample("sample-cards-fewer-words.htm")} << QByteArray() << 0 << 0
        << Said(Sample("sample-cards-fewer-words.htm"), "0 sold listings: 0 added") +
               Said(Sample("sample-cards-fewer-words.htm"),
                    "This page shows no exact matches for the search, only listings that match fewer words. "
                    "Search with other words, then press F7 again.");
    QTest::newRow("missing file") << QStringList{pens, "log1000000.sha"} << QByteArray() << 2 << -1
                                  << Said("log1000000.sha", "No such file or directory");
    QTest::newRow("folder") << QStringList{"."} << QByteArray() << 2 << -1 << Said(".", "Is a directory");
    QTest::newRow("no file") << QStringList() << QByteArray() << 1 << -1
                             << QByteArray(
                                    "quellbid-harvest: no file given\nTry 'quellbid-harvest --help'.\n");
  }
  void program() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(int, rows);
    QFETCH(QByteArray, err);
    const Run run = Harvest(arguments, input);
    QCOMPARE(run.status, status);
    QCOMPARE(run.err, err);
    if (rows < 0) {
      QCOMPARE(run.out, QByteArray());
      return;
    }
    QVERIFY(run.out.startsWith(kHeader));
    QVERIFY(run.out.endsWith("\r\n"));
    // Descriptions of table pages hold line breaks of the page, so count
    // record starts: each row begins with its item number.
    int count = 0;
    for (const QByteArray& line : run.out.split('\n'))
      if (QRegularExpression("^\\d{10,12},").match(QString::fromUtf8(line)).hasMatch()) ++count;
    QCOMPARE(count, rows);
  }

  void csvOutput() {
    const Run run = Harvest({"quoting.htm"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out,
             kHeader + "77,2,3.00,\"Say \"\"cheese\"\", please</a></td><td><b>$3.00</b></td><td r\",,,\r\n");
  }

  void sampleRowsExact() {
    const Run run = Harvest({Sample("sample-pens.htm")});
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.value(1), QByteArray("4514209901,11,86.00,\"Celluloid Fountain Pen, 14k Gold Nib\",,,\r"));
    QCOMPARE(lines.value(4), QByteArray("4514209904,33,1024.50,Sterling Overlay Fountain Pen,,,\r"));
    QVERIFY(!run.out.contains("4514209909"));  // priced in pounds
    QVERIFY(!run.out.contains("4514209913"));  // Australian dollars
  }

  // Output that cannot be written: a message on standard error where it can
  // be, and the exit status of a failed write.
  void writeErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<QByteArray>("err");
    const QString lamps = Sample("sample-lamps.htm");
    QTest::newRow("full disk") << QStringList{lamps} << ">/dev/full"
                               << Said(lamps, kNotice) + Said("standard output", "No space left on device");
    QTest::newRow("closed output") << QStringList{lamps} << ">&-"
                                   << Said(lamps, kNotice) + Said("standard output", "Bad file descriptor");
    QTest::newRow("help to a full disk")
        << QStringList{"--help"} << ">/dev/full" << Said("standard output", "No space left on device");
    QTest::newRow("statistics to a full disk")
        << QStringList{"--stats", Sample("sample-pens.htm")} << ">/dev/full"
        << Said("standard output", "No space left on device");
    QTest::newRow("messages to a full disk") << QStringList{lamps} << "2>/dev/full" << QByteArray();
  }
  void writeErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, redirection);
    QFETCH(QByteArray, err);
    const Run run = Harvest(arguments, {}, redirection);
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, err);
  }

  void help() {
    const Run run = Harvest({"--help"});
    QCOMPARE(run.status, 0);
    QVERIFY(
        run.out.startsWith("Usage: quellbid-harvest [--stats | --trends [--with-delivery]] FILE...\n"
                           "       quellbid-harvest --into RESEARCH.quellbid FILE...\n"));
    QCOMPARE(run.err, QByteArray());
  }
};

QTEST_GUILESS_MAIN(TestHarvestCli)
#include "test_core_harvest_cli.moc"
