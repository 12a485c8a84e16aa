#include "runtime/Platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace qb {

namespace {
int g_beepCount = 0;
unsigned g_lastBeep = 0;
std::function<void(const QString&)> g_shellHook;
std::function<void(const QString&)> g_startHook;
}  // namespace

void MessageBeep(unsigned type) {
  ++g_beepCount;
  g_lastBeep = type;
  QApplication::beep();
}

int BeepCount() { return g_beepCount; }
unsigned LastBeepType() { return g_lastBeep; }

void ShellOpen(const QString& address) {
  if (address.isEmpty()) return;
  if (g_shellHook) return g_shellHook(address);
  QUrl url = QUrl::fromUserInput(address, QDir::currentPath());
  QDesktopServices::openUrl(url);
}

void StartProgram(const QString& absolutePath) {
  if (g_startHook) return g_startHook(absolutePath);
  QProcess::startDetached(absolutePath, {});
}

void SetShellOpenHook(std::function<void(const QString&)> hook) { g_shellHook = std::move(hook); }
void SetStartProgramHook(std::function<void(const QString&)> hook) { g_startHook = std::move(hook); }

QString CurrentDirectory() { return QDir::currentPath(); }

}  // namespace qb
