#pragma once

// Pollers for the modal dialogs a test opens: on a timer they find the active
// modal widget and act on it. Declared in a test function, they stop polling
// when that function ends.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace qbtest {

// The active modal widget when it is a visible Form.
template <class Form>
Form* VisibleModal() {
  auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
  return form && form->isVisible() ? form : nullptr;
}

struct SeenDialog {
  QString title;
  QString text;
};

// Records each modal dialog's title and text, then accepts, rejects or clicks
// a button on it.
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
    QDialog* dialog = VisibleModal<QDialog>();
    if (!dialog) return;
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

// Runs one step on each modal Form in turn, one per poll, and records its
// title; once the steps are used up it leaves dialogs alone.
template <class Form>
class ModalSteps : public QObject {
 public:
  using Step = std::function<void(Form*)>;
  explicit ModalSteps(QList<Step> steps, int intervalMs = 10) : FSteps(std::move(steps)) {
    FTimer.setInterval(intervalMs);
    QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
    FTimer.start();
  }
  int done() const { return FDone; }
  QStringList titles;

 private:
  void Poll() {
    Form* form = VisibleModal<Form>();
    if (!form || FDone >= FSteps.size()) return;
    titles.append(form->windowTitle());
    FSteps[FDone++](form);
  }
  QList<Step> FSteps;
  int FDone = 0;
  QTimer FTimer;
};

}  // namespace qbtest
