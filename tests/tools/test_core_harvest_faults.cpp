#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <functional>

#include "tests/tools/ResearchPages.h"

namespace {

constexpr int kPages = 40, kCards = 240;

QString Program() { return qEnvironmentVariable("QB_BINARY_DIR") + "/quellbid-harvest"; }

// Started, not waited for; modifier runs in the child before the program.
void Start(QProcess& process, const QStringList& arguments, std::function<void()> modifier = {}) {
  if (modifier) process.setChildProcessModifier(modifier);
  process.start(Program(), arguments);
}

struct Ended {
  int status = -1;  // -1: killed or crashed
  QByteArray err;
};

Ended Wait(QProcess& process) {
  Ended ended;
  if (process.state() != QProcess::NotRunning && !process.waitForFinished(120000)) return ended;
  if (process.exitStatus() == QProcess::NormalExit) ended.status = process.exitCode();
  ended.err = process.readAllStandardError();
  return ended;
}

Ended RunHarvester(const QStringList& arguments, std::function<void()> modifier = {}) {
  QProcess process;
  Start(process, arguments, modifier);
  return Wait(process);
}

// The file after a fault: it opens, SQLite finds it sound, each harvest line
// holds exactly the rows it added (all of a page, as no two pages share an
// item), and the lines follow pages in order. Returns the line count, -1 on
// a failed check.
int CheckSound(const QString& file, const QStringList& pages) {
  const QString integrity = Sql(file, {"PRAGMA integrity_check"});
  if (integrity != "ok") {
    qWarning() << "integrity_check:" << integrity;
    return -1;
  }
  const ResearchContents c = ReadResearch(file);
  if (!c.error.empty()) {
    qWarning() << "open:" << c.error.c_str();
    return -1;
  }
  const auto counts = c.RowsOf();
  for (size_t i = 0; i < c.lines.size(); ++i) {
    const qb::HarvestLine& line = c.lines[i];
    const int64_t rows = counts.count(line.id) ? counts.at(line.id) : 0;
    if (line.added != kCards || rows != kCards || i >= size_t(pages.size()) ||
        QString::fromStdString(line.pageUrl) != pages[int(i)]) {
      qWarning() << "harvest line" << i << line.pageUrl.c_str() << line.added << rows;
      return -1;
    }
  }
  if (c.grid.size() != c.lines.size() * kCards) return -1;
  return int(c.lines.size());
}

}  // namespace

