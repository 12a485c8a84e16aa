#include "research/Price1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "browser/TCppWebBrowser.h"
#include "controls/ProCalc.h"
#include "controls/ProCtrls.h"
#include "controls/ProDlgs.h"
#include "controls/ProStBar.h"
#include "harvest/HarvestText.h"
#include "harvest/NextPage.h"
#include "harvest/Snapshot.h"
#include "research/AddAllPages.h"
#include "research/GridExport.h"
#include "research/GridRules.h"
#include "research/LVMainGrid.h"
#include "research/ResearchDocument.h"
#include "research/ResearchGridModel.h"
#include "runtime/Application.h"
#include "runtime/Conversions.h"
#include "runtime/Dialogs.h"
#include "runtime/Exception.h"
#include "runtime/Files.h"
#include "runtime/Platform.h"

namespace qb {

namespace {

const QString kItemViewTemplate = QStringLiteral("https://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=###");
const QString kPromotionalPage = QStringLiteral("https://www.velmora-software.com/quellbidads/index.htm");
const int kGridHeight = 131;
const int kAdsPanelHeight = 230;
const int kAdsInset = 5;  // ppAds's border width and bevel

// The page shown in the promotional browser when the maker's page cannot load.
// The browser reaches 25 px past its panel: the right padding keeps the text in view.
const char* kLocalPromotion =
    R"(<html><body style="margin:0;font:12px sans-serif;background:#fdfbf4;color:#333">
<div style="padding:10px 35px 10px 10px"><div style="font-weight:bold;font-size:15px;color:#a01818">Quellbid</div>
<p>Harvest completed auctions with <b>F7</b>, prune the grid, then open <b>Graphs and Statistics</b>.</p>
<p style="color:#666">Tip: remove zero-bid items before looking at prices.</p></div></body></html>)";

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The status bar's line, whole in its tooltip where the window cuts it.
void ShowStatusLine(QLabel* label, const QString& line) {
  label->setText(line);
  label->setToolTip(line);
}

// Harvest results go into the grid; the view hears of new rows in one batch.
// A quiet target keeps a card page's messages instead of showing them.
class WindowHarvestTarget : public HarvestTarget {
 public:
  WindowHarvestTarget(ResearchGridModel* model, TProWarningDialog* warning, QLabel* report, QWidget* window,
                      int& dollarNoticeCount, bool quiet)
      : FModel(model),
        FWarning(warning),
        FReport(report),
        FWindow(window),
        FDollarNoticeCount(dollarNoticeCount),
        FQuiet(quiet) {
    FModel->BeginAdding();
  }
  ~WindowHarvestTarget() override { FModel->EndAdding(); }

  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const SaleDetails& details) override {
    ++FOffered;
    if (FModel->AddGridRow(description, itemNumber, bids, amount, details)) {
      ++FAdded;
      return true;
    }
    if (IsAddableRow(description, amount))
      ++FInGrid;
    else
      ++FRuleLeftOut[size_t(amount == kForeignAmount ? CardLeftOut::kPrice : CardLeftOut::kTitle)];
    return false;
  }
  void ShowDollarNotice() override {
    FModel->EndAdding();  // the rows found so far show behind the message
    FModel->BeginAdding();
    qCDebug(lcF7, "%lld message: dollar notice", LogClock());
    InformationMessageBox(Text(kDollarNoticeText), FWindow);
  }
  int& DollarNoticeCount() override { return FDollarNoticeCount; }
  void ShowNoResults() override {
    qCDebug(lcF7, "%lld message: no results", LogClock());
    FPage.kind = PageHarvest::Kind::kNoResults;
    if (FQuiet) return;
    FWarning->SetCaption(Text(kNoResultsText));
    FWarning->SetWarningMessage(Text(kNoResultsText));
    FWarning->Execute();
  }
  void ShowNoCardResults(std::string_view message) override {
    qCDebug(lcF7, "%lld message: no card results", LogClock());
    FPage.kind = PageHarvest::Kind::kNoCardResults;
    FPage.message = std::string(message);
    if (FQuiet) return;
    FModel->EndAdding();
    FModel->BeginAdding();
    FWarning->SetCaption(Text(kNoResultsText));
    FWarning->SetWarningMessage(Text(message));
    FWarning->Execute();
  }
  void ShowHarvestReport(std::string_view report, const CardCounts& counts) override {
    ShowStatusLine(FReport, Text(report));
    FPage.report = std::string(report);
    FCardCounts = counts;
  }

