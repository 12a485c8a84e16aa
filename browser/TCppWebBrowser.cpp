#include "browser/TCppWebBrowser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <memory>

#include "runtime/Platform.h"

namespace qb {

Q_LOGGING_CATEGORY(lcF7, "quellbid.f7", QtWarningMsg)

qint64 LogClock() { return QDateTime::currentMSecsSinceEpoch(); }

namespace {

// Web addresses go to the system browser; anything else (a local file) nowhere.
void OpenOutside(const QUrl& url) {
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
    ShellOpen(url.toString());
}

// A promotional page: links open in the system browser, never inside it.
class PromotionalPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool) override {
    if (type == NavigationTypeLinkClicked) {
      OpenOutside(url);
      return false;
    }
    return !url.isLocalFile();  // the page and its frames, never the local disk
  }

  // A link that asks for a new window: a throwaway page that hands its first
  // address to the system browser.
  QWebEnginePage* createWindow(WebWindowType) override {
    auto* page = new QWebEnginePage(profile(), this);
    connect(page, &QWebEnginePage::urlChanged, page, [page](const QUrl& url) {
      if (url.isEmpty()) return;
      OpenOutside(url);
      page->deleteLater();
    });
    return page;
  }
};

// The browser's name in the log lines.
const char* Name(const QObject* browser) {
  static thread_local QByteArray name;
  name = browser->objectName().toUtf8();
  return name.isEmpty() ? "browser" : name.constData();
}

// Run in the program's own world, so page scripts cannot change what it reads.
// The first run on a document sets up a watch that counts every change to it;
// the answer is the key of the document's version ("id:changes"), with the
// markup (doctype and root element, as toHtml gives them) when wanted.
QString DocumentScript(bool markup) {
  return QStringLiteral(
             "(function (d, markup) { var s = window.qbDocumentWatch;"
             " if (!s || s.doc !== d) {"
             "  s = window.qbDocumentWatch = {doc: d, id: String(Math.random()).slice(2), changes: 0};"
             "  s.observer = new MutationObserver(function () { s.changes++; });"
             "  s.observer.observe(d, {subtree: true, childList: true, attributes: true, characterData: "
             "true}); }"
             " if (s.observer.takeRecords().length) s.changes++;"
             " var key = s.id + ':' + s.changes; if (!markup) return key;"
             " var t = d.doctype ? new XMLSerializer().serializeToString(d.doctype) : '';"
             " return [key, d.documentElement ? t + d.documentElement.outerHTML : t]; })(document, %1)")
      .arg(markup ? QStringLiteral("true") : QStringLiteral("false"));
}

}  // namespace

QUrl AddressToUrl(const QString& address) {
  const QString trimmed = address.trimmed();
  if (QDir::isAbsolutePath(trimmed) || QFileInfo::exists(trimmed))
    return QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
  return QUrl::fromUserInput(trimmed, QDir::currentPath());
}

QString ClaimProfileFolder(const QString& base) {
  static std::vector<std::unique_ptr<QLockFile>> held;
  for (int n = 1; n <= 32; ++n) {
    const QString folder = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
    if (!QDir().mkpath(folder)) continue;
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/quellbid.lock"));
    lock->setStaleLockTime(0);  // stale only when its process is gone, whatever its age
    if (!lock->tryLock(0)) continue;
    held.push_back(std::move(lock));
    return folder;
  }
  return {};
}

QString MainWebProfileFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/web");
}

QWebEngineProfile* MainWebProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (!profile) {
    // Every research window (each its own process) shares the cookies and
    // the rest of the stored data, so a sign-in made in one window lasts for
    // all: the engine keeps its cookies in an SQLite database that several
    // processes may write. Its disk cache is written without any coordination
    // between processes, so each running process takes a cache folder of its
    // own: cache, else cache-2, cache-3, ...
    const QString folder = MainWebProfileFolder();
    profile = new QWebEngineProfile(QStringLiteral("main"), QCoreApplication::instance());
    profile->setPersistentStoragePath(folder + QStringLiteral("/storage"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    const QString cache = ClaimProfileFolder(folder + QStringLiteral("/cache"));
    if (cache.isEmpty()) {
      profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    } else {
      profile->setCachePath(cache);
      profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    }
  }
  return profile;
}

QWebEngineProfile* PromotionalWebProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (!profile) profile = new QWebEngineProfile(QCoreApplication::instance());
  return profile;
}

TCppWebBrowser::TCppWebBrowser(QWidget* parent, BrowserRole role)
    : QWidget(parent), FRole(role), FView(new QWebEngineView(this)) {
  if (role == BrowserRole::Promotional) {
    auto* page = new PromotionalPage(PromotionalWebProfile(), FView);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    FView->setPage(page);
  } else {
    FView->setPage(new QWebEnginePage(MainWebProfile(), FView));
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FView);
  connect(FView, &QWebEngineView::loadStarted, this, [this] {
    ++FLoads;
    qCDebug(lcF7, "%lld %s: load %d started", LogClock(), Name(this), FLoads);
    FMarkupKey.clear();
    std::string().swap(FMarkup);
  });
  connect(FView, &QWebEngineView::loadFinished, this, [this](bool ok) {
    qCDebug(lcF7, "%lld %s: load %d finished%s", LogClock(), Name(this), FLoads, ok ? "" : " (failed)");
    FHasDocument = true;
    if (FRole == BrowserRole::Main) ReadMarkupAhead();
    emit DownloadComplete();
  });
  connect(FView->page(), &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
            qCDebug(lcF7, "%lld %s: renderer ended: status %d, exit code %d", LogClock(), Name(this),
                    int(status), code);
          });
}

