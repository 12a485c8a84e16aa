#include "controls/LabelEffects.h"

#include <QGuiApplication>
#include <QPalette>

namespace qb {

TDirectionStep DirectionStep(TDirection direction) {
  switch (direction) {
    case drNone: return {0, 0};
    case drUp: return {0, -1};
    case drDown: return {0, 1};
    case drLeft: return {-1, 0};
    case drRight: return {1, 0};
    case drUpLeft: return {-1, -1};
    case drUpRight: return {1, -1};
    case drDownLeft: return {-1, 1};
    case drDownRight: return {1, 1};
  }
  return {0, 0};
}

QColor SystemColor(TSystemColor color) {
  // The classic 3-D scheme: face grey, shadow dark grey, highlight white.
  switch (color) {
    case clBtnFace: return QColor(240, 240, 240);
    case clBtnShadow: return QColor(160, 160, 160);
    case clBtnHighlight: return QColor(255, 255, 255);
    case clBtnText: return QColor(0, 0, 0);
    case cl3DLight: return QColor(227, 227, 227);
  }
  return QColor(Qt::black);
}

TLabelEffects::TLabelEffects()
    : FHighlightColor(SystemColor(clBtnHighlight)), FShadowColor(SystemColor(clBtnShadow)) {}

bool TLabelEffects::SetShadowStyle(TShadowStyle style, QColor* fontColor) {
  if (!AssignIfChanged(FShadowStyle, style)) return false;
  if (style == ssCustom) return true;
  struct Preset {
    TDirection highlight;
    int highlightDepth;
    TDirection shadow;
    unsigned shadowDepth, shadowSize;
    bool faceColoured;
  };
  Preset p{};
  switch (style) {
    case ssNone: p = {drNone, 0, drNone, 0, 0, false}; break;
    case ssRaised: p = {drUpLeft, 1, drNone, 0, 0, false}; break;
    case ssRaisedColor: p = {drUpLeft, 1, drDownRight, 1, 1, true}; break;
    case ssRaisedShadow: p = {drUpLeft, 1, drDownRight, 1, 1, false}; break;
    case ssRaisedThickShadow: p = {drUpLeft, 1, drDownRight, 1, 4, false}; break;
    case ssRecessed: p = {drDownRight, 1, drNone, 0, 0, false}; break;
    case ssRecessedColor: p = {drDownRight, 1, drUpLeft, 1, 1, true}; break;
    case ssRecessedShadow: p = {drDownRight, 1, drUpLeft, 1, 1, false}; break;
    case ssShadow: p = {drNone, 0, drDownRight, 2, 1, false}; break;
    case ssThickShadow: p = {drNone, 0, drDownRight, 1, 4, false}; break;
    case ssCustom: break;
  }
  FApplyingStyle = true;
  SetHighlightDirection(p.highlight);
  SetHighlightDepth(p.highlightDepth);
  SetHighlightColor(SystemColor(clBtnHighlight));
  SetShadowDirection(p.shadow);
  SetShadowDepth(p.shadowDepth);
  SetShadowSize(p.shadowSize);
  SetShadowColor(SystemColor(clBtnShadow));
  FApplyingStyle = false;
  if (p.faceColoured && fontColor) *fontColor = SystemColor(clBtnFace);
  return true;
}

bool TLabelEffects::Customised(bool changed) {
  if (changed && !FApplyingStyle) FShadowStyle = ssCustom;
  return changed;
}

QList<TEffectOffset> ShadowOffsets(const TLabelEffects& effects) {
  QList<TEffectOffset> offsets;
  const TDirectionStep step = DirectionStep(effects.ShadowDirection());
  const int depth = static_cast<int>(effects.ShadowDepth());
  for (int copy = 0; copy < static_cast<int>(effects.ShadowSize()); ++copy)
    offsets.append({step.dx * (depth + copy), step.dy * (depth + copy)});
  return offsets;
}

TEffectOffset HighlightOffset(const TLabelEffects& effects) {
  const TDirectionStep step = DirectionStep(effects.HighlightDirection());
  return {step.dx * effects.HighlightDepth(), step.dy * effects.HighlightDepth()};
}

int NormalizeAngle(int angle) {
  int a = angle % 360;
  if (a < 0) a += 360;
  return a;
}

}  // namespace qb