  // What the harvest did: a card page's counts hold the cards left out
  // before the add rule, which the target never sees.
  PageHarvest Page() const {
    PageHarvest page = FPage;
    if (!page.report.empty()) {
      page.counts = FCardCounts;
    } else {
      page.counts = {};
      page.counts.sold = FOffered;
    }
    page.counts.added = FAdded;
    page.counts.inGrid = FInGrid;
    for (size_t i = 0; i < kCardLeftOutCount; ++i) page.counts.leftOut[i] += FRuleLeftOut[i];
    return page;
  }
  HarvestLine Line() const {
    const PageHarvest page = Page();
    HarvestLine line;
    line.report = page.report;
    line.sold = int64_t(page.counts.sold);
    line.added = int64_t(page.counts.added);
    line.inGrid = int64_t(page.counts.inGrid);
    line.leftOut = line.sold - line.added - line.inGrid;
    return line;
  }

 private:
  PageHarvest FPage;
  CardCounts FCardCounts;
  size_t FOffered = 0, FAdded = 0, FInGrid = 0;
  size_t FRuleLeftOut[kCardLeftOutCount] = {};
  ResearchGridModel* FModel;
  TProWarningDialog* FWarning;
  QLabel* FReport;
  QWidget* FWindow;
  int& FDollarNoticeCount;
  bool FQuiet;
};

// The splitter's handle: a raised bevel across the window.
class BevelHandle : public QSplitterHandle {
 public:
  using QSplitterHandle::QSplitterHandle;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QRect r = rect();
    painter.fillRect(r, palette().button());
    Frame3DSides(painter, r, kAllSides, palette().light().color(), palette().dark().color(), 1);
  }
};

class BevelSplitter : public QSplitter {
 public:
  using QSplitter::QSplitter;

 protected:
  QSplitterHandle* createHandle() override { return new BevelHandle(orientation(), this); }
};

TProPanel* MakePanel(const char* name, QWidget* parent) {
  auto* panel = new TProPanel(parent);
  panel->setObjectName(QString::fromLatin1(name));
  return panel;
}

// Logs F7 on its way in, before the shortcut or a widget takes it.
class F7KeyLog : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_F7 && !key->isAutoRepeat())
        qCDebug(lcF7, "%lld key %s%s to %s", LogClock(),
                type == QEvent::KeyPress     ? "press"
                : type == QEvent::KeyRelease ? "release"
                                             : "shortcut override",
                type != QEvent::ShortcutOverride && !event->spontaneous()
                    ? " (posted, not from the window system)"
                    : "",
                receiver->metaObject()->className());
    }
    return false;
  }
};

}  // namespace

TfrmMainPrice::TfrmMainPrice(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMainPrice"));
  setWindowTitle(QStringLiteral("Quellbid"));
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);
  FSnapshotNames = std::make_unique<SnapshotNameGenerator>();
  FRecent = std::make_unique<RecentResearch>();
  FDocument = std::make_unique<ResearchDocument>(FRecent.get());

  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  ProPanel1 = MakePanel("ProPanel1", client);
  ProPanel1->SetBevelOuter(bvNone);
  ProPanel1->setFixedHeight(41);
  BuildToolBar(ProPanel1);
  column->addWidget(ProPanel1);

  FModel = new ResearchGridModel(this);
  auto* splitter = new BevelSplitter(Qt::Vertical, client);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  splitter->setHandleWidth(8);
  splitter->setChildrenCollapsible(false);
  Splitter1 = splitter;
  LVMainGrid = new LVMainGridView(FModel, splitter);
  LVMainGrid->setMinimumHeight(20);
  connect(LVMainGrid, &LVMainGridView::ColumnClick, this,
          [this](int c) { Guard([&] { LVMainGridColumnClick(c); }); });
  // A check box or a retyped Item Number.
  connect(FModel, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& from, const QModelIndex& to) {
            Guard([&] {
              for (int row = from.row(); row <= to.row(); ++row) {
                std::string message;
                Stored(FDocument->RowChanged(FModel->RowsForFile(), size_t(row), message), message);
              }
            });
          });

  ppBottom = MakePanel("ppBottom", splitter);
  ppBottom->SetBevelOuter(bvNone);
  auto* bottom = new QHBoxLayout(ppBottom);
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->setSpacing(0);

  ppAds = MakePanel("ppAds", ppBottom);
  ppAds->SetBorderWidth(4);
  ppAds->setFixedWidth(193);
  ppAds->installEventFilter(this);
  // ProPanel2 sits at the top of ppAds outside any layout, so a short window
  // cuts it off instead of being held up by its 230 pixels.
  ProPanel2 = MakePanel("ProPanel2", ppAds);
  ProPanel2->setGeometry(kAdsInset, kAdsInset, ppAds->width() - 2 * kAdsInset, kAdsPanelHeight);
  ProPanel2->installEventFilter(this);
  broAds = new TCppWebBrowser(ProPanel2, BrowserRole::Promotional);
  broAds->setObjectName(QStringLiteral("broAds"));
  connect(broAds, &TCppWebBrowser::DownloadComplete, this, [this] { broAdsDownloadComplete(); });
  connect(broAds->View(), &QWebEngineView::loadFinished, this, [this](bool ok) {
    if (!ok && !FAdsFailed) ShowLocalPromotion();
  });

  ppMainBro = MakePanel("ppMainBro", ppBottom);
  ppMainBro->SetBorderWidth(4);
  auto* main = new QVBoxLayout(ppMainBro);
  main->setContentsMargins(5, 5, 5, 5);
  Bro = new TCppWebBrowser(ppMainBro);
  Bro->setObjectName(QStringLiteral("Bro"));
  main->addWidget(Bro);
  bottom->addWidget(ppAds);
  bottom->addWidget(ppMainBro, 1);

  splitter->addWidget(LVMainGrid);
  splitter->addWidget(ppBottom);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({136, 400});
  // The lower part may shrink to nothing; the grid's 131 pixels always fit.
  ppBottom->setMinimumHeight(1);
  splitter->setMinimumHeight(kGridHeight + splitter->handleWidth() + 1);
  column->addWidget(splitter, 1);
  setCentralWidget(client);

  ProStatusBar1 = new TProStatusBar(this);
  ProStatusBar1->setObjectName(QStringLiteral("ProStatusBar1"));
  ProStatusBar1->setFixedHeight(19);
  setStatusBar(ProStatusBar1);
  // What the last harvest of a card page did.
  FHarvestReport = new QLabel(ProStatusBar1);
  FHarvestReport->setObjectName(QStringLiteral("HarvestReport"));
  FHarvestReport->setContentsMargins(4, 0, 4, 0);
  // A long line is cut at the window's edge (its tooltip has it whole) and never widens the window.
  FHarvestReport->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ProStatusBar1->addWidget(FHarvestReport, 1);

  pwdGen = new TProWarningDialog(this);
  pwdGen->setObjectName(QStringLiteral("pwdGen"));
  pidHelp = new TProInfoDialog(this);
  pidHelp->setObjectName(QStringLiteral("pidHelp"));
  QFont dialogFont(QStringLiteral("MS Sans Serif"));
  dialogFont.setPixelSize(11);
  pwdGen->SetFont(dialogFont);
  pidHelp->SetFont(dialogFont);
  calc = new TProCalcDialog(this);
  calc->setObjectName(QStringLiteral("calc"));
  calc->SetSoundType(stAsterisk);
  calc->SetModal(false);
  calc->SetStayOnTop(true);

  BuildMenus();
  if (lcF7().isDebugEnabled()) qApp->installEventFilter(new F7KeyLog(this));

  resize(963, 668);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Search2Click();
}

