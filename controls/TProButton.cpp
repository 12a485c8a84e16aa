#include "controls/TProButton.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include "controls/ControlBasics.h"
#include "controls/Proconst.h"
#include "controls/Provcl.h"
#include "runtime/Application.h"
#include "runtime/StringTable.h"

namespace qb {

TProButton::TProButton(QWidget* parent) : QPushButton(parent) {
  InitializeControls();
  resize(75, 25);
  connect(this, &QAbstractButton::clicked, this, [this] { Clicked(); });
}

TProButtonKind TProButton::Kind() const {
  if (FKind == pbkCustom) return FKind;
  const TButtonKindInfo info = ButtonKindInfo(FKind);
  if (FDefault != info.isDefault || FCancel != info.isCancel || FModalResult != info.modalResult)
    FKind = pbkCustom;
  return FKind;
}

void TProButton::SetKind(TProButtonKind kind) {
  if (!AssignIfChanged(FKind, kind)) return;
  if (kind == pbkCustom) return;
  const TButtonKindInfo info = ButtonKindInfo(kind);
  SetDefault(info.isDefault);
  FCancel = info.isCancel;
  if (!(FLoading && !text().isEmpty())) setText(QString::fromStdString(LoadStr(info.captionId)));
  FModalResult = info.modalResult;
}

void TProButton::SetDefault(bool on) {
  FDefault = on;
  setDefault(on);
}

void TProButton::Click() {
  QPointer<TProButton> self(this);
  click();
  if (self) EndTakenClick(FTakenSerial);
}

bool TProButton::event(QEvent* event) {
  QPointer<TProButton> self(this);
  ++FEventDepth;
  const bool result = QPushButton::event(event);
  if (!self) return result;
  --FEventDepth;
  if (FTakenAtDepth > FEventDepth) EndTakenClick(FTakenSerial);
  return result;
}

// Every way of clicking (mouse, Space, Enter, mnemonic, click(), animateClick())
// passes here just before released() and clicked() are emitted.
void TProButton::nextCheckState() {
  QPushButton::nextCheckState();
  const TProButtonKind kind = Kind();
  int context = 0;
  if (IsHelpKind(kind)) {
    for (QWidget* w = this; w && context == 0; w = w->parentWidget()) context = WidgetHelpContext(w);
    if (context == 0) return;  // no help anywhere: a plain click
  } else if (!IsCloseKind(kind)) {
    return;
  }
  if (FTakenAtDepth < 0) FSignalsWereBlocked = blockSignals(true);
  FTakenAtDepth = FEventDepth;
  const unsigned serial = ++FTakenSerial;
  QPointer<TProButton> self(this);
  Guard([&] {
    if (context != 0)
      ShowHelpContext(context);
    else
      window()->close();
  });
  // For a click() from outside any event of the button.
  if (self) QTimer::singleShot(0, this, [this, serial] { EndTakenClick(serial); });
}

void TProButton::EndTakenClick(unsigned serial) {
  if (FTakenAtDepth < 0 || serial != FTakenSerial) return;
  FTakenAtDepth = -1;
  blockSignals(FSignalsWereBlocked);
}

void TProButton::Clicked() {
  if (FModalResult != mrNone)
    if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(FModalResult);
}

}  // namespace qb
