#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace qb {

class TProLabel;
class TProSpeedButton;

// The splash window: the logo with the version and two buttons over its left
// edge. "Start" shows the main window and closes the splash for good; "Exit"
// closes the main window, which ends the program. Closed any other way (the
// window manager's close key) before "Start", it ends the program as "Exit"
// does, rather than leave it running without a window.
class TqbidSplash : public QWidget {
  Q_OBJECT
 public:
  // Shows itself as soon as it is built.
  explicit TqbidSplash(QWidget* mainWindow, QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  TProLabel* lblVersion = nullptr;
  TProSpeedButton* sbGoToMain = nullptr;
  TProSpeedButton* sbExit = nullptr;

  // Runs once the main window shows after "Start" (the file the program was started with).
  void SetStartCommand(std::function<void()> command) { FStartCommand = std::move(command); }

  void sbGoToMainClick();
  void sbExitClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();

  QPointer<QWidget> FMainWindow;
  bool FStarted = false;
  std::function<void()> FStartCommand;
};

}  // namespace qb
