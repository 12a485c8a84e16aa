#include <QtTest>
#include <string>
#include <vector>

#include "research/GridExport.h"
#include "research/GridRows.h"
#include "runtime/Exception.h"
#include "runtime/Files.h"
#include "tests/common/KernelLevels.h"

using namespace qb;

namespace {

// An RFC 4180 reader: records of fields, quoted fields with doubled quotes,
// CR LF between records.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1);
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      records.back().push_back(field);
      field.clear();
      records.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  if (records.back().empty()) records.pop_back();
  return records;
}

GridRows Grid() {
  GridRows grid;
  grid.AddGridRow("Plain lamp", "101", "3", "12.50");
  grid.AddGridRow("Lamp, brass \"Mid\"\r\nsecond line", "102", "0", "1299.00");
  grid.AddGridRow("Tab\there \u00e9", "103", "--", "5");
  grid.AddGridRow("Brass lamp", "104", "2", "30.00", {"2026-07-20", "7.00", "Used, very good"});
  grid.AddGridRow("Oak lamp", "105", "1", "8", {"2026-07-02", "0.00", "New \"boxed\""});
  return grid;
}

std::string ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<missing>");
}

}  // namespace

class TestExport : public QObject {
  Q_OBJECT

 private slots:
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
    QTest::newRow("bytes 64 above the quoted ones stay bare")
        << QByteArray("lbMJlbMJlbMJ") << QByteArray("lbMJlbMJlbMJ");
    QTest::newRow("comma last of eleven") << QByteArray("Brass Lamp,") << QByteArray("\"Brass Lamp,\"");
    const QByteArray block(16, 'a');
    QTest::newRow("comma after a block") << block + ","
                                         << "\"" + block + ",\"";
    QTest::newRow("LF ending a block")
        << block.left(15) + "\n" + block << "\"" + block.left(15) + "\n" + block + "\"";
  }
  void csvField() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, field);
    QCOMPARE(QByteArray::fromStdString(CsvField(text.toStdString())), field);
  }

  void csvRoundTrip() {
    const GridRows grid = Grid();
    const auto records = ParseCsv(GridCsv(grid));
    QCOMPARE(records.size(), size_t(6));
    QCOMPARE(records[0], (std::vector<std::string>{"Item Number", "Bids", "Amount", "Description", "Sold",
                                                   "Delivery", "Condition"}));
    for (size_t i = 0; i < grid.size(); ++i) {
      const ResearchRow& row = grid[i];
      QCOMPARE(records[i + 1],
               (std::vector<std::string>{row.itemNumber, row.bids, row.amount, row.description, row.sold,
                                         row.delivery, row.condition}));
    }
    QCOMPARE(records[4][6], std::string("Used, very good"));
  }

  // The header and the rows of a grid of old-layout rows and of rows with details, as written.
  void csvLines() {
    const std::string csv = GridCsv(Grid());
    QVERIFY(
        csv.starts_with("Item Number,Bids,Amount,Description,Sold,Delivery,Condition\r\n"
                        "101,3,12.50,Plain lamp,,,\r\n"));
    QVERIFY(
        csv.ends_with("104,2,30.00,Brass lamp,2026-07-20,7.00,\"Used, very good\"\r\n"
                      "105,1,8,Oak lamp,2026-07-02,0.00,\"New \"\"boxed\"\"\"\r\n"));
  }

  void tabText() {
    QCOMPARE(GridRowsAsTabText(Grid(), {0, 2}), std::string("101\t3\t12.50\tPlain lamp\t\t\t\n"
                                                            "103\t--\t5\t\"Tab\there \u00e9\"\t\t\t\n"));
    QCOMPARE(GridRowsAsTabText(Grid(), {1}),
             std::string("102\t0\t1299.00\t\"Lamp, brass \"\"Mid\"\"\r\nsecond line\"\t\t\t\n"));
    // A comma needs no quotes between tabs; a quote mark does.
    QCOMPARE(GridRowsAsTabText(Grid(), {3, 4}),
             std::string("104\t2\t30.00\tBrass lamp\t2026-07-20\t7.00\tUsed, very good\n"
                         "105\t1\t8\tOak lamp\t2026-07-02\t0.00\t\"New \"\"boxed\"\"\"\n"));
    QCOMPARE(GridRowsAsTabText(Grid(), {}), std::string());
  }

  void writeReplacesWhole() {
    QTemporaryDir dir;
    const QString path = dir.filePath("grid.csv");
    WriteFileWhole(path.toStdString(), "old contents that are longer");
    WriteFileWhole(path.toStdString(), "new");
    QCOMPARE(ReadAll(path), std::string("new"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"grid.csv"});
  }

  // A failed write says why and leaves neither a half file nor a temporary one.
  void writeFails_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing/grid.csv"
                                    << "No such file or directory";
    QTest::newRow("folder is a file") << "file/grid.csv"
                                      << "Not a directory";
    QTest::newRow("target is a folder") << "folder"
                                        << "Is a directory";
  }
  void writeFails() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder");
    WriteFileWhole(dir.filePath("file").toStdString(), "kept");
    const std::string path = dir.filePath(target).toStdString();
    try {
      WriteFileWhole(path, "data");
      QFAIL("no error");
    } catch (const Exception& e) {
      QCOMPARE(QString::fromUtf8(e.what()),
               "Cannot write file \"" + QString::fromStdString(path) + "\". " + reason);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"file", "folder"}));
    QCOMPARE(ReadAll(dir.filePath("file")), std::string("kept"));
  }
};

QB_TEST_AT_EVERY_KERNEL_LEVEL(TestExport)
#include "test_core_export.moc"
