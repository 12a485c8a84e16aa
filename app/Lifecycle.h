#pragma once

#include <functional>

class QWidget;

namespace qb {

// Ends the program (exit code 0) when mainWindow is closed, whether it was
// ever shown or not; other windows, hidden or visible, do not keep it alive.
void QuitWhenClosed(QWidget* mainWindow);

// Builds the windows and runs the message loop, returning its exit code. An
// exception that escapes either is shown in the default exception display,
// and the result is then 0.
int RunProgram(const std::function<void()>& buildWindows);

}  // namespace qb
