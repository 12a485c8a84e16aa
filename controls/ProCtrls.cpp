#include "ProCtrls.h"

#include <QAccessible>
#include <QDialog>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionToolButton>
#include <QTimer>
#include <QVariant>
#include <QtMath>

#include "Application.h"
#include "Provcl.h"
#include "StringTable.h"

namespace qb {

namespace {

const char* const kHelpContextProperty = "qbHelpContext";

// Height of text drawn in rect with flags; the text block is placed by the
// vertical alignment (negative spare height moves it up).
QRect AlignTextVertically(const QPainter& painter, QRect rect, int flags, const QString& text,
                          TVerticalAlignment alignment) {
  if (alignment == vaTop) return rect;
  const int h = painter.fontMetrics().boundingRect(rect, flags, text).height();
  const int oldBottom = rect.top() + rect.height();
  rect.setHeight(h);
  const int spare = oldBottom - (rect.top() + h);
  rect.translate(0, alignment == vaBottom ? spare : spare / 2);
  return rect;
}

}  // namespace

Qt::Alignment ToQtAlignment(TAlignment alignment, TVerticalAlignment vertical) {
  Qt::Alignment result;
  switch (alignment) {
    case taLeftJustify:
      result = Qt::AlignLeft;
      break;
    case taRightJustify:
      result = Qt::AlignRight;
      break;
    case taCenter:
      result = Qt::AlignHCenter;
      break;
  }
  switch (vertical) {
    case vaTop:
      result |= Qt::AlignTop;
      break;
    case vaCenter:
      result |= Qt::AlignVCenter;
      break;
    case vaBottom:
      result |= Qt::AlignBottom;
      break;
  }
  return result;
}

void Frame3DSides(QPainter& painter, QRect& rect, TSides sides, const QColor& topLeft,
                  const QColor& bottomRight, int width) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  for (int ring = 0; ring < width && rect.width() > 0 && rect.height() > 0; ++ring) {
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    painter.setPen(QPen(topLeft, 1));
    if (sides & SideBit(sdLeft)) painter.drawLine(l, t, l, b);
    if (sides & SideBit(sdTop)) painter.drawLine(l, t, r, t);
    painter.setPen(QPen(bottomRight, 1));
    if (sides & SideBit(sdRight)) painter.drawLine(r, t, r, b);
    if (sides & SideBit(sdBottom)) painter.drawLine(l, b, r, b);
    if (sides & SideBit(sdLeft)) rect.setLeft(rect.left() + 1);
    if (sides & SideBit(sdTop)) rect.setTop(rect.top() + 1);
    if (sides & SideBit(sdRight)) rect.setRight(rect.right() - 1);
    if (sides & SideBit(sdBottom)) rect.setBottom(rect.bottom() - 1);
  }
  painter.restore();
}

int WidgetHelpContext(const QWidget* widget) {
  return widget ? widget->property(kHelpContextProperty).toInt() : 0;
}

void SetWidgetHelpContext(QWidget* widget, int context) {
  if (widget) widget->setProperty(kHelpContextProperty, context);
}

// ---------------------------------------------------------------------------
// TProCustomLabel

TProCustomLabel::TProCustomLabel(QWidget* parent) : QLabel(parent) {
  InitializeControls();
  setTextFormat(Qt::PlainText);
  QLabel::setWordWrap(false);
}

TProCustomLabel::~TProCustomLabel() = default;

QString TProCustomLabel::Caption() const { return text(); }

void TProCustomLabel::SetCaption(const QString& caption) {
  if (caption == text()) return;
  setText(caption);
  AdjustBounds();
  update();
}

void TProCustomLabel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  setAlignment(ToQtAlignment(FAlignment, FVerticalAlignment));
  update();
}

void TProCustomLabel::SetAutoSize(bool on) {
  if (on == FAutoSize) return;
  FAutoSize = on;
  AdjustBounds();
}

void TProCustomLabel::SetWordWrap(bool on) {
  if (on == FWordWrap) return;
  FWordWrap = on;
  QLabel::setWordWrap(on);
  AdjustBounds();
  update();
}

void TProCustomLabel::SetTransparent(bool on) {
  if (on == FTransparent) return;
  FTransparent = on;
  update();
}

