#include <QAccessible>
#include <QMenu>
#include <QPointer>
#include <QtTest>

#include "controls/ProCalc.h"
#include "runtime/Conversions.h"
#include "runtime/Platform.h"
#include "runtime/StringTable.h"
#include "tests/common/ModalCloser.h"

using namespace qb;

namespace {

TCalcForm* NewForm() {
  auto* form = new TCalcForm;
  form->show();
  return form;
}

// Types keys on the form: '\r' is Enter, '\b' backspace, '\n' keypad Enter.
void TypeKeys(QWidget* target, const QString& keys) {
  for (QChar c : keys) {
    if (c == '\r')
      QTest::keyClick(target, Qt::Key_Return);
    else if (c == '\n')
      QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    else if (c == '\b')
      QTest::keyClick(target, Qt::Key_Backspace);
    else
      QTest::keyClick(target, c.toLatin1());
  }
}

QString AccessibleName(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  return iface ? iface->text(QAccessible::Name) : QString();
}

// Waits until deferred deletes of closed windows have run.
void SettleDeletes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

int CalcWindowCount() {
  const auto windows = QApplication::topLevelWidgets();
  return int(
      std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return qobject_cast<TCalcForm*>(w); }));
}

}  // namespace

class TestCalc : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void windowLayout();
  void buttons_data();
  void buttons();
  void displayPanel();
  void keyboard_data();
  void keyboard();
  void keysReachFormThroughButtons();
  void flashShowsButtonDown();
  void fastKeysActInOrder_data();
  void fastKeysActInOrder();
  void escapeKeepsWindowOpen();
  void closeDuringFlash();
  void mouseClicks();
  void heldDigitRepeats();
  void commaSeparator();
  void overflowReachesDefaultDisplay();
  void accessibleDisplay_data();
  void accessibleDisplay();
  void stayOnTopToggles();
  void hideDestroysWindow();

  void executeTwiceOpensOneWindow();
  void getValue();
  void closedWindowStartsFresh();
  void modalHasNoMenu();
  void modelessHasMenu();
  void stayOnTopOption_data();
  void stayOnTopOption();
  void translatedTexts();
  void destructorDestroysWindow();
  void calcDialogRunsModal();
};

void TestCalc::init() { SetLocaleDecimalSeparator('.'); }

void TestCalc::windowLayout() {
  std::unique_ptr<TCalcForm> form(NewForm());
  QCOMPARE(form->windowTitle(), QString("Calculator"));
  QCOMPARE(form->size(), QSize(164, 193));
  QCOMPARE(form->minimumSize(), form->maximumSize());
  QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
  QVERIFY(!(form->windowFlags() & Qt::WindowMinimizeButtonHint));
  QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));
  QCOMPARE(form->font().pixelSize(), 14);
  QCOMPARE(form->Buttons().size(), 20);
  QCOMPARE(form->PopupMenu->actions().size(), 2);
  QCOMPARE(form->StayOnTopMenuItem->text(), QString("&Stay on top"));
  QCOMPARE(form->HideMenuItem->text(), QString("&Hide"));
  QVERIFY(!form->StayOnTopMenuItem->isChecked());
  QCOMPARE(form->DisplayText(), QString("0"));
  QCOMPARE(form->Engine().PendingOperator(), '=');
  QCOMPARE(form->ErrorText(), QString("Error"));
  // Centred on the screen.
  const QRect area = form->screen()->availableGeometry();
  QVERIFY(qAbs(form->frameGeometry().center().x() - area.center().x()) <= 2);
  QVERIFY(qAbs(form->frameGeometry().center().y() - area.center().y()) <= 2);
}

