#include "TCppWebBrowser.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace qb {

QUrl AddressToUrl(const QString& address) {
  const QString trimmed = address.trimmed();
  if (QDir::isAbsolutePath(trimmed) || QFileInfo::exists(trimmed))
    return QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
  return QUrl::fromUserInput(trimmed, QDir::currentPath());
}

TCppWebBrowser::TCppWebBrowser(QWidget* parent) : QWidget(parent), FView(new QWebEngineView(this)) {
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

bool TCppWebBrowser::SaveDocument(std::string& buffer, int timeoutMs) {
  buffer.clear();
  QPointer<TCppWebBrowser> self(this);
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(timeoutMs);

  // Wait for a first document, handling window messages meanwhile.
  if (!FHasDocument) {
    auto c = connect(this, &TCppWebBrowser::DownloadComplete, &loop, &QEventLoop::quit);
    loop.exec();
    disconnect(c);
    if (!self || !FHasDocument) return false;
  }

  bool done = false;
  auto result = std::make_shared<std::string>();
  auto alive = std::make_shared<bool>(true);
  FView->page()->toHtml([result, alive, &done, &loop](const QString& html) {
    if (!*alive) return;
    *result = html.toStdString();
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
