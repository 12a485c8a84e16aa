#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "harvest/ByteSearch.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "runtime/Exception.h"
#include "tests/common/KernelLevels.h"
#include "tests/common/QtBytes.h"

using namespace qb;
using qbtest::View;

namespace {

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The bytes read back through a temporary file (read.Read's status, or -1
// without a file).
int ReadBack(const QByteArray& bytes, PageText& read, size_t sizeHint = 0, std::string_view watched = {}) {
  std::FILE* file = std::tmpfile();
  if (!file) return -1;
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file);
  std::rewind(file);
  const int status = read.Read(file, sizeHint, watched);
  std::fclose(file);
  return status;
}

}  // namespace

class TestSnapshot : public QObject {
  Q_OBJECT
 private slots:
  void pageText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("one line gets a line end") << QByteArray("abc") << QByteArray("abc\r\n");
    QTest::newRow("CR LF stays") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone LF") << QByteArray("a\nb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n");
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("empty lines kept") << QByteArray("a\n\n\nb") << QByteArray("a\r\n\r\n\r\nb\r\n");
    QTest::newRow("only a line end") << QByteArray("\n") << QByteArray("\r\n");
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("stops at NUL") << QByteArray("ab\0cd\n", 6) << QByteArray("ab\r\n");
    QTest::newRow("NUL first") << QByteArray("\0abc", 4) << QByteArray();
    QTest::newRow("CR before NUL") << QByteArray("ab\r\0\ncd", 7) << QByteArray("ab\r\n");
    QTest::newRow("high bytes unchanged")
        << QByteArray("caf\xe9\n\xc3\xa9") << QByteArray("caf\xe9\r\n\xc3\xa9\r\n");
    // The file reader counts line ends 16 bytes at a time.
    const QByteArray fifteen(15, 'x');
    QTest::newRow("CR LF across blocks") << fifteen + "\r\n" + fifteen << fifteen + "\r\n" + fifteen + "\r\n";
    QTest::newRow("CR ends a block, LF starts none") << fifteen + "\r" + fifteen + "\n"
                                                     << fifteen + "\r\n" + fifteen + "\r\n";
    QTest::newRow("block of line ends")
        << QByteArray("\n\r\n\r\r\n\n\n\r\r\r\n\n\r\n\r\n") << QByteArray("\r\n").repeated(12);
    // Read into the block, then into a buffer: the text ends just below 2 MiB.
    const QByteArray almost2MiB = QByteArray(2 * 1024 * 1024 - 70000, 'a') + "\r" + QByteArray(100, 'b');
    QTest::newRow("pieces near the end of a huge page")
        << almost2MiB << QByteArray(2 * 1024 * 1024 - 70000, 'a') + "\r\n" + QByteArray(100, 'b') + "\r\n";
    QTest::newRow("pieces of line ends only")
        << QByteArray(300000, '\n') + "x" << QByteArray("\r\n").repeated(300000) + "x\r\n";
    QTest::newRow("grows past its first block")
        << QByteArray(70000, 'a') + QByteArray("\rb\0c", 4) << QByteArray(70000, 'a') + "\r\nb\r\n";
  }
  void pageText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    const std::string result = PageTextFromBytes(View(bytes));
    QCOMPARE(QByteArray(result.data(), static_cast<qsizetype>(result.size())), text);
    // The same text read from a file, of known and of unknown size.
    for (const size_t hint : {static_cast<size_t>(bytes.size()), size_t(0)}) {
      PageText read;
      QCOMPARE(ReadBack(bytes, read, hint), 0);
      QCOMPARE(QByteArray(read.view().data(), static_cast<qsizetype>(read.view().size())), text);
    }
  }

  // Against the rule written out byte by byte, on bytes given whole and in
  // pieces that split CR LF pairs and the 16-byte blocks of the widening.
  void piecesMakeTheLiteralText() {
    const auto literal = [](const std::string& bytes) {
      std::string text;
      for (size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
          text += "\r\n";
          if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
          text += bytes[i];
        }
      }
      if (!text.empty() && !text.ends_with('\n')) text += "\r\n";
      return text;
    };
    std::mt19937 random(5);
    const char kinds[] = {'\r', '\n', 'x', 'y', '\0'};  // NUL in every seventh round
    for (int round = 0; round < 5000; ++round) {
      std::string bytes(random() % 400, 'x');
      // Every other round, line ends are rare: whole blocks without one.
      for (char& c : bytes) c = round % 2 && random() % 16 ? 'x' : kinds[random() % (round % 7 ? 4 : 5)];
      std::string text(2 * bytes.size() + 2, '\0');
      LineEndWidener widener;
      size_t size = 0;
      for (size_t from = 0; from < bytes.size();) {
        const size_t n = std::min<size_t>(bytes.size() - from, random() % 200);
        size += widener.Add(bytes.data() + from, n, text.data() + size);
        from += n;
      }
      size += widener.Finish(text.data() + size);
      text.resize(size);
      const std::string expected = literal(bytes);
      if (text != expected || PageTextFromBytes(bytes) != expected)
        QFAIL(qPrintable(QByteArray::fromStdString(bytes).toPercentEncoding()));
    }
  }

  // What the reader finds while reading: UTF-8 validity, with characters split
  // between its pieces (128 KiB) and invalid bytes on either side of a cut; the
  // watched text across the pieces and in any case.
  void factsFoundWhileReading_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<bool>("holds");  // "var salejs"
    const QByteArray dash("\xe2\x80\x93");
    const QByteArray bell("\xf0\x9f\x94\x94");
    QTest::newRow("three-byte characters across pieces") << dash.repeated(50000) + "\n" << true << false;
    for (int before = 1; before <= 3; ++before)
      QTest::newRow(qPrintable(QString("four-byte character split after %1").arg(before)))
          << QByteArray(PageText::kPieceSize - before, 'a') + bell + "tail" << true << false;
    QTest::newRow("truncated at a piece end") << QByteArray(131071, 'a') + "\xe2" + "abc" << false << false;
    QTest::newRow("continuation opens a piece")
        << QByteArray(PageText::kPieceSize, 'a') + "\x80" << false << false;
    QTest::newRow("invalid far in") << QByteArray(200000, 'a') + "\xff" << false << false;
    QTest::newRow("truncated at the end") << QByteArray(10, 'a') + "\xe2\x80" << false << false;
    QTest::newRow("ASCII") << QByteArray("plain\n") << true << false;
    for (int before : {1, 5, 9})
      QTest::newRow(qPrintable(QString("split after %1").arg(before)))
          << QByteArray(PageText::kPieceSize - before, 'a') + "VAR SaleJS" + "tail" << true << true;
    QTest::newRow("whole in the second piece")
        << QByteArray(PageText::kPieceSize, 'a') + "var salejs" << true << true;
    QTest::newRow("at the start") << QByteArray("var salejs") << true << true;
    QTest::newRow("one letter short across pieces") << QByteArray(131068, 'a') + "var salej" << true << false;
    QTest::newRow("line ends widened between") << QByteArray("var\nsalejs") << true << false;
  }
  void factsFoundWhileReading() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QFETCH(bool, holds);
    PageText read;
    QCOMPARE(ReadBack(bytes, read, 0, "var salejs"), 0);
    QCOMPARE(IsValidUtf8(read.view()), utf8);
    QCOMPARE(read.utf8(), utf8);
    QCOMPARE(read.holdsWatched(), holds);
  }

  void fileName_data() {
    QTest::addColumn<uint>("r");
    QTest::addColumn<QString>("name");
    QTest::newRow("zero") << 0u << "log1000000.sha";
    QTest::newRow("small") << 42u << "log1000042.sha";
    QTest::newRow("wraps at a million") << 1234567u << "log1234567.sha";
    QTest::newRow("largest 31-bit") << 2147483647u << "log1483647.sha";
  }
  void fileName() {
    QFETCH(uint, r);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(SnapshotFileName(r)), name);
  }

  void generatorGivesSevenDigitNames() {
    SnapshotNameGenerator clockSeeded;
    const QRegularExpression pattern("^log1\\d{6}\\.sha$");
    for (int i = 0; i < 1000; ++i) {
      const uint32_t r = clockSeeded.Next();
      QVERIFY(r <= 0x7fffffffu);
      QVERIFY(pattern.match(QString::fromStdString(SnapshotFileName(r))).hasMatch());
    }
    SnapshotNameGenerator a(5), b(5);
    QCOMPARE(a.Next(), b.Next());
  }

  void freshNameDeletesOldFile() {
    SnapshotNameGenerator probe(11);
    const QString name = QString::fromStdString(SnapshotFileName(probe.Next()));
    QFile old(name);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    SnapshotNameGenerator generator(11);
    QCOMPARE(QString::fromStdString(MakeSnapshotFileName(generator)), name);
    QVERIFY(!QFile::exists(name));
  }

  void saveWritesBytesAndReadsBack() {
    SnapshotNameGenerator generator(23);
    const QByteArray document("<html>\n<b>$5</b>\r\n\0tail", 24);
    const std::string name = SaveSnapshot(generator, View(document));
    QCOMPARE(ReadAll(QString::fromStdString(name)), document);
    QCOMPARE(QByteArray::fromStdString(ReadSnapshotText(name)), QByteArray("<html>\r\n<b>$5</b>\r\n"));
    // An existing file of that name is replaced, not appended to.
    SnapshotNameGenerator again(23);
    QCOMPARE(SaveSnapshot(again, "x"), name);
    QCOMPARE(ReadAll(QString::fromStdString(name)), QByteArray("x"));
    QFile::remove(QString::fromStdString(name));
  }

  void largeFileReadWhole() {
    QByteArray big;
    for (int i = 0; i < 200000; ++i) big += "line " + QByteArray::number(i) + '\n';
    WriteSnapshotFile("big.sha", View(big));
    const std::string text = ReadSnapshotText("big.sha");
    QCOMPARE(static_cast<qsizetype>(text.size()), big.size() + 200000);
    QVERIFY(QByteArray::fromStdString(text).endsWith("line 199999\r\n"));
    QFile::remove("big.sha");
  }

  void fileErrors_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("message");
    QTest::newRow("create in missing folder")
        << "write:nofolder/log1000001.sha"
        << "Cannot create file \"nofolder/log1000001.sha\". No such file or directory";
    QTest::newRow("create over a folder") << "write:adir"
                                          << "Cannot create file \"adir\". Is a directory";
    QTest::newRow("read missing") << "read:log1999999.sha"
                                  << "Cannot read file \"log1999999.sha\". No such file or directory";
    QTest::newRow("read a folder") << "read:adir"
                                   << "Cannot read file \"adir\". Is a directory";
  }
  void fileErrors() {
    QFETCH(QString, operation);
    QFETCH(QString, message);
    QDir().mkdir("adir");
    const std::string name = operation.section(':', 1).toStdString();
    try {
      if (operation.startsWith("write"))
        WriteSnapshotFile(name, "x");
      else
        ReadSnapshotText(name);
      QFAIL("no exception");
    } catch (const Exception& e) {
      QCOMPARE(QString::fromUtf8(e.what()), message);
    }
  }

  // The snapshot in a working folder without write access. Root is not bound
  // by permissions, so it tries from a child process running as nobody.
  void unwritableFolder() {
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString message;
    if (geteuid() == 0) {
      int channel[2];
      QVERIFY(pipe(channel) == 0);
      const pid_t child = fork();
      if (child == 0) {
        close(channel[0]);
        std::string text = "no exception";
        if (setgid(65534) == 0 && setuid(65534) == 0) {
          try {
            SnapshotNameGenerator generator(3);
            SaveSnapshot(generator, "page");
          } catch (const Exception& e) {
            text = e.what();
          }
        } else {
          text = "cannot become nobody";
        }
        [[maybe_unused]] const auto written = write(channel[1], text.data(), text.size());
        _exit(0);
      }
      close(channel[1]);
      char buffer[512];
      ssize_t n;
      while ((n = read(channel[0], buffer, sizeof buffer)) > 0) message += QString::fromUtf8(buffer, n);
      close(channel[0]);
      waitpid(child, nullptr, 0);
    } else {
      try {
        SnapshotNameGenerator generator(3);
        SaveSnapshot(generator, "page");
      } catch (const Exception& e) {
        message = QString::fromUtf8(e.what());
      }
    }
    QDir::setCurrent(previous);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(QRegularExpression("^Cannot create file \"log1\\d{6}\\.sha\"\\. Permission denied$")
                 .match(message)
                 .hasMatch(),
             qPrintable(message));
  }
};

QB_TEST_AT_EVERY_KERNEL_LEVEL(TestSnapshot)
#include "test_core_snapshot.moc"