void TestCalc::buttons_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QColor>("color");
  QTest::addColumn<int>("fontHeight");
  QTest::addColumn<bool>("repeats");
  QTest::addColumn<int>("tag");

  const QColor maroon(0x80, 0, 0), red(0xFF, 0, 0), navy(0, 0, 0x80);
  struct Row {
    const char* name;
    const char* caption;
    int left, top;
    QColor color;
    int height;
    bool repeats;
    int tag;
  };
  const Row rows[] = {
      {"ClearButton", "C", 14, 46, maroon, 13, false, 67},
      {"BackButton", "<-", 50, 46, maroon, 13, true, 8},
      {"PercentButton", "%", 86, 46, red, 13, false, 37},
      {"DivideButton", "/", 122, 46, red, 13, false, 47},
      {"Button7", "7", 14, 74, navy, 13, true, 55},
      {"Button8", "8", 50, 74, navy, 13, true, 56},
      {"Button9", "9", 86, 74, navy, 13, true, 57},
      {"MultiplyButton", "*", 122, 74, red, 13, false, 42},
      {"Button4", "4", 14, 102, navy, 13, true, 52},
      {"Button5", "5", 50, 102, navy, 13, true, 53},
      {"Button6", "6", 86, 102, navy, 13, true, 54},
      {"MinusButton", "-", 122, 102, red, 13, false, 45},
      {"Button1", "1", 14, 130, navy, 13, true, 49},
      {"Button2", "2", 50, 130, navy, 13, true, 50},
      {"Button3", "3", 86, 130, navy, 13, true, 51},
      {"PlusButton", "+", 122, 130, red, 13, false, 43},
      {"Button0", "0", 14, 158, navy, 13, true, 48},
      {"PointButton", ".", 50, 158, navy, 13, false, 46},
      {"NegativeButton", "+/-", 86, 158, navy, 13, false, 95},
      {"EqualButton", "=", 122, 158, red, 11, false, 61},
  };
  for (const Row& r : rows)
    QTest::newRow(r.name) << r.name << r.caption << QRect(r.left, r.top, 28, 24) << r.color << r.height
                          << r.repeats << r.tag;
}

void TestCalc::buttons() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(QRect, geometry);
  QFETCH(QColor, color);
  QFETCH(int, fontHeight);
  QFETCH(bool, repeats);
  QFETCH(int, tag);
  std::unique_ptr<TCalcForm> form(NewForm());
  auto* button = form->findChild<TProSpeedButton*>(name);
  QVERIFY(button);
  QCOMPARE(button->Caption(), caption);
  QCOMPARE(button->geometry(), geometry);
  QCOMPARE(button->palette().color(QPalette::ButtonText), color);
  QCOMPARE(button->font().pixelSize(), fontHeight);
  QCOMPARE(button->RepeatEnabled(), repeats);
  QCOMPARE(button->property("Tag").toInt(), tag);
  QCOMPARE(AccessibleName(button), caption);
}

void TestCalc::displayPanel() {
  std::unique_ptr<TCalcForm> form(NewForm());
  TProPanel* panel = form->DisplayPanel;
  QCOMPARE(panel->objectName(), QString("DisplayPanel"));
  QCOMPARE(panel->geometry(), QRect(14, 13, 136, 21));
  QCOMPARE(panel->BevelOuter(), bvLowered);
  QVERIFY(panel->BevelCtl3D());
  QCOMPARE(panel->BevelWidth(), 2);
  QCOMPARE(panel->Alignment(), taRightJustify);
  QCOMPARE(panel->VerticalAlignment(), vaCenter);
  QCOMPARE(panel->Color(), form->palette().color(QPalette::Base));
  QCOMPARE(panel->Caption(), QString("0"));
}

