#pragma once

// Styled controls: labels with text effects, label-edits, repeating speed
// buttons, push buttons with kinds, panels with per-side bevels.

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QToolButton>

#include "ButtonKinds.h"
#include "LabelEffects.h"
#include "Proconst.h"

class QPainter;
class QTimer;

namespace qb {

enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = unsigned;  // one bit per TSide, bit n for side n
constexpr TSides SideBit(TSide side) { return 1u << side; }
constexpr TSides kAllSides = 0xF;

enum TProLabelPosition { lpLeft, lpTop };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNone, bsSingle };
enum TCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Qt alignment flags of a horizontal and a vertical alignment.
Qt::Alignment ToQtAlignment(TAlignment alignment, TVerticalAlignment vertical = vaTop);

// Draws `width` nested one-pixel rings on the selected sides (top-left colour on
// left/top, bottom-right colour on right/bottom) and shrinks rect accordingly.
void Frame3DSides(QPainter& painter, QRect& rect, TSides sides, const QColor& topLeft,
                  const QColor& bottomRight, int width);

// Help context of a widget (0 = none); searched by Help buttons up the parent chain.
int WidgetHelpContext(const QWidget* widget);
void SetWidgetHelpContext(QWidget* widget, int context);

// Label with raised, recessed and shadowed text, vertical alignment, offsets and rotation.
// Caption is the label text; Color is the palette's Window colour, FontColor its WindowText.
class TProCustomLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TProCustomLabel(QWidget* parent = nullptr);
  ~TProCustomLabel() override;

  QString Caption() const;
  void SetCaption(const QString& caption);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool on);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool on);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool on);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool on);
  QColor Color() const;
  void SetColor(const QColor& color);
  QColor FontColor() const;
  void SetFontColor(const QColor& color);
  QWidget* FocusControl() const { return buddy(); }
  void SetFocusControl(QWidget* control) { setBuddy(control); }

  int Angle() const { return FAngle; }
  void SetAngle(int angle);
  int OffsetX() const { return FOffsetX; }
  void SetOffsetX(int offset);
  int OffsetY() const { return FOffsetY; }
  void SetOffsetY(int offset);

  TDirection HighlightDirection() const { return FEffects.HighlightDirection(); }
  void SetHighlightDirection(TDirection direction);
  int HighlightDepth() const { return FEffects.HighlightDepth(); }
  void SetHighlightDepth(int depth);
  QColor HighlightColor() const { return FEffects.HighlightColor(); }
  void SetHighlightColor(const QColor& color);
  TShadowStyle ShadowStyle() const { return FEffects.ShadowStyle(); }
  void SetShadowStyle(TShadowStyle style);
  TDirection ShadowDirection() const { return FEffects.ShadowDirection(); }
  void SetShadowDirection(TDirection direction);
  unsigned ShadowDepth() const { return FEffects.ShadowDepth(); }
  void SetShadowDepth(unsigned depth);
  unsigned ShadowSize() const { return FEffects.ShadowSize(); }
  void SetShadowSize(unsigned size);
  QColor ShadowColor() const { return FEffects.ShadowColor(); }
  void SetShadowColor(const QColor& color);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment alignment);
  // The vertical alignment in Qt's text-layout terms.
  Qt::Alignment Layout() const;
  void SetLayout(Qt::Alignment layout);

  const TLabelEffects& Effects() const { return FEffects; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void MouseEnter();
  void MouseLeave();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Called after the font or the font colour changed.
  virtual void FontChanged() {}
  int TextFlags() const;
  QString DisplayText() const;
  void AdjustBounds();

 private:
  void DrawCaption(QPainter& painter, const QRect& rect, const QColor& color) const;
  void PaintRotated(QPainter& painter);

  TLabelEffects FEffects;
  int FAngle = 0;
  int FOffsetX = 0;
  int FOffsetY = 0;
  TVerticalAlignment FVerticalAlignment = vaTop;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  double FCosAngle = 1.0;
  double FSinAngle = 0.0;
};

class TProLabel : public TProCustomLabel {
  Q_OBJECT
 public:
  explicit TProLabel(QWidget* parent = nullptr) : TProCustomLabel(parent) {}
};

// A caption (TProLabel) and an edit box as one control; Caption/Text forward to them.
class TProLabelEdit : public QWidget {
  Q_OBJECT
 public:
  explicit TProLabelEdit(QWidget* parent = nullptr);

  TProLabel* Label() const { return FLabel; }
  QLineEdit* Edit() const { return FEdit; }

