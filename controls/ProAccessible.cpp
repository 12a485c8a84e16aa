#include "controls/ProAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "controls/ProCtrls.h"
#include "controls/ProUrl.h"

namespace qb {

QString StripAccelChars(const QString& caption) {
  QString result;
  result.reserve(caption.size());
  for (int i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) result += caption[++i];
      continue;
    }
    result += caption[i];
  }
  return result;
}

namespace {

class LabelAccessible : public QAccessibleWidget {
 public:
  explicit LabelAccessible(TProCustomLabel* label, QAccessible::Role role = QAccessible::StaticText)
      : QAccessibleWidget(label, role) {}
  TProCustomLabel* label() const { return static_cast<TProCustomLabel*>(widget()); }
  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        if (!label()->accessibleName().isEmpty()) return label()->accessibleName();
        return label()->ShowAccelChar() ? StripAccelChars(label()->Caption()) : label()->Caption();
      case QAccessible::Value:
        return label()->ShowAccelChar() ? StripAccelChars(label()->Caption()) : label()->Caption();
      default: return QAccessibleWidget::text(t);
    }
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }
};

class UrlLabelAccessible : public LabelAccessible {
 public:
  explicit UrlLabelAccessible(TProUrlLabel* label) : LabelAccessible(label, QAccessible::Link) {}
  TProUrlLabel* link() const { return static_cast<TProUrlLabel*>(widget()); }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return link()->URL().isEmpty() ? link()->Caption() : link()->URL();
    if (t == QAccessible::Description) return link()->URL();
    return LabelAccessible::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = LabelAccessible::state();
    s.linked = true;
    s.traversed = link()->Visited();
    s.pressed = link()->Pressed();
    return s;
  }
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == pressAction())
      link()->Click();
    else
      QAccessibleWidget::doAction(name);
  }
};

class PanelAccessible : public QAccessibleWidget {
 public:
  explicit PanelAccessible(TProCustomPanel* panel) : QAccessibleWidget(panel, QAccessible::Pane) {}
  TProCustomPanel* panel() const { return static_cast<TProCustomPanel*>(widget()); }
  QAccessible::Role role() const override {
    return panel()->Caption().isEmpty() ? QAccessible::Pane : QAccessible::StaticText;
  }
  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return panel()->accessibleName().isEmpty() ? panel()->Caption() : panel()->accessibleName();
      case QAccessible::Value: return panel()->Caption();
      default: return QAccessibleWidget::text(t);
    }
  }
};

class LabelEditAccessible : public QAccessibleWidget {
 public:
  explicit LabelEditAccessible(TProLabelEdit* edit) : QAccessibleWidget(edit, QAccessible::Grouping) {}
  TProLabelEdit* labelEdit() const { return static_cast<TProLabelEdit*>(widget()); }
  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        if (!labelEdit()->accessibleName().isEmpty()) return labelEdit()->accessibleName();
        return StripAccelChars(labelEdit()->Caption());
      case QAccessible::Value: return labelEdit()->Text();
      default: return QAccessibleWidget::text(t);
    }
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = labelEdit()->ReadOnly();
    return s;
  }
};

QAccessibleInterface* ControlsFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  if (auto* link = qobject_cast<TProUrlLabel*>(object)) return new UrlLabelAccessible(link);
  if (auto* label = qobject_cast<TProCustomLabel*>(object)) return new LabelAccessible(label);
  if (auto* panel = qobject_cast<TProCustomPanel*>(object)) return new PanelAccessible(panel);
  if (auto* edit = qobject_cast<TProLabelEdit*>(object)) return new LabelEditAccessible(edit);
  return nullptr;
}

}  // namespace

void InstallControlsAccessibility() { QAccessible::installFactory(ControlsFactory); }

}  // namespace qb