// clang-format off
void TestCalc::keyboard_data() {
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("display");

  QTest::newRow("digits") << "007" << "7";
  QTest::newRow("enter is equals") << "2+3\r" << "5";
  QTest::newRow("keypad enter is equals") << "2*3\n" << "6";
  QTest::newRow("equals key") << "9-4=" << "5";
  QTest::newRow("percent") << "200+10%" << "220";
  QTest::newRow("divide") << "1/4=" << "0.25";
  QTest::newRow("point") << ".5" << "0.5";
  QTest::newRow("comma ignored") << "1,5" << "15";
  QTest::newRow("backspace") << "12\b" << "1";
  QTest::newRow("underscore") << "5_" << "-5";
  QTest::newRow("capital c") << "7/0=C" << "0";
  QTest::newRow("small c") << "7/0=c" << "0";
  QTest::newRow("error") << "7/0\r" << "Error";
  QTest::newRow("letters ignored") << "4xyz" << "4";
  QTest::newRow("third") << "1/3\r" << " 3.333333E-0001";
}
// clang-format on

void TestCalc::keyboard() {
  QFETCH(QString, keys);
  QFETCH(QString, display);
  std::unique_ptr<TCalcForm> form(NewForm());
  TypeKeys(form.get(), keys);
  QCOMPARE(form->DisplayText(), display);
  QCOMPARE(form->DisplayPanel->Caption(), display);
}

void TestCalc::keysReachFormThroughButtons() {
  std::unique_ptr<TCalcForm> form(NewForm());
  // A key sent to a child still goes through the form's mapping first.
  TypeKeys(form->Button9, "1+2");
  TypeKeys(form->DisplayPanel, "\r");
  QCOMPARE(form->DisplayText(), QString("3"));
}

void TestCalc::flashShowsButtonDown() {
  std::unique_ptr<TCalcForm> form(NewForm());
  QElapsedTimer timer;
  timer.start();
  QTest::keyClick(form.get(), '5');
  // The key acts at once and its button shows pressed meanwhile.
  QCOMPARE(form->DisplayText(), QString("5"));
  QVERIFY(form->Button5->Down());
  QTRY_VERIFY(!form->Button5->Down());
  QVERIFY(timer.elapsed() >= 45);  // tick granularity
  QCOMPARE(form->Button5->GroupIndex(), 0);
  QVERIFY(!form->Button5->AllowAllUp());
}

// clang-format off
void TestCalc::fastKeysActInOrder_data() {
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("display");
  QTest::newRow("sum") << "c12+30=" << "42";
  QTest::newRow("enter") << "c9-2*3\r" << "21";
  QTest::newRow("same key twice") << "c77" << "77";
  QTest::newRow("clear after error") << "7/0=c5" << "5";
  QTest::newRow("point and sign") << "c.5_" << "-0.5";
}
// clang-format on

void TestCalc::fastKeysActInOrder() {
  QFETCH(QString, keys);
  QFETCH(QString, display);
  std::unique_ptr<TCalcForm> form(NewForm());
  // A key every 10 ms, each from the event loop as typed keys come: faster than the flash.
  int typed = 0;
  for (int i = 0; i < keys.size(); ++i)
    QTimer::singleShot(10 * (i + 1), form.get(), [&, i] {
      TypeKeys(form.get(), keys.mid(i, 1));
      ++typed;
    });
  const auto buttons = form->Buttons();
  QTRY_VERIFY(typed == keys.size() &&
              std::none_of(buttons.begin(), buttons.end(), [](TProSpeedButton* b) { return b->Down(); }));
  QCOMPARE(form->DisplayText(), display);
}

void TestCalc::escapeKeepsWindowOpen() {
  QPointer<TCalcForm> form(NewForm());
  QTest::keyClick(form.data(), Qt::Key_Escape);
  SettleDeletes();
  QVERIFY(form);
  QVERIFY(form->isVisible());
  delete form.data();
}

void TestCalc::closeDuringFlash() {
  TProCalcDialog dialog;
  dialog.SetModal(false);
  dialog.Execute();
  QPointer<TCalcForm> form(dialog.Form());
  QTimer::singleShot(10, form.data(), [&] { form->HideMenuItem->trigger(); });
  QTest::keyClick(form.data(), '5');
  QVERIFY(form->Button5->Down());
  QTRY_VERIFY(!form);
  QVERIFY(!dialog.Form());
}

