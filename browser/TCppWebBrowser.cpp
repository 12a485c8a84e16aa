#include "TCppWebBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
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

#include "Platform.h"

namespace qb {

namespace {

// Web addresses go to the system browser; anything else (a local file) nowhere.
void OpenOutside(const QUrl& url) {
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) ShellOpen(url.toString());
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

const char* const kDocumentMarkupScript =
    "(function (d) { var t = d.doctype ? new XMLSerializer().serializeToString(d.doctype) : '';"
    " return d.documentElement ? t + d.documentElement.outerHTML : t; })(document)";

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
    // the rest of the stored data: the engine keeps its cookies in an SQLite
    // database that several processes may write, so a sign-in made in one
    // window lasts for all (tried with two processes on Qt 6.4: both load,
    // both keep their cookies). The disk cache is written without any
    // coordination between processes, so each running process takes a cache
    // folder of its own: cache, else cache-2, cache-3, ...
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
  connect(FView, &QWebEngineView::loadFinished, this, [this](bool) {
    FHasDocument = true;
    emit DownloadComplete();
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

bool TCppWebBrowser::SaveDocument(std::string& buffer, int timeoutMs) {
  buffer.clear();
  QPointer<TCppWebBrowser> self(this);
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(timeoutMs);
  if (!WaitForDocument(loop)) return false;

  bool done = false;
  auto result = std::make_shared<std::string>();
  auto alive = std::make_shared<bool>(true);
  // The document's serialisation, as toHtml gives it, at about twice its
  // speed; in a world of its own, so page scripts cannot change what it reads.
  FView->page()->runJavaScript(QString::fromLatin1(kDocumentMarkupScript), QWebEngineScript::ApplicationWorld,
                               [result, alive, &done, &loop](const QVariant& html) {
                                 if (!*alive) return;
                                 *result = html.toString().toStdString();
                                 done = true;
                                 loop.quit();
                               });
  if (!done && deadline.isActive()) loop.exec();
  *alive = false;
  if (!self || !done) return false;
  buffer = std::move(*result);
  return true;
}

}  // namespace qb
