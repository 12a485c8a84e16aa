#pragma once

class QWidget;

namespace qb {

// Ends the program (exit code 0) when mainWindow is closed, whether it was
// ever shown or not; other windows, hidden or visible, do not keep it alive.
void QuitWhenClosed(QWidget* mainWindow);

}  // namespace qb
