#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QtTest>
#include <csignal>

#include "browser/TCppWebBrowser.h"
#include "controls/ProDlgs.h"
#include "harvest/HarvestText.h"
#include "harvest/Snapshot.h"
#include "research/LVMainGrid.h"
#include "research/Price1.h"
#include "research/ResearchDocument.h"
#include "research/ResearchGridModel.h"
#include "runtime/Application.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include "tests/common/ModalCloser.h"
#include "tests/common/RecordingTarget.h"

using namespace qb;

namespace {

struct Record {
  QByteArray item;
  QByteArray title;
  QByteArray price;
  QByteArray bids;
};

// Records "1", "2", ... titled A, B, ... at $1.00, $2.00, ..., with these bid texts.
QList<Record> RecordsWithBids(const QByteArrayList& bids) {
  QList<Record> records;
  for (int i = 0; i < bids.size(); ++i) {
    const QByteArray n = QByteArray::number(i + 1);
    records.append({n, QByteArray(1, static_cast<char>('A' + i)), "$" + n + ".00", bids[i]});
  }
  return records;
}

// A result page of the table layout: per record a check box, a picture link,
// a title link, the bold price and the bids cell.
QByteArray TablePage(const QList<Record>& records) {
  QByteArray html =
      "<html><head><title>Completed</title><script>var findSortArray = [];</script></head><body><table>\n";
  for (const Record& r : records)
    html += QByteArray("<tr><td><input type=\"checkbox\" name=\"s\"></td>") +
            "<td><a href=\"view?category=7&item=" + r.item +
            "&rd=1\"><img height=\"40\" src=\"p.jpg\"></a></td>" +
            "<td><a href=\"view?category=7&item=" + r.item + "&rd=1\">" + r.title + "</a></td><td><b>" +
            r.price + "</b></td><td rowspan=\"1\">" + r.bids + "</td></tr>\n";
  return html + "</table></body></html>";
}

QStringList SnapshotFiles() {
  return QDir::current().entryList({QStringLiteral("log???????.sha")}, QDir::Files);
}

QString Cell(const TfrmMainPrice& w, int row, int column) {
  return w.GridModel()->index(row, column).data().toString();
}

QStringList Column(const TfrmMainPrice& w, int column) {
  QStringList out;
  for (int r = 0; r < w.GridModel()->rowCount(); ++r) out << Cell(w, r, column);
  return out;
}

void Trigger(TfrmMainPrice& w, const char* action) {
  QAction* a = w.findChild<QAction*>(QString::fromLatin1(action));
  QVERIFY2(a, action);
  a->trigger();
}

// Accepts a text-input dialog with the given text.
std::function<void(QDialog*)> TypeAndAccept(const QString& text) {
  return [text](QDialog* dialog) {
    if (auto* edit = dialog->findChild<QLineEdit*>()) edit->setText(text);
    dialog->accept();
  };
}

// Picks path in a file dialog; accepts any other dialog.
std::function<void(QDialog*)> PickFile(const QString& path) {
  return [path](QDialog* dialog) {
    // The name field has the focus: selectFile leaves it as it is.
    if (auto* files = qobject_cast<QFileDialog*>(dialog))
      files->findChild<QLineEdit*>("fileNameEdit")->setText(path);
    dialog->accept();
  };
}

QStringList RecentEntries(TfrmMainPrice& w) {
  auto* recent = w.findChild<QMenu*>("OpenRecent1");
  emit recent->aboutToShow();
  QStringList texts;
  for (QAction* a : recent->actions())
    if (!a->isSeparator()) texts << a->text();
  return texts;
}

void OpenRecent(TfrmMainPrice& w, const QString& text) {
  auto* recent = w.findChild<QMenu*>("OpenRecent1");
  emit recent->aboutToShow();
  for (QAction* a : recent->actions())
    if (a->text() == text) return a->trigger();
  QFAIL(qPrintable("no recent entry " + text));
}

// The item numbers a research file holds, read past the window's lock.
QStringList ItemsIn(const QString& path) {
  std::string error;
  GridRows grid;
  const std::unique_ptr<ResearchFile> file = ResearchFile::Open(path.toStdString(), false, error);
  if (!file || !file->Load(grid, error)) return {QString::fromStdString(error)};
  QStringList items;
  for (const ResearchRow& row : grid.rows()) items << QString::fromStdString(row.itemNumber);
  return items;
}

// Files and folders no one may write to, not even root, while it lives: the
// immutable flag (false from Set where the file system or the user cannot).
class Immutable {
 public:
  ~Immutable() { Clear(); }
  void Clear() {
    for (const QString& path : FPaths) Flag(path, false);
    FPaths.clear();
  }
  bool Set(const QString& path) {
    FPaths << path;
    return Flag(path, true);
  }

