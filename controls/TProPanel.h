#pragma once

#include <QColor>
#include <QWidget>

#include "controls/ControlBasics.h"

class QPainter;

namespace qb {

// Panel with per-side 3-D bevels, a coloured border and a word-wrapped,
// vertically aligned caption. Color is the palette's Window colour.
class TProCustomPanel : public TProMouseWidget {
  Q_OBJECT
 public:
  explicit TProCustomPanel(QWidget* parent = nullptr);

  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment) { SetAndRepaint(this, FAlignment, alignment); }
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment alignment) {
    SetAndRepaint(this, FVerticalAlignment, alignment);
  }
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut cut) { SetAndRepaint(this, FBevelOuter, cut); }
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut cut) { SetAndRepaint(this, FBevelInner, cut); }
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int width) { SetAndRepaint(this, FBevelWidth, FBevelCtl3D ? 2 : width); }
  bool BevelCtl3D() const { return FBevelCtl3D; }
  void SetBevelCtl3D(bool on);
  TSides BevelSides() const { return FBevelSides; }
  void SetBevelSides(TSides sides) { SetAndRepaint(this, FBevelSides, sides & kAllSides); }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width) { SetAndRepaint(this, FBorderWidth, width); }
  QColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(const QColor& color) { SetAndRepaint(this, FBorderColor, color); }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style) { SetAndRepaint(this, FBorderStyle, style); }
  QColor Color() const { return palette().color(QPalette::Window); }
  void SetColor(const QColor& color) { SetPaletteColor(this, QPalette::Window, color); }
  QColor FontColor() const { return palette().color(QPalette::WindowText); }
  void SetFontColor(const QColor& color) { SetPaletteColor(this, QPalette::WindowText, color); }
  bool Locked() const { return FLocked; }
  void SetLocked(bool on) { FLocked = on; }
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool on) { FFullRepaint = on; }

  // The client rectangle left after bevels and border (children are placed inside it by callers).
  QRect InnerRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut) const;

  QString FCaption;
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = vaCenter;
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  bool FBevelCtl3D = false;
  TSides FBevelSides = kAllSides;
  int FBorderWidth = 0;
  QColor FBorderColor;
  TBorderStyle FBorderStyle = bsNone;
  bool FLocked = false;
  bool FFullRepaint = true;
};

class TProPanel : public TProCustomPanel {
  Q_OBJECT
 public:
  explicit TProPanel(QWidget* parent = nullptr) : TProCustomPanel(parent) {}
};

}  // namespace qb