TfrmMainPrice::~TfrmMainPrice() = default;

const GridRows& TfrmMainPrice::Rows() const { return FModel->Rows(); }

QString TfrmMainPrice::StartPageAddress() { return CurrentDirectory() + QStringLiteral("/base.htm"); }

QString TfrmMainPrice::HelpPageAddress() { return CurrentDirectory() + QStringLiteral("/index.htm"); }

QString TfrmMainPrice::ItemViewAddress(const QString& itemNumber) {
  QString address = kItemViewTemplate;
  const int at = address.indexOf(QStringLiteral("###"));
  return address.replace(at, 3, QString::fromLatin1(QUrl::toPercentEncoding(itemNumber, ".")));
}

QString TfrmMainPrice::PromotionalPageAddress() { return kPromotionalPage; }

void TfrmMainPrice::BuildMenus() {
  struct Item {
    const char* menu;
    const char* name;
    const char* caption;
    void (TfrmMainPrice::*handler)();
    QKeySequence key;
  };
  const Item items[] = {
      {"File", "NewResearch1", "New Research", &TfrmMainPrice::NewResearch1Click, QKeySequence::New},
      {"File", "OpenResearch1", "Open Research...", &TfrmMainPrice::OpenResearch1Click, QKeySequence::Open},
      {"File", "SaveResearchAs1", "Save Research As...", &TfrmMainPrice::SaveResearchAs1Click,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {"File", "Search2", "Search Start Page", &TfrmMainPrice::Search2Click, {}},
      {"File", "ExportGrid1", "Export Grid...", &TfrmMainPrice::ExportGrid1Click, {}},
      {"File", "Exit1", "Exit", &TfrmMainPrice::Exit1Click, {}},
      {"View", "NewResearchWindow1", "New Research Window", &TfrmMainPrice::NewResearchWindow1Click, {}},
      {"View", "Calculator1", "Calculator", &TfrmMainPrice::Calculator1Click, {}},
      {"View", "SeeSelectedItem1", "See Selected Item", &TfrmMainPrice::SeeSelectedItem1Click, {}},
      {"View", "Graphs1", "Graphs and Statistics", &TfrmMainPrice::Graphs1Click, {}},
      {"View", "PriceTrends1", "Price Trends", &TfrmMainPrice::PriceTrends1Click, {}},
      {"Data", "Search1", "Add All From Page", &TfrmMainPrice::Search1Click, QKeySequence(Qt::Key_F7)},
      {"Data", "AddAllPages1", "Add All Pages", &TfrmMainPrice::AddAllPages1Click,
       QKeySequence(Qt::SHIFT | Qt::Key_F7)},
      {"Data", "ClearSear1", "Clear Search And Grid", &TfrmMainPrice::ClearSear1Click, {}},
      {"Data", "ClearGridOnly1", "Clear Grid Only", &TfrmMainPrice::ClearGridOnly1Click, {}},
      {"Filters", "Hi1", "Set Hi", &TfrmMainPrice::Hi1Click, {}},
      {"Filters", "Low1", "Set Low", &TfrmMainPrice::Low1Click, {}},
      {"Parse", "RemoveZero1", "Remove Zero Bid Items", &TfrmMainPrice::RemoveZero1Click, {}},
      {"Parse", "RemoveCheckedItems1", "Remove Checked Items", &TfrmMainPrice::RemoveCheckedItems1Click, {}},
      {"Parse",
       "RemoveUncheckedItems1",
       "Remove Unchecked Items",
       &TfrmMainPrice::RemoveUncheckedItems1Click,
       {}},
      {"Parse",
       "DeleteSelectedItems1",
       "Remove Selected Items",
       &TfrmMainPrice::DeleteSelectedItems1Click,
       {}},
      {"Parse",
       "RemoveUnselectedItems1",
       "Remove Unselected Items",
       &TfrmMainPrice::RemoveUnselectedItems1Click,
       {}},
      {"Help", "OnlineHelp1", "Program Help", &TfrmMainPrice::OnlineHelp1Click, {}},
      {"Help", "AboutRegister1", "About", &TfrmMainPrice::AboutRegister1Click, {}},
  };
  QMenu* menu = nullptr;
  QString menuTitle;
  for (const Item& item : items) {
    if (menuTitle != QLatin1String(item.menu)) {
      menuTitle = QString::fromLatin1(item.menu);
      menu = menuBar()->addMenu(menuTitle);
      menu->setObjectName(menuTitle + QStringLiteral("Menu"));
    }
    if (item.handler == &TfrmMainPrice::Exit1Click || item.handler == &TfrmMainPrice::Search2Click)
      menu->addSeparator();
    if (item.handler == &TfrmMainPrice::SaveResearchAs1Click) {
      FRecentMenu = menu->addMenu(QStringLiteral("Open Recent"));
      FRecentMenu->setObjectName(QStringLiteral("OpenRecent1"));
      connect(FRecentMenu, &QMenu::aboutToShow, this, [this] { Guard([&] { FillRecentMenu(); }); });
      FillRecentMenu();
    }
    QAction* action = menu->addAction(QString::fromLatin1(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    if (!item.key.isEmpty()) {
      action->setShortcut(item.key);
      action->setShortcutContext(Qt::WindowShortcut);
    }
    auto handler = item.handler;
    connect(action, &QAction::triggered, this, [this, handler] { Guard([&] { (this->*handler)(); }); });
  }
}

void TfrmMainPrice::BuildToolBar(QWidget* panel) {
  ProButton1 = new TProButton(panel);
  ProButton1->setObjectName(QStringLiteral("ProButton1"));
  ProButton1->SetCaption(QStringLiteral("ADD"));
  QFont addFont(QStringLiteral("Tahoma"));
  addFont.setPixelSize(19);
  addFont.setBold(true);
  ProButton1->setFont(addFont);
  QPalette palette = ProButton1->palette();
  // Red while it can be pressed; the style's grey while a walk runs.
  palette.setColor(QPalette::Active, QPalette::ButtonText, Qt::red);
  palette.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::red);
  ProButton1->setPalette(palette);
  ProButton1->setGeometry(0, 8, 81, 33);
  ProButton1->setFocusPolicy(Qt::NoFocus);
  connect(ProButton1, &QPushButton::clicked, this, [this] { Guard([&] { Search1Click(); }); });
  // In the gap between ADD and the speed buttons.
  FAddAllButton = new TProSpeedButton(panel);
  FAddAllButton->setObjectName(QStringLiteral("psbAddAllPages"));
  FAddAllButton->SetFlat(true);
  FAddAllButton->SetHint(QStringLiteral("Add All Pages (Shift+F7)"));
  FAddAllButton->SetGlyph(QIcon(QStringLiteral(":/research/add-all-pages.svg")));
  FAddAllButton->setIconSize(QSize(24, 24));
  FAddAllButton->setGeometry(81, 0, 30, 32);
  FAddAllButton->setFocusPolicy(Qt::NoFocus);
  connect(FAddAllButton, &QAbstractButton::clicked, this, [this] { Guard([&] { AddAllPages1Click(); }); });

  struct Tool {
    const char* name;
    const char* hint;
    const char* picture;
    void (TfrmMainPrice::*handler)();
  };
  const Tool tools[] = {
      {"pSpeedReset", "New Grid / New Search", "new-search", &TfrmMainPrice::ClearSear1Click},
      {"pSpdExit", "Exit", "exit", &TfrmMainPrice::Exit1Click},
      {"pSpdHelp", "Help", "help", &TfrmMainPrice::OnlineHelp1Click},
      {"pSpdNewInstance", "Start An Additional Research Area", "new-window",
       &TfrmMainPrice::NewResearchWindow1Click},
      {"pSpdDelZero", "Delete All Zero Bid Items", "delete-zero", &TfrmMainPrice::RemoveZero1Click},
      {"pSpdStatsGraph", "Show Graph", "graph", &TfrmMainPrice::Graphs1Click},
      {"psbSearchStartPage", "Reset Search Start Page / Keep Grid", "start-page",
       &TfrmMainPrice::Search2Click},
      {"psbCalculator", "Show Calculator", "calculator", &TfrmMainPrice::Calculator1Click},
      {"psbSeeAuction", "View selected in system browser", "see-auction",
       &TfrmMainPrice::SeeSelectedItem1Click},
      {"psbSetLow", "Set Low Filter", "set-low", &TfrmMainPrice::Low1Click},
      {"psbSetHigh", "Set High Filter", "set-high", &TfrmMainPrice::Hi1Click},
      {"psbDeleteChecked", "Delete Checked Items", "delete-checked",
       &TfrmMainPrice::RemoveCheckedItems1Click},
      {"psbDeleteUnchecked", "Delete Unchecked Items", "delete-unchecked",
       &TfrmMainPrice::RemoveUncheckedItems1Click},
      {"psbDeleteSelected", "Delete Selected", "delete-selected", &TfrmMainPrice::DeleteSelectedItems1Click},
      {"psbDeleteUnselected", "Delete Unselected", "delete-unselected",
       &TfrmMainPrice::RemoveUnselectedItems1Click},
      {"ProSpeedButton1", "Clear Grid Only", "clear-grid", &TfrmMainPrice::ClearGridOnly1Click},
  };
  int left = 112;
  for (const Tool& tool : tools) {
    auto* button = new TProSpeedButton(panel);
    button->setObjectName(QString::fromLatin1(tool.name));
    button->SetFlat(true);
    button->SetHint(QString::fromLatin1(tool.hint));
    button->SetGlyph(QIcon(QStringLiteral(":/research/%1.svg").arg(QLatin1String(tool.picture))));
    button->setIconSize(QSize(24, 24));
    button->setGeometry(left, 0, 32, 32);
    button->setFocusPolicy(Qt::NoFocus);
    auto handler = tool.handler;
    connect(button, &QAbstractButton::clicked, this, [this, handler] { Guard([&] { (this->*handler)(); }); });
    left += 32;
  }
}

// File

void TfrmMainPrice::NewResearch1Click() {
  FDocument->New();
  FModel->ReplaceRows({});
  ShowResearch();
  Search2Click();
}

void TfrmMainPrice::OpenResearch1Click() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open Research"), CurrentDirectory(),
                                                    QStringLiteral("Research files (*.quellbid)"));
  if (!path.isEmpty()) OpenResearch(path);
}

