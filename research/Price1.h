#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "research/GridRows.h"
#include "research/PageWalk.h"

class QAction;
class QLabel;
class QSplitter;
class QMenu;

namespace qb {

class TCppWebBrowser;
class ResearchGridModel;
class LVMainGridView;
class TProPanel;
class TProButton;
class TProSpeedButton;
class SnapshotNameGenerator;
class ResearchDocument;
class RecentResearch;
class AddAllPagesRun;

// How long F7 waits for the browser to hand the document over: with the key's
// way in and the harvest, F7 ends in rows or a message within 30 s.
constexpr int kPageReadTimeoutMs = 20000;

// Writes the browser's current document to a new snapshot file in the current
// directory and returns the file's name. Throws qb::Exception when the file
// cannot be written, or when the browser has not handed the document over
// within timeoutMs (then no file is left).
std::string SaveBrowserDocument(TCppWebBrowser& browser, SnapshotNameGenerator& names,
                                int timeoutMs = kPageReadTimeoutMs);
class TProStatusBar;
class TProWarningDialog;
class TProInfoDialog;
class TProCalcDialog;
class SnapshotNameGenerator;

// The research window: tool bar, grid, splitter, status bar, the promotional
// browser and the main browser; every command of the program starts here.
class TfrmMainPrice : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMainPrice(QWidget* parent = nullptr);
  ~TfrmMainPrice() override;

  // Set by the application: open the statistics window and the About window.
  void SetStatisticsCommand(std::function<void()> command) { FStatisticsCommand = std::move(command); }
  void SetAboutCommand(std::function<void()> command) { FAboutCommand = std::move(command); }
  void SetPriceTrendsCommand(std::function<void()> command) { FPriceTrendsCommand = std::move(command); }

  const GridRows& Rows() const;
  ResearchGridModel* GridModel() const { return FModel; }
  LVMainGridView* Grid() const { return LVMainGrid; }
  TCppWebBrowser* MainBrowser() const { return Bro; }
  TCppWebBrowser* AdsBrowser() const { return broAds; }
  int SortDirection() const { return FSortDirection; }
  const ResearchDocument& Document() const { return *FDocument; }

  // Opens a research file in this window; a file another window holds, or
  // one that cannot be written, is offered as a copy. False when the window
  // keeps its research.
  bool OpenResearch(const QString& path);

  // Addresses of the start page, the help page and an auction's item page.
  static QString StartPageAddress();
  static QString HelpPageAddress();
  static QString ItemViewAddress(const QString& itemNumber);
  static QString PromotionalPageAddress();

 public slots:
  // File
  void NewResearch1Click();
  void OpenResearch1Click();
  void SaveResearchAs1Click();
  void ClearRecent1Click();
  void Search2Click();
  // The grid as CSV, rows in grid order, to a file the user picks.
  void ExportGrid1Click();
  void Exit1Click();
  // View
  void NewResearchWindow1Click();
  void Calculator1Click();
  void SeeSelectedItem1Click();
  void Graphs1Click();
  void PriceTrends1Click();
  // Data
  void Search1Click();
  // Add All Pages: the shown page and the pages after it, with progress.
  void AddAllPages1Click();
  void ClearSear1Click();
  void ClearGridOnly1Click();
  // Filters
  void Hi1Click();
  void Low1Click();
  // Parse
  void RemoveZero1Click();
  void RemoveCheckedItems1Click();
  void RemoveUncheckedItems1Click();
  void DeleteSelectedItems1Click();
  void RemoveUnselectedItems1Click();
  // Help
  void OnlineHelp1Click();
  void AboutRegister1Click();
  // Grid header
  void LVMainGridColumnClick(int column);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar(QWidget* panel);
  void FormShow();
  void FormResize();
  void ppAdsResize();
  void broAdsDownloadComplete();
  void PriceFilter(const QString& caption, bool high);
  void RemoveWhere(const std::function<bool(size_t)>& goes);
  void ShowLocalPromotion();
  void AddAllFromPage();
  // Reads the shown page into a snapshot and harvests it: F7's messages in
  // boxes unless quiet; with findNext, the address of its next page.
  PageHarvest HarvestShownPage(bool quiet, bool findNext);
  void WalkFinished(const WalkEnd& end);
  // Commands that change the grid or move the browser, off during a walk.
  void SetWalking(bool walking);
  void FillRecentMenu();
  // After a change of the research: the title, and a write that failed.
  void Stored(bool ok, const std::string& message);
  void ShowResearch();

  std::function<void()> FStatisticsCommand;
  std::function<void()> FAboutCommand;
  std::function<void()> FPriceTrendsCommand;
  int FSortDirection = -1;
  std::unique_ptr<SnapshotNameGenerator> FSnapshotNames;
  int FDollarNoticeCount = 0;  // the dollar notice shows while 0
  std::unique_ptr<RecentResearch> FRecent;
  std::unique_ptr<ResearchDocument> FDocument;
  QMenu* FRecentMenu = nullptr;

  ResearchGridModel* FModel = nullptr;
  TProPanel* ProPanel1 = nullptr;
  TProButton* ProButton1 = nullptr;
  TProSpeedButton* FAddAllButton = nullptr;
  LVMainGridView* LVMainGrid = nullptr;
  QWidget* Splitter1 = nullptr;
  TProStatusBar* ProStatusBar1 = nullptr;
  QLabel* FHarvestReport = nullptr;
  TProPanel* ppBottom = nullptr;
  TProPanel* ppAds = nullptr;
  TProPanel* ProPanel2 = nullptr;
  TProPanel* ppMainBro = nullptr;
  TCppWebBrowser* broAds = nullptr;
  TCppWebBrowser* Bro = nullptr;
  TProWarningDialog* pwdGen = nullptr;
  TProInfoDialog* pidHelp = nullptr;
  TProCalcDialog* calc = nullptr;
  bool FAdsFailed = false;
  bool FAddingFromPage = false;     // Search1Click is reading or harvesting the page
  bool FAddAgain = false;           // F7 came again meanwhile: run once more when done
  AddAllPagesRun* FWalk = nullptr;  // the Add All Pages that runs, if any
};

}  // namespace qb
