#include "app/Lifecycle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <exception>

#include "runtime/Application.h"

namespace qb {

namespace {

class MainWindowCloseWatcher : public QObject {
 public:
  explicit MainWindowCloseWatcher(QWidget* mainWindow) : QObject(mainWindow), FMainWindow(mainWindow) {
    mainWindow->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == FMainWindow && event->type() == QEvent::Close) {
      // The window handles the close first; once it has gone, the program ends.
      QTimer::singleShot(0, this, [this] {
        if (FMainWindow && !FMainWindow->isVisible()) QCoreApplication::exit(0);
      });
    }
    return false;
  }

 private:
  QPointer<QWidget> FMainWindow;
};

}  // namespace

void QuitWhenClosed(QWidget* mainWindow) {
  if (mainWindow) new MainWindowCloseWatcher(mainWindow);
}

int RunProgram(const std::function<void()>& buildWindows) {
  try {
    buildWindows();
    return QCoreApplication::exec();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
  return 0;
}

}  // namespace qb
