#include "ProStBar.h"

#include "Provcl.h"

namespace qb {

TProStatusBar::TProStatusBar(QWidget* parent) : QStatusBar(parent) {
  InitializeControls();
  setSizeGripEnabled(false);
}

}  // namespace qb
