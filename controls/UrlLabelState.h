#pragma once

// Colour and underline rules of the URL label as a state machine. No widgets.

#include <QColor>
#include <optional>

namespace qb {

// What the label must do after an event.
struct TUrlLabelReaction {
  std::optional<QColor> fontColor;  // new font colour
  std::optional<bool> underline;    // new underline style
  bool open = false;                // open the address
};

class TUrlLabelState {
 public:
  QColor UnvisitedColor() const { return FUnvisitedColor; }
  QColor ActivatedColor() const { return FActivatedColor; }
  QColor VisitedColor() const { return FVisitedColor; }
  QColor HoveredColor() const { return FHoveredColor; }
  bool CanHover() const { return FCanHover; }
  bool Visited() const { return FVisited; }
  bool Pressed() const { return FPressed; }

  // The colour of the state the label is in at rest.
  QColor RestColor() const { return FVisited ? FVisitedColor : FUnvisitedColor; }

  TUrlLabelReaction SetUnvisitedColor(const QColor& color);
  TUrlLabelReaction SetVisitedColor(const QColor& color);
  void SetActivatedColor(const QColor& color) { FActivatedColor = color; }
  void SetHoveredColor(const QColor& color) { FHoveredColor = color; }
  TUrlLabelReaction SetCanHover(bool on);

  // leftButton: the event is for the left button. inside: the pointer is within
  // 0 <= x <= width, 0 <= y <= height.
  TUrlLabelReaction MouseDown(bool leftButton);
  TUrlLabelReaction MouseUp(bool leftButton, bool inside);
  TUrlLabelReaction MouseEnter();
  TUrlLabelReaction MouseLeave();
  // The font changed to a colour (e.g. set by a form): stores it as the colour of the state.
  void FontColorChanged(const QColor& color);

 private:
  QColor FUnvisitedColor{0, 0, 255};
  QColor FActivatedColor{255, 0, 0};
  QColor FVisitedColor{0, 0, 128};
  QColor FHoveredColor{255, 255, 255};
  bool FCanHover = false;
  bool FVisited = false;
  bool FPressed = false;
};

}  // namespace qb
