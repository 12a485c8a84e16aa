#pragma once

// Effect values of a styled label and the shadow-style presets. Plain logic, no widgets.

#include <QColor>
#include <QList>

#include "controls/AssignIfChanged.h"

namespace qb {

enum TDirection { drNone, drUp, drDown, drLeft, drRight, drUpLeft, drUpRight, drDownLeft, drDownRight };

struct TDirectionStep {
  int dx = 0;
  int dy = 0;
};
// One-pixel step of a direction, y growing downwards.
TDirectionStep DirectionStep(TDirection direction);

enum TVerticalAlignment { vaTop, vaCenter, vaBottom };

enum TShadowStyle {
  ssNone,
  ssCustom,
  ssRaised,
  ssRaisedColor,
  ssRaisedShadow,
  ssRaisedThickShadow,
  ssRecessed,
  ssRecessedColor,
  ssRecessedShadow,
  ssShadow,
  ssThickShadow
};

// The platform's system colours used by the controls.
enum TSystemColor { clBtnFace, clBtnShadow, clBtnHighlight, clBtnText, cl3DLight };
QColor SystemColor(TSystemColor color);

// Effect properties of a label; setters outside a preset switch the style to ssCustom.
class TLabelEffects {
 public:
  TLabelEffects();

  TShadowStyle ShadowStyle() const { return FShadowStyle; }
  // Applies a preset; returns true when something changed. A preset with a
  // font colour (ssRaisedColor, ssRecessedColor) reports it through fontColor.
  bool SetShadowStyle(TShadowStyle style, QColor* fontColor = nullptr);

  TDirection HighlightDirection() const { return FHighlightDirection; }
  int HighlightDepth() const { return FHighlightDepth; }
  QColor HighlightColor() const { return FHighlightColor; }
  TDirection ShadowDirection() const { return FShadowDirection; }
  unsigned ShadowDepth() const { return FShadowDepth; }
  unsigned ShadowSize() const { return FShadowSize; }
  QColor ShadowColor() const { return FShadowColor; }

  // Each returns true when the value changed.
  bool SetHighlightDirection(TDirection value) {
    return Customised(AssignIfChanged(FHighlightDirection, value));
  }
  bool SetHighlightDepth(int value) { return Customised(AssignIfChanged(FHighlightDepth, value)); }
  bool SetHighlightColor(const QColor& value) { return Customised(AssignIfChanged(FHighlightColor, value)); }
  bool SetShadowDirection(TDirection value) { return Customised(AssignIfChanged(FShadowDirection, value)); }
  bool SetShadowDepth(unsigned value) { return Customised(AssignIfChanged(FShadowDepth, value)); }
  bool SetShadowSize(unsigned value) { return Customised(AssignIfChanged(FShadowSize, value)); }
  bool SetShadowColor(const QColor& value) { return Customised(AssignIfChanged(FShadowColor, value)); }

 private:
  // A change outside a preset makes the style ssCustom; returns changed.
  bool Customised(bool changed);

  TDirection FHighlightDirection = drNone;
  int FHighlightDepth = 0;
  QColor FHighlightColor;
  TShadowStyle FShadowStyle = ssNone;
  TDirection FShadowDirection = drNone;
  unsigned FShadowDepth = 0;
  unsigned FShadowSize = 0;
  QColor FShadowColor;
  bool FApplyingStyle = false;
};

// Offsets (dx, dy) of the shadow copies, in drawing order, then of the highlight.
struct TEffectOffset {
  int dx = 0;
  int dy = 0;
};
QList<TEffectOffset> ShadowOffsets(const TLabelEffects& effects);
TEffectOffset HighlightOffset(const TLabelEffects& effects);

// Normalises an angle to 0..359.
int NormalizeAngle(int angle);

}  // namespace qb
