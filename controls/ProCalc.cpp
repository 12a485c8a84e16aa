#include "controls/ProCalc.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "controls/Provcl.h"
#include "runtime/Application.h"
#include "runtime/StringTable.h"

namespace qb {

namespace {

constexpr int kClientWidth = 164;
constexpr int kClientHeight = 193;
constexpr int kButtonWidth = 28;
constexpr int kButtonHeight = 24;
constexpr uint32_t kFlashMs = 50;

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);

// The classic bold "System" face where it is installed, else a bold sans serif.
QFont SystemFont(int pixelHeight) {
  QFont font;
  QStringList families;
  if (QFontDatabase::hasFamily(QStringLiteral("System"))) families << QStringLiteral("System");
  families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
  font.setFamilies(families);
  font.setPixelSize(pixelHeight);
  font.setBold(true);
  return font;
}

QString CalcText(int englishId, TDialogLanguage language = dlEnglish) {
  const int id = language == dlEnglish ? englishId : CalculatorTextId(englishId, language);
  return QString::fromStdString(LoadStr(id));
}

}  // namespace

TCalcForm::TCalcForm(TProCalcDialog* dialog, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      FDialog(dialog) {
  InitializeControls();
  setObjectName(QStringLiteral("CalcForm"));
  setWindowTitle(CalcText(sCalculatorCaption));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(SystemFont(14));
  setAttribute(Qt::WA_DeleteOnClose);

  DisplayPanel = new TProPanel(this);
  DisplayPanel->setObjectName(QStringLiteral("DisplayPanel"));
  DisplayPanel->setGeometry(14, 13, 136, 21);
  DisplayPanel->SetBevelOuter(bvLowered);
  DisplayPanel->SetBevelCtl3D(true);
  DisplayPanel->SetAlignment(taRightJustify);
  DisplayPanel->SetVerticalAlignment(vaCenter);
  DisplayPanel->SetColor(palette().color(QPalette::Base));
  DisplayPanel->SetFontColor(palette().color(QPalette::Text));

  ClearButton = MakeButton("ClearButton", "C", 14, 46, kMaroon, 13, false, 67);
  BackButton = MakeButton("BackButton", "<-", 50, 46, kMaroon, 13, true, 8);
  PercentButton = MakeButton("PercentButton", "%", 86, 46, kRed, 13, false, 37);
  DivideButton = MakeButton("DivideButton", "/", 122, 46, kRed, 13, false, 47);
  Button7 = MakeButton("Button7", "7", 14, 74, kNavy, 13, true, 55);
  Button8 = MakeButton("Button8", "8", 50, 74, kNavy, 13, true, 56);
  Button9 = MakeButton("Button9", "9", 86, 74, kNavy, 13, true, 57);
  MultiplyButton = MakeButton("MultiplyButton", "*", 122, 74, kRed, 13, false, 42);
  Button4 = MakeButton("Button4", "4", 14, 102, kNavy, 13, true, 52);
  Button5 = MakeButton("Button5", "5", 50, 102, kNavy, 13, true, 53);
  Button6 = MakeButton("Button6", "6", 86, 102, kNavy, 13, true, 54);
  MinusButton = MakeButton("MinusButton", "-", 122, 102, kRed, 13, false, 45);
  Button1 = MakeButton("Button1", "1", 14, 130, kNavy, 13, true, 49);
  Button2 = MakeButton("Button2", "2", 50, 130, kNavy, 13, true, 50);
  Button3 = MakeButton("Button3", "3", 86, 130, kNavy, 13, true, 51);
  PlusButton = MakeButton("PlusButton", "+", 122, 130, kRed, 13, false, 43);
  Button0 = MakeButton("Button0", "0", 14, 158, kNavy, 13, true, 48);
  PointButton = MakeButton("PointButton", QString(), 50, 158, kNavy, 13, false, 46);
  NegativeButton = MakeButton("NegativeButton", "+/-", 86, 158, kNavy, 13, false, 95);
  EqualButton = MakeButton("EqualButton", "=", 122, 158, kRed, 11, false, 61);

  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
  StayOnTopMenuItem = PopupMenu->addAction(CalcText(sCalculatorStayOnTop));
  StayOnTopMenuItem->setObjectName(QStringLiteral("StayOnTopMenuItem"));
  StayOnTopMenuItem->setCheckable(true);
  HideMenuItem = PopupMenu->addAction(CalcText(sCalculatorHide));
  HideMenuItem->setObjectName(QStringLiteral("HideMenuItem"));

  WireButtons();
  // Key preview: the form sees every key before its controls.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

  FormCreate();
}

TCalcForm::~TCalcForm() { FormDestroy(this); }

void TCalcForm::FormClose(QObject*) { setAttribute(Qt::WA_DeleteOnClose); }

void TCalcForm::FormDestroy(QObject*) {
  if (FDialog && FDialog->FForm == this) FDialog->FForm = nullptr;
}

TProSpeedButton* TCalcForm::MakeButton(const char* name, const QString& caption, int left, int top,
                                       const QColor& color, int fontHeight, bool repeats, int tag) {
  auto* button = new TProSpeedButton(this);
  button->setObjectName(QString::fromLatin1(name));
  button->SetFlat(false);
  button->SetCaption(caption);
  button->setAccessibleName(caption);
  button->setGeometry(left, top, kButtonWidth, kButtonHeight);
  button->setFocusPolicy(Qt::NoFocus);
  button->setFont(SystemFont(fontHeight));
  QPalette pal = button->palette();
  pal.setColor(QPalette::ButtonText, color);
  pal.setColor(QPalette::WindowText, color);
  button->setPalette(pal);
  button->SetRepeatEnabled(repeats);
  button->setProperty("Tag", tag);
  return button;
}

void TCalcForm::WireButtons() {
  auto wire = [this](TProSpeedButton* button, void (TCalcForm::*handler)(QObject*)) {
    connect(button, &QAbstractButton::clicked, this,
            [this, button, handler] { Guard([&] { (this->*handler)(button); }); });
  };
  wire(ClearButton, &TCalcForm::ClearButtonClick);
  wire(BackButton, &TCalcForm::BackButtonClick);
  for (TProSpeedButton* b :
       {Button0, Button1, Button2, Button3, Button4, Button5, Button6, Button7, Button8, Button9})
    wire(b, &TCalcForm::NumberButtonClick);
  wire(PointButton, &TCalcForm::PointButtonClick);
  wire(NegativeButton, &TCalcForm::NegativeButtonClick);
  for (TProSpeedButton* b :
       {PercentButton, DivideButton, MultiplyButton, MinusButton, PlusButton, EqualButton})
    wire(b, &TCalcForm::DoCalc);
  // The menu has already toggled the check mark when it triggers.
  connect(StayOnTopMenuItem, &QAction::triggered, this, [this] { ApplyStayOnTop(); });
  connect(HideMenuItem, &QAction::triggered, this, [this] { HideMenuItemClick(HideMenuItem); });
}

void TCalcForm::FormCreate() {
  PointButton->SetCaption(QString(QLatin1Char(FEngine.Separator())));
  PointButton->setAccessibleName(PointButton->Caption());
  FEngine.SetErrorText(LoadStr(sCalculatorError));
  ClearButtonClick(this);
}

QList<TProSpeedButton*> TCalcForm::Buttons() const {
  return {ClearButton,    BackButton, PercentButton, DivideButton, Button7,        Button8,    Button9,
          MultiplyButton, Button4,    Button5,       Button6,      MinusButton,    Button1,    Button2,
          Button3,        PlusButton, Button0,       PointButton,  NegativeButton, EqualButton};
}

TProSpeedButton* TCalcForm::DigitButton(char digit) const {
  const TProSpeedButton* buttons[] = {Button0, Button1, Button2, Button3, Button4,
                                      Button5, Button6, Button7, Button8, Button9};
  return const_cast<TProSpeedButton*>(buttons[digit - '0']);
}

QString TCalcForm::DisplayText() const { return QString::fromStdString(FEngine.DisplayText()); }

QString TCalcForm::ErrorText() const { return QString::fromStdString(FEngine.ErrorText()); }

void TCalcForm::SetErrorText(const QString& text) {
  FEngine.SetErrorText(text.toStdString());
  UpdateDisplay();
}

void TCalcForm::UpdateDisplay() {
  const QString text = DisplayText();
  DisplayPanel->SetCaption(text);
  DisplayPanel->setAccessibleName(text);  // also announces the change
}

void TCalcForm::Step(void (CalcEngine::*step)()) {
  (FEngine.*step)();
  UpdateDisplay();
}

void TCalcForm::ClearButtonClick(QObject*) { Step(&CalcEngine::Clear); }

void TCalcForm::BackButtonClick(QObject*) { Step(&CalcEngine::Backspace); }

void TCalcForm::NumberButtonClick(QObject* sender) {
  const QString name = sender ? sender->objectName() : QString();
  if (!name.isEmpty()) FEngine.Digit(name.back().toLatin1());
  UpdateDisplay();
}

void TCalcForm::PointButtonClick(QObject*) { Step(&CalcEngine::Point); }

void TCalcForm::NegativeButtonClick(QObject*) { Step(&CalcEngine::Sign); }

void TCalcForm::DoCalc(QObject* sender) {
  auto* button = qobject_cast<TProSpeedButton*>(sender);
  const QString caption = button ? button->Caption() : QString();
  if (caption.isEmpty()) return;
  try {
    FEngine.Operator(caption.front().toLatin1());
  } catch (...) {
    UpdateDisplay();
    throw;
  }
  UpdateDisplay();
}

bool TCalcForm::StayOnTopChecked() const { return StayOnTopMenuItem->isChecked(); }

void TCalcForm::StayOnTopMenuItemClick(QObject*) {
  StayOnTopMenuItem->setChecked(!StayOnTopMenuItem->isChecked());
  ApplyStayOnTop();
}

void TCalcForm::ApplyStayOnTop() {
  const bool onTop = StayOnTopMenuItem->isChecked();
  if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == onTop) return;
  const bool visible = isVisible();
  const QPoint position = pos();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);  // hides a shown window
  if (visible) {
    move(position);
    show();
  }
}

