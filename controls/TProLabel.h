#pragma once

#include <QLabel>

#include "controls/ControlBasics.h"
#include "controls/LabelEffects.h"

class QPainter;

namespace qb {

// Label with raised, recessed and shadowed text, vertical alignment, offsets and rotation.
// Caption is the label text; Color is the palette's Window colour, FontColor its WindowText.
class TProCustomLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TProCustomLabel(QWidget* parent = nullptr);
  ~TProCustomLabel() override;

  QString Caption() const;
  void SetCaption(const QString& caption);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool on);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool on);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool on) { SetAndRepaint(this, FTransparent, on); }
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool on);
  QColor Color() const { return palette().color(QPalette::Window); }
  void SetColor(const QColor& color) { SetPaletteColor(this, QPalette::Window, color); }
  QColor FontColor() const { return palette().color(QPalette::WindowText); }
  void SetFontColor(const QColor& color);
  QWidget* FocusControl() const { return buddy(); }
  void SetFocusControl(QWidget* control) { setBuddy(control); }

  int Angle() const { return FAngle; }
  void SetAngle(int angle);
  int OffsetX() const { return FOffsetX; }
  void SetOffsetX(int offset) { SetPlacement(FOffsetX, offset); }
  int OffsetY() const { return FOffsetY; }
  void SetOffsetY(int offset) { SetPlacement(FOffsetY, offset); }

  TDirection HighlightDirection() const { return FEffects.HighlightDirection(); }
  void SetHighlightDirection(TDirection direction) { RepaintIf(FEffects.SetHighlightDirection(direction)); }
  int HighlightDepth() const { return FEffects.HighlightDepth(); }
  void SetHighlightDepth(int depth) { RepaintIf(FEffects.SetHighlightDepth(depth)); }
  QColor HighlightColor() const { return FEffects.HighlightColor(); }
  void SetHighlightColor(const QColor& color) { RepaintIf(FEffects.SetHighlightColor(color)); }
  TShadowStyle ShadowStyle() const { return FEffects.ShadowStyle(); }
  void SetShadowStyle(TShadowStyle style);
  TDirection ShadowDirection() const { return FEffects.ShadowDirection(); }
  void SetShadowDirection(TDirection direction) { RepaintIf(FEffects.SetShadowDirection(direction)); }
  unsigned ShadowDepth() const { return FEffects.ShadowDepth(); }
  void SetShadowDepth(unsigned depth) { RepaintIf(FEffects.SetShadowDepth(depth)); }
  unsigned ShadowSize() const { return FEffects.ShadowSize(); }
  void SetShadowSize(unsigned size) { RepaintIf(FEffects.SetShadowSize(size)); }
  QColor ShadowColor() const { return FEffects.ShadowColor(); }
  void SetShadowColor(const QColor& color) { RepaintIf(FEffects.SetShadowColor(color)); }
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment alignment);
  // The vertical alignment in Qt's text-layout terms.
  Qt::Alignment Layout() const;
  void SetLayout(Qt::Alignment layout);

  const TLabelEffects& Effects() const { return FEffects; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void MouseEnter();
  void MouseLeave();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Called after the font or the font colour changed.
  virtual void FontChanged() {}
  int TextFlags() const;
  QString DisplayText() const;
  void AdjustBounds();

 private:
  // Angle and offsets: a value other than 0 turns AutoSize off.
  void SetPlacement(int& field, int value);
  void AlignmentChanged();
  void RepaintIf(bool changed) {
    if (changed) update();
  }
  void DrawCaption(QPainter& painter, const QRect& rect, const QColor& color) const;
  void PaintRotated(QPainter& painter);

  TLabelEffects FEffects;
  int FAngle = 0;
  int FOffsetX = 0;
  int FOffsetY = 0;
  TVerticalAlignment FVerticalAlignment = vaTop;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  double FCosAngle = 1.0;
  double FSinAngle = 0.0;
};

class TProLabel : public TProCustomLabel {
  Q_OBJECT
 public:
  explicit TProLabel(QWidget* parent = nullptr) : TProCustomLabel(parent) {}
};

}  // namespace qb
