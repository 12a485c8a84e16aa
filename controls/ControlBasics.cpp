#include "controls/ControlBasics.h"

#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace qb {

namespace {

const char* const kHelpContextProperty = "qbHelpContext";

}  // namespace

QRect AlignTextVertically(const QPainter& painter, QRect rect, int flags, const QString& text,
                          TVerticalAlignment alignment) {
  if (alignment == vaTop) return rect;
  const int h = painter.fontMetrics().boundingRect(rect, flags, text).height();
  const int oldBottom = rect.top() + rect.height();
  rect.setHeight(h);
  const int spare = oldBottom - (rect.top() + h);
  rect.translate(0, alignment == vaBottom ? spare : spare / 2);
  return rect;
}

Qt::Alignment ToQtAlignment(TAlignment alignment, TVerticalAlignment vertical) {
  Qt::Alignment result;
  switch (alignment) {
    case taLeftJustify: result = Qt::AlignLeft; break;
    case taRightJustify: result = Qt::AlignRight; break;
    case taCenter: result = Qt::AlignHCenter; break;
  }
  switch (vertical) {
    case vaTop: result |= Qt::AlignTop; break;
    case vaCenter: result |= Qt::AlignVCenter; break;
    case vaBottom: result |= Qt::AlignBottom; break;
  }
  return result;
}

void Frame3DSides(QPainter& painter, QRect& rect, TSides sides, const QColor& topLeft,
                  const QColor& bottomRight, int width) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  for (int ring = 0; ring < width && rect.width() > 0 && rect.height() > 0; ++ring) {
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    painter.setPen(QPen(topLeft, 1));
    if (sides & SideBit(sdLeft)) painter.drawLine(l, t, l, b);
    if (sides & SideBit(sdTop)) painter.drawLine(l, t, r, t);
    painter.setPen(QPen(bottomRight, 1));
    if (sides & SideBit(sdRight)) painter.drawLine(r, t, r, b);
    if (sides & SideBit(sdBottom)) painter.drawLine(l, b, r, b);
    if (sides & SideBit(sdLeft)) rect.setLeft(rect.left() + 1);
    if (sides & SideBit(sdTop)) rect.setTop(rect.top() + 1);
    if (sides & SideBit(sdRight)) rect.setRight(rect.right() - 1);
    if (sides & SideBit(sdBottom)) rect.setBottom(rect.bottom() - 1);
  }
  painter.restore();
}

int WidgetHelpContext(const QWidget* widget) {
  return widget ? widget->property(kHelpContextProperty).toInt() : 0;
}

void SetWidgetHelpContext(QWidget* widget, int context) {
  if (widget) widget->setProperty(kHelpContextProperty, context);
}

void SetPaletteColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette p = widget->palette();
  p.setColor(role, color);
  widget->setPalette(p);
  widget->update();
}

void TProMouseWidget::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  emit MouseEnter();
}

void TProMouseWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit MouseLeave();
}

}  // namespace qb