// quellbid-harvest --into under faults: killed, copied while writing, a
// folder it may not write, a full disk.
class TestHarvestFaults : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir FDir;
  QStringList FPages;  // kPages pages of kCards cards, no item on two pages

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    // Readable by the user the read-only folder's rows run the harvester as.
    QFile::setPermissions(FDir.path(), QFile::permissions(FDir.path()) | QFile::ExeOther | QFile::ReadOther);
    for (int i = 0; i < kPages; ++i) {
      FPages << FDir.filePath(QString("page%1.htm").arg(i, 2, 10, QChar('0')));
      QVERIFY(WriteBytes(FPages.last(), CardPage(600000000000 + i * 1000, kCards)));
    }
  }

  // Killed once lines pages have been reported (each after its harvest is
  // written), pause microseconds later; earlier pages from a run before.
  void killed_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pause");
    QTest::addColumn<int>("earlier");
    QTest::newRow("at once") << 0 << 0 << 0;
    QTest::newRow("while the file is made") << 0 << 6000 << 0;
    QTest::newRow("a little later") << 0 << 12000 << 0;
    QTest::newRow("at once, file with harvests") << 0 << 0 << 2;
    QTest::newRow("soon, file with harvests") << 0 << 3000 << 2;
    QTest::newRow("after the first page") << 1 << 0 << 0;
    QTest::newRow("a moment after the first page") << 1 << 700 << 0;
    QTest::newRow("after 5 pages") << 5 << 300 << 0;
    QTest::newRow("after 12 pages") << 12 << 1500 << 3;
    QTest::newRow("after 25 pages") << 25 << 0 << 0;
  }
  void killed() {
    QFETCH(int, lines);
    QFETCH(int, pause);
    QFETCH(int, earlier);
    QTemporaryDir dir;
    const QString file = dir.filePath("killed.quellbid");
    if (earlier > 0) QCOMPARE(RunHarvester(QStringList{"--into", file} + FPages.mid(0, earlier)).status, 0);
    QProcess process;
    Start(process, QStringList{"--into", file} + FPages.mid(earlier));
    QVERIFY(process.waitForStarted());
    QByteArray err;
    while (err.count('\n') < lines && process.state() == QProcess::Running) {
      process.waitForReadyRead(100);
      err += process.readAllStandardError();
    }
    QThread::usleep(pause);
    process.kill();
    if (process.state() != QProcess::NotRunning) QVERIFY(process.waitForFinished());
    if (QFile::exists(file))
      QVERIFY(CheckSound(file, FPages) >= earlier + lines);
    else
      QCOMPARE(lines + earlier, 0);
    // And it takes the rest.
    QCOMPARE(RunHarvester(QStringList{"--into", file} + FPages).status, 0);
    QCOMPARE(ReadResearch(file).grid.size(), size_t(kPages * kCards));
  }

  // A new file is made beside its name: a run killed then leaves no file
  // under the name, and its half-made one goes at the next run.
  void halfMadeFileOfAKilledRun() {
    QTemporaryDir dir;
    QVERIFY(WriteBytes(dir.filePath(".research.quellbid.new"), ""));
    QCOMPARE(RunHarvester({"--into", dir.filePath("research.quellbid"), FPages[0]}).status, 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"research.quellbid"});
    QCOMPARE(CheckSound(dir.filePath("research.quellbid"), FPages), 1);
  }

  // Copies taken while the harvester writes open as research files or are
  // refused with a message.
  void copiedWhileWriting_data() {
    QTest::addColumn<bool>("withLog");
    QTest::newRow("the file alone") << false;
    QTest::newRow("with its write-ahead log") << true;
  }
  void copiedWhileWriting() {
    QFETCH(bool, withLog);
    QTemporaryDir dir;
    const QString file = dir.filePath("busy.quellbid");
    QProcess process;
    Start(process, QStringList{"--into", file} + FPages);
    QStringList copies;
    while (process.state() != QProcess::NotRunning && copies.size() < 12) {
      process.waitForReadyRead(50);
      process.readAllStandardError();
      if (!QFile::exists(file)) continue;
      const QString copy = dir.filePath(QString("copy%1.quellbid").arg(copies.size()));
      if (!QFile::copy(file, copy)) continue;
      if (withLog) QFile::copy(file + "-wal", copy + "-wal");
      copies << copy;
    }
    QCOMPARE(Wait(process).status, 0);
    QVERIFY(!copies.isEmpty());
    for (const QString& copy : copies) {
      const Ended read = RunHarvester({copy});
      QVERIFY2(read.status == 0 ||
                   (read.status == 2 && read.err.startsWith("quellbid-harvest: " + copy.toUtf8() + ": ")),
               qPrintable(copy + ": " + read.err));
    }
  }

  // A research file that cannot be made or written there: status 2, a
  // message, nothing made, an existing file as it was.
  void unwritableFolder_data() {
    QTest::addColumn<QString>("folder");  // under the row's temporary folder
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("existing");
    QTest::newRow("new file, read-only folder") << "shelf" << true << false;
    QTest::newRow("existing file, read-only folder") << "shelf" << true << true;
    QTest::newRow("missing folder") << "gone/deeper" << false << false;
    QTest::newRow("a page as folder") << "page.htm" << false << false;
  }
  void unwritableFolder() {
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
    const QString path = dir.filePath(folder);
    if (folder.endsWith(".htm")) QVERIFY(WriteBytes(path, "<html></html>"));
    if (readOnly) QVERIFY(QDir().mkpath(path));
    const QString file = path + "/research.quellbid";
    if (existing) QCOMPARE(RunHarvester({"--into", file, FPages[0]}).status, 0);
    const QByteArray before = FileBytes(file);
    std::function<void()> modifier;
    if (readOnly) {
      QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
      // Root writes into any folder: the harvester runs as nobody then.
      if (geteuid() == 0)
        modifier = [] {
          if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(125);
        };
    }
    const Ended ended = RunHarvester({"--into", file, FPages[1]}, modifier);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (ended.status == 125) QSKIP("cannot run the harvester as another user");
    QCOMPARE(ended.status, 2);
    QVERIFY2(ended.err.startsWith("quellbid-harvest: " + file.toUtf8() + ": ") && ended.err.count('\n') == 1,
             ended.err);
    QCOMPARE(FileBytes(file), before);
    if (readOnly)
      QCOMPARE(QDir(path).entryList(QDir::Files),
               existing ? QStringList{"research.quellbid"} : QStringList());
  }

  // Files limited to a size (the disk full for the harvester): status 2, a
  // message, and the file keeps every harvest written before.
  void fullDisk_data() {
    QTest::addColumn<int>("earlier");  // pages harvested before, without a limit
    QTest::addColumn<int>("room");     // bytes a file may grow beyond the file's size
    QTest::newRow("no room for a new file") << 0 << 2048;
    QTest::newRow("room for a few pages") << 2 << 200000;
    QTest::newRow("room for less than a page") << 3 << 6000;
  }
  void fullDisk() {
    QFETCH(int, earlier);
    QFETCH(int, room);
    QTemporaryDir dir;
    const QString file = dir.filePath("full.quellbid");
    if (earlier > 0) QCOMPARE(RunHarvester(QStringList{"--into", file} + FPages.mid(0, earlier)).status, 0);
    const rlim_t limit = rlim_t(QFileInfo(file).size() + room);
    const Ended ended = RunHarvester(QStringList{"--into", file} + FPages.mid(earlier), [limit] {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit size{limit, limit};
      setrlimit(RLIMIT_FSIZE, &size);
    });
    QCOMPARE(ended.status, 2);
    const QList<QByteArray> said = ended.err.trimmed().split('\n');
    QVERIFY2(said.last().startsWith("quellbid-harvest: " + file.toUtf8() + ": "), ended.err);
    if (earlier == 0) {
      QVERIFY(!QFile::exists(file));
      return;
    }
    // Pages reported before the message are held, as are the earlier ones.
    QVERIFY(CheckSound(file, FPages) >= earlier + int(said.size()) - 1);
  }
};

QTEST_GUILESS_MAIN(TestHarvestFaults)
#include "test_core_harvest_faults.moc"
