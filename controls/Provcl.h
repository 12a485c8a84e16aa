#pragma once

// Shared routines of the control library: initialisation (font substitutes,
// cursors), the library cursors, OpenURL, Delay and help.

#include <QCursor>
#include <QString>
#include <cstdint>
#include <functional>

#include "controls/Proconst.h"

namespace qb {

// Registers the cursors and the font substitutes once; every control calls it,
// the program may call it early at start-up. Needs the QGuiApplication.
void InitializeControls();

// A cursor registered under crProHandPoint ... crProDragHand; Qt::ArrowCursor for other ids.
QCursor ProCursor(int id);
bool ProCursorRegistered(int id);

// Asks the shell to open a non-empty address; does not wait. Empty does nothing.
void OpenURL(const QString& address);

// Processes pending events until the tick count has advanced by ms (wrap-safe).
void Delay(uint32_t ms);
// What is left of a wait of ms from start to now on a wrapping 32-bit clock; 0
// once it has passed.
constexpr uint32_t TicksLeft(uint32_t start, uint32_t now, uint32_t ms) {
  const uint32_t passed = now - start;
  return passed >= ms ? 0 : ms - passed;
}

// Opens the application's help at a context (default: index.htm of the current
// directory through the shell). The handler can be replaced.
void ShowHelpContext(int context);
void SetHelpContextHandler(std::function<void(int)> handler);

}  // namespace qb
