#pragma once

#include <QString>
#include <functional>

namespace qb {

// Message-beep types of the platform (0 default, 16 hand, 32 question,
// 48 exclamation, 64 asterisk). The last one played is kept for tests.
void MessageBeep(unsigned type);
int BeepCount();
unsigned LastBeepType();

// Opens an address with the user's default handler; does not wait.
void ShellOpen(const QString& address);
// Starts a program detached, without arguments; the outcome is not checked.
void StartProgram(const QString& absolutePath);

// Tests replace the real shell and process start with these hooks.
void SetShellOpenHook(std::function<void(const QString&)> hook);
void SetStartProgramHook(std::function<void(const QString&)> hook);

// The process's current directory, with '/' separators.
QString CurrentDirectory();

}  // namespace qb