void TProCustomLabel::SetShowAccelChar(bool on) {
  if (on == FShowAccelChar) return;
  FShowAccelChar = on;
  AdjustBounds();
  update();
}

QColor TProCustomLabel::Color() const { return palette().color(QPalette::Window); }

void TProCustomLabel::SetColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
  update();
}

QColor TProCustomLabel::FontColor() const { return palette().color(QPalette::WindowText); }

void TProCustomLabel::SetFontColor(const QColor& color) {
  if (color == FontColor() && testAttribute(Qt::WA_SetPalette)) return;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, color);
  setPalette(p);  // the palette change reports FontChanged
  update();
}

void TProCustomLabel::SetAngle(int angle) {
  if (angle == FAngle) return;
  FAngle = angle;
  const double radians = qDegreesToRadians(static_cast<double>(NormalizeAngle(angle)));
  FCosAngle = std::cos(radians);
  FSinAngle = std::sin(radians);
  if (angle != 0) FAutoSize = false;
  update();
}

void TProCustomLabel::SetOffsetX(int offset) {
  if (offset == FOffsetX) return;
  FOffsetX = offset;
  if (offset != 0) FAutoSize = false;
  update();
}

void TProCustomLabel::SetOffsetY(int offset) {
  if (offset == FOffsetY) return;
  FOffsetY = offset;
  if (offset != 0) FAutoSize = false;
  update();
}

void TProCustomLabel::SetHighlightDirection(TDirection direction) {
  if (FEffects.SetHighlightDirection(direction)) update();
}
void TProCustomLabel::SetHighlightDepth(int depth) {
  if (FEffects.SetHighlightDepth(depth)) update();
}
void TProCustomLabel::SetHighlightColor(const QColor& color) {
  if (FEffects.SetHighlightColor(color)) update();
}
void TProCustomLabel::SetShadowDirection(TDirection direction) {
  if (FEffects.SetShadowDirection(direction)) update();
}
void TProCustomLabel::SetShadowDepth(unsigned depth) {
  if (FEffects.SetShadowDepth(depth)) update();
}
void TProCustomLabel::SetShadowSize(unsigned size) {
  if (FEffects.SetShadowSize(size)) update();
}
void TProCustomLabel::SetShadowColor(const QColor& color) {
  if (FEffects.SetShadowColor(color)) update();
}

void TProCustomLabel::SetShadowStyle(TShadowStyle style) {
  QColor fontColor;
  if (!FEffects.SetShadowStyle(style, &fontColor)) return;
  if (fontColor.isValid()) SetFontColor(fontColor);
  update();
}

void TProCustomLabel::SetVerticalAlignment(TVerticalAlignment alignment) {
  if (alignment == FVerticalAlignment) return;
  FVerticalAlignment = alignment;
  setAlignment(ToQtAlignment(FAlignment, FVerticalAlignment));
  update();
}

Qt::Alignment TProCustomLabel::Layout() const {
  return ToQtAlignment(FAlignment, FVerticalAlignment) & Qt::AlignVertical_Mask;
}

void TProCustomLabel::SetLayout(Qt::Alignment layout) {
  if (layout & Qt::AlignBottom)
    SetVerticalAlignment(vaBottom);
  else if (layout & Qt::AlignVCenter)
    SetVerticalAlignment(vaCenter);
  else
    SetVerticalAlignment(vaTop);
}

int TProCustomLabel::TextFlags() const {
  int flags = static_cast<int>(ToQtAlignment(FAlignment, vaTop)) | Qt::TextExpandTabs;
  if (FWordWrap) flags |= Qt::TextWordWrap;
  if (FShowAccelChar) flags |= Qt::TextShowMnemonic;
  return flags;
}

QString TProCustomLabel::DisplayText() const { return text(); }

QSize TProCustomLabel::sizeHint() const {
  QFontMetrics fm(font());
  const QString t = DisplayText().isEmpty() ? QStringLiteral(" ") : DisplayText();
  if (FWordWrap && width() > 0)
    return QSize(width(), fm.boundingRect(QRect(0, 0, width(), 100000), TextFlags(), t).height());
  return fm.boundingRect(QRect(0, 0, 100000, 100000), TextFlags() & ~Qt::TextWordWrap, t).size();
}

