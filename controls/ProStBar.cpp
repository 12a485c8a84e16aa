#include "controls/ProStBar.h"

#include "controls/Provcl.h"

namespace qb {

TProStatusBar::TProStatusBar(QWidget* parent) : QStatusBar(parent) {
  InitializeControls();
  setSizeGripEnabled(false);
}

}  // namespace qb
