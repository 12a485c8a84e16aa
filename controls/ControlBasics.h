#pragma once

// Enumerations and drawing helpers shared by the styled controls.

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QWidget>
#include <type_traits>

#include "controls/AssignIfChanged.h"
#include "controls/LabelEffects.h"

class QPainter;

namespace qb {

// The setter of a property that the widget paints: repaints only on a change.
template <typename T>
void SetAndRepaint(QWidget* widget, T& field, const std::type_identity_t<T>& value) {
  if (AssignIfChanged(field, value)) widget->update();
}

enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = unsigned;  // one bit per TSide, bit n for side n
constexpr TSides SideBit(TSide side) { return 1u << side; }
constexpr TSides kAllSides = 0xF;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNone, bsSingle };

// Qt alignment flags of a horizontal and a vertical alignment.
Qt::Alignment ToQtAlignment(TAlignment alignment, TVerticalAlignment vertical = vaTop);

// Draws `width` nested one-pixel rings on the selected sides (top-left colour on
// left/top, bottom-right colour on right/bottom) and shrinks rect accordingly.
void Frame3DSides(QPainter& painter, QRect& rect, TSides sides, const QColor& topLeft,
                  const QColor& bottomRight, int width);

// Help context of a widget (0 = none); searched by Help buttons up the parent chain.
int WidgetHelpContext(const QWidget* widget);
void SetWidgetHelpContext(QWidget* widget, int context);

// Places text drawn in rect with flags by the vertical alignment; the rect
// shrinks to the text height (negative spare height moves it up).
QRect AlignTextVertically(const QPainter& painter, QRect rect, int flags, const QString& text,
                          TVerticalAlignment alignment);

// Sets one colour of the widget's own palette and repaints the widget.
void SetPaletteColor(QWidget* widget, QPalette::ColorRole role, const QColor& color);

// A widget that reports the mouse coming in and going out as signals, after
// QWidget's own handling.
class TProMouseWidget : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

 signals:
  void MouseEnter();
  void MouseLeave();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
};

}  // namespace qb