bool TfrmMainPrice::OpenResearch(const QString& path) {
  if (!FDocument->Path().isEmpty() && CanonicalResearchPath(path) == CanonicalResearchPath(FDocument->Path()))
    return true;
  GridRows rows;
  std::string message;
  const ResearchDocument::OpenResult result = FDocument->Open(path, rows, message);
  bool opened = result == ResearchDocument::OpenResult::kOpened;
  if (result == ResearchDocument::OpenResult::kFailed) {
    // A recent research that is gone leaves the list, as it says.
    if (!QFileInfo::exists(path)) {
      FRecent->Remove(path);
      FillRecentMenu();
    }
    ErrorMessageBox(QString::fromStdString(DisplayMessage(message)), this);
  } else if (!opened) {
    bool cancelled = false;
    const bool copy = ConfirmDialog(
        result == ResearchDocument::OpenResult::kInUse ? QStringLiteral("Research In Use")
                                                       : QStringLiteral("Research Read-Only"),
        QString::fromStdString(DisplayMessage(message)),
        QStringLiteral("A copy opens as an untitled research; Save Research As gives it a name."),
        QStringLiteral("Open a copy of it?"), cancelled);
    if (copy) {
      opened = FDocument->OpenCopy(path, rows, message);
      if (!opened) ErrorMessageBox(QString::fromStdString(DisplayMessage(message)), this);
    }
  }
  if (!opened) return false;
  FModel->ReplaceRows(std::move(rows));
  ShowResearch();
  return true;
}

