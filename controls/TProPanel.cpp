#include "controls/TProPanel.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QPainter>

#include "controls/Provcl.h"

namespace qb {

TProCustomPanel::TProCustomPanel(QWidget* parent)
    : TProMouseWidget(parent), FBorderColor(SystemColor(clBtnFace)) {
  InitializeControls();
  QPalette p = palette();
  p.setColor(QPalette::Window, SystemColor(clBtnFace));
  p.setColor(QPalette::WindowText, SystemColor(clBtnText));
  setPalette(p);
  resize(185, 41);
}

void TProCustomPanel::SetCaption(const QString& caption) {
  if (!AssignIfChanged(FCaption, caption)) return;
  update();
  if (accessibleName().isEmpty()) {
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void TProCustomPanel::SetBevelCtl3D(bool on) {
  FBevelCtl3D = on;
  FBevelWidth = on ? 2 : 1;
  update();
}

void TProCustomPanel::DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut) const {
  QColor topLeft = SystemColor(clBtnFace), bottomRight = SystemColor(clBtnFace);
  if (cut == bvLowered) {
    topLeft = SystemColor(clBtnShadow);
    bottomRight = SystemColor(clBtnHighlight);
  } else if (cut == bvRaised) {
    topLeft = SystemColor(clBtnHighlight);
    bottomRight = SystemColor(clBtnShadow);
  }
  if (FBevelCtl3D && cut != bvSpace) {
    if (cut == bvLowered) {
      Frame3DSides(painter, rect, FBevelSides, SystemColor(clBtnShadow), SystemColor(clBtnHighlight), 1);
      Frame3DSides(painter, rect, FBevelSides, SystemColor(clBtnText), SystemColor(cl3DLight), 1);
    } else {
      Frame3DSides(painter, rect, FBevelSides, SystemColor(clBtnHighlight), SystemColor(clBtnText), 1);
      Frame3DSides(painter, rect, FBevelSides, SystemColor(cl3DLight), SystemColor(clBtnShadow), 1);
    }
    return;
  }
  Frame3DSides(painter, rect, FBevelSides, topLeft, bottomRight, FBevelWidth);
}

QRect TProCustomPanel::InnerRect() const {
  QRect r = rect();
  if (FBorderStyle == bsSingle) r.adjust(1, 1, -1, -1);
  const int bevel = FBevelCtl3D ? 2 : FBevelWidth;
  const int rings = (FBevelOuter != bvNone ? bevel : 0) + FBorderWidth + (FBevelInner != bvNone ? bevel : 0);
  if (FBevelSides & SideBit(sdLeft)) r.setLeft(r.left() + rings);
  if (FBevelSides & SideBit(sdTop)) r.setTop(r.top() + rings);
  if (FBevelSides & SideBit(sdRight)) r.setRight(r.right() - rings);
  if (FBevelSides & SideBit(sdBottom)) r.setBottom(r.bottom() - rings);
  return r;
}

void TProCustomPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  if (FBorderStyle == bsSingle) {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  if (FBevelOuter != bvNone) DrawBevel(painter, r, FBevelOuter);
  Frame3DSides(painter, r, FBevelSides, FBorderColor, FBorderColor, FBorderWidth);
  if (FBevelInner != bvNone) DrawBevel(painter, r, FBevelInner);
  painter.fillRect(r, Color());
  if (FCaption.isEmpty()) return;
  painter.setFont(font());
  painter.setPen(FontColor());
  const int flags =
      static_cast<int>(ToQtAlignment(FAlignment, vaTop)) | Qt::TextWordWrap | Qt::TextExpandTabs;
  r = AlignTextVertically(painter, r, flags, FCaption, FVerticalAlignment);
  painter.drawText(r, flags, FCaption);
}

void TProCustomPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (FBevelCtl3D) FBevelWidth = 2;
}

}  // namespace qb
