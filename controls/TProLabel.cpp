#include "controls/TProLabel.h"

#include <QEnterEvent>
#include <QPainter>
#include <QtMath>
#include <cmath>

#include "controls/Provcl.h"

namespace qb {

TProCustomLabel::TProCustomLabel(QWidget* parent) : QLabel(parent) {
  InitializeControls();
  setTextFormat(Qt::PlainText);
  QLabel::setWordWrap(false);
}

TProCustomLabel::~TProCustomLabel() = default;

QString TProCustomLabel::Caption() const { return text(); }

void TProCustomLabel::SetCaption(const QString& caption) {
  if (caption == text()) return;
  setText(caption);
  AdjustBounds();
  update();
}

void TProCustomLabel::SetAlignment(TAlignment alignment) {
  if (AssignIfChanged(FAlignment, alignment)) AlignmentChanged();
}

void TProCustomLabel::SetVerticalAlignment(TVerticalAlignment alignment) {
  if (AssignIfChanged(FVerticalAlignment, alignment)) AlignmentChanged();
}

void TProCustomLabel::AlignmentChanged() {
  setAlignment(ToQtAlignment(FAlignment, FVerticalAlignment));
  update();
}

void TProCustomLabel::SetAutoSize(bool on) {
  if (AssignIfChanged(FAutoSize, on)) AdjustBounds();
}

void TProCustomLabel::SetWordWrap(bool on) {
  if (!AssignIfChanged(FWordWrap, on)) return;
  QLabel::setWordWrap(on);
  AdjustBounds();
  update();
}

void TProCustomLabel::SetShowAccelChar(bool on) {
  if (!AssignIfChanged(FShowAccelChar, on)) return;
  AdjustBounds();
  update();
}

void TProCustomLabel::SetFontColor(const QColor& color) {
  if (color == FontColor() && testAttribute(Qt::WA_SetPalette)) return;
  SetPaletteColor(this, QPalette::WindowText, color);  // the palette change reports FontChanged
}

void TProCustomLabel::SetAngle(int angle) {
  const double radians = qDegreesToRadians(static_cast<double>(NormalizeAngle(angle)));
  FCosAngle = std::cos(radians);
  FSinAngle = std::sin(radians);
  SetPlacement(FAngle, angle);
}

void TProCustomLabel::SetPlacement(int& field, int value) {
  if (!AssignIfChanged(field, value)) return;
  if (value != 0) FAutoSize = false;
  update();
}

void TProCustomLabel::SetShadowStyle(TShadowStyle style) {
  QColor fontColor;
  if (!FEffects.SetShadowStyle(style, &fontColor)) return;
  if (fontColor.isValid()) SetFontColor(fontColor);
  update();
}

Qt::Alignment TProCustomLabel::Layout() const {
  return ToQtAlignment(FAlignment, FVerticalAlignment) & Qt::AlignVertical_Mask;
}

void TProCustomLabel::SetLayout(Qt::Alignment layout) {
  if (layout & Qt::AlignBottom)
    SetVerticalAlignment(vaBottom);
  else if (layout & Qt::AlignVCenter)
    SetVerticalAlignment(vaCenter);
  else
    SetVerticalAlignment(vaTop);
}

int TProCustomLabel::TextFlags() const {
  int flags = static_cast<int>(ToQtAlignment(FAlignment, vaTop)) | Qt::TextExpandTabs;
  if (FWordWrap) flags |= Qt::TextWordWrap;
  if (FShowAccelChar) flags |= Qt::TextShowMnemonic;
  return flags;
}

QString TProCustomLabel::DisplayText() const { return text(); }

QSize TProCustomLabel::sizeHint() const {
  QFontMetrics fm(font());
  const QString t = DisplayText().isEmpty() ? QStringLiteral(" ") : DisplayText();
  if (FWordWrap && width() > 0)
    return QSize(width(), fm.boundingRect(QRect(0, 0, width(), 100000), TextFlags(), t).height());
  return fm.boundingRect(QRect(0, 0, 100000, 100000), TextFlags() & ~Qt::TextWordWrap, t).size();
}

QSize TProCustomLabel::minimumSizeHint() const { return FAutoSize ? sizeHint() : QSize(0, 0); }

void TProCustomLabel::AdjustBounds() {
  if (!FAutoSize) return;
  const QSize hint = sizeHint();
  if (FWordWrap)
    resize(width(), hint.height());
  else
    resize(hint);
  updateGeometry();
}

void TProCustomLabel::DrawCaption(QPainter& painter, const QRect& rect, const QColor& color) const {
  painter.setPen(color);
  painter.drawText(rect, TextFlags(), DisplayText());
}

void TProCustomLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  QRect r = rect();
  if (!FTransparent) painter.fillRect(r, Color());
  if (NormalizeAngle(FAngle) != 0) {
    PaintRotated(painter);
    return;
  }
  const int flags = TextFlags();
  r = AlignTextVertically(painter, r, flags, DisplayText(), FVerticalAlignment);
  r.translate(FOffsetX, FOffsetY);
  if (!isEnabled()) {
    DrawCaption(painter, r.translated(1, 1), SystemColor(clBtnHighlight));
    DrawCaption(painter, r, SystemColor(clBtnShadow));
    return;
  }
  if (FEffects.ShadowStyle() != ssNone) {
    for (const TEffectOffset& o : ShadowOffsets(FEffects))
      DrawCaption(painter, r.translated(o.dx, o.dy), FEffects.ShadowColor());
    const TEffectOffset h = HighlightOffset(FEffects);
    DrawCaption(painter, r.translated(h.dx, h.dy), FEffects.HighlightColor());
  }
  DrawCaption(painter, r, FontColor());
}

