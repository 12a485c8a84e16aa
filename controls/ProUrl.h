#pragma once

// Hyperlink label and picture: open their address through the shell on a click.

#include <QLabel>

#include "controls/ProCtrls.h"
#include "controls/UrlLabelState.h"

namespace qb {

class TProUrlLabel : public TProLabel {
  Q_OBJECT
 public:
  explicit TProUrlLabel(QWidget* parent = nullptr);

  QString URL() const { return FURL; }
  void SetURL(const QString& url) { FURL = url; }
  QColor UnvisitedColor() const { return FState.UnvisitedColor(); }
  void SetUnvisitedColor(const QColor& color);
  QColor ActivatedColor() const { return FState.ActivatedColor(); }
  void SetActivatedColor(const QColor& color) { FState.SetActivatedColor(color); }
  QColor VisitedColor() const { return FState.VisitedColor(); }
  void SetVisitedColor(const QColor& color);
  QColor HoveredColor() const { return FState.HoveredColor(); }
  void SetHoveredColor(const QColor& color) { FState.SetHoveredColor(color); }
  bool CanHover() const { return FState.CanHover(); }
  void SetCanHover(bool on);
  bool Visited() const { return FState.Visited(); }
  bool Pressed() const { return FState.Pressed(); }
  // A left click on the label, as by the mouse (used by assistive technology).
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void FontChanged() override;

 private:
  void Apply(const TUrlLabelReaction& reaction);

  QString FURL;
  TUrlLabelState FState;
  bool FApplying = false;
};

// Picture that opens URL after its click (clicked signal first).
class TProUrlImage : public QLabel {
  Q_OBJECT
 public:
  explicit TProUrlImage(QWidget* parent = nullptr);
  QString URL() const { return FURL; }
  void SetURL(const QString& url) { FURL = url; }

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString FURL;
  bool FPressed = false;
};

}  // namespace qb