void TCalcForm::HideMenuItemClick(QObject*) { close(); }

void TCalcForm::FlashButton(TProSpeedButton* button) {
  button->SetAllowAllUp(true);
  button->SetGroupIndex(1);
  button->SetDown(true);
  // The key acts at once, in the order typed; a timer of the button's own lets
  // it up, so nothing waits here and the window may close meanwhile.
  auto* release = button->findChild<QTimer*>(QStringLiteral("FlashTimer"), Qt::FindDirectChildrenOnly);
  if (!release) {
    release = new QTimer(button);
    release->setObjectName(QStringLiteral("FlashTimer"));
    release->setSingleShot(true);
    release->setTimerType(Qt::PreciseTimer);
    connect(release, &QTimer::timeout, button, [button] {
      button->SetDown(false);
      button->SetAllowAllUp(false);
      button->SetGroupIndex(0);
    });
  }
  release->start(int(kFlashMs));  // a repeated key stays down 50 ms from its last press
}

bool TCalcForm::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    FlashButton(EqualButton);
    DoCalc(EqualButton);
    return true;
  }
  if (key == Qt::Key_F1) {
    const int context = WidgetHelpContext(this);
    if (context != 0) ShowHelpContext(context);
    return context != 0;
  }
  return false;
}

bool TCalcForm::FormKeyPress(char key) {
  const CalcKey action = CalcKeyForChar(key, FEngine.Separator());
  TProSpeedButton* button = nullptr;
  switch (action) {
    case CalcKey::None: return false;
    case CalcKey::Back: button = BackButton; break;
    case CalcKey::Percent: button = PercentButton; break;
    case CalcKey::Multiply: button = MultiplyButton; break;
    case CalcKey::Plus: button = PlusButton; break;
    case CalcKey::Minus: button = MinusButton; break;
    case CalcKey::Divide: button = DivideButton; break;
    case CalcKey::Digit: button = DigitButton(key); break;
    case CalcKey::Equal: button = EqualButton; break;
    case CalcKey::Clear: button = ClearButton; break;
    case CalcKey::Negative: button = NegativeButton; break;
    case CalcKey::Point: button = PointButton; break;
  }
  FlashButton(button);
  switch (action) {
    case CalcKey::Back: BackButtonClick(button); break;
    case CalcKey::Digit: NumberButtonClick(button); break;
    case CalcKey::Clear: ClearButtonClick(button); break;
    case CalcKey::Negative: NegativeButtonClick(button); break;
    case CalcKey::Point: PointButton->Click(); break;
    default: DoCalc(button); break;
  }
  return true;
}

