// Message dialogs: layouts at 96 dpi, keys, close box, results, languages, help, font, sound.

#include <QTimer>
#include <QtTest>
#include <functional>

#include "controls/ProDlgs.h"
#include "controls/Provcl.h"
#include "runtime/Platform.h"
#include "tests/common/ModalCloser.h"

using namespace qb;

namespace {

// Runs the steps one per poll on the modal dialog window while it is open.
using DialogDriver = qbtest::ModalSteps<TCommonDialogForm>;
using Step = DialogDriver::Step;

TProButton* Button(TCommonDialogForm* form, const QString& name) {
  return form->findChild<TProButton*>(name);
}

// A real mouse click: the button takes the focus first, as it does for a user.
Step Press(const QString& name) {
  return [name](TCommonDialogForm* form) { QTest::mouseClick(Button(form, name), Qt::LeftButton); };
}
Step Key(Qt::Key key) {
  return [key](TCommonDialogForm* form) { QTest::keyClick(form, key); };
}
Step CloseBox() {
  return [](TCommonDialogForm* form) { form->close(); };
}
Step StillOpen(bool* flag) {
  return [flag](TCommonDialogForm* form) { *flag = form->isVisible(); };
}

enum Kind { Warning, Info, Stop, Confirm };

// Runs one dialog of a kind with the steps; returns the outcome as text.
QString RunDialog(Kind kind, QList<Step> steps, int helpContext = 0, QObject* owner = nullptr) {
  DialogDriver driver(std::move(steps));
  switch (kind) {
    case Warning: {
      TProWarningDialog d(owner);
      d.SetHelpContext(helpContext);
      return d.Execute() ? "true" : "false";
    }
    case Info: {
      TProInfoDialog d(owner);
      d.SetHelpContext(helpContext);
      d.Execute();
      return "closed";
    }
    case Stop: {
      TProStopDialog d(owner);
      d.SetHelpContext(helpContext);
      d.Execute();
      return "closed";
    }
    case Confirm: {
      TProConfirmDialog d(owner);
      d.SetHelpContext(helpContext);
      const bool r = d.Execute();
      return QString(r ? "true" : "false") + (d.Cancelled() ? ",cancelled" : "");
    }
  }
  return {};
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestDialogs : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { SetHelpContextHandler({}); }

  // Design layouts scaled by 96/120; the icon stays 48 x 64.
  void layouts_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("helpContext");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<int>("buttonTop");
    QTest::addColumn<QRect>("image");
    QTest::addColumn<QString>("title");
    const QSize small(322, 135), large(360, 174);
    const QRect image(12, 14, 48, 64), confirmImage(12, 34, 48, 64);
    QTest::newRow("warning, help") << Warning << 9 << small
                                   << QStringList{"OKButton", "CancelButton", "HelpButton"}
                                   << QList<int>{29, 121, 213} << 102 << image << "Warning";
    QTest::newRow("warning") << Warning << 0 << small << QStringList{"OKButton", "CancelButton"}
                             << QList<int>{74, 166} << 102 << image << "Warning";
    QTest::newRow("info, help") << Info << 9 << small << QStringList{"OKButton", "HelpButton"}
                                << QList<int>{75, 166} << 102 << image << "Information";
    QTest::newRow("info") << Info << 0 << small << QStringList{"OKButton"} << QList<int>{121} << 102 << image
                          << "Information";
    QTest::newRow("stop, help") << Stop << 9 << small << QStringList{"CancelButton", "HelpButton"}
                                << QList<int>{75, 166} << 102 << image << "Stop";
    QTest::newRow("stop") << Stop << 0 << small << QStringList{"CancelButton"} << QList<int>{121} << 102
                          << image << "Stop";
    QTest::newRow("confirm, help") << Confirm << 9 << large
                                   << QStringList{"YesButton", "NoButton", "CancelButton", "HelpButton"}
                                   << QList<int>{8, 96, 184, 272} << 142 << confirmImage << "Confirmation";
    QTest::newRow("confirm") << Confirm << 0 << large << QStringList{"YesButton", "NoButton", "CancelButton"}
                             << QList<int>{52, 140, 228} << 142 << confirmImage << "Confirmation";
  }
  void layouts() {
    QFETCH(Kind, kind);
    QFETCH(int, helpContext);
    QFETCH(QSize, client);
    QFETCH(QStringList, visible);
    QFETCH(QList<int>, lefts);
    QFETCH(int, buttonTop);
    QFETCH(QRect, image);
    QFETCH(QString, title);
    bool checked = false;
    SetHelpContextHandler([](int) {});
    RunDialog(kind, {[&](TCommonDialogForm* form) {
                QCOMPARE(form->logicalDpiX(), 96);
                QCOMPARE(form->size(), client);
                QCOMPARE(form->windowTitle(), title);
                QStringList shown;
                for (TProButton* b : form->Buttons()) {
                  QCOMPARE(b->size(), QSize(80, 24));
                  if (b->isVisible()) shown.append(b->objectName());
                }
                QCOMPARE(shown, visible);
                for (int i = 0; i < visible.size(); ++i) {
                  QCOMPARE(Button(form, visible[i])->x(), lefts[i]);
                  QCOMPARE(Button(form, visible[i])->y(), buttonTop);
                }
                QCOMPARE(form->Image->geometry(), image);
                QVERIFY(!form->Image->pixmap().isNull());
                QCOMPARE(form->Image->pixmap().size(), QSize(48, 64));
                QCOMPARE(form->Bevel->pos(), QPoint(8, 8));
                QCOMPARE(form->font().pixelSize(), 9);  // 11 px scaled by 96/120
                checked = true;
                form->done(mrCancel);
              }},
              helpContext);
    QVERIFY(checked);
  }

