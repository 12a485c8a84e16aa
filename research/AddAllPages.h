#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <functional>

#include "research/PageWalk.h"

class QWidget;

namespace qb {

class TCppWebBrowser;

// One Add All Pages run in a research window: the walk over the window's
// browser, a timer, and the modeless progress dialog with Cancel.
class AddAllPagesRun : public QObject, public PageWalkHost {
  Q_OBJECT
 public:
  using Harvester = std::function<PageHarvest(bool quiet)>;
  using Finisher = std::function<void(const WalkEnd&)>;

  AddAllPagesRun(QWidget* window, TCppWebBrowser* browser, Harvester harvest, Finisher finished);
  ~AddAllPagesRun() override;

  void Start();
  void Cancel() { FWalk.Cancel(); }
  bool Running() const { return FWalk.Running(); }
  QProgressDialog* Dialog() const { return FDialog; }

  // Where the browser is, as the walk compares addresses: no fragment.
  static std::string WalkAddress(const QUrl& url);

 private:
  PageHarvest HarvestShownPage(bool quiet) override;
  void LoadPage(const std::string& address) override;
  void StopLoading() override;
  void StartTimer(int ms) override;
  void StopTimer() override;
  void ShowProgress(const WalkProgress& progress) override;
  void Finished(const WalkEnd& end) override;

  TCppWebBrowser* FBrowser;
  Harvester FHarvest;
  Finisher FFinished;
  PageWalk FWalk{*this};
  QTimer FTimer;
  QPointer<QProgressDialog> FDialog;
  qint64 FLoadedAt = 0;  // when the page being read had loaded, for the log
};

}  // namespace qb