QSize TProCustomLabel::minimumSizeHint() const { return FAutoSize ? sizeHint() : QSize(0, 0); }

void TProCustomLabel::AdjustBounds() {
  if (!FAutoSize) return;
  const QSize hint = sizeHint();
  if (FWordWrap)
    resize(width(), hint.height());
  else
    resize(hint);
  updateGeometry();
}

void TProCustomLabel::DrawCaption(QPainter& painter, const QRect& rect, const QColor& color) const {
  painter.setPen(color);
  painter.drawText(rect, TextFlags(), DisplayText());
}

void TProCustomLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  QRect r = rect();
  if (!FTransparent) painter.fillRect(r, Color());
  if (NormalizeAngle(FAngle) != 0) {
    PaintRotated(painter);
    return;
  }
  const int flags = TextFlags();
  r = AlignTextVertically(painter, r, flags, DisplayText(), FVerticalAlignment);
  r.translate(FOffsetX, FOffsetY);
  if (!isEnabled()) {
    DrawCaption(painter, r.translated(1, 1), SystemColor(clBtnHighlight));
    DrawCaption(painter, r, SystemColor(clBtnShadow));
    return;
  }
  if (FEffects.ShadowStyle() != ssNone) {
    for (const TEffectOffset& o : ShadowOffsets(FEffects))
      DrawCaption(painter, r.translated(o.dx, o.dy), FEffects.ShadowColor());
    const TEffectOffset h = HighlightOffset(FEffects);
    DrawCaption(painter, r.translated(h.dx, h.dy), FEffects.HighlightColor());
  }
  DrawCaption(painter, r, FontColor());
}

void TProCustomLabel::PaintRotated(QPainter& painter) {
  const QString t = DisplayText();
  const QFontMetrics fm(font());
  const QRect textBox = fm.boundingRect(QRect(0, 0, 100000, 100000), TextFlags() & ~Qt::TextWordWrap, t);
  const double w = textBox.width(), h = textBox.height();
  // Size of the rotated text's bounding box.
  const double bw = std::abs(w * FCosAngle) + std::abs(h * FSinAngle);
  const double bh = std::abs(w * FSinAngle) + std::abs(h * FCosAngle);
  double cx = bw / 2, cy = bh / 2;
  if (FAlignment == taRightJustify) cx = width() - bw / 2;
  if (FAlignment == taCenter) cx = width() / 2.0;
  if (FVerticalAlignment == vaBottom) cy = height() - bh / 2;
  if (FVerticalAlignment == vaCenter) cy = height() / 2.0;
  cx += FOffsetX;
  cy += FOffsetY;
  const QRectF local(-w / 2, -h / 2, w, h);
  const int flags = (TextFlags() & ~Qt::TextWordWrap & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
  auto draw = [&](double dx, double dy, const QColor& color) {
    painter.save();
    painter.translate(cx + dx, cy + dy);
    painter.rotate(-NormalizeAngle(FAngle));
    painter.setPen(color);
    painter.drawText(local, flags, t);
    painter.restore();
  };
  if (!isEnabled()) {
    draw(1, 1, SystemColor(clBtnHighlight));
    draw(0, 0, SystemColor(clBtnShadow));
    return;
  }
  if (FEffects.ShadowStyle() != ssNone) {
    for (const TEffectOffset& o : ShadowOffsets(FEffects)) draw(o.dx, o.dy, FEffects.ShadowColor());
    const TEffectOffset hl = HighlightOffset(FEffects);
    draw(hl.dx, hl.dy, FEffects.HighlightColor());
  }
  draw(0, 0, FontColor());
}

void TProCustomLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  emit MouseEnter();
}

void TProCustomLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  emit MouseLeave();
}

void TProCustomLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    AdjustBounds();
    FontChanged();
  } else if (event->type() == QEvent::PaletteChange) {
    FontChanged();
  } else if (event->type() == QEvent::EnabledChange) {
    update();
  }
}

// ---------------------------------------------------------------------------
// TProLabelEdit

