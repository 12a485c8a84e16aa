#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include "app/Lifecycle.h"
#include "app/Splash.h"
#include "controls/ProCtrls.h"
#include "tests/common/GuardTimer.h"

using namespace qb;

// The splash over a stand-in main window. This test carries the program's version resource.
class TestSplash : public QObject {
  Q_OBJECT

  // Runs the event loop until the program is told to end; -1 when it never is.
  int FShowEvents = 0;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) ++FShowEvents;
    return QObject::eventFilter(watched, event);
  }

  static int RunLoop(int timeoutMs = 5000) {
    qbtest::GuardTimer guard(timeoutMs, [] { QCoreApplication::exit(-1); });
    return QCoreApplication::exec();
  }

 private slots:
  void visibleAsSoonAsBuilt() {
    QWidget main;
    TqbidSplash splash(&main);
    QVERIFY(splash.isVisible());
    QVERIFY(!main.isVisible());
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.size(), QSize(692, 402));
    QCOMPARE(splash.Image1->geometry(), QRect(0, 0, 692, 402));
    QVERIFY(!splash.Image1->pixmap().isNull());
    QCOMPARE(splash.windowTitle(), QStringLiteral("Quellbid Free"));
    const QRect screen = splash.screen()->availableGeometry();
    QVERIFY(qAbs(splash.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(splash.geometry().center().y() - screen.center().y()) <= 1);
  }

  void versionLabel() {
    QWidget main;
    TqbidSplash splash(&main);
    QCOMPARE(splash.lblVersion->Caption(), QStringLiteral("Version :  2.2.0.15"));
    QCOMPARE(splash.lblVersion->pos(), QPoint(176, 312));
    QVERIFY(splash.lblVersion->Transparent());
  }

  void buttons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("start") << "sbGoToMain"
                           << "Start" << QRect(0, 144, 161, 49);
    QTest::newRow("exit") << "sbExit"
                          << "E&xit" << QRect(0, 192, 161, 49);
  }
  void buttons() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QWidget main;
    TqbidSplash splash(&main);
    auto* button = splash.findChild<TProSpeedButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->geometry(), geometry);
    QVERIFY(button->Flat());
    QCOMPARE(button->font().family(), QStringLiteral("Arial"));
    QVERIFY(button->font().bold());
    QCOMPARE(button->font().pixelSize(), 16);
    QVERIFY(button->isVisible());
    QCOMPARE(button->accessibleName(), QString(caption).remove('&'));
  }

  void startShowsMainAndClosesForGood() {
    QWidget main;
    TqbidSplash splash(&main);
    QuitWhenClosed(&main);
    // The start command (the file the program was started with) finds the main window shown.
    int started = 0;
    splash.SetStartCommand([&] { started += main.isVisible() ? 1 : 100; });
    QTimer::singleShot(0, &splash, [&] {
      splash.sbGoToMain->click();
      QCOMPARE(started, 1);
      QVERIFY(main.isVisible());
      QVERIFY(!splash.isVisible());
      // The program goes on with the main window; closing it ends the program.
      QTimer::singleShot(50, &main, [&] { main.close(); });
    });
    QCOMPARE(RunLoop(), 0);
    QVERIFY(!splash.isVisible());
  }

  void exitEndsWithoutShowingMain() {
    QWidget main;
    TqbidSplash splash(&main);
    QuitWhenClosed(&main);
    FShowEvents = 0;
    main.installEventFilter(this);
    QTimer::singleShot(0, &splash, [&] { splash.sbExit->click(); });
    QCOMPARE(RunLoop(), 0);
    QCOMPARE(FShowEvents, 0);
    QVERIFY(!main.isVisible());
  }

  void altXIsExit() {
    QWidget main;
    TqbidSplash splash(&main);
    QuitWhenClosed(&main);
    splash.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&splash));
    QTimer::singleShot(0, &splash, [&] { QTest::keyClick(&splash, Qt::Key_X, Qt::AltModifier); });
    QCOMPARE(RunLoop(), 0);
  }

  // Closed by the window manager before "Start", the splash ends the program
  // instead of leaving it running without any window.
  void closingSplashBeforeStartEnds() {
    QWidget main;
    TqbidSplash splash(&main);
    QuitWhenClosed(&main);
    FShowEvents = 0;
    main.installEventFilter(this);
    QTimer::singleShot(0, &splash, [&] { splash.close(); });
    QCOMPARE(RunLoop(), 0);
    QCOMPARE(FShowEvents, 0);
  }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