 private:
  static bool Flag(const QString& path, bool on) {
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
  }
  QStringList FPaths;
};

// A full disk while it lives: no file of the process grows past bytes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(qint64 bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &FOld);
    rlimit limit = FOld;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &FOld); }

 private:
  rlimit FOld{};
};

}  // namespace

class TestResearchWindow : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  QString FPage;

  void LoadPage(TfrmMainPrice& w, const QByteArray& html, const QString& name = "page.htm") {
    const QString path = FDir.filePath(name);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(html);
    f.close();
    QSignalSpy loaded(w.MainBrowser()->View(), &QWebEngineView::loadFinished);
    w.MainBrowser()->Navigate(path);
    QVERIFY(loaded.wait(20000));
  }

  void Fill(TfrmMainPrice& w, const QList<Record>& records) {
    LoadPage(w, TablePage(records));
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
  }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    QDir::setCurrent(FDir.path());
    SetLocaleDecimalSeparator('.');
  }

  void init() {
    for (const QString& f : SnapshotFiles()) QFile::remove(f);
  }

  void windowStartsOnTheStartPage() {
    TfrmMainPrice w;
    QCOMPARE(w.windowTitle(), QString("Quellbid"));
    QCOMPARE(w.size(), QSize(963, 668));
    QCOMPARE(w.SortDirection(), -1);
    QTRY_COMPARE(w.MainBrowser()->Url(), QUrl::fromLocalFile(FDir.path() + "/base.htm"));
    QCOMPARE(TfrmMainPrice::HelpPageAddress(), FDir.path() + "/index.htm");
    const QStringList captions = {"Item Number", "Bids",     "Amount",   "Description",
                                  "Sold",        "Delivery", "Condition"};
    const QList<int> widths = {100, 50, 50, 650};
    QCOMPARE(w.GridModel()->columnCount(), captions.size());
    for (int c = 0; c < captions.size(); ++c) {
      QCOMPARE(w.GridModel()->headerData(c, Qt::Horizontal).toString(), captions[c]);
      if (c > 0 && c < widths.size()) QCOMPARE(w.Grid()->columnWidth(c), widths[c]);
      // Sold, Delivery and Condition start at their captions.
      if (c >= widths.size())
        QCOMPARE(w.Grid()->columnWidth(c), w.Grid()->horizontalHeader()->sectionSizeHint(c));
    }
    // Item Number: 100, or wider when the font needs it for twelve digits beside the check box.
    const int digits = w.Grid()->fontMetrics().horizontalAdvance("000000000000");
    QVERIFY(w.Grid()->columnWidth(0) >= std::max(100, digits + 20));
    QAction* add = w.findChild<QAction*>("Search1");
    QCOMPARE(add->text(), QString("Add All From Page"));
    QCOMPARE(add->shortcut(), QKeySequence(Qt::Key_F7));
  }

  void harvestAddsRowsAndLeavesOneSnapshot() {
    TfrmMainPrice w;
    w.show();
    LoadPage(w, TablePage({{"1001", "Brass Lamp", "$12.50", "3"},
                           {"1002", "Oak Table", "$1,299.00", "--"},
                           {"1003", "Tea Set", "GBP 8.50", "2"},
                           {"1004", "Camera", "$40.00", "0"}}));
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    QCOMPARE(SnapshotFiles().size(), 1);
    QCOMPARE(Column(w, 0), QStringList({"1001", "1002", "1004"}));
    QCOMPARE(Column(w, 1), QStringList({"3", "0", "0"}));
    QCOMPARE(Column(w, 2), QStringList({"12.50", "1299.00", "40.00"}));
    QVERIFY(Cell(w, 0, 3).startsWith("Brass Lamp</a>"));
    QCOMPARE(w.GridModel()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // The same page again adds nothing but leaves a second snapshot.
    Trigger(w, "Search1");
    QCOMPARE(w.GridModel()->rowCount(), 3);
    QCOMPARE(SnapshotFiles().size(), 2);
    // Each harvest's line in the research file: page, snapshot and counts.
    std::string error;
    auto file = ResearchFile::Open(w.Document().Path().toStdString(), false, error);
    std::vector<HarvestLine> lines;
    QVERIFY2(file && file->Harvests(lines, error), error.c_str());
    QCOMPARE(lines.size(), size_t(2));
    QCOMPARE(QString::fromStdString(lines[1].pageUrl),
             QUrl::fromLocalFile(FDir.filePath("page.htm")).toString());
    QStringList snapshots{QString::fromStdString(lines[0].snapshotFile),
                          QString::fromStdString(lines[1].snapshotFile)};
    snapshots.sort();
    QCOMPARE(snapshots, SnapshotFiles());
    const auto counts = [](const HarvestLine& l) {
      return QList<int64_t>{l.sold, l.added, l.inGrid, l.leftOut};
    };
    QCOMPARE(counts(lines[0]), (QList<int64_t>{4, 3, 0, 1}));  // the GBP record is left out
    QCOMPARE(counts(lines[1]), (QList<int64_t>{4, 0, 3, 1}));
  }

  // The shipped sample pages give the same rows through the browser's
  // serialisation as from their saved source.
  void samplePagesHarvestLikeTheirSource_data() {
    QTest::addColumn<QString>("page");
    for (const char* name : {"sample-lamps.htm", "sample-watches.htm", "sample-pens.htm"})
      QTest::newRow(name) << name;
  }
  void samplePagesHarvestLikeTheirSource() {
    QFETCH(QString, page);
    const QString path = qEnvironmentVariable("QB_SOURCE_DIR") + "/pages/" + page;
    QFile source(path);
    QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(path));
    qbtest::RecordingTarget expected;
    HarvestPage(source.readAll().toStdString(), expected);
    QVERIFY(expected.grid.size() >= 10);

    TfrmMainPrice w;
    QSignalSpy loaded(w.MainBrowser()->View(), &QWebEngineView::loadFinished);
    w.MainBrowser()->Navigate(path);
    QVERIFY(loaded.wait(20000));
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    QCOMPARE(w.GridModel()->rowCount(), int(expected.grid.size()));
    for (int r = 0; r < w.GridModel()->rowCount(); ++r) {
      QCOMPARE(Cell(w, r, 0).toStdString(), expected.grid[size_t(r)].itemNumber);
      QCOMPARE(Cell(w, r, 2).toStdString(), expected.grid[size_t(r)].amount);
    }
  }

  void pageOfAnotherKindShowsNoResults() {
    TfrmMainPrice w;
    Fill(w, {{"2001", "Radio", "$5.00", "1"}});
    LoadPage(w, "<html><body><p>Nothing to see</p></body></html>", "other.htm");
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    QCOMPARE(closer.lastTitle(), QString("No Results Added"));
    QCOMPARE(w.GridModel()->rowCount(), 1);
  }

  void vanishedWorkingDirectoryShowsTheErrorAndAddsNothing() {
    TfrmMainPrice w;
    LoadPage(w, TablePage({{"3001", "Clock", "$7.00", "2"}}));
    QTemporaryDir gone;
    QDir::setCurrent(gone.path());
    gone.remove();
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    QDir::setCurrent(FDir.path());
    QCOMPARE(closer.lastTitle(), QString("Quellbid Free"));
    QVERIFY2(closer.lastText().startsWith("Cannot create file \"log"), qPrintable(closer.lastText()));
    QCOMPARE(w.GridModel()->rowCount(), 0);
  }

  void removalCommands_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("zero bids") << "RemoveZero1" << QStringList{"2", "5"};
    QTest::newRow("checked") << "RemoveCheckedItems1" << QStringList{"1", "4", "5", "6"};
    QTest::newRow("unchecked") << "RemoveUncheckedItems1" << QStringList{"2", "3"};
    QTest::newRow("selected") << "DeleteSelectedItems1" << QStringList{"1", "2", "4", "6"};
    QTest::newRow("unselected") << "RemoveUnselectedItems1" << QStringList{"3", "5"};
  }
  void removalCommands() {
    QFETCH(QString, action);
    QFETCH(QStringList, kept);
    TfrmMainPrice w;
    Fill(w, RecordsWithBids({"0", "1", "00", "-", "12", "x"}));
    auto* model = w.GridModel();
    model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);  // adjacent checked rows
    model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    w.Grid()->SelectRows({0, 0, 1, 0, 1, 0});
    Trigger(w, action.toLatin1());
    QCOMPARE(Column(w, 0), kept);
    // Survivors keep their check marks and selection.
    for (int r = 0; r < model->rowCount(); ++r) {
      const QString item = Cell(w, r, 0);
      QCOMPARE(model->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked,
               item == "2" || item == "3");
      QCOMPARE(w.Grid()->selectionModel()->isRowSelected(r, {}), item == "3" || item == "5");
    }
  }

  void unselectedRemovalWithNothingSelectedEmptiesTheGrid() {
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$1.00", "1"}, {"2", "B", "$2.00", "1"}});
    Trigger(w, "DeleteSelectedItems1");
    QCOMPARE(w.GridModel()->rowCount(), 2);
    Trigger(w, "RemoveUnselectedItems1");
    QCOMPARE(w.GridModel()->rowCount(), 0);
  }

  void zeroBidFailureStopsAndKeepsEarlierRemovals() {
    TfrmMainPrice w;
    Fill(w, RecordsWithBids({"0", "1.5", "0"}));
    qbtest::ModalCloser closer;
    Trigger(w, "RemoveZero1");
    QCOMPARE(closer.lastText(), QString("'1.5' is not a valid integer value."));
    QCOMPARE(Column(w, 0), QStringList({"2", "3"}));
  }

  // clang-format off
  void priceFilters_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("message");
    QTest::newRow("high 25.00") << "Hi1" << "25.00" << QStringList{"1", "2", "4"} << "";
    QTest::newRow("low 10") << "Low1" << "10" << QStringList{"2", "3", "4"} << "";
    QTest::newRow("letters") << "Hi1" << "abc" << QStringList{"1", "2", "3", "4"}
                             << "'abc' is not a valid floating point value.";
    QTest::newRow("dollar") << "Low1" << "$5" << QStringList{"1", "2", "3", "4"}
                            << "'$5' is not a valid floating point value.";
    QTest::newRow("comma") << "Hi1" << "1,5" << QStringList{"1", "2", "3", "4"}
                           << "'1,5' is not a valid floating point value.";
    QTest::newRow("emptied") << "Hi1" << "" << QStringList{"1", "2", "3", "4"}
                             << "'' is not a valid floating point value.";
  }
  // clang-format on
  void priceFilters() {
    QFETCH(QString, action);
    QFETCH(QString, typed);
    QFETCH(QStringList, kept);
    QFETCH(QString, message);
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$9.99", "1"},
             {"2", "B", "$25", "1"},
             {"3", "C", "$25.01", "1"},
             {"4", "D", "$10.00", "1"}});
    QSet<QString> titles;
    qbtest::ModalCloser closer([&](QDialog* d) {
      titles << d->windowTitle();
      if (d->objectName() == "InputQuery") {
        auto* edit = d->findChild<QLineEdit*>();
        QCOMPARE(edit->text(), QString("0.00"));
        QCOMPARE(edit->selectedText(), QString("0.00"));
        QCOMPARE(edit->maxLength(), 255);
        edit->setText(typed);
      }
      d->accept();
    });
    Trigger(w, action.toLatin1());
    QVERIFY(titles.contains(action == "Hi1" ? "Hi Filter" : "Low Filter"));
    QCOMPARE(Column(w, 0), kept);
    if (!message.isEmpty()) QCOMPARE(closer.lastText(), message);
  }

  // An amount with two periods stops the filter at its row: the rows removed
  // before it stay removed, it and the rest stay.
  void filterStopsAtAnAmountWithTwoPeriods() {
    TfrmMainPrice w;
    Fill(w,
         {{"1", "A", "5.00", "1"}, {"2", "B", "1.2.3", "1"}, {"3", "C", "4.00", "1"}, {"4", "D", "50", "1"}});
    qbtest::ModalCloser closer(TypeAndAccept("10"));
    Trigger(w, "Low1");
    QCOMPARE(Column(w, 0), (QStringList{"2", "3", "4"}));
    QCOMPARE(closer.lastText(), QString("'1.2.3' is not a valid floating point value."));
  }
  void cancelledFilterLeavesTheGrid() {
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$9.99", "1"}, {"2", "B", "$25", "1"}});
    qbtest::ModalCloser closer([](QDialog* d) { d->reject(); });
    Trigger(w, "Hi1");
    QCOMPARE(w.GridModel()->rowCount(), 2);
  }

  void headerClicksShareOneDirection() {
    TfrmMainPrice w;
    Fill(w, {{"99", "Banana", "$5.00", "1"}, {"100", "apple", "$12.00", "3"}, {"7", "cherry", "$7.50", "2"}});
    w.Grid()->SelectRows({1, 0, 0});  // "99" selected
    auto click = [&](int c) { w.Grid()->horizontalHeader()->sectionClicked(c); };
    click(2);
    QCOMPARE(Column(w, 2), QStringList({"12.00", "7.50", "5.00"}));  // largest first
    QVERIFY(w.Grid()->selectionModel()->isRowSelected(2, {}));       // selection follows "99"
    click(2);
    QCOMPARE(Column(w, 2), QStringList({"5.00", "7.50", "12.00"}));
    click(3);
    QCOMPARE(Column(w, 0), QStringList({"100", "99", "7"}));  // direction +1 again: apple, Banana, cherry
    click(0);
    QCOMPARE(Column(w, 0), QStringList({"99", "7", "100"}));  // text order, Z to A
    // New rows are appended after a sort.
    LoadPage(w, TablePage({{"5", "Drum", "$1.00", "1"}}));
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    QCOMPARE(Column(w, 0).last(), QString("5"));
  }

  void clearingCommands() {
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$1.00", "1"}});
    Trigger(w, "Search2");  // "Reset Search Start Page / Keep Grid"
    QTRY_COMPARE(w.MainBrowser()->Url(), QUrl::fromLocalFile(FDir.path() + "/base.htm"));
    QCOMPARE(w.GridModel()->rowCount(), 1);
    LoadPage(w, "<html><body>x</body></html>", "x.htm");
    Trigger(w, "ClearSear1");
    QCOMPARE(w.GridModel()->rowCount(), 0);
    QTRY_COMPARE(w.MainBrowser()->Url(), QUrl::fromLocalFile(FDir.path() + "/base.htm"));
  }

  void seeSelectedItem() {
    TfrmMainPrice w;
    Fill(w, {{"123", "A", "$1.00", "1"}, {"456", "B", "$2.00", "1"}});
    QStringList opened;
    SetShellOpenHook([&](const QString& a) { opened << a; });
    qbtest::ModalCloser closer;
    Trigger(w, "SeeSelectedItem1");
    QCOMPARE(closer.lastText(), QString("Please Select One Item In Grid"));
    w.Grid()->SelectRows({1, 1});
    Trigger(w, "SeeSelectedItem1");
    QCOMPARE(closer.seen().size(), 2);
    QVERIFY(opened.isEmpty());
    w.Grid()->SelectRows({0, 1});
    Trigger(w, "SeeSelectedItem1");
    QCOMPARE(opened, QStringList({"https://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=456"}));
    // A retyped number goes into the address percent-encoded.
    w.GridModel()->setData(w.GridModel()->index(1, 0), "4 5&6");
    Trigger(w, "SeeSelectedItem1");
    QCOMPARE(opened.last(), QString("https://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=4%205%266"));
    SetShellOpenHook({});
  }

  void newResearchWindowStartsThisProgram() {
    TfrmMainPrice w;
    QString started;
    SetStartProgramHook([&](const QString& p) { started = p; });
    Trigger(w, "NewResearchWindow1");
    QCOMPARE(started, QCoreApplication::applicationFilePath());
    QVERIFY(QDir::isAbsolutePath(started));
    SetStartProgramHook({});
  }

  void graphsNeedFourRows() {
    TfrmMainPrice w;
    int opened = 0;
    w.SetStatisticsCommand([&] { ++opened; });
    Fill(w, {{"1", "A", "$1.00", "1"}, {"2", "B", "$2.00", "1"}, {"3", "C", "$3.00", "1"}});
    qbtest::ModalCloser closer;
    Trigger(w, "Graphs1");
    QCOMPARE(closer.lastText(), QString("Not enough data for graph"));
    QCOMPARE(closer.lastTitle(), QString("Error"));
    QCOMPARE(opened, 0);
    w.GridModel()->AddGridRow("D", "4", "1", "4.00");
    Trigger(w, "Graphs1");
    QCOMPARE(opened, 1);
  }

  void gridHeightReturnsTo131OnResize_data() {
    QTest::addColumn<int>("height");
    QTest::newRow("tall") << 640;
    // Below the promotional panel's 230 pixels: the panel is cut off.
    QTest::newRow("short") << 300;
    QTest::newRow("shortest") << 240;
  }

  void gridHeightReturnsTo131OnResize() {
    QFETCH(int, height);
    TfrmMainPrice w;
    w.show();
    auto* splitter = w.findChild<QSplitter*>("Splitter1");
    splitter->setSizes({300, 200});
    w.resize(900, height);
    QTRY_COMPARE(w.height(), height);
    QTRY_COMPARE(w.Grid()->height(), 131);
    QCOMPARE(w.findChild<QWidget*>("ProPanel2")->height(), 230);
  }

  // A renderer busy with a page (here its own script) cannot hand the document
  // over: the command says so and leaves no snapshot file.
  void busyPageIsReportedAndLeavesNoSnapshot() {
    TfrmMainPrice w;
    LoadPage(w, TablePage({{"1", "A", "$1.00", "1"}}));
    QFile busy(FDir.filePath("busy.htm"));
    QVERIFY(busy.open(QIODevice::WriteOnly));
    busy.write(
        "<html><body><script>var t = Date.now(); while (Date.now() - t < 4000) {}</script></body></html>");
    busy.close();
    QSignalSpy loaded(w.MainBrowser()->View(), &QWebEngineView::loadFinished);
    w.MainBrowser()->Navigate(busy.fileName());
    QTest::qWait(500);
    SnapshotNameGenerator names(7);
    QString message;
    try {
      SaveBrowserDocument(*w.MainBrowser(), names, 500);
    } catch (const Exception& e) {
      message = QString::fromStdString(e.what());
    }
    QVERIFY2(message.startsWith(
                 "The page could not be read: the browser was still busy with it after 0.5 seconds."),
             qPrintable(message));
    QVERIFY(SnapshotFiles().isEmpty());
    QVERIFY(loaded.wait(20000));  // the renderer is free again for the next test
  }

  // F7 pressed again while the first harvest still waits for a document: both
  // run to the end, the rows come in once, nothing is lost.
  void harvestAgainDuringTheWaitForADocument() {
    QFile start(FDir.filePath("base.htm"));
    QVERIFY(start.open(QIODevice::WriteOnly | QIODevice::Truncate));
    start.write(TablePage({{"8001", "Kettle", "$3.00", "1"}, {"8002", "Toaster", "$4.00", "2"}}));
    start.close();
    qbtest::ModalCloser closer;
    {
      TfrmMainPrice w;  // starts loading base.htm; no document yet
      QVERIFY(!w.MainBrowser()->Document());
      bool nested = false;
      QTimer::singleShot(0, &w, [&] {
        nested = true;
        Trigger(w, "Search1");
      });
      Trigger(w, "Search1");
      QVERIFY(nested);
      QCOMPARE(Column(w, 0), QStringList({"8001", "8002"}));
      QCOMPARE(SnapshotFiles().size(), 2);
    }
    QFile::remove(FDir.filePath("base.htm"));
  }

  // A harvest while an Item Number is being retyped in place keeps the edit.
  void harvestWhileEditingInPlace() {
    TfrmMainPrice w;
    w.show();
    Fill(w, {{"1", "A", "$1.00", "1"}});
    const QModelIndex first = w.GridModel()->index(0, 0);
    w.Grid()->setCurrentIndex(first);
    w.Grid()->edit(first);
    auto* editor = qobject_cast<QLineEdit*>(w.Grid()->indexWidget(first));
    QVERIFY(editor);
    editor->setText("42");
    LoadPage(w, TablePage({{"2", "B", "$2.00", "1"}}));

    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->text(), QString("42"));
    // What Enter does in the editor: commit, then close it.
    emit w.Grid()->itemDelegate()->commitData(editor);
    emit w.Grid()->itemDelegate()->closeEditor(editor);
    QCOMPARE(Column(w, 0), QStringList({"42", "2"}));
  }

  void fileMenuShortcuts() {
    TfrmMainPrice w;
    QCOMPARE(w.findChild<QAction*>("NewResearch1")->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(w.findChild<QAction*>("OpenResearch1")->shortcut(), QKeySequence("Ctrl+O"));
    QCOMPARE(w.findChild<QAction*>("SaveResearchAs1")->shortcut(), QKeySequence("Ctrl+Shift+S"));
  }

  // The title and Open Recent follow the research through Save As, New and Open Recent.
  void titleAndRecentListFollowTheResearch() {
    RecentResearch().Clear();
    const QString lamps = FDir.filePath("lamps.quellbid");
    QFile::remove(lamps);
    TfrmMainPrice w;
    QCOMPARE(RecentEntries(w), QStringList{"Clear List"});
    Fill(w, {{"1", "A", "$1.00", "1"}, {"2", "B", "$2.00", "1"}});
    QCOMPARE(w.windowTitle(), QString("Quellbid"));
    const QString untitled = ResearchDisplayName(w.Document().Path());
    QVERIFY2(untitled.startsWith("Untitled research, "), qPrintable(untitled));
    QCOMPARE(RecentEntries(w), (QStringList{untitled, "Clear List"}));
    {
      qbtest::ModalCloser closer(PickFile(FDir.filePath("lamps")));  // the suffix is added
      Trigger(w, "SaveResearchAs1");
    }
    QCOMPARE(w.windowTitle(), QString("lamps.quellbid - Quellbid"));
    QCOMPARE(RecentEntries(w), (QStringList{"lamps.quellbid", "Clear List"}));
    w.GridModel()->setData(w.GridModel()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    Trigger(w, "NewResearch1");
    QCOMPARE(w.windowTitle(), QString("Quellbid"));
    QCOMPARE(w.GridModel()->rowCount(), 0);
    OpenRecent(w, "lamps.quellbid");
    QCOMPARE(w.windowTitle(), QString("lamps.quellbid - Quellbid"));
    QCOMPARE(Column(w, 0), (QStringList{"1", "2"}));
    QCOMPARE(w.GridModel()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    Trigger(w, "ClearRecent1");
    QCOMPARE(RecentEntries(w), QStringList{"Clear List"});
  }

  // Opening what is no research file says so and keeps the window's research.
  void openingOtherFilesKeepsTheResearch() {
    const QString text = FDir.filePath("notes.quellbid");
    QFile f(text);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("not a research\n");
    f.close();
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$1.00", "1"}});
    qbtest::ModalCloser closer;
    QVERIFY(!w.OpenResearch(text));
    QVERIFY2(closer.lastText().startsWith("'notes.quellbid'"), qPrintable(closer.lastText()));
    QCOMPARE(Column(w, 0), QStringList{"1"});
    QCOMPARE(w.windowTitle(), QString("Quellbid"));
  }

  // A research another window holds is offered as a copy.
  void researchInUseOpensAsACopy() {
    const QString held = FDir.filePath("held.quellbid");
    QFile::remove(held);
    TfrmMainPrice first;
    Fill(first, {{"1", "A", "$1.00", "1"}});
    {
      qbtest::ModalCloser closer(PickFile(held));
      Trigger(first, "SaveResearchAs1");
    }
    TfrmMainPrice second;
    QString condition;
    qbtest::ModalSteps<TConfirmForm> steps({[&](TConfirmForm* form) {
      condition = form->ConditionLabel->Caption();
      form->YesButton->click();
    }});
    QVERIFY(second.OpenResearch(held));
    QCOMPARE(condition, QString("'held.quellbid' is open in another Quellbid window."));
    QCOMPARE(Column(second, 0), QStringList{"1"});
    QCOMPARE(second.windowTitle(), QString("Quellbid"));
    QVERIFY(IsUntitledResearchPath(second.Document().Path()));
  }

  void retypedItemNumberIsComparedByLaterHarvests() {
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$1.00", "1"}});
    w.GridModel()->setData(w.GridModel()->index(0, 0), "77");
    Fill(w, {{"1", "A", "$1.00", "1"}, {"77", "B", "$2.00", "1"}});
    QCOMPARE(Column(w, 0), QStringList({"77", "1"}));
  }

  // A write the named file refuses: the box names the file, the rows stay in
  // the grid and go on in an untitled file; the named file keeps what it had.
  void failedWriteMovesTheResearchToAnUntitledFile_data() {
    QTest::addColumn<QString>("cause");
    QTest::newRow("held by another program") << "held";
    QTest::newRow("file cannot be written") << "immutable";
    QTest::newRow("disk full") << "full";
  }
  void failedWriteMovesTheResearchToAnUntitledFile() {
    QFETCH(QString, cause);
    QTemporaryDir shelf;
    const QString named = shelf.filePath("shelf.quellbid");
    TfrmMainPrice w;
    Fill(w, {{"1", "A", "$1.00", "1"}, {"2", "B", "$2.00", "1"}});
    {
      qbtest::ModalCloser closer(PickFile(named));
      Trigger(w, "SaveResearchAs1");
    }
    QCOMPARE(w.windowTitle(), QString("shelf.quellbid - Quellbid"));
    // Check marks set and cleared: each one a write that makes the file's log
    // longer than a new file's.
    for (int i = 0; i < 40; ++i)
      w.GridModel()->setData(w.GridModel()->index(0, 0), i % 2 ? Qt::Unchecked : Qt::Checked,
                             Qt::CheckStateRole);
    LoadPage(w, TablePage({{"3", "C", "$3.00", "1"}}), "more.htm");

    QSqlDatabase blocker;
    Immutable immutable;
    std::unique_ptr<FileSizeLimit> full;
    if (cause == "held") {
      blocker = QSqlDatabase::addDatabase("QSQLITE", "blocker");
      blocker.setDatabaseName(named);
      QVERIFY(blocker.open() && QSqlQuery(blocker).exec("BEGIN EXCLUSIVE"));
    } else if (cause == "immutable") {
      if (!immutable.Set(named) || !immutable.Set(named + "-wal")) QSKIP("cannot make a file immutable here");
    } else {
      full = std::make_unique<FileSizeLimit>(QFileInfo(named + "-wal").size() + 1000);
    }
    qbtest::ModalCloser closer;
    Trigger(w, "Search1");
    full.reset();
    if (blocker.isOpen()) blocker.close();
    blocker = QSqlDatabase();
    QSqlDatabase::removeDatabase("blocker");

    QCOMPARE(closer.seen().size(), 1);
    QCOMPARE(closer.lastTitle(), QString("Error"));
    const QString text = closer.lastText();
    QVERIFY2(text.startsWith("'shelf.quellbid' could not be saved: ") &&
                 text.endsWith(". The rows stay in the window and are kept in an untitled research file."),
             qPrintable(text));
    QCOMPARE(Column(w, 0), (QStringList{"1", "2", "3"}));
    QCOMPARE(w.windowTitle(), QString("Quellbid"));
    QVERIFY(IsUntitledResearchPath(w.Document().Path()));
    QCOMPARE(ItemsIn(w.Document().Path()), (QStringList{"1", "2", "3"}));
    // The next change goes to the untitled file.
    w.GridModel()->setData(w.GridModel()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    QCOMPARE(closer.seen().size(), 1);
    immutable.Clear();
    QCOMPARE(ItemsIn(named), (QStringList{"1", "2"}));
  }

  // Save Research As where no file can be made: the box names the chosen
  // file; the research, its untitled file and the folder stay as they were.
  void saveAsWhereNothingCanBeWritten_data() {
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QStringList>("rows");  // of the untitled research
    QTest::addColumn<QString>("why");
    const QStringList two{"1", "2"};
    QTest::newRow("folder cannot be written")
        << "immutable" << two << "cannot be written: its folder is read-only.";
    QTest::newRow("disk full") << "full" << two << "could not be saved: ";
    // No file yet: a new one is made there.
    QTest::newRow("disk full, no rows") << "full" << QStringList() << "cannot be made: ";
  }
  void saveAsWhereNothingCanBeWritten() {
    QFETCH(QString, cause);
    QFETCH(QStringList, rows);
    QFETCH(QString, why);
    QTemporaryDir shelf;
    TfrmMainPrice w;
    QList<Record> records;
    for (const QString& item : rows) records.append({item.toLatin1(), "A", "$1.00", "1"});
    if (!records.isEmpty()) Fill(w, records);
    const QString untitled = w.Document().Path();
    Immutable immutable;
    std::unique_ptr<FileSizeLimit> full;
    if (cause == "immutable" && !immutable.Set(shelf.path())) QSKIP("cannot make a folder immutable here");
    if (cause == "full") full = std::make_unique<FileSizeLimit>(8192);
    {
      qbtest::ModalCloser closer(PickFile(shelf.filePath("shelf.quellbid")));
      Trigger(w, "SaveResearchAs1");
      full.reset();
      QCOMPARE(closer.lastTitle(), QString("Error"));
      QVERIFY2(closer.lastText().startsWith("'shelf.quellbid' " + why), qPrintable(closer.lastText()));
    }
    QCOMPARE(w.windowTitle(), QString("Quellbid"));
    QCOMPARE(w.Document().Path(), untitled);
    QCOMPARE(Column(w, 0), rows);
    QCOMPARE(QDir(shelf.path()).entryList(QDir::Files), QStringList());
    if (!rows.isEmpty()) QCOMPARE(ItemsIn(untitled), rows);
  }
};

int main(int argc, char** argv) {
  PrepareWebEngineEnvironment();
  QbApplication app(argc, argv);
  TestResearchWindow test;
  return QTest::qExec(&test, argc, argv);
}
#include "test_research_window.moc"
