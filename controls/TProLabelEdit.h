#pragma once

#include <QLineEdit>
#include <QWidget>

#include "controls/ControlBasics.h"
#include "controls/TProLabel.h"

namespace qb {

enum TProLabelPosition { lpLeft, lpTop };
enum TCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A caption (TProLabel) and an edit box as one control; Caption/Text forward to them.
class TProLabelEdit : public TProMouseWidget {
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
  void SetAutoSize(bool on) {
    if (AssignIfChanged(FAutoSize, on)) DoLayout();
  }
  int Gap() const { return FGap; }
  void SetGap(int gap) {
    if (AssignIfChanged(FGap, gap)) DoLayout();
  }
  int LabelWidth() const { return FLabelWidth; }
  void SetLabelWidth(int width) {
    if (AssignIfChanged(FLabelWidth, width)) DoLayout();
  }
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
  void Change();  // the edit's text changed
  void Enter();   // the edit got the focus
  void Exit();    // the edit lost the focus
  void KeyDown(QKeyEvent* event);
  void KeyPress(QChar key);
  void KeyUp(QKeyEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;
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

}  // namespace qb
