#pragma once

#include <QPushButton>

#include "controls/ButtonKinds.h"

namespace qb {

// Push button with a Kind (caption, default/cancel flags, modal result from a table).
// A nonzero ModalResult closes the containing QDialog with that result via done().
class TProButton : public QPushButton {
  Q_OBJECT
 public:
  explicit TProButton(QWidget* parent = nullptr);

  // The stored kind while flags and modal result still match it, else pbkCustom.
  TProButtonKind Kind() const;
  void SetKind(TProButtonKind kind);
  QString Caption() const { return text(); }
  void SetCaption(const QString& caption) { setText(caption); }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int result) { FModalResult = result; }
  // The button's own default flag; Qt moves isDefault() with the focus.
  bool Default() const { return FDefault; }
  void SetDefault(bool on);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool on) { FCancel = on; }
  // Set while a stored form loads the button, so an existing caption is kept by SetKind.
  void SetLoading(bool on) { FLoading = on; }

  // Performs the click: clicked() is the OnClick event, and a nonzero modal result
  // then closes the containing QDialog with done(). A Help kind that finds a help
  // context on the button or its parents opens help instead, and a Close kind
  // closes its window instead: for these the click goes no further, so neither
  // released() nor clicked() is emitted, by whatever way the click came.
  void Click();

 protected:
  bool event(QEvent* event) override;
  void nextCheckState() override;

 private:
  void Clicked();
  void EndTakenClick(unsigned serial);

  mutable TProButtonKind FKind = pbkCustom;
  int FModalResult = 0;
  bool FCancel = false;
  bool FDefault = false;
  bool FLoading = false;
  // A click taken by the kind keeps the button's signals blocked until the
  // event (depth) it came in has been handled, or until the event loop runs.
  int FEventDepth = 0;
  int FTakenAtDepth = -1;
  unsigned FTakenSerial = 0;
  bool FSignalsWereBlocked = false;
};

}  // namespace qb
