#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>
#include <cstdio>

#include "browser/TCppWebBrowser.h"
#include "runtime/Application.h"
#include "runtime/Platform.h"

using qb::TCppWebBrowser;

namespace {

// Keeps the page's renderer busy for ms: every request behind it waits.
const char* BusyScript(int ms) {
  static QByteArray script;
  script = "var t = Date.now(); while (Date.now() - t < " + QByteArray::number(ms) + ") {}";
  return script.constData();
}

QString WritePage(const QTemporaryDir& dir, const char* name, const QByteArray& html) {
  QFile file(dir.filePath(name));
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(html);
  return file.fileName();
}

}  // namespace

class TestBrowser : public QObject {
  Q_OBJECT
 private slots:
  void noDocumentBeforeFirstLoad() {
    TCppWebBrowser browser;
    QVERIFY(!browser.Document());
    std::string buffer = "stale";
    QVERIFY(!browser.SaveDocument(buffer, 200));
    QVERIFY(buffer.empty());
  }

  void savesLocalPageWithScript() {
    QTemporaryDir dir;
    const QString path = dir.filePath("page.htm");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "<html><head><script>var findSortArray = [1,2];</script></head><body>"
        "<table><tr><td><input type=\"checkbox\" name=\"a\"></td>"
        "<td><a href=\"view?item=1&rd=1\">Lamp</a></td><td><b>$5.00</b></td></tr></table></body></html>");
    file.close();

    TCppWebBrowser browser;
    browser.resize(400, 300);
    browser.show();
    QSignalSpy complete(&browser, &TCppWebBrowser::DownloadComplete);
    browser.Navigate(path);  // a plain local path
    std::string html;
    QVERIFY(browser.SaveDocument(html));  // waits for the first document itself
    QVERIFY(browser.Document());
    QVERIFY(complete.count() >= 1);
    QVERIFY2(html.find("var findSortArray = [") != std::string::npos, html.c_str());
    QVERIFY(html.find("input type=\"checkbox\"") != std::string::npos);
    QVERIFY(html.find("rd=1\">Lamp") != std::string::npos);
    QVERIFY(html.find("<b>$5.00</b>") != std::string::npos);