void TestCalc::mouseClicks() {
  std::unique_ptr<TCalcForm> form(NewForm());
  for (TProSpeedButton* b : {form->Button1, form->Button2, form->PlusButton, form->Button3, form->PointButton,
                             form->Button5, form->EqualButton, form->NegativeButton})
    QTest::mouseClick(b, Qt::LeftButton);
  QCOMPARE(form->DisplayText(), QString("-15.5"));
  QTest::mouseClick(form->DivideButton, Qt::LeftButton);
  QTest::mouseClick(form->Button0, Qt::LeftButton);
  QTest::mouseClick(form->EqualButton, Qt::LeftButton);
  QCOMPARE(form->DisplayText(), QString("Error"));
  QTest::mouseClick(form->BackButton, Qt::LeftButton);
  QTest::mouseClick(form->Button7, Qt::LeftButton);
  QCOMPARE(form->DisplayText(), QString("Error"));
  QTest::mouseClick(form->ClearButton, Qt::LeftButton);
  QCOMPARE(form->DisplayText(), QString("0"));
}

void TestCalc::heldDigitRepeats() {
  std::unique_ptr<TCalcForm> form(NewForm());
  TProSpeedButton* button = form->Button7;
  button->SetRepeatInitInterval(10);
  button->SetRepeatInterval(5);
  QTest::mousePress(button, Qt::LeftButton);
  QTRY_COMPARE(form->DisplayText(), QString(15, '7'));
  QTest::mouseRelease(button, Qt::LeftButton);
  QCOMPARE(form->DisplayText(), QString(15, '7'));
  // The operator keys do not repeat: a held "+" acts once, on release.
  QTest::mousePress(form->PlusButton, Qt::LeftButton);
  QTest::qWait(30);
  QCOMPARE(form->Engine().PendingOperator(), '=');
  QTest::mouseRelease(form->PlusButton, Qt::LeftButton);
  QCOMPARE(form->Engine().PendingOperator(), '+');
}

void TestCalc::commaSeparator() {
  SetLocaleDecimalSeparator(',');
  std::unique_ptr<TCalcForm> form(NewForm());
  QCOMPARE(form->PointButton->Caption(), QString(","));
  QCOMPARE(AccessibleName(form->PointButton), QString(","));
  TypeKeys(form.get(), "1.5,5*2\r");
  QCOMPARE(form->DisplayText(), QString("31"));
  TypeKeys(form.get(), "1/3\r");
  QCOMPARE(form->DisplayText(), QString("Error"));
  QCOMPARE(double(form->GetValue()), 0.0);
}

void TestCalc::overflowReachesDefaultDisplay() {
  std::unique_ptr<TCalcForm> form(NewForm());
  qbtest::ModalCloser closer;
  const QString nines = "999999999999999";
  for (QChar c : nines) form->NumberButtonClick(form->findChild<QObject*>(QString("Button") + c));
  for (int i = 0; i < 400 && closer.seen().isEmpty(); ++i) {
    form->MultiplyButton->click();
    for (QChar c : nines) form->NumberButtonClick(form->findChild<QObject*>(QString("Button") + c));
  }
  QCOMPARE(closer.lastTitle(), QString("Quellbid Free"));
  QCOMPARE(closer.lastText(), QString("Floating point overflow."));
  QCOMPARE(form->DisplayText(), nines);
  QCOMPARE(form->Engine().PendingOperator(), '*');
}

// clang-format off
void TestCalc::accessibleDisplay_data() {
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("text");
  QTest::newRow("cleared") << "" << "0";
  QTest::newRow("minus zero") << "_" << "-0";
  QTest::newRow("error") << "1/0=" << "Error";
  QTest::newRow("exponent form") << "1/3=" << " 3.333333E-0001";
}
// clang-format on

