#pragma once

#include <QString>

class QWidget;

namespace qb {

// The standard message box: title "Error", error icon, one OK.
void ErrorMessageBox(const QString& text, QWidget* parent = nullptr);
// The standard message box: title "Information", information icon, one OK.
void InformationMessageBox(const QString& text, QWidget* parent = nullptr);

// A modal text-input box centred on the screen: caption, prompt, a one-line
// edit (at most 255 characters) prefilled with value and all of it selected,
// OK (default) and Cancel (Esc). Returns true and sets value on OK.
bool InputQuery(const QString& caption, const QString& prompt, QString& value, QWidget* parent = nullptr);

}  // namespace qb
