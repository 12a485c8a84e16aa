// Label-edit layout, speed-button repeat and groups, push-button kinds and clicks.

#include <QAccessible>
#include <QDialog>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "controls/ProCtrls.h"
#include "controls/ProStBar.h"
#include "controls/Provcl.h"
#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "tests/common/ModalCloser.h"

using namespace qb;

// Shows a 32 x 32 speed button that repeats: first after firstMs, then every everyMs.
static void ShowRepeating(TProSpeedButton& button, unsigned firstMs, unsigned everyMs) {
  button.resize(32, 32);
  button.show();
  button.SetRepeatEnabled(true);
  button.SetRepeatInitInterval(firstMs);
  button.SetRepeatInterval(everyMs);
}

class TestWidgets : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { SetHelpContextHandler({}); }

  void labelEditDefaults() {
    TProLabelEdit edit;
    QCOMPARE(edit.Caption(), QString("LabelEdit:"));
    QCOMPARE(edit.width(), 250);
    QCOMPARE(edit.LabelWidth(), 100);
    QCOMPARE(edit.Gap(), 0);
    QCOMPARE(edit.LabelHeight(), 21);
    QCOMPARE(edit.LabelPosition(), lpLeft);
    QVERIFY(edit.AutoSize());
    QCOMPARE(edit.LabelLayout(), vaCenter);
    QVERIFY(!edit.Label()->AutoSize());
    QCOMPARE(edit.Label()->FocusControl(), static_cast<QWidget*>(edit.Edit()));
  }

  // The mouse coming in and going out reaches MouseEnter and MouseLeave once each.
  void mouseEnterAndLeaveSignals_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("panel") << "panel";
    QTest::newRow("labelled edit") << "labelled edit";
    QTest::newRow("label") << "label";
  }
  void mouseEnterAndLeaveSignals() {
    QFETCH(QString, kind);
    std::unique_ptr<QWidget> widget;
    if (kind == "panel") widget = std::make_unique<TProPanel>();
    if (kind == "labelled edit") widget = std::make_unique<TProLabelEdit>();
    if (kind == "label") widget = std::make_unique<TProLabel>();
    QSignalSpy entered(widget.get(), SIGNAL(MouseEnter()));
    QSignalSpy left(widget.get(), SIGNAL(MouseLeave()));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(widget.get(), &enter);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget.get(), &leave);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);
  }

  void labelEditLayout_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("labelWidth");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("editLeft");
    QTest::addColumn<int>("editWidth");
    QTest::newRow("default 100 + 150") << 250 << 100 << 0 << 100 << 150;
    QTest::newRow("gap 5") << 250 << 100 << 5 << 105 << 145;
    QTest::newRow("narrow label") << 300 << 40 << 10 << 50 << 250;
  }
  void labelEditLayout() {
    QFETCH(int, width);
    QFETCH(int, labelWidth);
    QFETCH(int, gap);
    TProLabelEdit edit;
    edit.resize(width, edit.height());
    edit.SetLabelWidth(labelWidth);
    edit.SetGap(gap);
    QCOMPARE(edit.Label()->geometry(), QRect(0, 0, labelWidth, edit.height()));
    QTEST(edit.Edit()->x(), "editLeft");
    QTEST(edit.Edit()->width(), "editWidth");
    QCOMPARE(edit.Edit()->y(), 0);
    QCOMPARE(edit.Edit()->height(), edit.height());
  }

  void labelEditAutoSizeHeight() {
    TProLabelEdit edit;
    edit.show();  // hidden widgets get their resize events when shown
    const int editHeight = edit.Edit()->sizeHint().height();
    QCOMPARE(edit.height(), editHeight);
    edit.resize(250, 70);
    QCOMPARE(edit.height(), editHeight);
    edit.setGeometry(5, 5, 200, 3);
    QCOMPARE(edit.height(), editHeight);
    QFont big = edit.font();
    big.setPixelSize(30);
    edit.SetFont(big);
    QCOMPARE(edit.Label()->font().pixelSize(), 30);
    QCOMPARE(edit.Edit()->font().pixelSize(), 30);
    QVERIFY(edit.height() > editHeight);
    QCOMPARE(edit.height(), edit.Edit()->sizeHint().height());
    edit.SetAutoSize(false);
    edit.resize(250, 70);
    QCOMPARE(edit.height(), 70);
    QCOMPARE(edit.Edit()->height(), 70);
    QCOMPARE(edit.Label()->height(), 70);
  }

  void labelEditForwarding() {
    TProLabelEdit edit;
    QSignalSpy changes(&edit, &TProLabelEdit::Change);
    edit.SetText(QStringLiteral("12.5"));
    QCOMPARE(edit.Edit()->text(), QString("12.5"));
    QCOMPARE(edit.GetText(), QString("12.5"));
    QCOMPARE(changes.count(), 1);
    edit.SetCaption(QStringLiteral("Highest:"));
    QCOMPARE(edit.Label()->Caption(), QString("Highest:"));
    edit.SetReadOnly(true);
    QVERIFY(edit.Edit()->isReadOnly());
    edit.SetLabelShadowStyle(ssRaised);
    QCOMPARE(edit.Label()->ShadowStyle(), ssRaised);
    edit.SetLabelColor(Qt::yellow);
    QCOMPARE(edit.Label()->Color(), QColor(Qt::yellow));  // the label paints its parent's colour
    edit.SetColor(Qt::cyan);
    QCOMPARE(edit.Color(), QColor(Qt::cyan));
    QCOMPARE(edit.LabelColor(), QColor(Qt::yellow));
    edit.SetMaxLength(3);
    edit.SetText(QStringLiteral("12345"));
    QCOMPARE(edit.Text(), QString("123"));
  }

  void labelEditAccessible() {
    TProLabelEdit edit;
    edit.SetCaption(QStringLiteral("Average:"));
    edit.SetText(QStringLiteral("42.17"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&edit);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), QString("Average:"));
    QCOMPARE(iface->text(QAccessible::Value), QString("42.17"));
    // The edit itself is named by its caption.
    QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(edit.Edit());
    QCOMPARE(inner->text(QAccessible::Name), QString("Average:"));
    QCOMPARE(inner->text(QAccessible::Value), QString("42.17"));
  }

  // Speed buttons ---------------------------------------------------------

  void repeatWhileHeld() {
    TProSpeedButton button;
    ShowRepeating(button, 150, 30);
    int clicks = 0;
    QElapsedTimer sinceFirst;
    qint64 firstAt = -1;
    connect(&button, &QAbstractButton::clicked, this, [&] {
      if (clicks++ == 0) firstAt = sinceFirst.elapsed();
    });
    sinceFirst.start();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(16, 16));
    QVERIFY(button.Repeating());
    QTRY_VERIFY_WITH_TIMEOUT(clicks >= 4, 5000);
    QVERIFY2(firstAt >= 140, qPrintable(QString::number(firstAt)));
    const int held = clicks;
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(16, 16));
    QCOMPARE(clicks, held + 1);  // one more on release
    QVERIFY(!button.Repeating());
    QTest::qWait(120);
    QCOMPARE(clicks, held + 1);
  }

  void rightButtonNeverRepeats() {
    TProSpeedButton button;
    ShowRepeating(button, 20, 10);
    int clicks = 0;
    connect(&button, &QAbstractButton::clicked, this, [&] { ++clicks; });
    QTest::mousePress(&button, Qt::RightButton, {}, QPoint(16, 16));
    QVERIFY(!button.Repeating());
    QTest::qWait(100);
    QTest::mouseRelease(&button, Qt::RightButton, {}, QPoint(16, 16));
    QCOMPARE(clicks, 0);
  }

  void repeatOffStopsTimer() {
    TProSpeedButton button;
    ShowRepeating(button, 400, 100);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(16, 16));
    QVERIFY(button.Repeating());
    button.SetRepeatEnabled(false);
    QVERIFY(!button.Repeating());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(16, 16));
  }

  void errorStopsRepeat() {
    TProSpeedButton button;
    ShowRepeating(button, 20, 10);
    int clicks = 0;
    connect(&button, &QAbstractButton::clicked, this, [&] {
      if (++clicks == 2) throw Exception("Overflow");
    });
    qbtest::ModalCloser closer;
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(16, 16));
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen().size(), 1, 5000);
    QCOMPARE(closer.lastTitle(), QString("Quellbid Free"));
    QCOMPARE(closer.lastText(), QString("Overflow."));
    QVERIFY(!button.Repeating());
    QTest::qWait(80);
    QCOMPARE(clicks, 2);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(16, 16));
  }

  void groupAndAllowAllUp() {
    QWidget bar;
    auto* a = new TProSpeedButton(&bar);
    auto* b = new TProSpeedButton(&bar);
    auto* other = new TProSpeedButton(&bar);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    other->SetDown(true);
    a->click();
    QVERIFY(a->Down());
    b->click();
    QVERIFY(b->Down());
    QVERIFY(!a->Down());
    QVERIFY(other->Down());
    b->click();
    QVERIFY(b->Down());  // stays down without AllowAllUp
    b->SetAllowAllUp(true);
    QVERIFY(a->AllowAllUp());
    b->click();
    QVERIFY(!b->Down());
  }

  void speedButtonAccessible() {
    QWidget bar;
    auto* button = new TProSpeedButton(&bar);
    button->SetHint(QStringLiteral("Add All From Page"));
    QCOMPARE(button->toolTip(), QString("Add All From Page"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), QString("Add All From Page"));
    QVERIFY(!iface->state().pressed);
    button->SetDown(true);
    QVERIFY(iface->state().pressed);
    button->SetDown(false);
    button->SetGroupIndex(3);
    button->SetDown(true);
    QVERIFY(iface->state().checkable);
    QVERIFY(iface->state().checked);
  }

  // Push buttons ----------------------------------------------------------

  void kindSetsButton() {
    TProButton button;
    QCOMPARE(button.Kind(), pbkCustom);
    button.SetKind(pbkYes);
    QCOMPARE(button.text(), QString("&Yes"));
    QVERIFY(button.Default());
    QVERIFY(!button.Cancel());
    QCOMPARE(button.ModalResult(), 6);
    QCOMPARE(button.Kind(), pbkYes);
    button.SetKind(pbkNoGer);
    QCOMPARE(button.text(), QString("&No"));
    QVERIFY(!button.Default());
    QVERIFY(button.Cancel());
    QCOMPARE(button.ModalResult(), 7);
    button.SetKind(pbkCustom);  // changes nothing else
    QCOMPARE(button.ModalResult(), 7);
    QCOMPARE(button.text(), QString("&No"));
  }

  void kindGetterAfterManualChange_data() {
    QTest::addColumn<int>("change");
    QTest::newRow("modal result") << 0;
    QTest::newRow("default flag") << 1;
    QTest::newRow("cancel flag") << 2;
  }
  void kindGetterAfterManualChange() {
    QFETCH(int, change);
    TProButton button;
    button.SetKind(pbkOk);
    switch (change) {
      case 0: button.SetModalResult(mrCancel); break;
      case 1: button.SetDefault(false); break;
      case 2: button.SetCancel(true); break;
    }
    QCOMPARE(button.Kind(), pbkCustom);
    // The kind is forgotten: restoring the value does not bring it back.
    button.SetModalResult(mrOk);
    button.SetDefault(true);
    button.SetCancel(false);
    QCOMPARE(button.Kind(), pbkCustom);
    // Caption changes do not count.
    TProButton plain;
    plain.SetKind(pbkCancel);
    plain.setText(QStringLiteral("Stop it"));
    QCOMPARE(plain.Kind(), pbkCancel);
    plain.SetKind(pbkCancel);  // same kind: nothing happens
    QCOMPARE(plain.text(), QString("Stop it"));
  }

  void loadingKeepsCaption() {
    TProButton button;
    button.setText(QStringLiteral("Go"));
    button.SetLoading(true);
    button.SetKind(pbkOk);
    QCOMPARE(button.text(), QString("Go"));
    QCOMPARE(button.ModalResult(), 1);
    button.SetLoading(false);
    button.SetKind(pbkAbort);
    QCOMPARE(button.text(), QString("Abort"));
  }

  void modalResultClosesDialog() {
    QDialog dialog;
    auto* button = new TProButton(&dialog);
    button->SetKind(pbkRetry);
    int clicks = 0;
    connect(button, &QAbstractButton::clicked, this, [&] { ++clicks; });
    QTimer::singleShot(0, button, [button] { button->click(); });
    QCOMPARE(dialog.exec(), 4);
    QCOMPARE(clicks, 1);
  }

  void helpKindSearchesParents() {
    QDialog dialog;
    auto* panel = new TProPanel(&dialog);
    auto* help = new TProButton(panel);
    help->SetKind(pbkHelpRus);
    QList<int> opened;
    SetHelpContextHandler([&](int context) { opened.append(context); });
    help->click();
    QVERIFY(opened.isEmpty());  // no context anywhere: a plain click
    SetWidgetHelpContext(&dialog, 77);
    help->click();
    QCOMPARE(opened, QList<int>{77});
    SetWidgetHelpContext(panel, 5);
    help->click();
    QCOMPARE(opened, (QList<int>{77, 5}));
  }

  void closeKindClosesForm() {
    QWidget form;
    auto* close = new TProButton(&form);
    close->SetKind(pbkCloseFr);
    form.show();
    QVERIFY(form.isVisible());
    close->click();
    QVERIFY(!form.isVisible());
  }

  // A window's own click handler, connected after the button was built, runs for
  // every kind but Help (with a context found) and Close, whichever way the click comes.
  void kindsThatEndTheClick_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("helpContext");
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("handlerRuns");
    QTest::addColumn<bool>("helpOpened");
    QTest::addColumn<bool>("windowOpen");
    QTest::newRow("help, mouse") << int(pbkHelp) << 9 << "mouse" << false << true << true;
    QTest::newRow("help, Space") << int(pbkHelpGer) << 9 << "space" << false << true << true;
    QTest::newRow("help, animated") << int(pbkHelp) << 9 << "animated" << false << true << true;
    QTest::newRow("help without context") << int(pbkHelp) << 0 << "mouse" << true << false << true;
    QTest::newRow("close, mouse") << int(pbkClose) << 9 << "mouse" << false << false << false;
    QTest::newRow("close, click()") << int(pbkCloseChn) << 0 << "click" << false << false << false;
    QTest::newRow("ok") << int(pbkOk) << 9 << "mouse" << true << false << false;
    QTest::newRow("custom") << int(pbkCustom) << 9 << "space" << true << false << true;
  }
  void kindsThatEndTheClick() {
    QFETCH(int, kind);
    QFETCH(int, helpContext);
    QFETCH(QString, way);
    QDialog window;
    SetWidgetHelpContext(&window, helpContext);
    auto* button = new TProButton(&window);
    button->SetKind(TProButtonKind(kind));
    window.show();
    bool helpOpened = false;
    SetHelpContextHandler([&](int) { helpOpened = true; });
    int handled = 0;
    connect(button, &QAbstractButton::clicked, this, [&] { ++handled; });
    if (way == "mouse") {
      QTest::mouseClick(button, Qt::LeftButton);
    } else if (way == "space") {
      QTest::keyClick(button, Qt::Key_Space);
    } else if (way == "animated") {
      button->animateClick();
      QTRY_VERIFY(!button->isDown());
    } else {
      button->click();
    }
    QCoreApplication::processEvents();
    QTEST(handled == 1, "handlerRuns");
    QTEST(helpOpened, "helpOpened");
    QTEST(window.isVisible(), "windowOpen");
    QVERIFY(!button->signalsBlocked());  // a later click is heard again
  }

  void statusBarHoldsChildren() {
    TProStatusBar bar;
    bar.resize(300, 24);
    auto* panel = new TProPanel(&bar);
    panel->setGeometry(10, 2, 50, 20);
    bar.show();
    QCOMPARE(panel->parentWidget(), static_cast<QWidget*>(&bar));
    QCOMPARE(panel->geometry(), QRect(10, 2, 50, 20));
  }
};

int main(int argc, char** argv) {
  qb::QbApplication app(argc, argv);
  TestWidgets test;
  return QTest::qExec(&test, argc, argv);
}
#include "test_widgets.moc"
