// URL label mouse handling, URL image, cursors, OpenURL and Delay.

#include <QAccessible>
#include <QBitmap>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include "controls/ProCursors.h"
#include "controls/ProUrl.h"
#include "controls/Provcl.h"
#include "runtime/Platform.h"
#include "tests/common/GuardTimer.h"

using namespace qb;

namespace {
const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kNavy(0, 0, 128), kWhite(255, 255, 255);
}

class TestUrlLabel : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    opened.clear();
    SetShellOpenHook([this](const QString& address) { opened.append(address); });
  }
  void cleanup() { SetShellOpenHook({}); }

  void defaults() {
    TProUrlLabel label;
    QCOMPARE(label.FontColor(), kBlue);
    QVERIFY(label.font().underline());
    QCOMPARE(label.UnvisitedColor(), kBlue);
    QCOMPARE(label.ActivatedColor(), kRed);
    QCOMPARE(label.VisitedColor(), kNavy);
    QCOMPARE(label.HoveredColor(), kWhite);
    QVERIFY(!label.CanHover());
    QCOMPARE(label.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(label.cursor().hotSpot(), QPoint(6, 0));
  }

  void release_data() {
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("opens");
    QTest::newRow("inside") << QPoint(5, 5) << true;
    QTest::newRow("right edge") << QPoint(60, 5) << true;
    QTest::newRow("bottom edge") << QPoint(5, 20) << true;
    QTest::newRow("corner") << QPoint(60, 20) << true;
    QTest::newRow("past right") << QPoint(61, 5) << false;
    QTest::newRow("past bottom") << QPoint(5, 21) << false;
    QTest::newRow("left") << QPoint(-1, 5) << false;
    QTest::newRow("above") << QPoint(5, -1) << false;
  }
  void release() {
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, opens);
    TProUrlLabel label;
    label.SetCaption(QStringLiteral("www.example.com"));
    label.SetURL(QStringLiteral("http://www.example.com/"));
    label.SetAutoSize(false);
    label.setGeometry(0, 0, 60, 20);
    label.show();
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(label.FontColor(), kRed);
    QTest::mouseMove(&label, releaseAt);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, releaseAt);
    QCOMPARE(opened.size(), opens ? 1 : 0);
    if (opens) QCOMPARE(opened.first(), QString("http://www.example.com/"));
    QCOMPARE(label.FontColor(), opens ? kNavy : kBlue);
    QCOMPARE(label.Visited(), opens);
    QVERIFY(!label.Pressed());
  }

  void secondClickAndEmptyUrl() {
    TProUrlLabel label;
    label.SetCaption(QStringLiteral("http://caption.example/"));
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(opened, QStringList{"http://caption.example/"});
    QCOMPARE(label.FontColor(), kNavy);
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(opened.size(), 2);
    QCOMPARE(label.FontColor(), kNavy);
    // Pressed again and released outside: back to the visited colour.
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(label.FontColor(), kNavy);
    QCOMPARE(opened.size(), 2);
  }

  void rightClicksIgnored() {
    TProUrlLabel label;
    label.SetCaption(QStringLiteral("x"));
    label.show();
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mousePress(&label, Qt::RightButton, {}, QPoint(2, 2));
    QCOMPARE(label.FontColor(), kBlue);
    QTest::mouseRelease(&label, Qt::RightButton, {}, QPoint(2, 2));
    QVERIFY(opened.isEmpty());
    QVERIFY(!label.Visited());
    QCOMPARE(label.FontColor(), kBlue);
  }

  void hoverMode() {
    TProUrlLabel label;
    label.SetCaption(QStringLiteral("hover"));
    label.show();
    QSignalSpy entered(&label, &TProLabel::MouseEnter);
    label.SetCanHover(true);
    QVERIFY(!label.font().underline());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&label, &enter);
    QCOMPARE(entered.count(), 1);
    QVERIFY(label.font().underline());
    QCOMPARE(label.FontColor(), kWhite);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    QVERIFY(!label.font().underline());
    QCOMPARE(label.FontColor(), kBlue);
    label.SetCanHover(false);
    QVERIFY(label.font().underline());
  }

  void fontColourAndSetters() {
    TProUrlLabel label;
    label.SetFontColor(QColor(0, 128, 0));  // as a stored form would
    QCOMPARE(label.UnvisitedColor(), QColor(0, 128, 0));
    label.SetVisitedColor(Qt::magenta);
    QCOMPARE(label.FontColor(), QColor(0, 128, 0));
    label.SetUnvisitedColor(Qt::darkYellow);
    QCOMPARE(label.FontColor(), QColor(Qt::darkYellow));
    label.SetHoveredColor(Qt::cyan);
    QCOMPARE(label.FontColor(), QColor(Qt::darkYellow));
  }

  void accessibleLink() {
    TProUrlLabel label;
    label.SetCaption(QStringLiteral("Visit our site"));
    label.SetURL(QStringLiteral("http://www.example.com/"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Link);
    QCOMPARE(iface->text(QAccessible::Name), QString("Visit our site"));
    QCOMPARE(iface->text(QAccessible::Value), QString("http://www.example.com/"));
    QVERIFY(!iface->state().traversed);
    QAccessibleActionInterface* action = iface->actionInterface();
    QVERIFY(action);
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(opened, QStringList{"http://www.example.com/"});
    QVERIFY(iface->state().traversed);
  }

  void urlImage() {
    TProUrlImage image;
    image.resize(40, 40);
    image.SetURL(QStringLiteral("http://img.example/"));
    image.show();
    QSignalSpy clicks(&image, &TProUrlImage::clicked);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(opened, QStringList{"http://img.example/"});
    QCOMPARE(image.cursor().hotSpot(), QPoint(6, 0));
  }

  void openUrl() {
    OpenURL(QString());
    QVERIFY(opened.isEmpty());
    OpenURL(QStringLiteral("mailto:someone@example.com"));
    QCOMPARE(opened, QStringList{"mailto:someone@example.com"});
  }

  void cursors_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::newRow("hand point") << 15000 << QPoint(6, 0);
    QTest::newRow("small hand point") << 15001 << QPoint(13, 9);
    QTest::newRow("grab hand") << 15002 << QPoint(4, 2);
    QTest::newRow("grab hand arrow") << 15003 << QPoint(0, 0);
    QTest::newRow("drag hand") << 15004 << QPoint(0, 0);
  }
  void cursors() {
    QFETCH(int, id);
    QFETCH(QPoint, hotSpot);
    const QCursor cursor = ProCursor(id);
    QVERIFY(ProCursorRegistered(id));
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), hotSpot);
    const TCursorPicture picture = ProCursorPicture(id);
    QCOMPARE(picture.image.size(), QSize(32, 32));
    int black = 0, white = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const QRgb p = picture.image.pixel(x, y);
        if (qAlpha(p) == 0) continue;
        QCOMPARE(qAlpha(p), 255);
        QVERIFY(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255));
        (p == qRgb(0, 0, 0) ? black : white)++;
      }
    QVERIFY(black > 20);
    QVERIFY(white > 20);
    // The pointing cursors point with their outline at the hot spot.
    if (id == 15000 || id == 15001 || id == 15003) QCOMPARE(picture.image.pixel(hotSpot), qRgb(0, 0, 0));
  }

  void unknownCursorIsArrow() {
    QCOMPARE(ProCursor(14999).shape(), Qt::ArrowCursor);
    QVERIFY(!ProCursorRegistered(15005));
  }

  void delayProcessesEvents() {
    bool fired = false;
    qbtest::GuardTimer timer(10, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    Delay(60);
    QVERIFY(clock.elapsed() >= 59);
    QVERIFY(fired);
    clock.restart();
    Delay(0);
    QVERIFY(clock.elapsed() < 50);
  }

 private:
  QStringList opened;
};

QTEST_MAIN(TestUrlLabel)
#include "test_url_label.moc"
