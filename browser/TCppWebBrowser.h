#pragma once

#include <QLoggingCategory>
#include <QWidget>
#include <string>

class QEventLoop;
class QTimer;
class QVariant;
class QWebEngineProfile;
class QWebEngineView;

namespace qb {

// Each step of reading a page for F7, off unless QT_LOGGING_RULES holds
// "quellbid.f7.debug=true". Lines start with the wall clock in milliseconds
// since 1970, so a driver can set them against its own clock.
Q_DECLARE_LOGGING_CATEGORY(lcF7)
qint64 LogClock();

// What a browser is for: the main browser keeps the user's sign-ins in a
// persistent profile; the promotional one runs no scripts, reads no local
// files and sends clicked links to the system browser.
enum class BrowserRole { Main, Promotional };

// The embedded browser control: navigate, current document, saving the
// document's HTML, and a download-complete event.
class TCppWebBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit TCppWebBrowser(QWidget* parent = nullptr, BrowserRole role = BrowserRole::Main);
  ~TCppWebBrowser() override;

  // A web address or a local file path; returns at once, loading goes on.
  void Navigate(const QString& address);

  // True once a first page has arrived (whatever it shows).
  bool Document() const { return FHasDocument; }

  // Writes the current document's HTML (UTF-8, as its DOM serialises: the
  // doctype and the root element) into buffer. Waits for the page's renderer
  // in a local event loop that keeps processing window messages, at most
  // timeoutMs in all; returns false (buffer empty) when nothing came in that
  // time. A renderer still laying out a big page answers only when it is
  // done. A call made while another one waits returns false at once.
  bool SaveDocument(std::string& buffer, int timeoutMs = 20000);
  // True while SaveDocument waits for the page.
  bool Saving() const { return FSaving; }

  QWebEngineView* View() const { return FView; }
  QUrl Url() const;
  BrowserRole Role() const { return FRole; }

 signals:
  void DownloadComplete();

 private:
  // Waits until a first document has come or loop's deadline has passed.
  bool WaitForDocument(QEventLoop& loop);
  // Runs script in the program's world and waits in loop for its answer, at
  // most until deadline; false when none came.
  bool AskPage(const QString& script, QEventLoop& loop, const QTimer& deadline, QVariant& answer);
  void ReadMarkupAhead();
  // Keeps a [key, markup] answer about the load numbered load, if still
  // current; false when it was not kept.
  bool KeepMarkup(int load, const QVariant& answer);

  BrowserRole FRole;
  QWebEngineView* FView;
  bool FHasDocument = false;
  bool FSaving = false;
  int FLoads = 0;             // pages begun; answers about earlier ones are dropped
  int FReadAheadPending = 0;  // the read ahead not answered yet, 0 for none
  int FReadsAhead = 0;        // reads ahead sent, numbering them
  QString FMarkupKey;         // the document version FMarkup shows; empty for none
  std::string FMarkup;
};

// Turns what the user or the program gives into an address: existing or
// absolute local paths become file URLs.
QUrl AddressToUrl(const QString& address);

// The main browsers' profile: cookies, stored data and cache on disk under
// MainWebProfileFolder(), so a sign-in lasts from one run to the next and is
// shared by every research window. One per process.
QWebEngineProfile* MainWebProfile();
// The user's data folder for web data: AppDataLocation/web.
QString MainWebProfileFolder();
// The promotional browser's profile: nothing kept on disk.
QWebEngineProfile* PromotionalWebProfile();

// The folder no other running process holds: base itself, otherwise the first
// free base-2, base-3, ... beside it; empty when none is free. It stays held,
// through a lock file in it, until the process ends.
QString ClaimProfileFolder(const QString& base);

}  // namespace qb