void TProCustomLabel::PaintRotated(QPainter& painter) {
  const QString t = DisplayText();
  const QFontMetrics fm(font());
  const QRect textBox = fm.boundingRect(QRect(0, 0, 100000, 100000), TextFlags() & ~Qt::TextWordWrap, t);
  const double w = textBox.width(), h = textBox.height();
  // Size of the rotated text's bounding box.
  const double bw = std::abs(w * FCosAngle) + std::abs(h * FSinAngle);
  const double bh = std::abs(w * FSinAngle) + std::abs(h * FCosAngle);
  double cx = bw / 2, cy = bh / 2;
  if (FAlignment == taRightJustify) cx = width() - bw / 2;
  if (FAlignment == taCenter) cx = width() / 2.0;
  if (FVerticalAlignment == vaBottom) cy = height() - bh / 2;
  if (FVerticalAlignment == vaCenter) cy = height() / 2.0;
  cx += FOffsetX;
  cy += FOffsetY;
  const QRectF local(-w / 2, -h / 2, w, h);
  const int flags = (TextFlags() & ~Qt::TextWordWrap & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
  auto draw = [&](double dx, double dy, const QColor& color) {
    painter.save();
    painter.translate(cx + dx, cy + dy);
    painter.rotate(-NormalizeAngle(FAngle));
    painter.setPen(color);
    painter.drawText(local, flags, t);
    painter.restore();
  };
  if (!isEnabled()) {
    draw(1, 1, SystemColor(clBtnHighlight));
    draw(0, 0, SystemColor(clBtnShadow));
    return;
  }
  if (FEffects.ShadowStyle() != ssNone) {
    for (const TEffectOffset& o : ShadowOffsets(FEffects)) draw(o.dx, o.dy, FEffects.ShadowColor());
    const TEffectOffset hl = HighlightOffset(FEffects);
    draw(hl.dx, hl.dy, FEffects.HighlightColor());
  }
  draw(0, 0, FontColor());
}

void TProCustomLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  emit MouseEnter();
}

void TProCustomLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  emit MouseLeave();
}

void TProCustomLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    AdjustBounds();
    FontChanged();
  } else if (event->type() == QEvent::PaletteChange) {
    FontChanged();
  } else if (event->type() == QEvent::EnabledChange) {
    update();
  }
}

}  // namespace qb