bool TCalcForm::HandleKey(QKeyEvent* event) {
  bool used = false;
  Guard([&] {
    used = FormKeyDown(event->key(), event->modifiers());
    if (used) return;
    char c = 0;
    if (event->key() == Qt::Key_Backspace) {
      c = '\b';
    } else {
      const QString text = event->text();
      if (text.size() == 1 && text[0].unicode() < 0x80) c = char(text[0].unicode());
    }
    if (c != 0) used = FormKeyPress(c);
  });
  return used;
}

bool TCalcForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this && widget != PopupMenu) {
      if (HandleKey(static_cast<QKeyEvent*>(event))) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TCalcForm::keyPressEvent(QKeyEvent* event) {
  // No Cancel key: Esc leaves the calculator open.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TCalcForm::contextMenuEvent(QContextMenuEvent* event) {
  if (!FAutoPopup) {
    event->ignore();
    return;
  }
  PopupMenu->popup(event->globalPos());
  event->accept();
}

void TCalcForm::showEvent(QShowEvent* event) {
  if (!FCentred) {
    FCentred = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect area = screen->availableGeometry();
      QRect frame = frameGeometry();
      move(area.center() - QPoint(frame.width() / 2, frame.height() / 2) + (pos() - frame.topLeft()));
    }
  }
  QDialog::showEvent(event);
}

