#include <QLabel>
#include <QtTest>

#include "app/About2.h"
#include "controls/ProCtrls.h"
#include "controls/ProUrl.h"
#include "runtime/Platform.h"
#include "tests/common/ModalCloser.h"

using namespace qb;

// This test has no version resource of its own: the label shows its design text alone.
class TestAbout : public QObject {
  Q_OBJECT

 private slots:
  void window() {
    TfAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(about.pos(), QPoint(262, 113));
    QCOMPARE(about.size(), QSize(576, 177));
    QCOMPARE(about.Panel1->geometry(), QRect(0, 0, 576, 177));
    QVERIFY(!about.isVisible());
  }

  void controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QString>("text");
    QTest::newRow("product") << "ProLabel1" << QPoint(65, 25) << "Quellbid";
    QTest::newRow("version") << "lblVersion" << QPoint(72, 88) << "VERSION : ";
    QTest::newRow("close") << "ProSpeedButton2" << QPoint(376, 72) << "Close";
    QTest::newRow("support link") << "ProUrlLabel2" << QPoint(17, 143) << "Support, Questions, and Comments";
    QTest::newRow("maker link") << "ProUrlLabel1" << QPoint(410, 143) << "Velmora Software";
  }
  void controls() {
    QFETCH(QString, name);
    QFETCH(QPoint, position);
    QFETCH(QString, text);
    TfAbout about;
    QWidget* control = about.Panel1->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->pos(), position);
    if (auto* label = qobject_cast<QLabel*>(control)) QCOMPARE(label->text(), text);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) QCOMPARE(button->text(), text);
  }

  void productName() {
    TfAbout about;
    QCOMPARE(about.ProLabel1->ShadowStyle(), ssRaisedThickShadow);
    QCOMPARE(about.ProLabel1->font().pixelSize(), 32);
    QCOMPARE(about.ProSpeedButton2->size(), QSize(153, 41));
  }

  void links_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::newRow("support") << "ProUrlLabel2"
                             << "https://www.velmora-software.com/support/";
    QTest::newRow("maker") << "ProUrlLabel1"
                           << "https://www.velmora-software.com/";
  }
  void links() {
    QFETCH(QString, name);
    QFETCH(QString, url);
    TfAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto* link = about.findChild<TProUrlLabel*>(name);
    QVERIFY(link);
    QCOMPARE(link->URL(), url);
    QStringList opened;
    SetShellOpenHook([&opened](const QString& address) { opened << address; });
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, link->height() / 2));
    SetShellOpenHook({});
    QCOMPARE(opened, QStringList{url});
  }

  // "Close" ends the modal showing with OK; the window can be shown again with the same text.
  void closeAndShowAgain() {
    TfAbout about;
    for (int round = 0; round < 3; ++round) {
      qbtest::ModalCloser closer([](QDialog* dialog) {
        if (auto* about = qobject_cast<TfAbout*>(dialog)) about->ProSpeedButton2->click();
      });
      QCOMPARE(about.exec(), 1);
      QVERIFY(!about.isVisible());
      QCOMPARE(about.lblVersion->text(), QStringLiteral("VERSION : "));
      QCOMPARE(closer.seen().size(), 1);
      QCOMPARE(closer.lastTitle(), QStringLiteral("About"));
    }
  }

  void closeBoxHides() {
    TfAbout about;
    qbtest::ModalCloser closer([](QDialog* dialog) { dialog->close(); });
    QCOMPARE(about.exec(), 0);
    QVERIFY(!about.isVisible());
  }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
