#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "harvest/HarvestText.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "research/GridRows.h"
#include "tests/common/HarvestBytes.h"
#include "tests/common/HarvestReference.h"
#include "tests/common/KernelLevels.h"
#include "tests/common/QtBytes.h"
#include "tests/common/RecordFields.h"
#include "tests/common/RecordingTarget.h"
#include "tests/common/ResultPages.h"

using namespace qb;

using qbref::CutFrom, qbref::CutUpTo;
using qbtest::ByteList;
using qbtest::Bytes;
using qbtest::NextScriptRecord, qbtest::ScriptAmount, qbtest::ScriptBids, qbtest::ScriptDescription,
    qbtest::ScriptItemNumber;
using qbtest::NextTableRecord, qbtest::TableAmount, qbtest::TableBids, qbtest::TableDescription,
    qbtest::TableItemNumber;
using qbtest::RecordingTarget;
using qbtest::View;

namespace {

// The page builders in QtTest's bytes.
QByteArray TableRow(std::string_view item, std::string_view title, std::string_view price,
                    std::string_view bids, bool picture = true) {
  return Bytes(qbtest::TableRecord(item, title, price, bids, picture));
}
QByteArray TablePage(const QByteArray& rows) { return Bytes(qbtest::TablePage(View(rows))); }
QByteArray ScriptRecord(std::string_view item, std::string_view title, std::string_view price,
                        std::string_view bids) {
  return Bytes(qbtest::ScriptRecord(item, title, price, bids));
}
QByteArray ScriptPage(const QByteArray& records) { return Bytes(qbtest::ScriptPage(View(records))); }

QStringList Messages(const RecordingTarget& target) {
  QStringList messages;
  for (const std::string& text : target.said) messages << QString::fromStdString(text);
  return messages;
}

}  // namespace

