// What hostile or broken input does to the harvest and the grid: it ends, with
// a clear outcome, and the grid keeps every row it should.
#include <sys/resource.h>
#include <unistd.h>

#include <QtTest>
#include <csignal>

#include "harvest/HarvestText.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "research/GridRows.h"
#include "runtime/Exception.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/ResultPages.h"

using namespace qb;
using qbtest::RecordingTarget;

namespace {

std::string TableRecord(long item, std::string_view title = "Brass Lamp") {
  return qbtest::TableRecord(std::to_string(item), title, "$12.50", "3");
}

std::string ScriptRecord(long item) {
  return qbtest::ScriptRecord(std::to_string(item), "Pocket Watch", "$5.00", "7");
}

}  // namespace

class TestBadInput : public QObject {
  Q_OBJECT
 private slots:
  void hugeTablePage() {
    std::string records;
    long item = 100000000;
    while (records.size() < 100u * 1024 * 1024) records += TableRecord(item++);
    const std::string page = qbtest::TablePage(records);
    std::string().swap(records);
    RecordingTarget target;
    HarvestPage(page, target);
    QCOMPARE(long(target.grid.size()), item - 100000000);
    QCOMPARE(target.grid.rows().back().amount, std::string("12.50"));
  }

  void millionScriptRecords() {
    std::string page = "<script>var salejs = 1;\r\n";
    for (long i = 0; i < 1000000; ++i) page += ScriptRecord(5000000 + i);
    RecordingTarget target;
    HarvestPage(page, target);
    QCOMPARE(target.grid.size(), size_t(1000000));
    QCOMPARE(target.grid.rows().front().description, std::string("Pocket Watch"));
  }

  void binaryJunkAndNulBytes() {
    std::string junk;
    uint32_t x = 12345;
    for (int i = 0; i < 1 << 20; ++i) {
      x = x * 1103515245 + 12345;
      junk += char(x >> 24);
    }
    // The text ends at the first NUL; whatever is left is not a result page.
    const std::string text = PageTextFromBytes(junk);
    QVERIFY(text.find('\0') == std::string::npos);
    RecordingTarget target;
    HarvestPage(text, target);
    HarvestPage(junk, target);  // even raw bytes with NULs inside are safe
    QCOMPARE(target.grid.size(), size_t(0));

    // A NUL in the middle of a real page cuts it there: the records before it stay.
    const std::string page = qbtest::TablePage(TableRecord(1) + TableRecord(2) + '\0' + TableRecord(3));
    RecordingTarget cut;
    HarvestPage(PageTextFromBytes(page), cut);
    QCOMPARE(cut.grid.size(), size_t(2));
  }

  void invalidUtf8CountsBytes() {
    // 0xFF never occurs in UTF-8: descriptions are cut at 55 bytes.
    const std::string title = std::string(60, 'x') + "\xff";
    const std::string page = qbtest::TablePage(TableRecord(1, title));
    RecordingTarget target;
    HarvestPage(page, target);
    QCOMPARE(target.grid.size(), size_t(1));
    QCOMPARE(target.grid[0].description.size(), size_t(55));
    // Valid UTF-8 counts characters: 55 two-byte letters stay whole.
    std::string wide;
    for (int i = 0; i < 60; ++i) wide += "\xc3\xa9";
    RecordingTarget utf8;
    HarvestPage(qbtest::TablePage(TableRecord(2, wide)), utf8);
    QCOMPARE(utf8.grid[0].description.size(), size_t(110));
  }

  void pagesMadeOfMarkers_data() {
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<int>("rows");
    // Each unit lacks a numeric item number, so the walk ends at the first record.
    QTest::newRow("table markers")
        << QByteArray(
               "var findSortArray = [input "
               "type=\"checkbox\"rd=1\">category=item=&amp<b></b>rowspan=\"1\"></</tr>")
        << 0;
    QTest::newRow("check boxes only") << QByteArray("var findSortArray = [ input type=\"checkbox\" ") << 0;
    QTest::newRow("links only") << QByteArray(
                                       "var findSortArray = [input type=\"checkbox\"rd=1\"><img height")
                                << 0;
    QTest::newRow("script markers") << QByteArray("var salejsdSI(,\",','',dSI(") << 0;
    QTest::newRow("commas") << QByteArray("var salejs dSI(,,,,,,,,,,,,,,,,,,,,") << 0;
    // A whole record over and over: the walk runs to the end, the grid keeps one row.
    QTest::newRow("one record repeated")
        << QByteArray(
               "var findSortArray = [<tr><td><input type=\"checkbox\"></td><td><a href=\"v?category=7&amp;"
               "item=55&amp;rd=1\">Lamp</a></td><td><b>$5.00</b></td><td rowspan=\"1\">2</td></tr>\r\n")
        << 1;
  }
  void pagesMadeOfMarkers() {
    QFETCH(QByteArray, unit);
    QFETCH(int, rows);
    std::string page;
    while (page.size() < 4u * 1024 * 1024) page.append(unit.constData(), size_t(unit.size()));
    RecordingTarget target;
    HarvestPage(page, target);  // must end, quickly, without reading outside the page
    QCOMPARE(int(target.grid.size()), rows);
  }

  void fullDiskReportsTheFile() {
    // A file-size limit stands in for a full disk: the write fails with EFBIG.
    struct rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString message;
    try {
      WriteSnapshotFile("log1000001.sha", std::string(1 << 20, 'x'));
    } catch (const Exception& e) {
      message = QString::fromStdString(e.what());
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::remove("log1000001.sha");
    QVERIFY2(message.startsWith("Cannot write file \"log1000001.sha\""), qPrintable(message));
    QVERIFY2(message.contains("large"), qPrintable(message));
  }
};

QTEST_APPLESS_MAIN(TestBadInput)
#include "test_core_bad_input.moc"
