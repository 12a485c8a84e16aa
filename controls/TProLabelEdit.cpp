#include "controls/TProLabelEdit.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QTimer>

#include "controls/Provcl.h"

namespace qb {

TProLabelEdit::TProLabelEdit(QWidget* parent) : TProMouseWidget(parent) {
  InitializeControls();
  setAutoFillBackground(true);
  FLabel = new TProLabel(this);
  FLabel->setObjectName(QStringLiteral("Label"));
  FEdit = new QLineEdit(this);
  FEdit->setObjectName(QStringLiteral("Edit"));
  FLabel->SetAutoSize(false);
  FLabel->SetVerticalAlignment(vaCenter);
  FLabel->SetFocusControl(FEdit);
  FLabel->SetCaption(QStringLiteral("LabelEdit:"));
  setFocusProxy(FEdit);
  FEdit->installEventFilter(this);
  connect(FEdit, &QLineEdit::textChanged, this, [this] { emit Change(); });
  connect(FEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
    if (FCharCase == ecNormal) return;
    const QString cased = FCharCase == ecUpperCase ? t.toUpper() : t.toLower();
    if (cased != t) {
      const int pos = FEdit->cursorPosition();
      FEdit->setText(cased);
      FEdit->setCursorPosition(pos);
    }
  });
  resize(250, 21);
  DoLayout();
}

QString TProLabelEdit::Caption() const { return FLabel->Caption(); }
void TProLabelEdit::SetCaption(const QString& caption) { FLabel->SetCaption(caption); }
QString TProLabelEdit::Text() const { return FEdit->text(); }
void TProLabelEdit::SetText(const QString& text) { FEdit->setText(text); }

TAlignment TProLabelEdit::LabelAlignment() const { return FLabel->Alignment(); }
void TProLabelEdit::SetLabelAlignment(TAlignment alignment) { FLabel->SetAlignment(alignment); }
TVerticalAlignment TProLabelEdit::LabelLayout() const { return FLabel->VerticalAlignment(); }
void TProLabelEdit::SetLabelLayout(TVerticalAlignment layout) { FLabel->SetVerticalAlignment(layout); }
bool TProLabelEdit::LabelWordWrap() const { return FLabel->WordWrap(); }
void TProLabelEdit::SetLabelWordWrap(bool on) { FLabel->SetWordWrap(on); }
QColor TProLabelEdit::LabelHighlightColor() const { return FLabel->HighlightColor(); }
void TProLabelEdit::SetLabelHighlightColor(const QColor& color) { FLabel->SetHighlightColor(color); }
int TProLabelEdit::LabelHighlightDepth() const { return FLabel->HighlightDepth(); }
void TProLabelEdit::SetLabelHighlightDepth(int depth) { FLabel->SetHighlightDepth(depth); }
TDirection TProLabelEdit::LabelHighlightDirection() const { return FLabel->HighlightDirection(); }
void TProLabelEdit::SetLabelHighlightDirection(TDirection direction) {
  FLabel->SetHighlightDirection(direction);
}
int TProLabelEdit::LabelOffsetX() const { return FLabel->OffsetX(); }
void TProLabelEdit::SetLabelOffsetX(int offset) { FLabel->SetOffsetX(offset); }
int TProLabelEdit::LabelOffsetY() const { return FLabel->OffsetY(); }
void TProLabelEdit::SetLabelOffsetY(int offset) { FLabel->SetOffsetY(offset); }
QColor TProLabelEdit::LabelShadowColor() const { return FLabel->ShadowColor(); }
void TProLabelEdit::SetLabelShadowColor(const QColor& color) { FLabel->SetShadowColor(color); }
unsigned TProLabelEdit::LabelShadowDepth() const { return FLabel->ShadowDepth(); }
void TProLabelEdit::SetLabelShadowDepth(unsigned depth) { FLabel->SetShadowDepth(depth); }
TDirection TProLabelEdit::LabelShadowDirection() const { return FLabel->ShadowDirection(); }
void TProLabelEdit::SetLabelShadowDirection(TDirection direction) { FLabel->SetShadowDirection(direction); }
unsigned TProLabelEdit::LabelShadowSize() const { return FLabel->ShadowSize(); }
void TProLabelEdit::SetLabelShadowSize(unsigned size) { FLabel->SetShadowSize(size); }
TShadowStyle TProLabelEdit::LabelShadowStyle() const { return FLabel->ShadowStyle(); }
void TProLabelEdit::SetLabelShadowStyle(TShadowStyle style) { FLabel->SetShadowStyle(style); }

QColor TProLabelEdit::LabelColor() const { return palette().color(QPalette::Window); }

void TProLabelEdit::SetLabelColor(const QColor& color) { SetPaletteColor(this, QPalette::Window, color); }

QColor TProLabelEdit::Color() const { return FEdit->palette().color(QPalette::Base); }

void TProLabelEdit::SetColor(const QColor& color) { SetPaletteColor(FEdit, QPalette::Base, color); }

TBorderStyle TProLabelEdit::BorderStyle() const { return FEdit->hasFrame() ? bsSingle : bsNone; }
void TProLabelEdit::SetBorderStyle(TBorderStyle style) { FEdit->setFrame(style == bsSingle); }

void TProLabelEdit::SetCharCase(TCharCase charCase) {
  FCharCase = charCase;
  if (charCase == ecUpperCase) FEdit->setText(FEdit->text().toUpper());
  if (charCase == ecLowerCase) FEdit->setText(FEdit->text().toLower());
}

int TProLabelEdit::MaxLength() const { return FEdit->maxLength() == 32767 ? 0 : FEdit->maxLength(); }
void TProLabelEdit::SetMaxLength(int length) { FEdit->setMaxLength(length <= 0 ? 32767 : length); }

void TProLabelEdit::SetPasswordChar(QChar ch) {
  FPasswordChar = ch;
  FEdit->setEchoMode(ch.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}

bool TProLabelEdit::ReadOnly() const { return FEdit->isReadOnly(); }
void TProLabelEdit::SetReadOnly(bool on) { FEdit->setReadOnly(on); }

void TProLabelEdit::SetFont(const QFont& font) {
  setFont(font);
  FLabel->setFont(font);
  FEdit->setFont(font);
  DoLayout();
}

QSize TProLabelEdit::sizeHint() const { return QSize(250, FAutoSize ? FEdit->sizeHint().height() : 21); }

void TProLabelEdit::DoLayout() {
  if (FInLayout) return;
  FInLayout = true;
  if (FAutoSize) {
    const int editHeight = FEdit->sizeHint().height();
    if (height() != editHeight) resize(width(), editHeight);
  }
  const int h = height();
  FLabel->setGeometry(0, 0, FLabelWidth, h);
  FEdit->setGeometry(FLabelWidth + FGap, 0, width() - FLabelWidth - FGap, h);
  FInLayout = false;
}

void TProLabelEdit::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  DoLayout();
}

void TProLabelEdit::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    FLabel->setFont(font());
    FEdit->setFont(font());
    DoLayout();
  }
}

bool TProLabelEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FEdit) {
    switch (event->type()) {
      case QEvent::FocusIn:
        emit Enter();
        if (FAutoSelect) QTimer::singleShot(0, FEdit, [this] { FEdit->selectAll(); });
        break;
      case QEvent::FocusOut: emit Exit(); break;
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        emit KeyDown(key);
        if (!key->text().isEmpty()) emit KeyPress(key->text().at(0));
        break;
      }
      case QEvent::KeyRelease: emit KeyUp(static_cast<QKeyEvent*>(event)); break;
      default: break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace qb