void TestCalc::accessibleDisplay() {
  QFETCH(QString, keys);
  QFETCH(QString, text);
  std::unique_ptr<TCalcForm> form(NewForm());
  TypeKeys(form.get(), keys);
  QCOMPARE(AccessibleName(form->DisplayPanel), text);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(form->DisplayPanel);
  QCOMPARE(iface->role(), QAccessible::StaticText);
  QCOMPARE(iface->text(QAccessible::Value), text);
}

void TestCalc::stayOnTopToggles() {
  std::unique_ptr<TCalcForm> form(NewForm());
  form->StayOnTopMenuItemClick(form->StayOnTopMenuItem);
  QVERIFY(form->StayOnTopMenuItem->isChecked());
  QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
  QVERIFY(form->isVisible());
  // Through the menu, which checks the item itself.
  form->StayOnTopMenuItem->trigger();
  QVERIFY(!form->StayOnTopMenuItem->isChecked());
  QVERIFY(!(form->windowFlags() & Qt::WindowStaysOnTopHint));
  QVERIFY(form->isVisible());
}

void TestCalc::hideDestroysWindow() {
  TProCalcDialog dialog;
  dialog.SetModal(false);
  dialog.Execute();
  QPointer<TCalcForm> form(dialog.Form());
  QVERIFY(form);
  form->HideMenuItem->trigger();
  SettleDeletes();
  QVERIFY(!form);
  QVERIFY(!dialog.Form());
}

void TestCalc::executeTwiceOpensOneWindow() {
  TProCalcDialog dialog;
  dialog.SetSoundType(stAsterisk);
  dialog.SetModal(false);
  dialog.SetStayOnTop(true);
  const int beeps = BeepCount();
  dialog.Execute();
  QCOMPARE(BeepCount(), beeps + 1);
  QCOMPARE(LastBeepType(), 64u);
  QPointer<TCalcForm> first(dialog.Form());
  QVERIFY(first && first->isVisible());
  TypeKeys(first.data(), "42+");
  dialog.Execute();
  QCOMPARE(BeepCount(), beeps + 1);
  QCOMPARE(dialog.Form(), first.data());
  // The open window keeps its calculation.
  QCOMPARE(first->DisplayText(), QString("42"));
  QCOMPARE(first->Engine().PendingOperator(), '+');
  QCOMPARE(CalcWindowCount(), 1);
}

void TestCalc::getValue() {
  TProCalcDialog dialog;
  dialog.SetModal(false);
  QCOMPARE(double(dialog.GetValue()), 0.0);
  dialog.Execute();
  TypeKeys(dialog.Form(), "12.5_");
  QCOMPARE(double(dialog.GetValue()), -12.5);
  TypeKeys(dialog.Form(), "/0\r");
  QCOMPARE(dialog.Form()->DisplayText(), QString("Error"));
  QCOMPARE(double(dialog.GetValue()), 0.0);
  TypeKeys(dialog.Form(), "c1/3\r");
  QCOMPARE(double(dialog.GetValue()), 0.3333333);
  dialog.Form()->close();
  SettleDeletes();
  QVERIFY(!dialog.Form());
  QCOMPARE(double(dialog.GetValue()), 0.0);
}

void TestCalc::closedWindowStartsFresh() {
  TProCalcDialog dialog;
  dialog.SetModal(false);
  dialog.SetSoundType(stExclamation);
  const int beeps = BeepCount();
  dialog.Execute();
  TypeKeys(dialog.Form(), "8*");
  dialog.Form()->close();
  SettleDeletes();
  dialog.Execute();
  QCOMPARE(BeepCount(), beeps + 2);
  QVERIFY(dialog.Form());
  QCOMPARE(dialog.Form()->DisplayText(), QString("0"));
  QCOMPARE(dialog.Form()->Engine().PendingOperator(), '=');
}

