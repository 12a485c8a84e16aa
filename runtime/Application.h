#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <utility>

namespace qb {

// The application title: caption of the default exception display.
inline const QString kApplicationTitle = QStringLiteral("Quellbid Free");

// Shows the default exception display: caption "Quellbid Free", error icon,
// one OK, the message with a period appended when its last character sorts after '.'.
void ShowException(const std::exception& error);
void ShowUnknownException();

// Runs one command; an exception that escapes it ends the command and reaches
// the default display. Returns false when the command ended with an exception.
template <class F>
bool Guard(F&& command) {
  try {
    std::forward<F>(command)();
    return true;
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
  return false;
}

// The application object: no exception ever crosses into Qt's event loop.
class QbApplication : public QApplication {
 public:
  QbApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Environment WebEngine needs before the application object exists
// (no sandbox when running as root, software rendering).
void PrepareWebEngineEnvironment();

}  // namespace qb
