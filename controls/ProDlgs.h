#pragma once

// Dialog components: the common base and the warning, information, stop and
// confirmation message dialogs, whose windows are built in code on each Execute.

#include <QDialog>
#include <QFont>
#include <QObject>
#include <QString>
#include <cstdint>

#include "controls/ProCtrls.h"

class QLabel;

namespace qb {
class TCommonDialogForm;
}

namespace qb {

enum TDialogLanguage : uint8_t {
  dlEnglish,
  dlRussian,
  dlUkranian,
  dlFrench,
  dlPortuguese,
  dlSpanish,
  dlGerman,
  dlDanish,
  dlItalian,
  dlSwedish,
  dlDutch,
  dlPolish,
  dlHungarian,
  dlTurkish,
  dlSlovak,
  dlKorean
};

enum TSoundType : uint8_t {
  stNoSound,
  stStandart,
  stAsterisk,
  stExclamation,
  stSystemHand,
  stQuestion,
  stDefault
};

// Message-beep type of a sound; false for stNoSound.
bool SoundBeepType(TSoundType sound, unsigned* beepType);

// Scales a window designed at fromPpi (positions, sizes of it and its children, and its
// font) to the window's logical dpi. Returns the factor used (1 when equal).
double ScaleWindowFromDesign(QWidget* window, int fromPpi = kDesignPixelsPerInch);

// Base of the library's dialog components. The owner is the parent QObject.
class TProCommonDialog : public QObject {
  Q_OBJECT
 public:
  explicit TProCommonDialog(QObject* owner = nullptr);
  ~TProCommonDialog() override;

  TDialogLanguage Language() const { return FLanguage; }
  void SetLanguage(TDialogLanguage language) { FLanguage = language; }
  TSoundType SoundType() const { return FSoundType; }
  void SetSoundType(TSoundType sound) { FSoundType = sound; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int context) { FHelpContext = context; }
  const QFont& Font() const { return FFont; }
  void SetFont(const QFont& font) { FFont = font; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool on) { FParentFont = on; }

  // Plays the message beep of a sound type; stNoSound plays nothing.
  void PlaySound(TSoundType sound) const;

 protected:
  // The font a dialog window gets: the owner form's font when ParentFont is set
  // and the owner is a window, otherwise Font.
  QFont WindowFont() const;
  // Steps shared by the message dialogs' Execute: language captions, window caption,
  // help context (without one Help is hidden and the other buttons move to
  // centredLefts, design units), font, scaling with the icon kept 48 x 64, sound;
  // then shows the window modally and returns its result.
  int RunMessageForm(TCommonDialogForm* form, int captionId, const QString& caption,
                     const QList<int>& centredLefts) const;

 private:
  TDialogLanguage FLanguage = dlEnglish;
  TSoundType FSoundType = stNoSound;
  int FHelpContext = 0;
  QFont FFont;
  bool FParentFont = true;
};

// Window of the message dialogs: Esc presses the first button with the cancel
// flag (in creation order); the close box ends it with mrCancel.
class TCommonDialogForm : public QDialog {
  Q_OBJECT
 public:
  explicit TCommonDialogForm(QWidget* parent = nullptr);
  QFrame* Bevel = nullptr;
  QLabel* Image = nullptr;
  // Buttons in creation order.
  QList<TProButton*> Buttons() const;