class TestHarvest : public QObject {
  Q_OBJECT
 private slots:
  void cutFrom_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("after marker") << QByteArray("ab<b>cd") << QByteArray("<b>") << 3 << QByteArray("cd");
    QTest::newRow("k = 0 keeps marker")
        << QByteArray("ab<b>cd") << QByteArray("<b>") << 0 << QByteArray("<b>cd");
    QTest::newRow("k smaller keeps its tail")
        << QByteArray("ab<b>cd") << QByteArray("<b>") << 2 << QByteArray(">cd");
    QTest::newRow("first occurrence") << QByteArray("x,y,z") << QByteArray(",") << 1 << QByteArray("y,z");
    QTest::newRow("marker at end") << QByteArray("abc<b>") << QByteArray("<b>") << 3 << QByteArray();
    QTest::newRow("beyond end") << QByteArray("a<b>c") << QByteArray("<b>") << 5 << QByteArray();
    QTest::newRow("absent, k = 0") << QByteArray("abcdef") << QByteArray("<b>") << 0 << QByteArray();
    QTest::newRow("absent, k = 1 keeps all")
        << QByteArray("abcdef") << QByteArray(",") << 1 << QByteArray("abcdef");
    QTest::newRow("absent loses k - 1")
        << QByteArray("abcdef") << QByteArray("rd=1\">") << 6 << QByteArray("f");
    QTest::newRow("absent, k past end") << QByteArray("abc") << QByteArray("item=") << 5 << QByteArray();
    QTest::newRow("absent, k = length + 1") << QByteArray("abcd") << QByteArray("item=") << 5 << QByteArray();
    QTest::newRow("empty text") << QByteArray() << QByteArray(",") << 1 << QByteArray();
    QTest::newRow("case counts") << QByteArray("a<B>c<b>d") << QByteArray("<b>") << 3 << QByteArray("d");
  }
  void cutFrom() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marker);
    QFETCH(int, k);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(CutFrom(View(text), View(marker), static_cast<size_t>(k))), expected);
  }

  void cutUpTo_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("found") << QByteArray("12.50</b>x</b>") << QByteArray("</b>") << QByteArray("12.50");
    QTest::newRow("absent") << QByteArray("12.50") << QByteArray("</b>") << QByteArray();
    QTest::newRow("begins with marker") << QByteArray("</b>12") << QByteArray("</b>") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray(",") << QByteArray();
  }
  void cutUpTo() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marker);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(CutUpTo(View(text), View(marker))), expected);
  }

  // Against std::string_view::find on texts of a few letters, so that near
  // misses are common; the searched range ends inside the text, so a search
  // that reads past its end finds too much. The lengths cross the 16-byte
  // blocks of the search.
  void findBytesMatchesFind() {
    const std::vector<std::string> markers = {
        "a", "ab", "aba", "</tr>", "<a/", "rd=1\">", "aaaaaaaaaaaaaaaaaaa"};
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
      const std::string& marker = markers[random() % markers.size()];
      std::string text(random() % 150, ' ');
      const std::string letters = marker + "x";
      for (char& c : text) c = letters[random() % letters.size()];
      const size_t from = random() % (text.size() + 1);
      const size_t size = random() % (text.size() - from + 1);
      const std::string_view range = std::string_view(text).substr(from, size);
      const size_t expected = range.find(marker);
      const size_t inText = expected == npos ? npos : expected + from;
      if (FindBytes(range.data(), range.size(), marker) != expected ||
          (from + size == text.size() && FindIn(text, marker, from) != inText))
        QFAIL(qPrintable(QString::fromStdString("marker " + marker + " in " + std::string(range))));
    }
    // A marker at every offset, whole or cut by the end of the range.
    for (const std::string& marker : markers) {
      for (size_t at = 0; at < 200; ++at) {
        const std::string text = std::string(at, 'x') + marker + "x";
        QCOMPARE(FindBytes(text.data(), at + marker.size(), marker), at);
        QCOMPARE(FindBytes(text.data(), at + marker.size() - 1, marker), npos);
      }
    }
    QCOMPARE(FindBytes("abc", 3, ""), size_t(0));
  }

  void cutFirst_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("shorter stays") << QByteArray("Lamp") << 55 << false << QByteArray("Lamp");
    QTest::newRow("bytes") << QByteArray("abcdef") << 3 << false << QByteArray("abc");
    QTest::newRow("bytes split a character") << QByteArray("a\xc3\xa9z") << 2 << false << QByteArray("a\xc3");
    QTest::newRow("characters") << QByteArray("a\xc3\xa9z") << 2 << true << QByteArray("a\xc3\xa9");
    QTest::newRow("four-byte character")
        << QByteArray("\xf0\x9f\x94\x94xy") << 2 << true << QByteArray("\xf0\x9f\x94\x94x");
    QTest::newRow("three-byte characters") << QByteArray("\xe2\x80\x93\xe2\x80\x93\xe2\x80\x93") << 2 << true
                                           << QByteArray("\xe2\x80\x93\xe2\x80\x93");
    QTest::newRow("exact length") << QByteArray("abc") << 3 << true << QByteArray("abc");
  }
  void cutFirst() {
    QFETCH(QByteArray, text);
    QFETCH(int, n);
    QFETCH(bool, utf8);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(CutFirst(View(text), static_cast<size_t>(n), utf8)), expected);
  }

  void utf8Validity_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ascii") << QByteArray("plain <b>text</b> of some length") << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("two-byte") << QByteArray("caf\xc3\xa9 au lait, long enough") << true;
    QTest::newRow("latin-1 byte") << QByteArray("caf\xe9 au lait, long enough") << false;
    QTest::newRow("truncated at end") << QByteArray("abc\xe2\x80") << false;
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << false;
    QTest::newRow("lone continuation") << QByteArray("12345678\x80") << false;
    const QByteArray ascii(20, 'a');
    QTest::newRow("two-byte between long ASCII runs") << ascii + "\xc3\xa9" + ascii << true;
    QTest::newRow("truncated between long ASCII runs") << ascii + "\xc3" + ascii << false;
    QTest::newRow("high byte at the end of a block") << QByteArray(15, 'a') + "\xe9" + ascii << false;
    const QByteArray run(100, 'a');  // beyond the 64-byte blocks
    QTest::newRow("two-byte after a long run") << run + "\xc3\xa9" + run << true;
    QTest::newRow("truncated after a long run") << run + "\xc3" + run << false;
  }
  void utf8Validity() {
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidUtf8(View(text)), valid);
  }

  void textContains_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("part");
    QTest::addColumn<bool>("contains");
    QTest::newRow("same case") << QByteArray("x var salejs y") << QByteArray("var salejs") << true;
    QTest::newRow("capitals") << QByteArray("VAR SALEJS") << QByteArray("var salejs") << true;
    QTest::newRow("mixed") << QByteArray("Var SaleJS") << QByteArray("var salejs") << true;
    QTest::newRow("at start") << QByteArray("GBP 8.50") << QByteArray("gbp") << true;
    QTest::newRow("at end") << QByteArray("12.00 au") << QByteArray("AU") << true;
    QTest::newRow("absent") << QByteArray("var sales") << QByteArray("var salejs") << false;
    QTest::newRow("longer part") << QByteArray("AU") << QByteArray("AUD") << false;
    QTest::newRow("near miss then hit")
        << QByteArray("var salej var salejs") << QByteArray("VAR SALEJS") << true;
    QTest::newRow("empty text") << QByteArray() << QByteArray("AU") << false;
    const QByteArray far(100, '-');  // past the blocks of the search
    QTest::newRow("far in a long text") << far + "Var SaleJS" + far << QByteArray("var salejs") << true;
    QTest::newRow("a case bit away from a first sign") << far + "`ab" + far << QByteArray("@ab") << false;
    QTest::newRow("a case bit away from a last sign") << far + "ab`" + far << QByteArray("AB@") << false;
    QTest::newRow("a case bit away inside") << far + "a`b" + far << QByteArray("A@B") << false;
  }
  void textContains() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, part);
    QFETCH(bool, contains);
    QCOMPARE(TextContains(View(text), View(part)), contains);
  }

  void cleanAmount_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("thousands") << QByteArray("$1,299.00") << QByteArray("1299.00");
    QTest::newRow("plain") << QByteArray("$12.50") << QByteArray("12.50");
    QTest::newRow("no dollar") << QByteArray("7") << QByteArray("7");
    QTest::newRow("two dollars") << QByteArray("$$5.00") << QByteArray("FOREIGN");
    QTest::newRow("GBP") << QByteArray("GBP 8.50") << QByteArray("FOREIGN");
    QTest::newRow("gbp lower case") << QByteArray("gbp8.50") << QByteArray("FOREIGN");
    QTest::newRow("AU") << QByteArray("AU $12.00") << QByteArray("FOREIGN");
    QTest::newRow("US") << QByteArray("US $12.00") << QByteArray("FOREIGN");
    QTest::newRow("empty") << QByteArray() << QByteArray("FOREIGN");
    QTest::newRow("dollar only") << QByteArray("$") << QByteArray("FOREIGN");
    QTest::newRow("commas only") << QByteArray(",,") << QByteArray("FOREIGN");
    QTest::newRow("blank inside") << QByteArray("$ 5") << QByteArray("FOREIGN");
    QTest::newRow("dollar after digits") << QByteArray("5$") << QByteArray("5");
    QTest::newRow("periods pass") << QByteArray("$1.2.3") << QByteArray("1.2.3");
    QTest::newRow("lone period") << QByteArray("$.") << QByteArray(".");
    QTest::newRow("markup") << QByteArray("$5<br>") << QByteArray("FOREIGN");
  }
  void cleanAmount() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(CleanAmount(View(text))), expected);
  }

  void isTableLayout_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("table");
    QTest::newRow("table") << TablePage(TableRow("1", "Lamp", "$1.00", "1")) << true;
    QTest::newRow("script") << ScriptPage(ScriptRecord("1", "Pen", "$1.00", "1")) << false;
    QTest::newRow("both markers") << QByteArray("var findSortArray = [ var salejs") << false;
    QTest::newRow("capitals") << QByteArray("VAR SALEJS") << false;
    QTest::newRow("empty") << QByteArray() << true;
  }
  void isTableLayout() {
    QFETCH(QByteArray, page);
    QFETCH(bool, table);
    QCOMPARE(IsTableLayout(View(page)), table);
  }

  // Record texts as the walk sees them: the first starts at its check box.
  void tableFields_data() {
    QTest::addColumn<QByteArray>("rec");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QByteArray>("bids");
    QTest::addColumn<QByteArray>("amount");
    const QByteArray next = TableRow("2000000002", "Second Row Title", "$2.00", "2");
    QTest::newRow("picture link skipped")
        << TableRow("1000000001", "Brass Desk Lamp with Green Glass Shade, circa 1950s", "$1,299.00", "12") +
               next
        << QByteArray("Brass Desk Lamp with Green Glass Shade, circa 1950s</a>") << QByteArray("1000000001")
        << QByteArray("12") << QByteArray("1299.00");
    QTest::newRow("short title runs into markup")
        << TableRow("1000000001", "Lamp", "$5.00", "3", false) + next
        << QByteArray("Lamp</a></td>\n<td><b>$5.00</b></td>\n<td align=\"center\" rowspan").left(55)
        << QByteArray("1000000001") << QByteArray("3") << QByteArray("5.00");
    QTest::newRow("dashes for bids")
        << TableRow("1000000001", "Lamp", "$5.00", "--") + next
        << QByteArray("Lamp</a></td>\n<td><b>$5.00</b></td>\n<td align=\"center\" rowspan").left(55)
        << QByteArray("1000000001") << QByteArray("0") << QByteArray("5.00");
    QTest::newRow("bids over two lines")
        << TableRow("1000000001", "Lamp", "$5.00", "1\r\n2") + next
        << QByteArray("Lamp</a></td>\n<td><b>$5.00</b></td>\n<td align=\"center\" rowspan").left(55)
        << QByteArray("1000000001") << QByteArray("0") << QByteArray("5.00");
    QTest::newRow("GBP price")
        << TableRow("1000000001", "Lamp", "GBP 8.50", "1") + next
        << QByteArray("Lamp</a></td>\n<td><b>GBP 8.50</b></td>\n<td align=\"center\" ").left(55)
        << QByteArray("1000000001") << QByteArray("1") << QByteArray("FOREIGN");
    QByteArray noBold = TableRow("1000000001", "Lamp", "", "9");
    noBold.replace("<b></b>", "");
    QTest::newRow("no bold price takes the next one")
        << noBold + next
        << QByteArray("Lamp</a></td>\n<td></td>\n<td align=\"center\" rowspan=\"1\">9</").left(55)
        << QByteArray("1000000001") << QByteArray("2") << QByteArray("2.00");
    QTest::newRow("no item link") << QByteArray("<input type=\"checkbox\"> nothing more here at all")
                                  << QByteArray("t type=\"checkbox\"> nothing more here at all")
                                  << QByteArray() << QByteArray("0") << QByteArray("FOREIGN");
    QTest::newRow("item without &amp") << QByteArray("category=5&item=77&rd=1\">T</a>") << QByteArray("T</a>")
                                       << QByteArray() << QByteArray("0") << QByteArray("FOREIGN");
    QTest::newRow("no category: loses 8 characters")
        << QByteArray("12345678item=77&amp;x") << QByteArray("678item=77&amp;x") << QByteArray("77")
        << QByteArray("0") << QByteArray("FOREIGN");
    QTest::newRow("image links chained")
        << QByteArray("rd=1\"><img height=1>rd=1\"><img height=2>rd=1\">Title") << QByteArray("Title")
        << QByteArray() << QByteArray("0") << QByteArray("FOREIGN");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray() << QByteArray("0")
                           << QByteArray("FOREIGN");
  }
  void tableFields() {
    QFETCH(QByteArray, rec);
    QFETCH(QByteArray, description);
    QFETCH(QByteArray, item);
    QFETCH(QByteArray, bids);
    QFETCH(QByteArray, amount);
    QCOMPARE(Bytes(TableDescription(View(rec))), description);
    QCOMPARE(Bytes(TableItemNumber(View(rec))), item);
    QCOMPARE(Bytes(TableBids(View(rec))), bids);
    QCOMPARE(Bytes(TableAmount(View(rec))), amount);
  }

  void utf8Description_data() {
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<int>("bytes");
    // 54 ASCII characters, then a two-byte character at position 55.
    const QByteArray title = QByteArray(54, 'x') + "\xc3\xa9" + "tail";
    QTest::newRow("characters keep the whole last one") << title << true << 56;
    QTest::newRow("bytes otherwise") << title << false << 55;
  }
  void utf8Description() {
    QFETCH(QByteArray, title);
    QFETCH(bool, utf8);
    QFETCH(int, bytes);
    const QByteArray rec = "rd=1\">" + title;
    QCOMPARE(static_cast<int>(TableDescription(View(rec), utf8).size()), bytes);
  }

  void nextTableRecord_data() {
    QTest::addColumn<QByteArray>("rec");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("next check box, then behind its first link")
        << QByteArray("a</tr>b<input type=\"checkbox\">c rd=1\">x rd=1\">y") << QByteArray("1\">x rd=1\">y");
    QTest::newRow("no further check box") << QByteArray("a</tr>b rd=1\">x") << QByteArray("1\">x");
    QTest::newRow("no row end") << QByteArray("abc rd=1\">x") << QByteArray("1\">x");
    QTest::newRow("nothing") << QByteArray("abcdef") << QByteArray("ef");
  }
  void nextTableRecord() {
    QFETCH(QByteArray, rec);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(NextTableRecord(View(rec))), expected);
  }

  void scriptFields_data() {
    QTest::addColumn<QByteArray>("rec");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QByteArray>("bids");
    QTest::addColumn<QByteArray>("amount");
    QTest::newRow("record") << ScriptRecord("4500001", "Fountain Pen, 14k Nib", "$1,024.50", "7")
                            << QByteArray("Fountain Pen, 14k Nib") << QByteArray("4500001") << QByteArray("7")
                            << QByteArray("1024.50");
    QTest::newRow("dashes stay") << ScriptRecord("4500001", "Pen", "$3.00", "--") << QByteArray("Pen")
                                 << QByteArray("4500001") << QByteArray("--") << QByteArray("3.00");
    QTest::newRow("quoted bids stay raw")
        << ScriptRecord("4500001", "Pen", "$3.00", " '4'") << QByteArray("Pen") << QByteArray("4500001")
        << QByteArray(" '4'") << QByteArray("3.00");
    QTest::newRow("AU price") << ScriptRecord("4500001", "Pen", "AU $12.00", "1") << QByteArray("Pen")
                              << QByteArray("4500001") << QByteArray("1") << QByteArray("FOREIGN");
    QTest::newRow("comma in an earlier argument shifts the count")
        << QByteArray("dSI('a,b',2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"16\",'x','$1','y')")
        << QByteArray("5,\"16") << QByteArray("14") << QByteArray("12") << QByteArray("1");
    QTest::newRow("too few separators")
        << QByteArray("dSI(1,2,3)") << QByteArray() << QByteArray() << QByteArray() << QByteArray("FOREIGN");
  }
  void scriptFields() {
    QFETCH(QByteArray, rec);
    QFETCH(QByteArray, description);
    QFETCH(QByteArray, item);
    QFETCH(QByteArray, bids);
    QFETCH(QByteArray, amount);
    const std::string_view r = NextScriptRecord(View(rec));
    QCOMPARE(Bytes(ScriptDescription(r)), description);
    QCOMPARE(Bytes(ScriptItemNumber(r)), item);
    QCOMPARE(Bytes(ScriptBids(r)), bids);
    QCOMPARE(Bytes(ScriptAmount(r)), amount);
  }

  // Whole pages: the rows the grid ends with and the messages shown.
  void harvestPage_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArrayList>("rows");
    QTest::addColumn<QByteArrayList>("messages");
    const QByteArray lamp = TableRow("1000000001", "Brass Desk Lamp, Green Shade", "$45.00", "7");
    const QByteArray vase = TableRow("1000000002", "Blue Glass Vase", "$1,299.00", "0");
    const QByteArray gbp = TableRow("1000000003", "Tea Caddy", "GBP 8.50", "3");
    const QByteArray au = TableRow("1000000004", "Wool Blanket", "AU $12.00", "2");
    const QByteArray bin = TableRow("1000000005", "Oak Picture Frame", "$19.99", "--");
    const QByteArray lampRow = "1000000001|7|45.00|Brass Desk Lamp, Green Shade</a></td>\n<td><b>$45.00</b>";
    const QByteArray vaseRow =
        "1000000002|0|1299.00|Blue Glass Vase</a></td>\n<td><b>$1,299.00</b></td>\n<td ";
    const QByteArray binRow = "1000000005|0|19.99|Oak Picture Frame</a></td>\n<td><b>$19.99</b></td>\n<td a";
    QTest::newRow("table") << TablePage(lamp + vase + bin) << QByteArrayList{lampRow, vaseRow, binRow}
                           << QByteArrayList();
    QTest::newRow("foreign prices left out, later rows kept")
        << TablePage(lamp + gbp + au + vase) << QByteArrayList{lampRow, vaseRow} << QByteArrayList();
    QTest::newRow("script") << ScriptPage(ScriptRecord("4500001", "Fountain Pen", "$24.99", "7") +
                                          ScriptRecord("4500002", "Ink Bottle", "GBP 3.00", "1") +
                                          ScriptRecord("4500003", "Blotter", "$2.00", "0"))
                            << QByteArrayList{"4500001|7|24.99|Fountain Pen", "4500003|0|2.00|Blotter"}
                            << QByteArrayList();
    QTest::newRow("both markers read as script")
        << QByteArray("var findSortArray = [\n") + lamp +
               ScriptPage(ScriptRecord("4500001", "Pen", "$1.00", "1"))
        << QByteArrayList{"4500001|1|1.00|Pen"} << QByteArrayList();
    QTest::newRow("capitals only: a dSI at the page start is cut")
        << QByteArray("dSI(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"Skipped\",'a','$1','b')VAR SALEJS") +
               ScriptRecord("4500001", "Pen", "$1.00", "1")
        << QByteArrayList{"4500001|1|1.00|Pen"} << QByteArrayList();
    QTest::newRow("capitals only, no further dSI")
        << QByteArray("dSI(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"Kept\",'a','$1','b') VAR SALEJS")
        << QByteArrayList{"15|13|1|Kept"} << QByteArrayList();
    QTest::newRow("page of another kind") << QByteArray("<html><body>Hello</body></html>") << QByteArrayList()
                                          << QByteArrayList{"No Results Added"};
    QTest::newRow("blank page") << QByteArray() << QByteArrayList() << QByteArrayList{"No Results Added"};
    QTest::newRow("record list without check box")
        << QByteArray("<script>var findSortArray = [];</script><p>No items found</p>") << QByteArrayList()
        << QByteArrayList();
    QTest::newRow("check box before the record list only")
        << QByteArray("<input type=\"checkbox\"><script>var findSortArray = [];</script>") << QByteArrayList()
        << QByteArrayList();
    QTest::newRow("script page without records")
        << QByteArray("var salejs = [];") << QByteArrayList() << QByteArrayList();
  }
  void harvestPage() {
    QFETCH(QByteArray, page);
    QFETCH(QByteArrayList, rows);
    QFETCH(QByteArrayList, messages);
    const qbtest::HarvestedBytes harvested = qbtest::HarvestBytes(View(page));
    QCOMPARE(harvested.rows, rows);
    QCOMPARE(harvested.said, messages);
  }

  void dollarNoticeOncePerTarget() {
    const QByteArray page = TablePage(TableRow("1000000001", "Lamp", "$1.00", "1"));
    RecordingTarget target;
    HarvestPage(View(page), target);
    QCOMPARE(Messages(target), QStringList{QString::fromUtf8(kDollarNoticeText.data())});
    QCOMPARE(target.DollarNoticeCount(), 1);
    HarvestPage(View(page), target);
    QCOMPARE(target.dollarNotices, 1);
    QCOMPARE(target.DollarNoticeCount(), 1);
    // The script layout never shows it.
    RecordingTarget script;
    HarvestPage(View(ScriptPage(ScriptRecord("4500001", "Pen", "$1.00", "1"))), script);
    QCOMPARE(Messages(script), QStringList());
    QCOMPARE(script.DollarNoticeCount(), 0);
  }

  void secondHarvestAddsNothing() {
    const QByteArray page = TablePage(TableRow("1000000001", "Lamp", "$1.00", "1") +
                                      TableRow("1000000002", "Vase", "$2.00", "0"));
    RecordingTarget target;
    HarvestPage(View(page), target);
    QCOMPARE(target.grid.size(), size_t(2));
    HarvestPage(View(page), target);
    QCOMPARE(target.grid.size(), size_t(2));
  }

  void descriptionCountsCharactersOfValidPages() {
    const QByteArray title = QByteArray(54, 'x') + "\xc3\xa9" + "tail";
    RecordingTarget valid;
    HarvestPage(View(TablePage(TableRow("1000000001", View(title), "$1.00", "1"))), valid);
    QCOMPARE(valid.grid[0].description.size(), size_t(56));
    RecordingTarget invalid;
    HarvestPage(View(TablePage(TableRow("1000000001", View(title), "$1.00", "1") + "\xff")), invalid);
    QCOMPARE(invalid.grid[0].description.size(), size_t(55));
  }

  // A bids cell written over two lines, read back from its snapshot bytes.
  void lineBreakInBidsCell() {
    const QByteArray page = TablePage(TableRow("1000000001", "Lamp", "$1.00", "1\n2"));
    const std::string text = PageTextFromBytes(View(page));
    RecordingTarget target;
    HarvestPage(text, target);
    QCOMPARE(target.grid.size(), size_t(1));
    QCOMPARE(QByteArray::fromStdString(target.grid[0].bids), QByteArray("0"));
    QVERIFY(
        QByteArray::fromStdString(target.grid[0].description).startsWith("Lamp</a></td>\r\n<td><b>$1.00"));
  }

  // The memoised walk against the literal one on pages built from pieces of
  // markup, many of them lacking markers.
  void walkMatchesLiteralRules() {
    const std::vector<QByteArray> pieces = {"<input type=\"checkbox\">",
                                            "rd=1\">",
                                            "rd=1",
                                            "<img height=\"9\">",
                                            "category=",
                                            "item=",
                                            "&amp;",
                                            "<b>",
                                            "</b>",
                                            "rowspan=\"1\">",
                                            "</",
                                            "</tr>",
                                            "dSI(",
                                            ",",
                                            "\",",
                                            "','",
                                            "',",
                                            "$",
                                            "1",
                                            "23",
                                            "5.0",
                                            "GBP",
                                            "x",
                                            "\r\n",
                                            "\"",
                                            "'",
                                            "var findSortArray = [",
                                            "\xc3\xa9",
                                            "\xe9"};
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
      QByteArray page = round % 2 ? "var salejs" : "var findSortArray = [";
      const int count = static_cast<int>(random() % 120);
      for (int i = 0; i < count; ++i) page += pieces[random() % pieces.size()];
      RecordingTarget fast;
      RecordingTarget literal;
      HarvestPage(View(page), fast);
      qbref::HarvestPage(View(page), literal);
      if (fast.Rows() != literal.Rows() || fast.said != literal.said)
        QFAIL(qPrintable("walks differ on page: " + page.toPercentEncoding()));
    }
  }
};

QB_TEST_AT_EVERY_KERNEL_LEVEL(TestHarvest)
#include "test_core_harvest.moc"
