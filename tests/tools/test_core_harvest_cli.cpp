#include <QFile>
#include <QProcess>
#include <QtTest>

#include "HarvestCli.h"
#include "HarvestRun.h"

namespace {

QString Sample(const QString& name) { return qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/" + name; }

void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

const QByteArray kHeader = "Item Number,Bids,Amount,Description\r\n";
const QByteArray kNotice = "Only U.S. Dollar auctions have been added to the grid\n";

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
  }

  void csvField_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("plain") << QByteArray("Brass Lamp") << QByteArray("Brass Lamp");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("comma") << QByteArray("a,b") << QByteArray("\"a,b\"");
    QTest::newRow("quote doubled") << QByteArray("16\" shade") << QByteArray("\"16\"\" shade\"");
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray("\"a\r\nb\"");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("\"a\rb\"");
    QTest::newRow("blank and semicolon stay bare") << QByteArray(" a;b ") << QByteArray(" a;b ");
    QTest::newRow("high bytes unchanged") << QByteArray("caf\xc3\xa9\xff") << QByteArray("caf\xc3\xa9\xff");
  }
  void csvField() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, field);
    QCOMPARE(QByteArray::fromStdString(qb::CsvField(text.toStdString())), field);
  }

  void arguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("stats");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("files") << QStringList{"a", "b"} << true << false << false << QStringList{"a", "b"};
    QTest::newRow("stats") << QStringList{"--stats", "a"} << true << false << true << QStringList{"a"};
    QTest::newRow("help alone") << QStringList{"--help"} << true << true << false << QStringList();
    QTest::newRow("short help") << QStringList{"-h"} << true << true << false << QStringList();
    QTest::newRow("no file") << QStringList() << false << false << false << QStringList();
    QTest::newRow("stats without file") << QStringList{"--stats"} << false << false << true << QStringList();
    QTest::newRow("unknown option") << QStringList{"--fast", "a"} << false << false << false << QStringList();
    QTest::newRow("after --") << QStringList{"--", "--stats"} << true << false << false
                              << QStringList{"--stats"};
    QTest::newRow("lone dash is a file") << QStringList{"-"} << true << false << false << QStringList{"-"};
  }
  void arguments() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(bool, help);
    QFETCH(bool, stats);
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
    QStringList parsed;
    for (const std::string& f : options.files) parsed << QString::fromStdString(f);
    QCOMPARE(parsed, files);
  }

  // The real program on sample pages: rows, messages, exit status.
  void program_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("table page") << QStringList{Sample("sample-lamps.htm")} << 0 << 22 << kNotice;
    QTest::newRow("script page, no notice")
        << QStringList{Sample("sample-pens.htm")} << 0 << 14 << QByteArray();
    QTest::newRow("three pages, one notice")
        << QStringList{Sample("sample-lamps.htm"), Sample("sample-watches.htm"), Sample("sample-pens.htm")}
        << 0 << 52 << kNotice;
    QTest::newRow("same page twice adds once")
        << QStringList{Sample("sample-watches.htm"), Sample("sample-watches.htm")} << 0 << 16 << kNotice;
    QTest::newRow("page of another kind")
        << QStringList{"other.htm"} << 0 << 0 << QByteArray("No Results Added\n");
    QTest::newRow("empty snapshot") << QStringList{"empty.sha"} << 0 << 0 << QByteArray("No Results Added\n");
    QTest::newRow("missing file") << QStringList{Sample("sample-pens.htm"), "log1000000.sha"} << 2 << -1
                                  << QByteArray(
                                         "Cannot read file \"log1000000.sha\". No such file or directory\n");
    QTest::newRow("folder") << QStringList{"."} << 2 << -1
                            << QByteArray("Cannot read file \".\". Is a directory\n");
    QTest::newRow("no file") << QStringList() << 1 << -1
                             << QByteArray(
                                    "quellbid-harvest: no file given\nTry 'quellbid-harvest --help'.\n");
  }
  void program() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(int, rows);
    QFETCH(QByteArray, err);
    const Run run = Harvest(arguments);
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
      if (QRegularExpression("^45\\d{8},").match(QString::fromUtf8(line)).hasMatch()) ++count;
    QCOMPARE(count, rows);
  }

  void csvOutput() {
    const Run run = Harvest({"quoting.htm"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out,
             kHeader + "77,2,3.00,\"Say \"\"cheese\"\", please</a></td><td><b>$3.00</b></td><td r\"\r\n");
  }

  void sampleRowsExact() {
    const Run run = Harvest({Sample("sample-pens.htm")});
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.value(1), QByteArray("4514209901,11,86.00,\"Celluloid Fountain Pen, 14k Gold Nib\"\r"));
    QCOMPARE(lines.value(4), QByteArray("4514209904,33,1024.50,Sterling Overlay Fountain Pen\r"));
    QVERIFY(!run.out.contains("4514209909"));  // priced in pounds
    QVERIFY(!run.out.contains("4514209913"));  // Australian dollars
  }

  void help() {
    const Run run = Harvest({"--help"});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.startsWith("Usage: quellbid-harvest [--stats] FILE..."));
    QCOMPARE(run.err, QByteArray());
  }
};

QTEST_GUILESS_MAIN(TestHarvestCli)
#include "test_core_harvest_cli.moc"
