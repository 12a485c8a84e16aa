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