void TfrmMainPrice::SaveResearchAs1Click() {
  const QString start = FDocument->IsUntitled()
                            ? QDir(CurrentDirectory()).filePath(QStringLiteral("research.quellbid"))
                            : FDocument->Path();
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Research As"), start,
                                              QStringLiteral("Research files (*.quellbid)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QLatin1String(kResearchFileSuffix))) path += QLatin1String(kResearchFileSuffix);
  std::string message;
  if (!FDocument->SaveAs(path, FModel->RowsForFile(), message))
    ErrorMessageBox(QString::fromStdString(DisplayMessage(message)), this);
  ShowResearch();
}

void TfrmMainPrice::FillRecentMenu() {
  FRecentMenu->clear();
  const QStringList paths = FRecent->Paths();
  for (const QString& path : paths) {
    QAction* action = FRecentMenu->addAction(ResearchDisplayName(path));
    action->setToolTip(path);
    action->setData(path);
    connect(action, &QAction::triggered, this, [this, path] { Guard([&] { OpenResearch(path); }); });
  }
  FRecentMenu->addSeparator();
  QAction* clear = FRecentMenu->addAction(QStringLiteral("Clear List"));
  clear->setObjectName(QStringLiteral("ClearRecent1"));
  clear->setEnabled(!paths.isEmpty());
  connect(clear, &QAction::triggered, this, [this] { Guard([&] { ClearRecent1Click(); }); });
}

void TfrmMainPrice::ClearRecent1Click() {
  FRecent->Clear();
  FillRecentMenu();
}

void TfrmMainPrice::Stored(bool ok, const std::string& message) {
  if (!ok) ErrorMessageBox(QString::fromStdString(DisplayMessage(message)), this);
  setWindowTitle(FDocument->WindowTitle());
}

void TfrmMainPrice::ShowResearch() {
  ShowStatusLine(FHarvestReport, {});
  FSortDirection = -1;
  setWindowTitle(FDocument->WindowTitle());
}

void TfrmMainPrice::Search2Click() { Bro->Navigate(StartPageAddress()); }

void TfrmMainPrice::ExportGrid1Click() {
  const QString fileName = QFileDialog::getSaveFileName(
      this, QStringLiteral("Export Grid"), QDir(CurrentDirectory()).filePath(QStringLiteral("grid.csv")),
      QStringLiteral("CSV files (*.csv);;All files (*)"));
  if (fileName.isEmpty()) return;
  try {
    WriteFileWhole(QFile::encodeName(fileName).toStdString(), GridCsv(Rows()));
  } catch (const Exception& e) {
    ErrorMessageBox(QString::fromUtf8(e.what()), this);
  }
}

void TfrmMainPrice::Exit1Click() { close(); }

// View

void TfrmMainPrice::NewResearchWindow1Click() { StartProgram(QCoreApplication::applicationFilePath()); }

void TfrmMainPrice::Calculator1Click() { calc->Execute(); }

void TfrmMainPrice::SeeSelectedItem1Click() {
  if (LVMainGrid->SelectedCount() != 1) {
    ErrorMessageBox(QStringLiteral("Please Select One Item In Grid"), this);
    return;
  }
  const int row = LVMainGrid->FirstSelected();
  ShellOpen(ItemViewAddress(QString::fromStdString(Rows()[size_t(row)].itemNumber)));
}

void TfrmMainPrice::Graphs1Click() {
  if (!EnoughDataForGraph(static_cast<size_t>(FModel->rowCount()))) {
    ErrorMessageBox(QString::fromUtf8(kNotEnoughDataForGraph), this);
    return;
  }
  if (FStatisticsCommand) FStatisticsCommand();
}

void TfrmMainPrice::PriceTrends1Click() {
  if (!EnoughDataForGraph(static_cast<size_t>(FModel->rowCount()))) {
    ErrorMessageBox(QString::fromUtf8(kNotEnoughDataForGraph), this);
    return;
  }
  if (FPriceTrendsCommand) FPriceTrendsCommand();
}

// Data

std::string SaveBrowserDocument(TCppWebBrowser& browser, SnapshotNameGenerator& names, int timeoutMs) {
  const std::string name = MakeSnapshotFileName(names);
  std::string document;
  if (!browser.SaveDocument(document, timeoutMs)) {
    qCDebug(lcF7, "%lld page not read", LogClock());
    throw Exception("The page could not be read: the browser was still busy with it after " +
                    QString::number(timeoutMs / 1000.0).toStdString() +
                    " seconds. Wait until the page has finished loading, then press F7 again");
  }
  WriteSnapshotFile(name, document);
  qCDebug(lcF7, "%lld snapshot %s written", LogClock(), name.c_str());
  return name;
}

void TfrmMainPrice::Search1Click() {
  qCDebug(lcF7, "%lld command Add All From Page%s", LogClock(), FAddingFromPage ? " (while one runs)" : "");
  if (FAddingFromPage) {
    // Never a second wait inside the first: this one follows it.
    FAddAgain = true;
    ProStatusBar1->showMessage(
        QStringLiteral("Still reading the page for Add All From Page; it runs again when that is done"),
        5000);
    return;
  }
  QPointer<TfrmMainPrice> self(this);
  FAddingFromPage = true;
  struct Done {
    QPointer<TfrmMainPrice>& window;
    ~Done() {
      if (!window) return;
      window->FAddingFromPage = false;
      window->FAddAgain = false;  // after a failure its message answers both
    }
  } done{self};
  do {
    FAddAgain = false;
    AddAllFromPage();
    if (self && FAddAgain) ProStatusBar1->clearMessage();  // the note on the F7 that follows
  } while (self && FAddAgain);
}

void TfrmMainPrice::AddAllFromPage() { HarvestShownPage(false, false); }

PageHarvest TfrmMainPrice::HarvestShownPage(bool quiet, bool findNext) {
  const QUrl url = Bro->Url();
  const QString address = url.toString();
  const std::string snapshot = SaveBrowserDocument(*Bro, *FSnapshotNames);
  const std::string page = ReadSnapshotText(snapshot);
  ShowStatusLine(FHarvestReport, {});
  qCDebug(lcF7, "%lld harvest started: %zu bytes", LogClock(), page.size());
  const size_t before = Rows().size();
  PageHarvest result;
  {
    WindowHarvestTarget target(FModel, pwdGen, FHarvestReport, this, FDollarNoticeCount, quiet);
    // The rows that came go to the research file whatever ends the harvest.
    struct Keep {
      TfrmMainPrice* window;
      WindowHarvestTarget& target;
      size_t before;
      std::string time, address, snapshot;
      ~Keep() {
        // The rows show behind a message on the write.
        window->FModel->EndAdding();
        window->FModel->BeginAdding();
        try {
          HarvestLine line = target.Line();
          line.time = time;
          line.pageUrl = address;
          line.snapshotFile = snapshot;
          std::string message;
          window->Stored(window->FDocument->Harvested(window->FModel->RowsForFile(), before, line, message),
                         message);
        } catch (...) {  // out of memory: never out of a destructor
        }
      }
    } keep{this, target, before, HarvestTimeNow(), address.toStdString(), snapshot};
    HarvestPage(page, target);
    result = target.Page();
  }
  qCDebug(lcF7, "%lld harvest ended: %zu rows added", LogClock(), Rows().size() - before);
  result.address = AddAllPagesRun::WalkAddress(url);
  if (findNext && result.kind == PageHarvest::Kind::kRows)
    if (const std::optional<std::string> href = NextPageHref(page))
      result.next = AddAllPagesRun::WalkAddress(url.resolved(QUrl(QString::fromStdString(*href))));
  return result;
}

void TfrmMainPrice::AddAllPages1Click() {
  if (FWalk) return;
  if (FAddingFromPage) {
    ProStatusBar1->showMessage(
        QStringLiteral("Still reading the page for Add All From Page; press Shift+F7 again when it is done"),
        5000);
    return;
  }
  // The last walk's closing words give way to this one.
  for (QProgressDialog* old : findChildren<QProgressDialog*>(QStringLiteral("AddAllPagesProgress")))
    old->deleteLater();
  FWalk = new AddAllPagesRun(
      this, Bro, [this](bool quiet) { return HarvestShownPage(quiet, true); },
      [this](const WalkEnd& end) { WalkFinished(end); });
  SetWalking(true);
  FWalk->Start();
}

void TfrmMainPrice::WalkFinished(const WalkEnd& end) {
  SetWalking(false);
  FWalk->deleteLater();
  FWalk = nullptr;
  const QString line = QString::fromStdString(WalkEndText(end));
  ShowStatusLine(FHarvestReport, line);
  if (end.stop == WalkStop::kReadFailed)
    ErrorMessageBox(QString::fromStdString(DisplayMessage(end.message)), this);
}

void TfrmMainPrice::SetWalking(bool walking) {
  static const char* const kChanging[] = {
      "Search1",
      "AddAllPages1",
      "NewResearch1",
      "OpenResearch1",
      "Search2",
      "ClearSear1",
      "ClearGridOnly1",
      "Hi1",
      "Low1",
      "RemoveZero1",
      "RemoveCheckedItems1",
      "RemoveUncheckedItems1",
      "DeleteSelectedItems1",
      "RemoveUnselectedItems1",
      "OnlineHelp1",
      "ProButton1",
      "psbAddAllPages",
      "pSpeedReset",
      "pSpdHelp",
      "pSpdDelZero",
      "psbSearchStartPage",
      "psbSetLow",
      "psbSetHigh",
      "psbDeleteChecked",
      "psbDeleteUnchecked",
      "psbDeleteSelected",
      "psbDeleteUnselected",
      "ProSpeedButton1",
  };
  for (const char* name : kChanging) {
    const QString objectName = QString::fromLatin1(name);
    if (auto* action = findChild<QAction*>(objectName)) action->setEnabled(!walking);
    if (auto* widget = findChild<QWidget*>(objectName)) widget->setEnabled(!walking);
  }
  FRecentMenu->setEnabled(!walking);
}

void TfrmMainPrice::ClearSear1Click() {
  ClearGridOnly1Click();
  Search2Click();
}

void TfrmMainPrice::ClearGridOnly1Click() {
  FModel->Clear();
  std::string message;
  Stored(FDocument->Cleared(FModel->RowsForFile(), message), message);
}

// Filters

void TfrmMainPrice::Hi1Click() { PriceFilter(QStringLiteral("Hi Filter"), true); }

void TfrmMainPrice::Low1Click() { PriceFilter(QStringLiteral("Low Filter"), false); }

void TfrmMainPrice::PriceFilter(const QString& caption, bool high) {
  QString text = QStringLiteral("0.00");
  if (!InputQuery(caption, QStringLiteral("Filter current grid items. Enter Without '$'"), text, this))
    return;
  const float filter = FilterValue(text.toStdString(), LocaleDecimalSeparator());
  const GridRows& rows = Rows();
  RemoveWhere([&](size_t i) { return PriceFilterRemoves(rows[i].amount, filter, high); });
}

// Parse

void TfrmMainPrice::RemoveWhere(const std::function<bool(size_t)>& goes) {
  RemovalScan scan = ScanForRemoval(Rows().size(), goes);
  if (scan.removed > 0) {
    const std::vector<int64_t> gone = FileIdsOf(Rows(), scan.flags);
    LVMainGrid->RemoveFlagged(scan.flags);
    std::string message;
    Stored(FDocument->Removed(FModel->RowsForFile(), gone, message), message);
  }
  if (scan.error) std::rethrow_exception(scan.error);
}

void TfrmMainPrice::RemoveZero1Click() {
  const GridRows& rows = Rows();
  RemoveWhere([&](size_t i) { return IsZeroBid(rows[i].bids); });
}

void TfrmMainPrice::RemoveCheckedItems1Click() {
  const GridRows& rows = Rows();
  RemoveWhere([&](size_t i) { return rows[i].checked; });
}

void TfrmMainPrice::RemoveUncheckedItems1Click() {
  const GridRows& rows = Rows();
  RemoveWhere([&](size_t i) { return !rows[i].checked; });
}

void TfrmMainPrice::DeleteSelectedItems1Click() {
  const std::vector<char> selected = LVMainGrid->SelectedFlags();
  RemoveWhere([&](size_t i) { return selected[i] != 0; });
}

void TfrmMainPrice::RemoveUnselectedItems1Click() {
  const std::vector<char> selected = LVMainGrid->SelectedFlags();
  RemoveWhere([&](size_t i) { return selected[i] == 0; });
}

// Help

void TfrmMainPrice::OnlineHelp1Click() { Bro->Navigate(HelpPageAddress()); }

void TfrmMainPrice::AboutRegister1Click() {
  if (FAboutCommand) FAboutCommand();
}

// Grid header

void TfrmMainPrice::LVMainGridColumnClick(int column) {
  if (FWalk) return;  // the rows arrive in page order
  FSortDirection = -FSortDirection;
  FModel->SortByColumn(column, FSortDirection);
  std::string message;
  Stored(FDocument->Reordered(FModel->RowsForFile(), message), message);
}

// Window events

void TfrmMainPrice::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) Guard([&] { FormShow(); });
}