 public slots:
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Builds the bevel and the image from design units.
  void BuildFrame(const QRect& bevel, int imageTop, const QString& bitmap);
  TProLabel* MakeLabel(const QString& name, const QRect& rect);
  TProButton* MakeButton(const QString& name, TProButtonKind kind, int left, int top);
  // The 402 x 169 window of the one-label dialogs: frame, image and the message label.
  TProLabel* BuildMessageFrame(const QString& bitmap, const QString& labelName);
};

class TWarningForm : public TCommonDialogForm {
  Q_OBJECT
 public:
  explicit TWarningForm(QWidget* parent = nullptr);
  TProLabel* WarningLabel;
  TProButton* OKButton;
  TProButton* CancelButton;
  TProButton* HelpButton;
};

class TInfoForm : public TCommonDialogForm {
  Q_OBJECT
 public:
  explicit TInfoForm(QWidget* parent = nullptr);
  TProLabel* InfoLabel;
  TProButton* OKButton;
  TProButton* HelpButton;
};

class TStopForm : public TCommonDialogForm {
  Q_OBJECT
 public:
  explicit TStopForm(QWidget* parent = nullptr);
  TProLabel* StopLabel;
  TProButton* CancelButton;
  TProButton* HelpButton;
};

class TConfirmForm : public TCommonDialogForm {
  Q_OBJECT
 public:
  explicit TConfirmForm(QWidget* parent = nullptr);
  TProLabel* ConditionLabel;
  TProLabel* DescriptionLabel;
  TProLabel* QuestionLabel;
  TProButton* YesButton;
  TProButton* NoButton;
  TProButton* CancelButton;
  TProButton* HelpButton;
};

// Common fields of the warning, information and stop components.
class TProMessageDialog : public TProCommonDialog {
  Q_OBJECT
 public:
  explicit TProMessageDialog(QObject* owner = nullptr) : TProCommonDialog(owner) {}
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption) { FCaption = caption; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment) { FAlignment = alignment; }
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment alignment) { FVerticalAlignment = alignment; }

 protected:
  QString FCaption;
  QString FMessage;
  TAlignment FAlignment = taLeftJustify;
  TVerticalAlignment FVerticalAlignment = vaCenter;
};

class TProWarningDialog : public TProMessageDialog {
  Q_OBJECT
 public:
  explicit TProWarningDialog(QObject* owner = nullptr) : TProMessageDialog(owner) {}
  QString WarningMessage() const { return FMessage; }
  void SetWarningMessage(const QString& message) { FMessage = message; }
  bool Execute();  // true for OK
};

class TProInfoDialog : public TProMessageDialog {
  Q_OBJECT
 public:
  explicit TProInfoDialog(QObject* owner = nullptr) : TProMessageDialog(owner) {}
  QString InfoMessage() const { return FMessage; }
  void SetInfoMessage(const QString& message) { FMessage = message; }
  void Execute();
};

class TProStopDialog : public TProMessageDialog {
  Q_OBJECT
 public:
  explicit TProStopDialog(QObject* owner = nullptr) : TProMessageDialog(owner) {}
  QString StopMessage() const { return FMessage; }
  void SetStopMessage(const QString& message) { FMessage = message; }
  void Execute();
};

class TProConfirmDialog : public TProCommonDialog {
  Q_OBJECT
 public:
  explicit TProConfirmDialog(QObject* owner = nullptr) : TProCommonDialog(owner) {}
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption) { FCaption = caption; }
  QString Condition() const { return FCondition; }
  void SetCondition(const QString& text) { FCondition = text; }
  QString Description() const { return FDescription; }
  void SetDescription(const QString& text) { FDescription = text; }
  QString Question() const { return FQuestion; }
  void SetQuestion(const QString& text) { FQuestion = text; }
  bool Cancelled() const { return FCancelled; }
  bool Execute();  // true for Yes; Cancelled() after Cancel or the close box

 private:
  QString FCaption, FCondition, FDescription, FQuestion;
  bool FCancelled = false;
};

bool WarningDialog(const QString& caption, const QString& message, TAlignment alignment = taLeftJustify,
                   TVerticalAlignment verticalAlignment = vaCenter, TDialogLanguage language = dlEnglish,
                   int helpContext = 0);
void InfoDialog(const QString& caption, const QString& message, TAlignment alignment = taLeftJustify,
                TVerticalAlignment verticalAlignment = vaCenter, TDialogLanguage language = dlEnglish,
                int helpContext = 0);
void StopDialog(const QString& caption, const QString& message, TAlignment alignment = taLeftJustify,
                TVerticalAlignment verticalAlignment = vaCenter, TDialogLanguage language = dlEnglish,
                int helpContext = 0);
bool ConfirmDialog(const QString& caption, const QString& condition, const QString& description,
                   const QString& question, bool& cancelled, TDialogLanguage language = dlEnglish,
                   int helpContext = 0);

}  // namespace qb