void TCalcForm::closeEvent(QCloseEvent* event) {
  FormClose(this);
  QDialog::closeEvent(event);
}

TProCalcDialog::TProCalcDialog(QObject* owner) : TProCommonDialog(owner) { FModal = true; }

TProCalcDialog::~TProCalcDialog() {
  if (FForm) {
    TCalcForm* form = FForm;
    FForm = nullptr;
    form->FDialog = nullptr;
    delete form;
  }
}

void TProCalcDialog::Execute() {
  if (FForm) {
    FForm->setWindowState(FForm->windowState() & ~Qt::WindowMinimized);
    FForm->show();
    FForm->raise();
    FForm->activateWindow();
    return;
  }
  auto* form = new TCalcForm(this);
  FForm = form;
  QPointer<TCalcForm> guard(form);
  try {
    if (Language() != dlEnglish) {
      form->setWindowTitle(CalcText(sCalculatorCaption, Language()));
      form->SetErrorText(CalcText(sCalculatorError, Language()));
      form->StayOnTopMenuItem->setText(CalcText(sCalculatorStayOnTop, Language()));
      form->HideMenuItem->setText(CalcText(sCalculatorHide, Language()));
    }
    SetWidgetHelpContext(form, HelpContext());
    form->SetAutoPopup(!FModal);
    PlaySound(SoundType());
    if (FModal) {
      form->exec();  // deletes the window when it closes
      delete guard.data();
    } else {
      if (FStayOnTop) form->StayOnTopMenuItemClick(form);
      form->show();
    }
  } catch (...) {
    delete guard.data();
    throw;
  }
}

long double TProCalcDialog::GetValue() const { return FForm ? FForm->GetValue() : 0; }

void CalcDialog(TDialogLanguage language, int helpContext) {
  auto dialog = std::make_unique<TProCalcDialog>(qApp);
  dialog->SetModal(true);
  dialog->SetLanguage(language);
  dialog->SetHelpContext(helpContext);
  dialog->Execute();
}

}  // namespace qb
