#include <QtTest>
#include <deque>
#include <string>
#include <vector>

#include "harvest/NextPage.h"
#include "research/PageWalk.h"
#include "runtime/Exception.h"

// The walk against a page source the test scripts; the test fires the timer.
class FakeHost : public qb::PageWalkHost {
 public:
  std::deque<qb::PageHarvest> pages;  // what each read gives, in order
  std::vector<std::string> log;       // "read quiet", "load A", "timer 3000", "stop timer", "stop load"
  qb::WalkEnd end;
  bool ended = false;
  std::function<void()> duringRead;

  qb::PageHarvest HarvestShownPage(bool quiet) override {
    log.push_back(quiet ? "read quiet" : "read");
    if (duringRead) duringRead();
    if (pages.empty()) throw qb::Exception("unreadable");
    qb::PageHarvest page = pages.front();
    pages.pop_front();
    return page;
  }
  void LoadPage(const std::string& address) override { log.push_back("load " + address); }
  void StopLoading() override { log.push_back("stop load"); }
  void StartTimer(int ms) override { log.push_back("timer " + std::to_string(ms)); }
  void StopTimer() override {}
  void ShowProgress(const qb::WalkProgress&) override {}
  void Finished(const qb::WalkEnd& e) override {
    end = e;
    ended = true;
  }
};

static qb::PageHarvest Page(const std::string& address, const char* next, size_t added = 10) {
  qb::PageHarvest page;
  page.address = address;
  if (next) page.next = next;
  page.counts.sold = page.counts.added = added;
  page.report = std::to_string(added) + " sold listings: " + std::to_string(added) + " added";
  return page;
}

class TestPageWalk : public QObject {
  Q_OBJECT
 private slots:
  void nextPageLink_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("href");  // "-" for none
    QTest::newRow("plain") << R"(<a class="pagination__next icon-link" href="p2.htm?a=1&amp;b=2">)"
                           << "p2.htm?a=1&b=2";
    QTest::newRow("disabled last page") << R"(<a class="pagination__next" aria-disabled="true">)"
                                        << "-";
    QTest::newRow("disabled with href") << R"(<a class=pagination__next href=p2 aria-disabled=TRUE>)"
                                        << "-";
    QTest::newRow("first usable one")
        << R"(<a class="pagination__next">x</a><a href=" p3 " class="pagination__next">)"
        << "p3";
    QTest::newRow("not an a") << R"(<button class="pagination__next" href="p2">)"
                              << "-";
    QTest::newRow("token part only") << R"(<a class="pagination__nextx" href="p2">)"
                                     << "-";
    QTest::newRow("in a script") << R"(<script>'<a class="pagination__next" href="p2">'</script>)"
                                 << "-";
  }
  void nextPageLink() {
    QFETCH(QString, page);
    QFETCH(QString, href);
    const auto found = qb::NextPageHref(page.toStdString());
    QCOMPARE(found ? QString::fromStdString(*found) : QStringLiteral("-"), href);
  }

  // Three pages: the pause before each load, the loads, the totals.
  void walksToTheLastPage() {
    FakeHost host;
    host.pages = {Page("A", "B"), Page("B", "C", 5), Page("C", nullptr, 1)};
    qb::PageWalk walk(host);
    walk.Start("A");
    QCOMPARE(host.log, (std::vector<std::string>{"read", "timer 3000"}));
    walk.PageLoaded(true);  // a load nobody asked for
    QCOMPARE(host.log.size(), size_t(2));
    for (int i = 0; i < 2; ++i) {
      walk.TimerFired();
      walk.PageLoaded(true);
    }
    QVERIFY(host.ended && !walk.Running());
    QCOMPARE(host.log, (std::vector<std::string>{"read", "timer 3000", "timer 30000", "load B", "read quiet",
                                                 "timer 3000", "timer 30000", "load C", "read quiet"}));
    QCOMPARE(int(host.end.stop), int(qb::WalkStop::kLastPage));
    QCOMPARE(qb::WalkEndText(host.end),
             std::string("3 pages, 16 sold listings: 16 added. That was the last page."));
  }

  void stops_data() {
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("page");
    QTest::newRow("loop") << int(qb::WalkStop::kLoop) << 2;
    QTest::newRow("sign-in page") << int(qb::WalkStop::kNotResultPage) << 2;
    QTest::newRow("no sold listings") << int(qb::WalkStop::kNoCardResults) << 2;
    QTest::newRow("load timeout") << int(qb::WalkStop::kLoadTimeout) << 2;
    QTest::newRow("load failed") << int(qb::WalkStop::kLoadFailed) << 2;
    QTest::newRow("unreadable") << int(qb::WalkStop::kReadFailed) << 2;
    QTest::newRow("cancel in pause") << int(qb::WalkStop::kCancelled) << 1;
    QTest::newRow("cancel in load") << int(qb::WalkStop::kCancelled) << 2;
    QTest::newRow("cancel in read") << int(qb::WalkStop::kCancelled) << 2;
    QTest::newRow("limit") << int(qb::WalkStop::kLimit) << qb::kWalkPageLimit;
  }
  void stops() {
    QFETCH(int, stop);
    QFETCH(int, page);
    const QByteArray tag = QTest::currentDataTag();
    FakeHost host;
    qb::PageWalk walk(host);
    host.pages = {Page("A", "B")};
    if (tag == "loop") host.pages.push_back(Page("B", "A"));
    qb::PageHarvest other;
    other.kind =
        tag == "sign-in page" ? qb::PageHarvest::Kind::kNoResults : qb::PageHarvest::Kind::kNoCardResults;
    if (tag == "sign-in page" || tag == "no sold listings") host.pages.push_back(other);
    if (tag == "cancel in read") {
      host.pages.push_back(Page("B", "C"));
      host.duringRead = [&] {
        if (host.log.size() > 2) walk.Cancel();
      };
    }
    if (tag == "limit")
      for (int i = 2; i <= qb::kWalkPageLimit; ++i)
        host.pages.push_back(Page("P" + std::to_string(i), ("P" + std::to_string(i + 1)).c_str()));
    walk.Start("A");
    if (tag == "cancel in pause") walk.Cancel();
    while (!host.ended) {
      walk.TimerFired();  // the pause ends, the load begins
      if (tag == "load timeout")
        walk.TimerFired();
      else if (tag == "cancel in load")
        walk.Cancel();
      else
        walk.PageLoaded(tag != "load failed");
    }
    QCOMPARE(int(host.end.stop), stop);
    QCOMPARE(host.end.page, page);
    if (tag.startsWith("cancel in") && tag != "cancel in read") QVERIFY(host.log.back() != "read quiet");
    if (tag == "cancel in read") QCOMPARE(host.end.total.added, size_t(20));  // the page read is kept
    if (tag == "sign-in page")
      QVERIFY(qb::WalkEndText(host.end).find(qb::kNotResultPageText) != std::string::npos);
  }
};

QTEST_APPLESS_MAIN(TestPageWalk)
#include "test_core_page_walk.moc"
