#pragma once

// The pocket calculator window and the dialog component that opens it. The
// window only forwards keys and clicks to CalcEngine and shows its text.

#include <QDialog>
#include <QList>
#include <QString>

#include "controls/CalcEngine.h"
#include "controls/ProCtrls.h"
#include "controls/ProDlgs.h"

class QAction;
class QMenu;

namespace qb {

class TProCalcDialog;

class TCalcForm : public QDialog {
  Q_OBJECT
 public:
  // Built by TProCalcDialog::Execute; dialog may be null for a free window.
  explicit TCalcForm(TProCalcDialog* dialog = nullptr, QWidget* parent = nullptr);
  ~TCalcForm() override;  // runs FormDestroy

  TProPanel* DisplayPanel = nullptr;
  TProSpeedButton* ClearButton = nullptr;
  TProSpeedButton* BackButton = nullptr;
  TProSpeedButton* PercentButton = nullptr;
  TProSpeedButton* DivideButton = nullptr;
  TProSpeedButton* Button7 = nullptr;
  TProSpeedButton* Button8 = nullptr;
  TProSpeedButton* Button9 = nullptr;
  TProSpeedButton* MultiplyButton = nullptr;
  TProSpeedButton* Button4 = nullptr;
  TProSpeedButton* Button5 = nullptr;
  TProSpeedButton* Button6 = nullptr;
  TProSpeedButton* MinusButton = nullptr;
  TProSpeedButton* Button1 = nullptr;
  TProSpeedButton* Button2 = nullptr;
  TProSpeedButton* Button3 = nullptr;
  TProSpeedButton* PlusButton = nullptr;
  TProSpeedButton* Button0 = nullptr;
  TProSpeedButton* PointButton = nullptr;
  TProSpeedButton* NegativeButton = nullptr;
  TProSpeedButton* EqualButton = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* StayOnTopMenuItem = nullptr;
  QAction* HideMenuItem = nullptr;

  // The twenty keys in the order of their rows.
  QList<TProSpeedButton*> Buttons() const;

  void ClearButtonClick(QObject* sender);
  void BackButtonClick(QObject* sender);
  void NumberButtonClick(QObject* sender);  // digit: last character of the sender's name
  void PointButtonClick(QObject* sender);
  void NegativeButtonClick(QObject* sender);
  void DoCalc(QObject* sender);  // operator: first character of the sender's caption
  void StayOnTopMenuItemClick(QObject* sender);
  void HideMenuItemClick(QObject* sender);
  // Keyboard mapping; true when the key was used.
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  bool FormKeyPress(char key);

  // Closing frees the window.
  void FormClose(QObject* sender);
  // Clears the owning dialog's FForm.
  void FormDestroy(QObject* sender);

  // Shows a key pressed for 50 ms; returns at once, events go on meanwhile.
  void FlashButton(TProSpeedButton* button);

  const CalcEngine& Engine() const { return FEngine; }
  QString DisplayText() const;
  long double GetValue() const { return FEngine.GetValue(); }
  QString ErrorText() const;
  void SetErrorText(const QString& text);
  bool StayOnTopChecked() const;
  // The right-click menu pops up only when on.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool on) { FAutoPopup = on; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class TProCalcDialog;

  void FormCreate();
  TProSpeedButton* MakeButton(const char* name, const QString& caption, int left, int top,
                              const QColor& color, int fontHeight, bool repeats, int tag);
  void WireButtons();
  void ApplyStayOnTop();
  void UpdateDisplay();
  // One engine step, then the display.
  void Step(void (CalcEngine::*step)());
  bool HandleKey(QKeyEvent* event);
  TProSpeedButton* DigitButton(char digit) const;

  CalcEngine FEngine;
  TProCalcDialog* FDialog;
  bool FAutoPopup = false;
  bool FCentred = false;
};

class TProCalcDialog : public TProCommonDialog {
  Q_OBJECT
 public:
  explicit TProCalcDialog(QObject* owner = nullptr);
  ~TProCalcDialog() override;  // destroys an open calculator window

  bool Modal() const { return FModal; }
  void SetModal(bool on) { FModal = on; }
  bool StayOnTop() const { return FStayOnTop; }
  void SetStayOnTop(bool on) { FStayOnTop = on; }
  // The calculator window open now, or null.
  TCalcForm* Form() const { return FForm; }

  // Opens the calculator, or brings the open one to the front.
  void Execute();
  // The number on the open calculator's display; 0 when none is open or it shows an error.
  long double GetValue() const;

 private:
  friend class TCalcForm;

  bool FModal = true;
  bool FStayOnTop = false;
  TCalcForm* FForm = nullptr;
};

// Runs a modal calculator owned by the application.
void CalcDialog(TDialogLanguage language = dlEnglish, int helpContext = 0);

}  // namespace qb