  QString Caption() const;
  void SetCaption(const QString& caption);
  QString Text() const;
  void SetText(const QString& text);
  QString GetCaption() const { return Caption(); }
  QString GetText() const { return Text(); }

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool on);
  int Gap() const { return FGap; }
  void SetGap(int gap);
  int LabelWidth() const { return FLabelWidth; }
  void SetLabelWidth(int width);
  int LabelHeight() const { return FLabelHeight; }
  void SetLabelHeight(int height) { FLabelHeight = height; }
  TProLabelPosition LabelPosition() const { return FLabelPosition; }

  // Label properties.
  TAlignment LabelAlignment() const;
  void SetLabelAlignment(TAlignment alignment);
  TVerticalAlignment LabelLayout() const;
  void SetLabelLayout(TVerticalAlignment layout);
  bool LabelWordWrap() const;
  void SetLabelWordWrap(bool on);
  QColor LabelHighlightColor() const;
  void SetLabelHighlightColor(const QColor& color);
  int LabelHighlightDepth() const;
  void SetLabelHighlightDepth(int depth);
  TDirection LabelHighlightDirection() const;
  void SetLabelHighlightDirection(TDirection direction);
  int LabelOffsetX() const;
  void SetLabelOffsetX(int offset);
  int LabelOffsetY() const;
  void SetLabelOffsetY(int offset);
  QColor LabelShadowColor() const;
  void SetLabelShadowColor(const QColor& color);
  unsigned LabelShadowDepth() const;
  void SetLabelShadowDepth(unsigned depth);
  TDirection LabelShadowDirection() const;
  void SetLabelShadowDirection(TDirection direction);
  unsigned LabelShadowSize() const;
  void SetLabelShadowSize(unsigned size);
  TShadowStyle LabelShadowStyle() const;
  void SetLabelShadowStyle(TShadowStyle style);
  // The composite's own colour, painted behind the label.
  QColor LabelColor() const;
  void SetLabelColor(const QColor& color);

  // Edit properties.
  QColor Color() const;
  void SetColor(const QColor& color);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool on) { FAutoSelect = on; }
  TBorderStyle BorderStyle() const;
  void SetBorderStyle(TBorderStyle style);
  TCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TCharCase charCase);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool on) { FHideSelection = on; }
  int MaxLength() const;
  void SetMaxLength(int length);  // 0 = unlimited
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool on) { FOEMConvert = on; }
  QChar PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(QChar ch);  // QChar() = none
  bool ReadOnly() const;
  void SetReadOnly(bool on);

  // Copies the font to both children.
  void SetFont(const QFont& font);

  QSize sizeHint() const override;

 signals:
  void MouseEnter();
  void MouseLeave();
  void Change();  // the edit's text changed
  void Enter();   // the edit got the focus
  void Exit();    // the edit lost the focus
  void KeyDown(QKeyEvent* event);
  void KeyPress(QChar key);
  void KeyUp(QKeyEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DoLayout();

  TProLabel* FLabel;
  QLineEdit* FEdit;
  bool FAutoSize = true;
  int FGap = 0;
  TProLabelPosition FLabelPosition = lpLeft;
  int FLabelWidth = 100;
  int FLabelHeight = 21;
  bool FAutoSelect = true;
  TCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  bool FOEMConvert = false;
  QChar FPasswordChar;
  bool FInLayout = false;
};

// Flat tool button with glyph and hint; repeats its click while held when RepeatEnabled.
// clicked() is the click.
class TProSpeedButton : public QToolButton {
  Q_OBJECT
 public:
  explicit TProSpeedButton(QWidget* parent = nullptr);
  ~TProSpeedButton() override;

  QIcon Glyph() const { return icon(); }
  void SetGlyph(const QIcon& glyph);
  QString Hint() const { return toolTip(); }
  void SetHint(const QString& hint);  // tooltip and accessible name
  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);
  bool Flat() const { return autoRaise(); }
  void SetFlat(bool on) { setAutoRaise(on); }
  // Down: pressed by the mouse, or latched down in a group.
  bool Down() const;
  void SetDown(bool down);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int index);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool on);

  bool RepeatEnabled() const { return FRepeatEnabled; }
  void SetRepeatEnabled(bool on);
  unsigned RepeatInitInterval() const { return FRepeatInitInterval; }
  void SetRepeatInitInterval(unsigned ms) { FRepeatInitInterval = ms; }
  unsigned RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(unsigned ms) { FRepeatInterval = ms; }
  bool Repeating() const;  // the repeat timer runs

  // Performs the click (emits clicked()).
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void nextCheckState() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void RepeatTick();
  void UpdateGroup();

  bool FRepeatEnabled = false;
  unsigned FRepeatInitInterval = 400;
  unsigned FRepeatInterval = 100;
  QTimer* FRepeatTimer = nullptr;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FMouseCaptured = false;
};

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
  void SetDefault(bool on) {
    FDefault = on;
    setDefault(on);
  }
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

// Panel with per-side 3-D bevels, a coloured border and a word-wrapped,
// vertically aligned caption. Color is the palette's Window colour.
class TProCustomPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TProCustomPanel(QWidget* parent = nullptr);

  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment alignment);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut cut);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut cut);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int width);
  bool BevelCtl3D() const { return FBevelCtl3D; }
  void SetBevelCtl3D(bool on);
  TSides BevelSides() const { return FBevelSides; }
  void SetBevelSides(TSides sides);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  QColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(const QColor& color);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  QColor Color() const;
  void SetColor(const QColor& color);
  QColor FontColor() const;
  void SetFontColor(const QColor& color);
  bool Locked() const { return FLocked; }
  void SetLocked(bool on) { FLocked = on; }
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool on) { FFullRepaint = on; }

  // The client rectangle left after bevels and border (children are placed inside it by callers).
  QRect InnerRect() const;

 signals:
  void MouseEnter();
  void MouseLeave();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut) const;

  QString FCaption;
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = vaCenter;
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  bool FBevelCtl3D = false;
  TSides FBevelSides = kAllSides;
  int FBorderWidth = 0;
  QColor FBorderColor;
  TBorderStyle FBorderStyle = bsNone;
  bool FLocked = false;
  bool FFullRepaint = true;
};

class TProPanel : public TProCustomPanel {
  Q_OBJECT
 public:
  explicit TProPanel(QWidget* parent = nullptr) : TProCustomPanel(parent) {}
};

}  // namespace qb
