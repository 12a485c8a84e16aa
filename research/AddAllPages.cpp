#include "research/AddAllPages.h"

#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QShortcut>
#include <QUrl>
#include <QWebEngineView>

#include "browser/TCppWebBrowser.h"
#include "runtime/Application.h"

namespace qb {

AddAllPagesRun::AddAllPagesRun(QWidget* window, TCppWebBrowser* browser, Harvester harvest, Finisher finished)
    : QObject(window), FBrowser(browser), FHarvest(std::move(harvest)), FFinished(std::move(finished)) {
  FTimer.setSingleShot(true);
  connect(&FTimer, &QTimer::timeout, this, [this] { Guard([&] { FWalk.TimerFired(); }); });
  connect(FBrowser->View(), &QWebEngineView::loadFinished, this, [this](bool ok) {
    FLoadedAt = LogClock();
    qCDebug(lcF7, "%lld walk: page loaded%s", FLoadedAt, ok ? "" : " (failed)");
    Guard([&] { FWalk.PageLoaded(ok); });
  });

  // Modeless, so the browser stays in view and in reach.
  FDialog = new QProgressDialog(window);
  FDialog->setObjectName(QStringLiteral("AddAllPagesProgress"));
  FDialog->setWindowTitle(QStringLiteral("Add All Pages"));
  FDialog->setWindowModality(Qt::NonModal);
  FDialog->setMinimumDuration(0);
  FDialog->setAutoClose(false);
  FDialog->setAutoReset(false);
  auto* label = new QLabel(FDialog);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  FDialog->setLabel(label);
  // A walk has no known length: the bar only moves, and shows no "100%" when it stops.
  auto* bar = new QProgressBar(FDialog);
  bar->setTextVisible(false);
  FDialog->setBar(bar);
  FDialog->setRange(0, 0);
  FDialog->setFixedWidth(440);
  connect(FDialog, &QProgressDialog::canceled, this, [this] { Guard([&] { Cancel(); }); });
  // Escape in the dialog and in the research window.
  for (QWidget* where : {static_cast<QWidget*>(FDialog.data()), window}) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), where);
    connect(this, &QObject::destroyed, escape, &QObject::deleteLater);
    connect(escape, &QShortcut::activated, this, [this] { Guard([&] { Cancel(); }); });
  }
  const QRect frame = window->geometry();
  FDialog->adjustSize();
  // Over the grid's right end: the browser stays in view.
  FDialog->move(frame.right() - FDialog->width() - 24, frame.top() + 48);
}

AddAllPagesRun::~AddAllPagesRun() {
  if (FDialog) FDialog->deleteLater();
}

std::string AddAllPagesRun::WalkAddress(const QUrl& url) {
  return url.adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded).toStdString();
}

void AddAllPagesRun::Start() {
  FDialog->show();
  FWalk.Start(WalkAddress(FBrowser->Url()));
}

PageHarvest AddAllPagesRun::HarvestShownPage(bool quiet) {
  PageHarvest page = FHarvest(quiet);
  if (FLoadedAt != 0)
    qCDebug(lcF7, "%lld walk: page read, %lld ms after its load", LogClock(), LogClock() - FLoadedAt);
  return page;
}

void AddAllPagesRun::LoadPage(const std::string& address) {
  FLoadedAt = 0;
  qCDebug(lcF7, "%lld walk: loading %s", LogClock(), address.c_str());
  FBrowser->Navigate(QString::fromStdString(address));
}

void AddAllPagesRun::StopLoading() { FBrowser->View()->stop(); }

void AddAllPagesRun::StartTimer(int ms) { FTimer.start(ms); }

void AddAllPagesRun::StopTimer() { FTimer.stop(); }

void AddAllPagesRun::ShowProgress(const WalkProgress& progress) {
  if (FDialog) FDialog->setLabelText(QString::fromStdString(WalkProgressText(progress)));
}

void AddAllPagesRun::Finished(const WalkEnd& end) {
  qCDebug(lcF7, "%lld walk: ended", LogClock());
  if (FDialog) {
    if (end.stop == WalkStop::kLastPage || end.stop == WalkStop::kCancelled) {
      FDialog->hide();
    } else {
      // A stop the user may have to act on stays in view until closed.
      QProgressDialog* dialog = FDialog;
      FDialog = nullptr;
      disconnect(dialog, nullptr, this, nullptr);
      dialog->setRange(0, 1);
      dialog->setValue(1);
      dialog->setLabelText(QString::fromStdString(WalkEndText(end)));
      dialog->setCancelButtonText(QStringLiteral("Close"));
      connect(dialog, &QProgressDialog::canceled, dialog, [dialog] {
        dialog->hide();
        dialog->deleteLater();
      });
    }
  }
  FFinished(end);
}

}  // namespace qb