  void messageLabelSettings() {
    TProWarningDialog d;
    d.SetWarningMessage(QStringLiteral("No Results Added"));
    d.SetCaption(QStringLiteral("No Results Added"));
    d.SetAlignment(taCenter);
    DialogDriver driver({[](TCommonDialogForm* form) {
      auto* w = static_cast<TWarningForm*>(form);
      QCOMPARE(w->WarningLabel->Caption(), QString("No Results Added"));
      QCOMPARE(w->WarningLabel->Alignment(), taCenter);
      QCOMPARE(w->WarningLabel->VerticalAlignment(), vaCenter);
      QVERIFY(w->WarningLabel->WordWrap());
      QVERIFY(!w->WarningLabel->AutoSize());
      QCOMPARE(w->WarningLabel->geometry(), QRect(56, 16, 249, 69));
      w->done(mrOk);
    }});
    QVERIFY(d.Execute());
    QCOMPARE(driver.titles, QStringList{"No Results Added"});
  }

  void keysAndCloseBox_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("escIgnored");
    QTest::newRow("warning OK") << Warning << "OKButton"
                                << "true" << false;
    QTest::newRow("warning Enter") << Warning << "enter"
                                   << "true" << false;
    QTest::newRow("warning Cancel") << Warning << "CancelButton"
                                    << "false" << false;
    QTest::newRow("warning Esc") << Warning << "esc"
                                 << "false" << false;
    QTest::newRow("warning close box") << Warning << "close"
                                       << "false" << false;
    QTest::newRow("info Enter") << Info << "enter"
                                << "closed" << false;
    QTest::newRow("info Esc does nothing") << Info << "esc"
                                           << "closed" << true;
    QTest::newRow("info close box") << Info << "close"
                                    << "closed" << false;
    QTest::newRow("stop Enter") << Stop << "enter"
                                << "closed" << false;
    QTest::newRow("stop Esc") << Stop << "esc"
                              << "closed" << false;
    QTest::newRow("stop close box") << Stop << "close"
                                    << "closed" << false;
    QTest::newRow("confirm Yes") << Confirm << "YesButton"
                                 << "true" << false;
    QTest::newRow("confirm Enter") << Confirm << "enter"
                                   << "true" << false;
    QTest::newRow("confirm No") << Confirm << "NoButton"
                                << "false" << false;
    QTest::newRow("confirm Esc presses No") << Confirm << "esc"
                                            << "false" << false;
    QTest::newRow("confirm Cancel") << Confirm << "CancelButton"
                                    << "false,cancelled" << false;
    QTest::newRow("confirm close box") << Confirm << "close"
                                       << "false,cancelled" << false;
  }
  void keysAndCloseBox() {
    QFETCH(Kind, kind);
    QFETCH(QString, action);
    QFETCH(bool, escIgnored);
    QList<Step> steps;
    if (action == "enter")
      steps.append(Key(Qt::Key_Return));
    else if (action == "esc")
      steps.append(Key(Qt::Key_Escape));
    else if (action == "close")
      steps.append(CloseBox());
    else
      steps.append(Press(action));
    bool stillOpen = false;
    if (escIgnored) {
      steps.append(StillOpen(&stillOpen));
      steps.append(CloseBox());
    }
    QTEST(RunDialog(kind, steps), "outcome");
    QCOMPARE(stillOpen, escIgnored);
  }

  void helpLeavesDialogOpen() {
    QList<int> contexts;
    SetHelpContextHandler([&](int context) { contexts.append(context); });
    bool stillOpen = false;
    QCOMPARE(RunDialog(Warning, {Press("HelpButton"), StillOpen(&stillOpen), Press("OKButton")}, 1234),
             QString("true"));
    QVERIFY(stillOpen);
    QCOMPARE(contexts, QList<int>{1234});
  }

  void germanCaptions() {
    TProWarningDialog d;
    d.SetLanguage(dlGerman);
    d.SetHelpContext(3);
    SetHelpContextHandler([](int) {});
    DialogDriver driver({[](TCommonDialogForm* form) {
      auto* w = static_cast<TWarningForm*>(form);
      QCOMPARE(w->OKButton->Kind(), pbkOk);
      QCOMPARE(w->OKButton->text(), QString("OK"));
      QCOMPARE(w->CancelButton->Kind(), pbkCancelGer);
      QCOMPARE(w->HelpButton->Kind(), pbkHelpGer);
      QCOMPARE(w->CancelButton->text(), QString("Cancel"));
      QCOMPARE(w->HelpButton->text(), QString("&Help"));
      QCOMPARE(w->windowTitle(), QString("Warning"));  // 30508 + 30 * 6 falls back to English
      w->done(mrCancel);
    }});
    QVERIFY(!d.Execute());
    TProConfirmDialog c;
    c.SetLanguage(dlKorean);
    DialogDriver confirmDriver({[](TCommonDialogForm* form) {
      auto* f = static_cast<TConfirmForm*>(form);
      QCOMPARE(f->YesButton->Kind(), pbkYesKor);
      QCOMPARE(f->NoButton->Kind(), pbkNoKor);
      QCOMPARE(f->CancelButton->Kind(), pbkCancelKor);
      f->YesButton->click();
    }});
    QVERIFY(c.Execute());
  }

  void confirmTexts() {
    bool cancelled = true;
    DialogDriver driver({[](TCommonDialogForm* form) {
      auto* f = static_cast<TConfirmForm*>(form);
      QCOMPARE(f->windowTitle(), QString("Create"));
      QCOMPARE(f->ConditionLabel->Caption(), QString("This directory does not exist:"));
      QCOMPARE(f->DescriptionLabel->Caption(), QString("/tmp/x"));
      QCOMPARE(f->QuestionLabel->Caption(), QString("Do you wish to create this directory?"));
      QCOMPARE(f->ConditionLabel->VerticalAlignment(), vaTop);
      QCOMPARE(f->ConditionLabel->Alignment(), taLeftJustify);
      f->NoButton->click();
    }});
    QVERIFY(!ConfirmDialog("Create", "This directory does not exist:", "/tmp/x",
                           "Do you wish to create this directory?", cancelled));
    QVERIFY(!cancelled);
  }

  void libraryFunctions() {
    {
      DialogDriver driver({Press("OKButton")});
      QVERIFY(WarningDialog(QString(), QStringLiteral("Careful")));
      QCOMPARE(driver.titles, QStringList{"Warning"});
    }
    {
      DialogDriver driver({Key(Qt::Key_Escape)});
      QVERIFY(!WarningDialog(QStringLiteral("Mine"), QStringLiteral("Careful")));
      QCOMPARE(driver.titles, QStringList{"Mine"});
    }
    {
      DialogDriver driver({Press("OKButton")});
      InfoDialog(QString(), QStringLiteral("Done"));
      QCOMPARE(driver.done(), 1);
    }
    {
      DialogDriver driver({Press("CancelButton")});
      StopDialog(QString(), QStringLiteral("Halt"));
      QCOMPARE(driver.done(), 1);
    }
    bool cancelled = false;
    {
      DialogDriver driver({Press("YesButton")});
      QVERIFY(ConfirmDialog({}, "c", "d", "q", cancelled));
      QVERIFY(!cancelled);
    }
    {
      DialogDriver driver({CloseBox()});
      QVERIFY(!ConfirmDialog({}, "c", "d", "q", cancelled));
      QVERIFY(cancelled);
    }
    {
      DialogDriver driver({Key(Qt::Key_Escape)});
      QVERIFY(!ConfirmDialog({}, "c", "d", "q", cancelled));
      QVERIFY(!cancelled);
    }
  }

  void fontRule() {
    QWidget form;  // an owner window with its own font
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPixelSize(20);
    form.setFont(big);
    int seen = 0;
    auto check = [&](int expected) {
      return [&seen, expected](TCommonDialogForm* f) {
        seen = f->font().pixelSize();
        QCOMPARE(seen, expected);
        f->done(mrOk);
      };
    };
    {
      TProWarningDialog d(&form);  // ParentFont: the owner's font, scaled
      DialogDriver driver({check(16)});
      d.Execute();
      QCOMPARE(seen, 16);
    }
    {
      TProWarningDialog d(&form);
      d.SetParentFont(false);
      QFont own(QStringLiteral("DejaVu Sans"));
      own.setPixelSize(15);
      d.SetFont(own);
      DialogDriver driver({check(12)});
      d.Execute();
      QCOMPARE(seen, 12);
    }
    {
      TProWarningDialog d;  // no owner form: its own Font (11 px by default)
      QCOMPARE(d.Font().pixelSize(), 11);
      QVERIFY(d.ParentFont());
      DialogDriver driver({check(9)});
      d.Execute();
      QCOMPARE(seen, 9);
    }
  }

  void soundOnOpen() {
    const int before = BeepCount();
    TProStopDialog d;
    d.SetSoundType(stSystemHand);
    DialogDriver driver({Press("CancelButton")});
    d.Execute();
    QCOMPARE(BeepCount(), before + 1);
    QCOMPARE(LastBeepType(), 16u);
    TProInfoDialog quiet;
    DialogDriver driver2({Press("OKButton")});
    quiet.Execute();
    QCOMPARE(BeepCount(), before + 1);
  }

  void windowDestroyedAfterExecute() {
    TProInfoDialog d;
    QPointer<TCommonDialogForm> window;
    DialogDriver driver({[&](TCommonDialogForm* f) {
      window = f;
      f->done(mrOk);
    }});
    d.Execute();
    QVERIFY(window.isNull());
  }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
