#include "controls/Provcl.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <algorithm>

#include "controls/ProAccessible.h"
#include "controls/ProCursors.h"
#include "runtime/Platform.h"
#include "runtime/TickCount.h"

namespace qb {

namespace {

QHash<int, QCursor>& CursorTable() {
  static QHash<int, QCursor> table;
  return table;
}

std::function<void(int)>& HelpHandler() {
  static std::function<void(int)> handler;
  return handler;
}

void RegisterCursors() {
  for (int id = crProHandPoint; id <= crProDragHand; ++id) {
    const TCursorPicture picture = ProCursorPicture(id);
    CursorTable().insert(
        id, QCursor(QPixmap::fromImage(picture.image), picture.hotSpot.x(), picture.hotSpot.y()));
  }
}

void RegisterFontSubstitutes() {
  // The dialog and form fonts of the program; none is installed on Linux.
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg 2"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Arial"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                             {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
  QFont::insertSubstitutions(QStringLiteral("Courier New"),
                             {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

}  // namespace

void InitializeControls() {
  static bool initialised = false;
  if (initialised) return;
  initialised = true;
  RegisterFontSubstitutes();
  RegisterCursors();
  InstallControlsAccessibility();
}

QCursor ProCursor(int id) {
  InitializeControls();
  auto it = CursorTable().constFind(id);
  return it == CursorTable().constEnd() ? QCursor(Qt::ArrowCursor) : *it;
}

bool ProCursorRegistered(int id) { return CursorTable().contains(id); }

void OpenURL(const QString& address) {
  if (address.isEmpty()) return;
  ShellOpen(address);
}

void Delay(uint32_t ms) {
  const uint32_t start = TickCount();
  QTimer wake;  // guarantees an event, so waiting for one never blocks for good
  wake.setSingleShot(true);
  for (;;) {
    const uint32_t left = TicksLeft(start, TickCount(), ms);
    if (left == 0) break;
    wake.start(static_cast<int>(std::min<uint32_t>(left, 0x7FFFFFFF)));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void ShowHelpContext(int context) {
  if (HelpHandler()) return HelpHandler()(context);
  ShellOpen(CurrentDirectory() + QStringLiteral("/index.htm"));
}

void SetHelpContextHandler(std::function<void(int)> handler) { HelpHandler() = std::move(handler); }

}  // namespace qb