    // The markup read ahead at load time never hides a later change of the page.
    browser.View()->page()->runJavaScript(
        "document.body.appendChild(document.createElement('hr')).id = 'late';");
    std::string changed;
    QVERIFY(browser.SaveDocument(changed));
    QVERIFY(changed.find("<hr id=\"late\">") != std::string::npos);
    browser.View()->page()->runJavaScript("document.getElementById('late').setAttribute('class', 'x');");
    QVERIFY(browser.SaveDocument(changed));
    QVERIFY(changed.find("<hr id=\"late\" class=\"x\">") != std::string::npos);
    std::string again;
    QVERIFY(browser.SaveDocument(again));
    QCOMPARE(again, changed);
  }

  // A renderer that does not answer ends the wait at the deadline, never
  // later; its late answer is dropped and the next read gets the page as it
  // is then.
  void unansweredReadEndsAtTheDeadline_data() {
    QTest::addColumn<bool>("beforeFirstDocument");
    QTest::newRow("busy before the page has loaded") << true;
    QTest::newRow("busy after the page has loaded") << false;
  }
  void unansweredReadEndsAtTheDeadline() {
    QFETCH(bool, beforeFirstDocument);
    QTemporaryDir dir;
    TCppWebBrowser browser;
    browser.resize(400, 300);
    browser.show();
    const QByteArray busy =
        beforeFirstDocument ? QByteArray("<script>") + BusyScript(3000) + "</script>" : "";
    browser.Navigate(WritePage(dir, "page.htm", "<html><body><p id=a>first</p>" + busy + "</body></html>"));
    if (beforeFirstDocument) {
      QTest::qWait(300);  // the page's script has begun
    } else {
      QTRY_VERIFY_WITH_TIMEOUT(browser.Document(), 20000);
      browser.View()->page()->runJavaScript(BusyScript(3000));
    }
    QElapsedTimer clock;
    clock.start();
    std::string html = "stale";
    QVERIFY(!browser.SaveDocument(html, 500));
    QVERIFY2(clock.elapsed() >= 490 && clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(html.empty());
    QVERIFY(!browser.Saving());

    browser.View()->page()->runJavaScript("document.getElementById('a').textContent = 'second';");
    QVERIFY(browser.SaveDocument(html));
    QVERIFY2(html.find("<p id=\"a\">second</p>") != std::string::npos, html.c_str());
  }

  // A read asked for while another one waits never waits inside it: it fails
  // at once, and the first ends as it would have alone.
  void secondReadDuringAWaitFailsAtOnce() {
    QTemporaryDir dir;
    TCppWebBrowser browser;
    browser.Navigate(WritePage(dir, "page.htm", "<html><body>page</body></html>"));
    QTRY_VERIFY_WITH_TIMEOUT(browser.Document(), 20000);
    browser.View()->page()->runJavaScript(BusyScript(1500));
    bool inner = true, savingInside = false;
    qint64 innerTook = -1;
    QTimer::singleShot(100, &browser, [&] {
      savingInside = browser.Saving();
      QElapsedTimer clock;
      clock.start();
      std::string html;
      inner = browser.SaveDocument(html, 20000);
      innerTook = clock.elapsed();
    });
    std::string html;
    QVERIFY(browser.SaveDocument(html, 20000));
    QVERIFY(html.find("page") != std::string::npos);
    QVERIFY(savingInside);
    QVERIFY(!inner);
    QVERIFY2(innerTook >= 0 && innerTook < 100, qPrintable(QString::number(innerTook)));
    QVERIFY(!browser.Saving());
  }

  // The promotional browser: scripts do not run, a clicked link goes to the
  // system browser and the page stays, a local file is not shown.
  void promotionalBrowserKeepsToItself() {
    QStringList opened;
    qb::SetShellOpenHook([&](const QString& address) { opened << address; });
    TCppWebBrowser ads(nullptr, qb::BrowserRole::Promotional);
    ads.resize(300, 200);
    ads.show();
    QSignalSpy complete(&ads, &TCppWebBrowser::DownloadComplete);
    ads.View()->setHtml(
        "<html><head><title>ads</title></head><body style='margin:0'>"
        "<script>document.title = 'script ran';</script>"
        "<a href='https://example.com/offer' "
        "style='display:block;width:300px;height:200px'>offer</a></body></html>",
        QUrl("https://example.com/"));
    QVERIFY(complete.wait(20000));
    QCOMPARE(ads.View()->title(), QString("ads"));
    // Clicks until the first frame is there to take them.
    QTRY_VERIFY_WITH_TIMEOUT(
        (QTest::mouseClick(ads.View()->focusProxy(), Qt::LeftButton, {}, QPoint(150, 100)),
         !opened.isEmpty()),
        10000);
    QCOMPARE(opened.first(), QString("https://example.com/offer"));
    QCOMPARE(ads.View()->title(), QString("ads"));

    QTemporaryDir dir;
    QFile file(dir.filePath("local.htm"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><head><title>local</title></head></html>");
    file.close();
    ads.Navigate(file.fileName());
    QTest::qWait(1000);
    QVERIFY(ads.View()->title() != QString("local"));
    qb::SetShellOpenHook({});
  }

  // Every process takes its own folder: the first free one of base, base-2, ...
  // A folder comes free again when the process holding it ends.
  void profileFoldersPerProcess() {
    QTemporaryDir dir;
    const QString base = dir.filePath("cache");
    QCOMPARE(qb::ClaimProfileFolder(base), base);
    auto claimInChild = [&] {
      QProcess child;
      child.start(QCoreApplication::applicationFilePath(), {"--claim", base});
      child.waitForFinished(20000);
      return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    };
    QCOMPARE(claimInChild(), base + "-2");
    QCOMPARE(claimInChild(), base + "-2");
    QCOMPARE(qb::ClaimProfileFolder(base), base + "-2");  // this process holds base already
  }

  // The main browsers of two processes share the stored web data.
  void twoProcessesShareTheMainProfile() {
    TCppWebBrowser browser;
    QSignalSpy complete(&browser, &TCppWebBrowser::DownloadComplete);
    browser.View()->setHtml("<html><body>first</body></html>");
    QVERIFY(complete.wait(20000));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--main-profile"});
    QVERIFY(child.waitForFinished(60000));
    const QStringList lines =
        QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QWebEngineProfile* profile = browser.View()->page()->profile();
    QCOMPARE(lines,
             QStringList({profile->persistentStoragePath(), profile->cachePath() + "-2", "saved second"}));
  }

  void addressesOfLocalFilesBecomeFileUrls() {
    QCOMPARE(qb::AddressToUrl("/tmp/x/base.htm"), QUrl::fromLocalFile("/tmp/x/base.htm"));
    QCOMPARE(qb::AddressToUrl("https://example.com/a?b=1").scheme(), QString("https"));
  }
};

// The second process of the profile tests.
int ChildProcess(const QStringList& args) {
  if (args.value(1) == "--claim") {
    std::printf("%s\n", qPrintable(qb::ClaimProfileFolder(args.value(2))));
    return 0;
  }
  TCppWebBrowser browser;
  QSignalSpy complete(&browser, &TCppWebBrowser::DownloadComplete);
  browser.View()->setHtml("<html><body>second</body></html>");
  complete.wait(20000);
  std::string html;
  browser.SaveDocument(html, 20000);
  const QWebEngineProfile* profile = browser.View()->page()->profile();
  std::printf("%s\n%s\nsaved %s\n", qPrintable(profile->persistentStoragePath()),
              qPrintable(profile->cachePath()),
              html.find("second") != std::string::npos ? "second" : "nothing");
  return 0;
}

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  qb::PrepareWebEngineEnvironment();
  QApplication app(argc, argv);
  if (argc > 1 && argv[1][0] == '-' && argv[1][1] == '-') return ChildProcess(app.arguments());
  TestBrowser test;
  return QTest::qExec(&test, argc, argv);
}
#include "test_browser.moc"
