#include "runtime/Application.h"

#include <unistd.h>

#include <QLocale>
#include <QMessageBox>

#include "runtime/Conversions.h"
#include "runtime/Exception.h"

namespace qb {

namespace {

void ShowErrorText(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, kApplicationTitle, QString::fromStdString(DisplayMessage(message)),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.setObjectName(QStringLiteral("ExceptionDisplay"));
  box.exec();
}

}  // namespace

void ShowException(const std::exception& error) { ShowErrorText(error.what()); }

void ShowUnknownException() { ShowErrorText("Unknown error"); }

QbApplication::QbApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // Also what the window system shows for a window without a caption.
  setApplicationName(QStringLiteral("Quellbid"));
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point.at(0).unicode() < 128) SetLocaleDecimalSeparator(point.at(0).toLatin1());
}

bool QbApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guard([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

void PrepareWebEngineEnvironment() {
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  auto add = [&flags](const char* flag) {
    if (!flags.contains(flag)) flags += QByteArray(" ") + flag;
  };
  if (::geteuid() == 0) add("--no-sandbox");
  add("--disable-gpu");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // Web pages reach a screen reader too (only when one is listening).
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
    qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

}  // namespace qb
