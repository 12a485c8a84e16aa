#include "runtime/Dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace qb {

void ErrorMessageBox(const QString& text, QWidget* parent) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, parent);
  box.exec();
}

void InformationMessageBox(const QString& text, QWidget* parent) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok, parent);
  box.exec();
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("InputQuery"));
  dialog.setWindowTitle(caption);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(prompt, &dialog);
  auto* edit = new QLineEdit(&dialog);
  edit->setMaxLength(255);
  edit->setText(value);
  edit->selectAll();
  label->setBuddy(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(label);
  layout->addWidget(edit);
  layout->addWidget(buttons);
  dialog.setMinimumWidth(300);
  dialog.adjustSize();
  if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    dialog.move(screen->availableGeometry().center() - dialog.rect().center());
  edit->setFocus();
  if (dialog.exec() != QDialog::Accepted) return false;
  value = edit->text();
  return true;
}

}  // namespace qb
