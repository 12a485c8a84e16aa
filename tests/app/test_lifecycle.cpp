#include <QMainWindow>
#include <QtTest>
#include <stdexcept>

#include "app/Lifecycle.h"
#include "runtime/Exception.h"
#include "tests/common/GuardTimer.h"
#include "tests/common/ModalCloser.h"

using namespace qb;

class TestLifecycle : public QObject {
  Q_OBJECT

 private slots:
  // An exception escaping start-up reaches the default display; the program then returns 0.
  void failedStartUp_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("program exception") << 0 << "The start page is missing.";
    QTest::newRow("message ending in a period") << 1 << "Out of memory.";
    QTest::newRow("standard exception") << 2 << "bad allocation.";
    QTest::newRow("anything else") << 3 << "Unknown error.";
  }
  void failedStartUp() {
    QFETCH(int, kind);
    QFETCH(QString, text);
    qbtest::ModalCloser closer;
    const int code = RunProgram([kind] {
      if (kind == 0) throw Exception("The start page is missing");
      if (kind == 1) throw Exception("Out of memory.");
      if (kind == 2) throw std::runtime_error("bad allocation");
      throw 42;
    });
    QCOMPARE(code, 0);
    QCOMPARE(closer.seen().size(), 1);
    QCOMPARE(closer.lastTitle(), QStringLiteral("Quellbid Free"));
    QCOMPARE(closer.lastText(), text);
  }

  void closingTheMainWindowEnds() {
    QMainWindow main;
    QWidget other;
    int code = -1;
    qbtest::GuardTimer guard(5000, [] { QCoreApplication::exit(-1); });
    code = RunProgram([&] {
      QuitWhenClosed(&main);
      main.show();
      other.show();  // another visible window does not keep the program alive
      QTimer::singleShot(50, &main, [&] { main.close(); });
    });
    QCOMPARE(code, 0);
    QVERIFY(other.isVisible());
  }

  // A main window that refuses to close keeps the program running.
  void refusedCloseKeepsRunning() {
    class Stubborn : public QWidget {
     protected:
      void closeEvent(QCloseEvent* event) override { event->ignore(); }
    } main;
    qbtest::GuardTimer end(300, [] { QCoreApplication::exit(7); });
    const int code = RunProgram([&] {
      QuitWhenClosed(&main);
      main.show();
      QTimer::singleShot(20, &main, [&] { main.close(); });
    });
    QCOMPARE(code, 7);
    QVERIFY(main.isVisible());
  }
};

QTEST_MAIN(TestLifecycle)
#include "test_lifecycle.moc"
