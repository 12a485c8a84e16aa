#pragma once

#include <QStatusBar>

namespace qb {

// Status bar that also holds child controls placed on it by their geometry.
class TProStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit TProStatusBar(QWidget* parent = nullptr);
};

}  // namespace qb
