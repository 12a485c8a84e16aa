#include "controls/ProUrl.h"

#include <QMouseEvent>

#include "controls/Provcl.h"

namespace qb {

TProUrlLabel::TProUrlLabel(QWidget* parent) : TProLabel(parent) {
  FApplying = true;
  SetFontColor(FState.UnvisitedColor());
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  FApplying = false;
  setCursor(ProCursor(crProHandPoint));
}

void TProUrlLabel::Apply(const TUrlLabelReaction& reaction) {
  FApplying = true;
  if (reaction.underline) {
    QFont f = font();
    f.setUnderline(*reaction.underline);
    setFont(f);
  }
  if (reaction.fontColor) SetFontColor(*reaction.fontColor);
  FApplying = false;
  if (reaction.open) OpenURL(FURL.isEmpty() ? Caption() : FURL);
}

void TProUrlLabel::SetUnvisitedColor(const QColor& color) { Apply(FState.SetUnvisitedColor(color)); }
void TProUrlLabel::SetVisitedColor(const QColor& color) { Apply(FState.SetVisitedColor(color)); }
void TProUrlLabel::SetCanHover(bool on) { Apply(FState.SetCanHover(on)); }

void TProUrlLabel::Click() {
  Apply(FState.MouseDown(true));
  Apply(FState.MouseUp(true, true));
}

void TProUrlLabel::mousePressEvent(QMouseEvent* event) {
  TProLabel::mousePressEvent(event);
  Apply(FState.MouseDown(event->button() == Qt::LeftButton));
}

void TProUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
  TProLabel::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  const bool inside = p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height();
  Apply(FState.MouseUp(event->button() == Qt::LeftButton, inside));
}

void TProUrlLabel::enterEvent(QEnterEvent* event) {
  TProLabel::enterEvent(event);  // MouseEnter fires first
  Apply(FState.MouseEnter());
}

void TProUrlLabel::leaveEvent(QEvent* event) {
  TProLabel::leaveEvent(event);
  Apply(FState.MouseLeave());
}

void TProUrlLabel::FontChanged() {
  if (!FApplying) FState.FontColorChanged(FontColor());
}

TProUrlImage::TProUrlImage(QWidget* parent) : QLabel(parent) {
  InitializeControls();
  setCursor(ProCursor(crProHandPoint));
}

void TProUrlImage::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) FPressed = true;
}

void TProUrlImage::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !FPressed) return;
  FPressed = false;
  if (!rect().contains(event->position().toPoint())) return;
  emit clicked();
  OpenURL(FURL);
}

}  // namespace qb