TCppWebBrowser::~TCppWebBrowser() = default;

void TCppWebBrowser::Navigate(const QString& address) { FView->load(AddressToUrl(address)); }

QUrl TCppWebBrowser::Url() const { return FView->url(); }

bool TCppWebBrowser::WaitForDocument(QEventLoop& loop) {
  if (FHasDocument) return true;
  // Window messages go on being handled meanwhile.
  QPointer<TCppWebBrowser> self(this);
  auto c = connect(this, &TCppWebBrowser::DownloadComplete, &loop, &QEventLoop::quit);
  loop.exec();
  disconnect(c);
  return self && FHasDocument;
}

bool TCppWebBrowser::KeepMarkup(int load, const QVariant& answer) {
  const QVariantList parts = answer.toList();
  if (load != FLoads || parts.size() != 2) return false;
  FMarkupKey = parts[0].toString();
  FMarkup = parts[1].toString().toStdString();
  return true;
}

// Serialising a big document keeps its renderer busy for a while: done once the
// page has loaded, F7 finds the markup ready unless the document changed since.
void TCppWebBrowser::ReadMarkupAhead() {
  QPointer<TCppWebBrowser> self(this);
  const int load = FLoads;
  const int id = ++FReadsAhead;
  FReadAheadPending = id;
  qCDebug(lcF7, "%lld %s: read ahead %d sent for load %d", LogClock(), Name(this), id, load);
  FView->page()->runJavaScript(DocumentScript(true), QWebEngineScript::ApplicationWorld,
                               [self, load, id](const QVariant& answer) {
                                 if (!self) return;
                                 if (self->FReadAheadPending == id) self->FReadAheadPending = 0;
                                 const bool kept = self->KeepMarkup(load, answer);
                                 qCDebug(lcF7, "%lld %s: read ahead %d answered, %s", LogClock(), Name(self),
                                         id, kept ? "kept" : "dropped");
                               });
}

bool TCppWebBrowser::AskPage(const QString& script, QEventLoop& loop, const QTimer& deadline,
                             QVariant& answer) {
  QPointer<TCppWebBrowser> self(this);
  bool done = false;
  // An answer after the deadline finds nobody waiting and is dropped.
  auto alive = std::make_shared<bool>(true);
  FView->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                               [alive, &done, &answer, &loop](const QVariant& result) {
                                 if (!*alive) return;
                                 answer = result;
                                 done = true;
                                 loop.quit();
                               });
  if (!done && deadline.isActive()) loop.exec();
  *alive = false;
  return self && done;
}

bool TCppWebBrowser::SaveDocument(std::string& buffer, int timeoutMs) {
  buffer.clear();
  if (FSaving) {
    qCDebug(lcF7, "%lld %s: save refused: another one is waiting", LogClock(), Name(this));
    return false;
  }
  QPointer<TCppWebBrowser> self(this);
  FSaving = true;
  const auto done = [&self](bool saved) {
    if (self) self->FSaving = false;
    return saved;
  };
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);  // the message names the seconds waited
  connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(timeoutMs);
  if (!FHasDocument) qCDebug(lcF7, "%lld %s: waiting for a first document", LogClock(), Name(this));
  if (!WaitForDocument(loop)) {
    qCDebug(lcF7, "%lld %s: no document within %d ms", LogClock(), Name(this), timeoutMs);
    return done(false);
  }

  const int load = FLoads;
  QVariant answer;
  // The page answers in order, so a read ahead still on its way has arrived
  // by the time the key does; one that has not is lost.
  if (FReadAheadPending != 0 || !FMarkupKey.isEmpty()) {
    qCDebug(lcF7, "%lld %s: key asked for load %d (read ahead %s)", LogClock(), Name(this), load,
            FReadAheadPending != 0 ? "pending" : "answered");
    if (!AskPage(DocumentScript(false), loop, deadline, answer)) {
      qCDebug(lcF7, "%lld %s: no key within %d ms", LogClock(), Name(this), timeoutMs);
      return done(false);
    }
    if (FReadAheadPending != 0) {
      qCDebug(lcF7, "%lld %s: read ahead %d forgotten: no answer before the key's", LogClock(), Name(this),
              FReadAheadPending);
      FReadAheadPending = 0;
    }
    const bool same = load == FLoads && !FMarkupKey.isEmpty() && answer.toString() == FMarkupKey;
    qCDebug(lcF7, "%lld %s: key answered: %s", LogClock(), Name(this),
            same ? "markup read ahead is current" : "changed");
    if (same) {
      buffer = FMarkup;
      return done(true);
    }
  }
  qCDebug(lcF7, "%lld %s: markup asked for load %d", LogClock(), Name(this), load);
  if (!AskPage(DocumentScript(true), loop, deadline, answer)) {
    qCDebug(lcF7, "%lld %s: no markup within %d ms", LogClock(), Name(this), timeoutMs);
    return done(false);
  }
  const QVariantList parts = answer.toList();
  if (parts.size() != 2) {
    qCDebug(lcF7, "%lld %s: markup answer unusable", LogClock(), Name(this));
    return done(false);
  }
  // Converted once: kept for the next F7 and copied from there.
  buffer = KeepMarkup(load, answer) ? FMarkup : parts[1].toString().toStdString();
  qCDebug(lcF7, "%lld %s: markup answered: %zu bytes", LogClock(), Name(this), buffer.size());
  return done(true);
}

}  // namespace qb
