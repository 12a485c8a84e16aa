#include "controls/TProSpeedButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "controls/ControlBasics.h"
#include "controls/Provcl.h"
#include "runtime/Application.h"

namespace qb {

TProSpeedButton::TProSpeedButton(QWidget* parent) : QToolButton(parent) {
  InitializeControls();
  setAutoRaise(true);
  setFocusPolicy(Qt::NoFocus);
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setAttribute(Qt::WA_Hover);
  resize(23, 22);
}

TProSpeedButton::~TProSpeedButton() = default;

void TProSpeedButton::SetGlyph(const QIcon& glyph) {
  setIcon(glyph);
  if (!glyph.isNull()) {
    const QList<QSize> sizes = glyph.availableSizes();
    if (!sizes.isEmpty()) setIconSize(sizes.first());
  }
  update();
}

void TProSpeedButton::SetHint(const QString& hint) {
  setToolTip(hint);
  setAccessibleName(hint);
}

void TProSpeedButton::SetCaption(const QString& caption) {
  setText(caption);
  setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
}

bool TProSpeedButton::Down() const { return isDown() || (isCheckable() && isChecked()); }

void TProSpeedButton::SetDown(bool down) {
  if (FGroupIndex == 0) {
    setDown(down);
    return;
  }
  if (down == isChecked()) return;
  setChecked(down);
  if (down) UpdateGroup();
}

void TProSpeedButton::SetGroupIndex(int index) {
  FGroupIndex = index;
  setCheckable(index != 0);
  if (isChecked()) UpdateGroup();
}

void TProSpeedButton::SetAllowAllUp(bool on) {
  FAllowAllUp = on;
  if (!parentWidget()) return;
  for (auto* sibling : parentWidget()->findChildren<TProSpeedButton*>(Qt::FindDirectChildrenOnly))
    if (sibling != this && FGroupIndex != 0 && sibling->FGroupIndex == FGroupIndex) sibling->FAllowAllUp = on;
}

void TProSpeedButton::UpdateGroup() {
  if (!parentWidget() || FGroupIndex == 0) return;
  for (auto* sibling : parentWidget()->findChildren<TProSpeedButton*>(Qt::FindDirectChildrenOnly))
    if (sibling != this && sibling->FGroupIndex == FGroupIndex && sibling->isChecked())
      sibling->setChecked(false);
}

void TProSpeedButton::nextCheckState() {
  if (FGroupIndex == 0) return QToolButton::nextCheckState();
  if (isChecked()) {
    if (FAllowAllUp) setChecked(false);
    return;
  }
  setChecked(true);
  UpdateGroup();
}

void TProSpeedButton::SetRepeatEnabled(bool on) {
  FRepeatEnabled = on;
  if (!on && FRepeatTimer) FRepeatTimer->stop();
}

bool TProSpeedButton::Repeating() const { return FRepeatTimer && FRepeatTimer->isActive(); }

void TProSpeedButton::Click() { emit clicked(isChecked()); }

void TProSpeedButton::mousePressEvent(QMouseEvent* event) {
  QToolButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  FMouseCaptured = true;
  if (!FRepeatEnabled) return;
  if (!FRepeatTimer) {
    FRepeatTimer = new QTimer(this);
    connect(FRepeatTimer, &QTimer::timeout, this, [this] { RepeatTick(); });
  }
  FRepeatTimer->start(static_cast<int>(FRepeatInitInterval));
}

void TProSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool left = event->button() == Qt::LeftButton;
  if (left) FMouseCaptured = false;
  QToolButton::mouseReleaseEvent(event);
  if (FRepeatTimer) FRepeatTimer->stop();
}

void TProSpeedButton::RepeatTick() {
  FRepeatTimer->setInterval(static_cast<int>(FRepeatInterval));
  if (!isDown() || !FMouseCaptured) return;
  try {
    Click();
  } catch (const std::exception& error) {
    FRepeatTimer->stop();
    ShowException(error);
  } catch (...) {
    FRepeatTimer->stop();
    ShowUnknownException();
  }
}

void TProSpeedButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  const bool down = Down();
  const bool hot = isEnabled() && underMouse();
  if (isCheckable() && isChecked() && !isDown()) {
    // Latched down: the classic dithered face.
    QBrush dither(SystemColor(clBtnHighlight), Qt::Dense4Pattern);
    painter.fillRect(r, SystemColor(clBtnFace));
    painter.fillRect(r.adjusted(1, 1, -1, -1), dither);
  }
  if (down)
    Frame3DSides(painter, r, kAllSides, SystemColor(clBtnShadow), SystemColor(clBtnHighlight), 1);
  else if (hot || !autoRaise())
    Frame3DSides(painter, r, kAllSides, SystemColor(clBtnHighlight), SystemColor(clBtnShadow), 1);
  const int shift = down ? 1 : 0;
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  QSize glyphSize = iconSize();
  if (!icon().isNull()) {
    const QList<QSize> sizes = icon().availableSizes(mode);
    if (!sizes.isEmpty()) glyphSize = sizes.first().boundedTo(rect().size() - QSize(4, 4));
  }
  const bool hasText = !text().isEmpty();
  const QFontMetrics fm(font());
  const int textHeight = hasText ? fm.height() : 0;
  const int glyphHeight = icon().isNull() ? 0 : glyphSize.height();
  const int spacing = hasText && glyphHeight ? 2 : 0;
  int top = (height() - glyphHeight - textHeight - spacing) / 2 + shift;
  if (!icon().isNull()) {
    const QPixmap pixmap = icon().pixmap(glyphSize, devicePixelRatio(), mode);
    painter.drawPixmap((width() - glyphSize.width()) / 2 + shift, top, pixmap);
    top += glyphHeight + spacing;
  }
  if (hasText) {
    const QRect textRect(shift, top, width(), textHeight);
    if (!isEnabled()) {
      painter.setPen(SystemColor(clBtnHighlight));
      painter.drawText(textRect.translated(1, 1), Qt::AlignHCenter | Qt::TextShowMnemonic, text());
      painter.setPen(SystemColor(clBtnShadow));
    } else {
      painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(textRect, Qt::AlignHCenter | Qt::TextShowMnemonic, text());
  }
}

}  // namespace qb
