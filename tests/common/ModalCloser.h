#pragma once

// Closes modal dialogs that a test opens: on a timer, finds the active modal
// widget, records its title and text, and accepts, rejects or clicks a button.
// Declared in a test function, it stops polling when that function ends.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace qbtest {

struct SeenDialog {
  QString title;
  QString text;
};

class ModalCloser : public QObject {
 public:
  // action runs on each modal dialog found; the default accepts it.
  explicit ModalCloser(std::function<void(QDialog*)> action = {}) : action_(std::move(action)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    timer_.start();
  }
  const QList<SeenDialog>& seen() const { return seen_; }
  QString lastText() const { return seen_.isEmpty() ? QString() : seen_.last().text; }
  QString lastTitle() const { return seen_.isEmpty() ? QString() : seen_.last().title; }

 private:
  void Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    SeenDialog s{dialog->windowTitle(), {}};
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) s.text = box->text();
    seen_.append(s);
    if (action_)
      action_(dialog);
    else
      dialog->accept();
  }
  std::function<void(QDialog*)> action_;
  QTimer timer_;
  QList<SeenDialog> seen_;
};

}  // namespace qbtest
