#include "controls/ProDlgs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

#include "controls/Provcl.h"
#include "runtime/Platform.h"
#include "runtime/StringTable.h"

namespace qb {

namespace {

// Framed, lowered bevel: a shadow rectangle with a highlight rectangle one pixel
// down-right.
class TBevelFrame : public QFrame {
 public:
  explicit TBevelFrame(QWidget* parent) : QFrame(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect r = rect();
    painter.setPen(SystemColor(clBtnShadow));
    painter.drawRect(r.adjusted(0, 0, -2, -2));
    painter.setPen(SystemColor(clBtnHighlight));
    painter.drawRect(r.adjusted(1, 1, -1, -1));
  }
};

QPixmap DialogBitmap(const QString& name) {
  QSvgRenderer renderer(QStringLiteral(":/controls/%1.svg").arg(name));
  if (!renderer.isValid()) return QPixmap();  // a missing bitmap leaves the image empty
  QImage image(48, 64, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  return QPixmap::fromImage(image);
}

int MulDiv(int value, int numerator, int denominator) {
  return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

void ScaleChildren(QWidget* widget, int m, int d) {
  for (QObject* object : widget->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (!child || child->isWindow()) continue;
    const QRect g = child->geometry();
    const int x = MulDiv(g.x(), m, d), y = MulDiv(g.y(), m, d);
    child->setGeometry(x, y, MulDiv(g.x() + g.width(), m, d) - x, MulDiv(g.y() + g.height(), m, d) - y);
    ScaleChildren(child, m, d);
  }
}

}  // namespace

bool SoundBeepType(TSoundType sound, unsigned* beepType) {
  unsigned type = kBeepDefault;
  switch (sound) {
    case stNoSound: return false;
    case stStandart: type = kBeepDefault; break;
    case stAsterisk: type = kBeepAsterisk; break;
    case stExclamation: type = kBeepExclamation; break;
    case stSystemHand: type = kBeepHand; break;
    case stQuestion: type = kBeepQuestion; break;
    case stDefault: type = kBeepDefault; break;
  }
  if (beepType) *beepType = type;
  return true;
}

double ScaleWindowFromDesign(QWidget* window, int fromPpi) {
  const int ppi = window->logicalDpiX();
  if (ppi == fromPpi || fromPpi <= 0) return 1.0;
  ScaleChildren(window, ppi, fromPpi);
  window->resize(MulDiv(window->width(), ppi, fromPpi), MulDiv(window->height(), ppi, fromPpi));
  QFont font = window->font();
  if (font.pixelSize() > 0)
    font.setPixelSize(std::max(1, MulDiv(font.pixelSize(), ppi, fromPpi)));
  else
    font.setPointSizeF(font.pointSizeF() * ppi / fromPpi);
  window->setFont(font);
  return static_cast<double>(ppi) / fromPpi;
}

TProCommonDialog::TProCommonDialog(QObject* owner) : QObject(owner) {
  InitializeControls();
  FFont = QFont(QStringLiteral("MS Sans Serif"));
  FFont.setPixelSize(11);
}

TProCommonDialog::~TProCommonDialog() = default;

void TProCommonDialog::PlaySound(TSoundType sound) const {
  unsigned type = 0;
  if (SoundBeepType(sound, &type)) MessageBeep(type);
}

QFont TProCommonDialog::WindowFont() const {
  auto* owner = qobject_cast<QWidget*>(parent());
  if (FParentFont && owner && owner->isWindow()) return owner->font();
  return FFont;
}

int TProCommonDialog::RunMessageForm(TCommonDialogForm* form, int captionId, const QString& caption,
                                     const QList<int>& centredLefts) const {
  const QList<TProButton*> buttons = form->Buttons();
  form->setWindowTitle(QString::fromStdString(LoadStr(captionId)));
  if (FLanguage != dlEnglish) {
    const int n = static_cast<int>(FLanguage);
    form->setWindowTitle(QString::fromStdString(LoadStr(WindowCaptionId(captionId, n))));
    for (TProButton* button : buttons) {
      const TProButtonKind kind = button->Kind();
      if (kind == pbkCancel || kind == pbkHelp || kind == pbkYes || kind == pbkNo)
        button->SetKind(static_cast<TProButtonKind>(kind + n));
    }
  }
  if (!caption.isEmpty()) form->setWindowTitle(caption);
  SetWidgetHelpContext(form, FHelpContext);
  if (FHelpContext == 0) {
    QList<TProButton*> rest;
    for (TProButton* button : buttons) {
      if (IsHelpKind(button->Kind()))
        button->hide();
      else
        rest.append(button);
    }
    for (int i = 0; i < rest.size() && i < centredLefts.size(); ++i)
      rest[i]->move(centredLefts[i], rest[i]->y());
  }
  form->setFont(WindowFont());
  if (form->logicalDpiX() != kDesignPixelsPerInch) {
    ScaleWindowFromDesign(form, kDesignPixelsPerInch);
    const QRect bevel = form->Bevel->geometry();
    form->Image->setGeometry(form->Image->x(), (bevel.top() + bevel.height() - 64) / 2, 48, 64);
  }
  form->setFixedSize(form->size());
  PlaySound(FSoundType);
  return form->exec();
}

TCommonDialogForm::TCommonDialogForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
  QPalette p = palette();
  p.setColor(QPalette::Window, SystemColor(clBtnFace));
  setPalette(p);
  setAutoFillBackground(true);
}

QList<TProButton*> TCommonDialogForm::Buttons() const {
  return findChildren<TProButton*>(Qt::FindDirectChildrenOnly);
}

void TCommonDialogForm::reject() { done(mrCancel); }

void TCommonDialogForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    for (TProButton* button : Buttons())
      if (button->Cancel() && button->isVisible() && button->isEnabled()) {
        button->Click();
        break;
      }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TCommonDialogForm::BuildFrame(const QRect& bevel, int imageTop, const QString& bitmap) {
  Bevel = new TBevelFrame(this);
  Bevel->setObjectName(QStringLiteral("Bevel"));
  Bevel->setGeometry(bevel);
  Image = new QLabel(this);
  Image->setObjectName(QStringLiteral("Image"));
  Image->setAttribute(Qt::WA_TranslucentBackground);
  Image->setGeometry(15, imageTop, 48, 64);
  Image->setScaledContents(false);
  Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image->setPixmap(DialogBitmap(bitmap));
}

TProLabel* TCommonDialogForm::MakeLabel(const QString& name, const QRect& rect) {
  auto* label = new TProLabel(this);
  label->setObjectName(name);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->setGeometry(rect);
  return label;
}

TProButton* TCommonDialogForm::MakeButton(const QString& name, TProButtonKind kind, int left, int top) {
  auto* button = new TProButton(this);
  button->setObjectName(name);
  button->setAutoDefault(true);
  button->SetKind(kind);
  button->setGeometry(left, top, 100, 30);
  return button;
}

TProLabel* TCommonDialogForm::BuildMessageFrame(const QString& bitmap, const QString& labelName) {
  resize(402, 169);
  BuildFrame(QRect(10, 10, 381, 106), 29, bitmap);
  return MakeLabel(labelName, QRect(70, 20, 311, 86));
}

TWarningForm::TWarningForm(QWidget* parent) : TCommonDialogForm(parent) {
  WarningLabel = BuildMessageFrame(QStringLiteral("exclamation"), QStringLiteral("WarningLabel"));
  OKButton = MakeButton(QStringLiteral("OKButton"), pbkOk, 36, 128);
  CancelButton = MakeButton(QStringLiteral("CancelButton"), pbkCancel, 151, 128);
  HelpButton = MakeButton(QStringLiteral("HelpButton"), pbkHelp, 266, 128);
}

TInfoForm::TInfoForm(QWidget* parent) : TCommonDialogForm(parent) {
  InfoLabel = BuildMessageFrame(QStringLiteral("information"), QStringLiteral("InfoLabel"));
  OKButton = MakeButton(QStringLiteral("OKButton"), pbkOk, 94, 128);
  HelpButton = MakeButton(QStringLiteral("HelpButton"), pbkHelp, 208, 128);
}

TStopForm::TStopForm(QWidget* parent) : TCommonDialogForm(parent) {
  StopLabel = BuildMessageFrame(QStringLiteral("stop"), QStringLiteral("StopLabel"));
  CancelButton = MakeButton(QStringLiteral("CancelButton"), pbkCancel, 94, 128);
  HelpButton = MakeButton(QStringLiteral("HelpButton"), pbkHelp, 208, 128);
}

TConfirmForm::TConfirmForm(QWidget* parent) : TCommonDialogForm(parent) {
  resize(450, 218);
  BuildFrame(QRect(10, 10, 429, 156), 51, QStringLiteral("question"));
  ConditionLabel = MakeLabel(QStringLiteral("ConditionLabel"), QRect(70, 25, 356, 36));
  DescriptionLabel = MakeLabel(QStringLiteral("DescriptionLabel"), QRect(110, 72, 316, 36));
  QuestionLabel = MakeLabel(QStringLiteral("QuestionLabel"), QRect(70, 120, 356, 36));
  YesButton = MakeButton(QStringLiteral("YesButton"), pbkYes, 10, 177);
  NoButton = MakeButton(QStringLiteral("NoButton"), pbkNo, 120, 177);
  CancelButton = MakeButton(QStringLiteral("CancelButton"), pbkCancel, 230, 177);
  HelpButton = MakeButton(QStringLiteral("HelpButton"), pbkHelp, 340, 177);
}

namespace {

void SetMessage(TProLabel* label, const QString& message, TAlignment alignment, TVerticalAlignment vertical) {
  label->SetCaption(message);
  label->SetAlignment(alignment);
  label->SetVerticalAlignment(vertical);
}

}  // namespace

bool TProWarningDialog::Execute() {
  auto form = std::make_unique<TWarningForm>();
  SetMessage(form->WarningLabel, FMessage, FAlignment, FVerticalAlignment);
  return RunMessageForm(form.get(), sWarningCaption, FCaption, {93, 208}) == mrOk;
}

void TProInfoDialog::Execute() {
  auto form = std::make_unique<TInfoForm>();
  SetMessage(form->InfoLabel, FMessage, FAlignment, FVerticalAlignment);
  RunMessageForm(form.get(), sInfoCaption, FCaption, {151});
}

void TProStopDialog::Execute() {
  auto form = std::make_unique<TStopForm>();
  SetMessage(form->StopLabel, FMessage, FAlignment, FVerticalAlignment);
  RunMessageForm(form.get(), sStopCaption, FCaption, {151});
}

bool TProConfirmDialog::Execute() {
  auto form = std::make_unique<TConfirmForm>();
  form->ConditionLabel->SetCaption(FCondition);
  form->DescriptionLabel->SetCaption(FDescription);
  form->QuestionLabel->SetCaption(FQuestion);
  const int result = RunMessageForm(form.get(), sConfirmCaption, FCaption, {65, 175, 285});
  FCancelled = result == mrCancel;
  return result == mrYes;
}

namespace {

// Runs a message dialog of type TDialog not owned by a form, so it uses its own Font.
template <typename TDialog>
auto RunMessageDialog(void (TDialog::*setMessage)(const QString&), const QString& caption,
                      const QString& message, TAlignment alignment, TVerticalAlignment verticalAlignment,
                      TDialogLanguage language, int helpContext) {
  TDialog dialog;
  dialog.SetCaption(caption);
  (dialog.*setMessage)(message);
  dialog.SetAlignment(alignment);
  dialog.SetVerticalAlignment(verticalAlignment);
  dialog.SetLanguage(language);
  dialog.SetHelpContext(helpContext);
  return dialog.Execute();
}

}  // namespace

bool WarningDialog(const QString& caption, const QString& message, TAlignment alignment,
                   TVerticalAlignment verticalAlignment, TDialogLanguage language, int helpContext) {
  return RunMessageDialog(&TProWarningDialog::SetWarningMessage, caption, message, alignment,
                          verticalAlignment, language, helpContext);
}

void InfoDialog(const QString& caption, const QString& message, TAlignment alignment,
                TVerticalAlignment verticalAlignment, TDialogLanguage language, int helpContext) {
  RunMessageDialog(&TProInfoDialog::SetInfoMessage, caption, message, alignment, verticalAlignment, language,
                   helpContext);
}

void StopDialog(const QString& caption, const QString& message, TAlignment alignment,
                TVerticalAlignment verticalAlignment, TDialogLanguage language, int helpContext) {
  RunMessageDialog(&TProStopDialog::SetStopMessage, caption, message, alignment, verticalAlignment, language,
                   helpContext);
}

bool ConfirmDialog(const QString& caption, const QString& condition, const QString& description,
                   const QString& question, bool& cancelled, TDialogLanguage language, int helpContext) {
  TProConfirmDialog dialog;
  dialog.SetCaption(caption);
  dialog.SetCondition(condition);
  dialog.SetDescription(description);
  dialog.SetQuestion(question);
  dialog.SetLanguage(language);
  dialog.SetHelpContext(helpContext);
  const bool result = dialog.Execute();
  cancelled = dialog.Cancelled();
  return result;
}

}  // namespace qb
