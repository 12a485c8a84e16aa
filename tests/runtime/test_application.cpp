#include <QPushButton>
#include <QtTest>

#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "tests/common/ModalCloser.h"

class TestApplication : public QObject {
  Q_OBJECT
 private slots:
  // An exception thrown by a click handler reaches the default display and the
  // program goes on handling events.
  void exceptionInSlotReachesDisplay() {
    QPushButton button("Throw");
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, [&] {
      ++clicks;
      throw qb::Exception("'1.2.3' is not a valid floating point value");
    });
    button.show();
    qbtest::ModalCloser closer;
    QTest::mouseClick(&button, Qt::LeftButton);
    QTRY_COMPARE(closer.seen().size(), 1);
    QCOMPARE(closer.lastTitle(), QString("Quellbid Free"));
    QCOMPARE(closer.lastText(), QString("'1.2.3' is not a valid floating point value."));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTRY_COMPARE(closer.seen().size(), 2);
    QCOMPARE(clicks, 2);
  }

  void guardReportsFailure() {
    qbtest::ModalCloser closer;
    QVERIFY(qb::Guard([] {}));
    QVERIFY(!qb::Guard([] { throw qb::Exception("Cannot create file"); }));
    QCOMPARE(closer.lastText(), QString("Cannot create file."));
  }
};

int main(int argc, char** argv) {
  qb::QbApplication app(argc, argv);
  TestApplication test;
  return QTest::qExec(&test, argc, argv);
}
#include "test_application.moc"
