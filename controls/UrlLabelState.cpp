#include "controls/UrlLabelState.h"

#include "controls/AssignIfChanged.h"

namespace qb {

TUrlLabelReaction TUrlLabelState::SetUnvisitedColor(const QColor& color) {
  TUrlLabelReaction r;
  if (!AssignIfChanged(FUnvisitedColor, color)) return r;
  if (!FVisited) r.fontColor = color;
  return r;
}

TUrlLabelReaction TUrlLabelState::SetVisitedColor(const QColor& color) {
  TUrlLabelReaction r;
  if (!AssignIfChanged(FVisitedColor, color)) return r;
  if (FVisited) r.fontColor = color;
  return r;
}

TUrlLabelReaction TUrlLabelState::SetCanHover(bool on) {
  TUrlLabelReaction r;
  FCanHover = on;
  r.underline = !on;
  return r;
}

TUrlLabelReaction TUrlLabelState::MouseDown(bool leftButton) {
  TUrlLabelReaction r;
  if (!leftButton) return r;
  FPressed = true;
  r.fontColor = FActivatedColor;
  return r;
}

TUrlLabelReaction TUrlLabelState::MouseUp(bool leftButton, bool inside) {
  TUrlLabelReaction r;
  if (!leftButton) return r;
  if (inside && FPressed) {
    FVisited = true;
    r.fontColor = FCanHover ? FHoveredColor : FVisitedColor;
    r.open = true;
  } else {
    r.fontColor = RestColor();
  }
  FPressed = false;
  return r;
}

TUrlLabelReaction TUrlLabelState::MouseEnter() {
  TUrlLabelReaction r;
  if (FCanHover) r.underline = true;
  if (FPressed)
    r.fontColor = FActivatedColor;
  else if (FCanHover)
    r.fontColor = FHoveredColor;
  return r;
}

TUrlLabelReaction TUrlLabelState::MouseLeave() {
  TUrlLabelReaction r;
  if (FCanHover) r.underline = false;
  r.fontColor = RestColor();
  return r;
}

void TUrlLabelState::FontColorChanged(const QColor& color) {
  if (FCanHover || FPressed) return;
  if (FVisited)
    FVisitedColor = color;
  else
    FUnvisitedColor = color;
}

}  // namespace qb