TProLabelEdit::TProLabelEdit(QWidget* parent) : QWidget(parent) {
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

void TProLabelEdit::SetAutoSize(bool on) {
  if (on == FAutoSize) return;
  FAutoSize = on;
  DoLayout();
}

void TProLabelEdit::SetGap(int gap) {
  if (gap == FGap) return;
  FGap = gap;
  DoLayout();
}

void TProLabelEdit::SetLabelWidth(int width) {
  if (width == FLabelWidth) return;
  FLabelWidth = width;
  DoLayout();
}

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

void TProLabelEdit::SetLabelColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
}

QColor TProLabelEdit::Color() const { return FEdit->palette().color(QPalette::Base); }

void TProLabelEdit::SetColor(const QColor& color) {
  QPalette p = FEdit->palette();
  p.setColor(QPalette::Base, color);
  FEdit->setPalette(p);
}

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

void TProLabelEdit::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  emit MouseEnter();
}

void TProLabelEdit::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit MouseLeave();
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
      case QEvent::FocusOut:
        emit Exit();
        break;
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        emit KeyDown(key);
        if (!key->text().isEmpty()) emit KeyPress(key->text().at(0));
        break;
      }
      case QEvent::KeyRelease:
        emit KeyUp(static_cast<QKeyEvent*>(event));
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// TProSpeedButton

TProSpeedButton::TProSpeedButton(QWidget* parent) : QToolButton(parent) {
  InitializeControls();
  setAutoRaise(true);
  setFocusPolicy(Qt::NoFocus);
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setAttribute(Qt::WA_Hover);
  resize(23, 22);
}

TProSpeedButton::~TProSpeedButton() = default;

void TProSpeedButton::SetGlyph(const QIcon& glyph) {
  setIcon(glyph);
  if (!glyph.isNull()) {
    const QList<QSize> sizes = glyph.availableSizes();
    if (!sizes.isEmpty()) setIconSize(sizes.first());
  }
  update();
}

void TProSpeedButton::SetHint(const QString& hint) {
  setToolTip(hint);
  setAccessibleName(hint);
}

void TProSpeedButton::SetCaption(const QString& caption) {
  setText(caption);
  setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
}

bool TProSpeedButton::Down() const { return isDown() || (isCheckable() && isChecked()); }

void TProSpeedButton::SetDown(bool down) {
  if (FGroupIndex == 0) {
    setDown(down);
    return;
  }
  if (down == isChecked()) return;
  setChecked(down);
  if (down) UpdateGroup();
}

void TProSpeedButton::SetGroupIndex(int index) {
  FGroupIndex = index;
  setCheckable(index != 0);
  if (isChecked()) UpdateGroup();
}

void TProSpeedButton::SetAllowAllUp(bool on) {
  FAllowAllUp = on;
  if (!parentWidget()) return;
  for (auto* sibling : parentWidget()->findChildren<TProSpeedButton*>(Qt::FindDirectChildrenOnly))
    if (sibling != this && FGroupIndex != 0 && sibling->FGroupIndex == FGroupIndex) sibling->FAllowAllUp = on;
}

void TProSpeedButton::UpdateGroup() {
  if (!parentWidget() || FGroupIndex == 0) return;
  for (auto* sibling : parentWidget()->findChildren<TProSpeedButton*>(Qt::FindDirectChildrenOnly))
    if (sibling != this && sibling->FGroupIndex == FGroupIndex && sibling->isChecked())
      sibling->setChecked(false);
}

void TProSpeedButton::nextCheckState() {
  if (FGroupIndex == 0) return QToolButton::nextCheckState();
  if (isChecked()) {
    if (FAllowAllUp) setChecked(false);
    return;
  }
  setChecked(true);
  UpdateGroup();
}

void TProSpeedButton::SetRepeatEnabled(bool on) {
  FRepeatEnabled = on;
  if (!on && FRepeatTimer) FRepeatTimer->stop();
}

bool TProSpeedButton::Repeating() const { return FRepeatTimer && FRepeatTimer->isActive(); }

void TProSpeedButton::Click() { emit clicked(isChecked()); }

void TProSpeedButton::mousePressEvent(QMouseEvent* event) {
  QToolButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  FMouseCaptured = true;
  if (!FRepeatEnabled) return;
  if (!FRepeatTimer) {
    FRepeatTimer = new QTimer(this);
    connect(FRepeatTimer, &QTimer::timeout, this, [this] { RepeatTick(); });
  }
  FRepeatTimer->start(static_cast<int>(FRepeatInitInterval));
}

void TProSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool left = event->button() == Qt::LeftButton;
  if (left) FMouseCaptured = false;
  QToolButton::mouseReleaseEvent(event);
  if (FRepeatTimer) FRepeatTimer->stop();
}

void TProSpeedButton::RepeatTick() {
  FRepeatTimer->setInterval(static_cast<int>(FRepeatInterval));
  if (!isDown() || !FMouseCaptured) return;
  try {
    Click();
  } catch (const std::exception& error) {
    FRepeatTimer->stop();
    ShowException(error);
  } catch (...) {
    FRepeatTimer->stop();
    ShowUnknownException();
  }
}

void TProSpeedButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  const bool down = Down();
  const bool hot = isEnabled() && underMouse();
  if (isCheckable() && isChecked() && !isDown()) {
    // Latched down: the classic dithered face.
    QBrush dither(SystemColor(clBtnHighlight), Qt::Dense4Pattern);
    painter.fillRect(r, SystemColor(clBtnFace));
    painter.fillRect(r.adjusted(1, 1, -1, -1), dither);
  }
  if (down)
    Frame3DSides(painter, r, kAllSides, SystemColor(clBtnShadow), SystemColor(clBtnHighlight), 1);
  else if (hot || !autoRaise())
    Frame3DSides(painter, r, kAllSides, SystemColor(clBtnHighlight), SystemColor(clBtnShadow), 1);
  const int shift = down ? 1 : 0;
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  QSize glyphSize = iconSize();
  if (!icon().isNull()) {
    const QList<QSize> sizes = icon().availableSizes(mode);
    if (!sizes.isEmpty()) glyphSize = sizes.first().boundedTo(rect().size() - QSize(4, 4));
  }
  const bool hasText = !text().isEmpty();
  const QFontMetrics fm(font());
  const int textHeight = hasText ? fm.height() : 0;
  const int glyphHeight = icon().isNull() ? 0 : glyphSize.height();
  const int spacing = hasText && glyphHeight ? 2 : 0;
  int top = (height() - glyphHeight - textHeight - spacing) / 2 + shift;
  if (!icon().isNull()) {
    const QPixmap pixmap = icon().pixmap(glyphSize, devicePixelRatio(), mode);
    painter.drawPixmap((width() - glyphSize.width()) / 2 + shift, top, pixmap);
    top += glyphHeight + spacing;
  }
  if (hasText) {
    const QRect textRect(shift, top, width(), textHeight);
    if (!isEnabled()) {
      painter.setPen(SystemColor(clBtnHighlight));
      painter.drawText(textRect.translated(1, 1), Qt::AlignHCenter | Qt::TextShowMnemonic, text());
      painter.setPen(SystemColor(clBtnShadow));
    } else {
      painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(textRect, Qt::AlignHCenter | Qt::TextShowMnemonic, text());
  }
}

// ---------------------------------------------------------------------------
// TProButton

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
  if (kind == FKind) return;
  FKind = kind;
  if (kind == pbkCustom) return;
  const TButtonKindInfo info = ButtonKindInfo(kind);
  SetDefault(info.isDefault);
  FCancel = info.isCancel;
  if (!(FLoading && !text().isEmpty())) setText(QString::fromStdString(LoadStr(info.captionId)));
  FModalResult = info.modalResult;
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

// ---------------------------------------------------------------------------
// TProCustomPanel

TProCustomPanel::TProCustomPanel(QWidget* parent) : QWidget(parent), FBorderColor(SystemColor(clBtnFace)) {
  InitializeControls();
  QPalette p = palette();
  p.setColor(QPalette::Window, SystemColor(clBtnFace));
  p.setColor(QPalette::WindowText, SystemColor(clBtnText));
  setPalette(p);
  resize(185, 41);
}

void TProCustomPanel::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  update();
  if (accessibleName().isEmpty()) {
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void TProCustomPanel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  update();
}

void TProCustomPanel::SetVerticalAlignment(TVerticalAlignment alignment) {
  if (alignment == FVerticalAlignment) return;
  FVerticalAlignment = alignment;
  update();
}

void TProCustomPanel::SetBevelOuter(TBevelCut cut) {
  FBevelOuter = cut;
  update();
}

