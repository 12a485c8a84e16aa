#pragma once

#include <QToolButton>

class QTimer;

namespace qb {

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

}  // namespace qb
