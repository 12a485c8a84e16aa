#pragma once

#include <QString>

namespace qb {

// Installs the accessibility factory of the library's custom-painted controls.
void InstallControlsAccessibility();

// A caption as read aloud: single '&' (accelerator marks) removed, "&&" read as '&'.
QString StripAccelChars(const QString& caption);

}  // namespace qb