void TfrmMainPrice::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Guard([&] { FormResize(); });
}

void TfrmMainPrice::closeEvent(QCloseEvent* event) {
  if (FWalk) FWalk->Cancel();
  QMainWindow::closeEvent(event);
}

bool TfrmMainPrice::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ppAds && event->type() == QEvent::Resize)
    ProPanel2->setGeometry(kAdsInset, kAdsInset, ppAds->width() - 2 * kAdsInset, kAdsPanelHeight);
  if ((watched == ppAds || watched == ProPanel2) && event->type() == QEvent::Resize)
    Guard([&] { ppAdsResize(); });
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMainPrice::FormShow() {
  FAdsFailed = false;
  broAds->Navigate(PromotionalPageAddress());
}

void TfrmMainPrice::FormResize() {
  auto* splitter = static_cast<QSplitter*>(Splitter1);
  const int total = splitter->height() - splitter->handleWidth();
  splitter->setSizes({kGridHeight, std::max(0, total - kGridHeight)});
}

void TfrmMainPrice::ppAdsResize() {
  // Fill ProPanel2, leave the layout at that geometry, then 25 pixels wider
  // (the panel cuts the extra width off).
  const QRect inside = ProPanel2->rect().adjusted(1, 1, -1, -1);
  broAds->setGeometry(inside.x(), inside.y(), inside.width() + 25, inside.height());
}

void TfrmMainPrice::broAdsDownloadComplete() { ppAdsResize(); }

void TfrmMainPrice::ShowLocalPromotion() {
  FAdsFailed = true;
  broAds->View()->setHtml(QString::fromUtf8(kLocalPromotion));
}

}  // namespace qb
