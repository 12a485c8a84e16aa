#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "Application.h"
#include "TCppWebBrowser.h"

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
  }

  void addressesOfLocalFilesBecomeFileUrls() {
    QCOMPARE(qb::AddressToUrl("/tmp/x/base.htm"), QUrl::fromLocalFile("/tmp/x/base.htm"));
    QCOMPARE(qb::AddressToUrl("https://example.com/a?b=1").scheme(), QString("https"));
  }
};

int main(int argc, char** argv) {
  qb::PrepareWebEngineEnvironment();
  QApplication app(argc, argv);
  TestBrowser test;
  return QTest::qExec(&test, argc, argv);
}
#include "test_browser.moc"