void TestCalc::modalHasNoMenu() {
  TProCalcDialog dialog;
  bool seen = false, menuShown = true, autoPopup = true;
  double valueWhileOpen = 0;
  qbtest::ModalSteps<TCalcForm> steps({[&](TCalcForm* form) {
                                        seen = true;
                                        autoPopup = form->AutoPopup();
                                        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                                                form->mapToGlobal(QPoint(5, 5)));
                                        QApplication::sendEvent(form, &event);
                                        menuShown = form->PopupMenu->isVisible();
                                        TypeKeys(form, "3_");
                                        valueWhileOpen = double(dialog.GetValue());
                                        form->close();
                                      }},
                                      20);
  dialog.Execute();
  QVERIFY(seen);
  QVERIFY(!autoPopup);
  QVERIFY(!menuShown);
  QCOMPARE(valueWhileOpen, -3.0);
  QVERIFY(!dialog.Form());
  QCOMPARE(double(dialog.GetValue()), 0.0);
}

void TestCalc::modelessHasMenu() {
  TProCalcDialog dialog;
  dialog.SetModal(false);
  dialog.Execute();
  TCalcForm* form = dialog.Form();
  QVERIFY(form->AutoPopup());
  // A right click on a key opens the form's menu too.
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), form->Button5->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(form->Button5, &event);
  QTRY_VERIFY(form->PopupMenu->isVisible());
  QStringList texts;
  for (QAction* a : form->PopupMenu->actions()) texts << a->text();
  QCOMPARE(texts, QStringList({"&Stay on top", "&Hide"}));
  form->PopupMenu->hide();
}

void TestCalc::stayOnTopOption_data() {
  QTest::addColumn<bool>("stayOnTop");
  QTest::newRow("normal") << false;
  QTest::newRow("on top") << true;
}

void TestCalc::stayOnTopOption() {
  QFETCH(bool, stayOnTop);
  TProCalcDialog dialog;
  dialog.SetModal(false);
  dialog.SetStayOnTop(stayOnTop);
  dialog.Execute();
  QCOMPARE(dialog.Form()->StayOnTopMenuItem->isChecked(), stayOnTop);
  QCOMPARE(bool(dialog.Form()->windowFlags() & Qt::WindowStaysOnTopHint), stayOnTop);
  QVERIFY(dialog.Form()->isVisible());
}

void TestCalc::translatedTexts() {
  TProCalcDialog dialog;
  dialog.SetModal(false);
  dialog.SetLanguage(dlKorean);
  dialog.SetHelpContext(17);
  dialog.Execute();
  TCalcForm* form = dialog.Form();
  QCOMPARE(form->windowTitle(), QString::fromStdString(LoadStr(31940)));
  QCOMPARE(form->ErrorText(), QString::fromStdString(LoadStr(31941)));
  QCOMPARE(form->StayOnTopMenuItem->text(), QString::fromStdString(LoadStr(31942)));
  QCOMPARE(form->HideMenuItem->text(), QString::fromStdString(LoadStr(31943)));
  QVERIFY(!form->windowTitle().isEmpty());
  QCOMPARE(WidgetHelpContext(form), 17);
}

void TestCalc::destructorDestroysWindow() {
  auto* dialog = new TProCalcDialog;
  dialog->SetModal(false);
  dialog->Execute();
  QPointer<TCalcForm> form(dialog->Form());
  QVERIFY(form);
  delete dialog;
  QVERIFY(!form);
}

void TestCalc::calcDialogRunsModal() {
  const int beeps = BeepCount();
  QString title;
  bool modal = false;
  qbtest::ModalCloser closer([&](QDialog* d) {
    title = d->windowTitle();
    modal = d->isModal();
    d->close();
  });
  CalcDialog(dlEnglish, 0);
  QCOMPARE(title, QString("Calculator"));
  QVERIFY(modal);
  QCOMPARE(BeepCount(), beeps);  // stNoSound by default
  SettleDeletes();
  QCOMPARE(CalcWindowCount(), 0);
}

QTEST_MAIN(TestCalc)
#include "test_calc.moc"