void TProCustomPanel::SetBevelInner(TBevelCut cut) {
  FBevelInner = cut;
  update();
}

void TProCustomPanel::SetBevelWidth(int width) {
  FBevelWidth = FBevelCtl3D ? 2 : width;
  update();
}

void TProCustomPanel::SetBevelCtl3D(bool on) {
  FBevelCtl3D = on;
  FBevelWidth = on ? 2 : 1;
  update();
}

void TProCustomPanel::SetBevelSides(TSides sides) {
  FBevelSides = sides & kAllSides;
  update();
}

void TProCustomPanel::SetBorderWidth(int width) {
  FBorderWidth = width;
  update();
}

void TProCustomPanel::SetBorderColor(const QColor& color) {
  FBorderColor = color;
  update();
}

void TProCustomPanel::SetBorderStyle(TBorderStyle style) {
  FBorderStyle = style;
  update();
}

QColor TProCustomPanel::Color() const { return palette().color(QPalette::Window); }

void TProCustomPanel::SetColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
  update();
}

QColor TProCustomPanel::FontColor() const { return palette().color(QPalette::WindowText); }

void TProCustomPanel::SetFontColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, color);
  setPalette(p);
  update();
}

void TProCustomPanel::DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut) const {
  QColor topLeft = SystemColor(clBtnFace), bottomRight = SystemColor(clBtnFace);
  if (cut == bvLowered) {
    topLeft = SystemColor(clBtnShadow);
    bottomRight = SystemColor(clBtnHighlight);
  } else if (cut == bvRaised) {
    topLeft = SystemColor(clBtnHighlight);
    bottomRight = SystemColor(clBtnShadow);
  }
  if (FBevelCtl3D && cut != bvSpace) {
    if (cut == bvLowered) {
      Frame3DSides(painter, rect, FBevelSides, SystemColor(clBtnShadow), SystemColor(clBtnHighlight), 1);
      Frame3DSides(painter, rect, FBevelSides, SystemColor(clBtnText), SystemColor(cl3DLight), 1);
    } else {
      Frame3DSides(painter, rect, FBevelSides, SystemColor(clBtnHighlight), SystemColor(clBtnText), 1);
      Frame3DSides(painter, rect, FBevelSides, SystemColor(cl3DLight), SystemColor(clBtnShadow), 1);
    }
    return;
  }
  Frame3DSides(painter, rect, FBevelSides, topLeft, bottomRight, FBevelWidth);
}

QRect TProCustomPanel::InnerRect() const {
  QRect r = rect();
  if (FBorderStyle == bsSingle) r.adjust(1, 1, -1, -1);
  const int bevel = FBevelCtl3D ? 2 : FBevelWidth;
  const int rings = (FBevelOuter != bvNone ? bevel : 0) + FBorderWidth + (FBevelInner != bvNone ? bevel : 0);
  if (FBevelSides & SideBit(sdLeft)) r.setLeft(r.left() + rings);
  if (FBevelSides & SideBit(sdTop)) r.setTop(r.top() + rings);
  if (FBevelSides & SideBit(sdRight)) r.setRight(r.right() - rings);
  if (FBevelSides & SideBit(sdBottom)) r.setBottom(r.bottom() - rings);
  return r;
}

void TProCustomPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect r = rect();
  if (FBorderStyle == bsSingle) {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  if (FBevelOuter != bvNone) DrawBevel(painter, r, FBevelOuter);
  Frame3DSides(painter, r, FBevelSides, FBorderColor, FBorderColor, FBorderWidth);
  if (FBevelInner != bvNone) DrawBevel(painter, r, FBevelInner);
  painter.fillRect(r, Color());
  if (FCaption.isEmpty()) return;
  painter.setFont(font());
  painter.setPen(FontColor());
  const int flags =
      static_cast<int>(ToQtAlignment(FAlignment, vaTop)) | Qt::TextWordWrap | Qt::TextExpandTabs;
  r = AlignTextVertically(painter, r, flags, FCaption, FVerticalAlignment);
  painter.drawText(r, flags, FCaption);
}

void TProCustomPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (FBevelCtl3D) FBevelWidth = 2;
}

void TProCustomPanel::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  emit MouseEnter();
}

void TProCustomPanel::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit MouseLeave();
}

}  // namespace qb
