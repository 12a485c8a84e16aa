#pragma once

// A single-shot timer owned by the scope that declares it: a guard that ends
// an event loop or closes a dialog is stopped when its test function ends, so
// it never fires into a later test or onto a finished test's variables.

#include <QTimer>
#include <functional>

namespace qbtest {

class GuardTimer {
 public:
  GuardTimer(int ms, std::function<void()> action) : FAction(std::move(action)) {
    FTimer.setSingleShot(true);
    QObject::connect(&FTimer, &QTimer::timeout, &FTimer, [this] { FAction(); });
    FTimer.start(ms);
  }
  GuardTimer(const GuardTimer&) = delete;
  GuardTimer& operator=(const GuardTimer&) = delete;
  bool isActive() const { return FTimer.isActive(); }

 private:
  std::function<void()> FAction;
  QTimer FTimer;  // after FAction: stopped before the action goes
};

}  // namespace qbtest
