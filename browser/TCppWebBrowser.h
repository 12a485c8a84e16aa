#pragma once

#include <QWidget>
#include <string>

class QWebEngineView;

namespace qb {

// The embedded browser control: navigate, current document, saving the
// document's HTML into a byte buffer, and a download-complete event.
class TCppWebBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit TCppWebBrowser(QWidget* parent = nullptr);
  ~TCppWebBrowser() override;

  // A web address or a local file path; returns at once, loading goes on.
  void Navigate(const QString& address);

  // True once a first page has arrived (whatever it shows).
  bool Document() const { return FHasDocument; }

  // Writes the current document's HTML (UTF-8) into buffer. Waits for the
  // engine in a local event loop that keeps processing window messages, at
  // most timeoutMs; returns false (buffer empty) when no document came.
  bool SaveDocument(std::string& buffer, int timeoutMs = 30000);

  QWebEngineView* View() const { return FView; }
  QUrl Url() const;

 signals:
  void DownloadComplete();

 private:
  QWebEngineView* FView;
  bool FHasDocument = false;
};

// Turns what the user or the program gives into an address: existing or
// absolute local paths become file URLs.
QUrl AddressToUrl(const QString& address);

}  // namespace qb
