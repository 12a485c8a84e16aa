#include "research/PageWalk.h"

#include "harvest/HarvestCards.h"
#include "runtime/Exception.h"

namespace qb {

namespace {

void AddCounts(CardCounts& total, const CardCounts& page) {
  total.sold += page.sold;
  total.added += page.added;
  total.inGrid += page.inGrid;
  for (size_t i = 0; i < kCardLeftOutCount; ++i) total.leftOut[i] += page.leftOut[i];
}

std::string PageName(int page) { return "page " + std::to_string(page); }

}  // namespace

std::string WalkProgressText(const WalkProgress& progress) {
  const int shown = progress.step == WalkStep::kPausing ? progress.page + 1 : progress.page;
  std::string text = "Page " + std::to_string(shown) + "\n" + std::to_string(progress.total.added) +
                     (progress.total.added == 1 ? " row added so far" : " rows added so far");
  if (!progress.report.empty()) {
    const int last = progress.step == WalkStep::kReading ? progress.page - 1 : progress.page;
    text += "\nPage " + std::to_string(last) + ": " + progress.report;
  }
  return text;
}

std::string WalkEndText(const WalkEnd& end) {
  std::string text = std::to_string(end.resultPages) + (end.resultPages == 1 ? " page, " : " pages, ") +
                     CardReport(end.total) + ". ";
  const std::string at = PageName(end.page);
  switch (end.stop) {
    case WalkStop::kLastPage: return text + "That was the last page.";
    case WalkStop::kNoCardResults:
    case WalkStop::kNotResultPage: return text + "Page " + std::to_string(end.page) + ": " + end.message;
    case WalkStop::kLoop: return text + "Stopped at " + at + ": its next page was read already.";
    case WalkStop::kLimit:
      return text + "Stopped after " + std::to_string(kWalkPageLimit) +
             " pages, the most one walk reads; press Shift+F7 to go on from here.";
    case WalkStop::kLoadTimeout:
      return text + "Stopped: " + at + " did not load within " + std::to_string(kWalkLoadTimeoutMs / 1000) +
             " seconds.";
    case WalkStop::kLoadFailed: return text + "Stopped: " + at + " did not load.";
    case WalkStop::kReadFailed: return text + "Stopped at " + at + ": " + end.message;
    case WalkStop::kCancelled: return text + "Cancelled at " + at + ".";
  }
  return text;
}

void PageWalk::Start(const std::string& shownAddress) {
  FRunning = true;
  FCancelAsked = false;
  FProgress = {};
  FResultPages = 0;
  FVisited = {shownAddress};
  Read();
}

void PageWalk::Read() {
  FProgress.step = WalkStep::kReading;
  FHost.ShowProgress(FProgress);
  PageHarvest page;
  try {
    page = FHost.HarvestShownPage(FProgress.page > 1);
  } catch (const Exception& e) {
    End(WalkStop::kReadFailed, e.what());
    return;
  }
  Harvested(page);
}

void PageWalk::Harvested(const PageHarvest& page) {
  FVisited.insert(page.address);
  AddCounts(FProgress.total, page.counts);
  FProgress.report = page.report;
  if (page.kind != PageHarvest::Kind::kNoResults) ++FResultPages;
  if (FCancelAsked) return End(WalkStop::kCancelled);
  if (page.kind == PageHarvest::Kind::kNoCardResults) return End(WalkStop::kNoCardResults, page.message);
  if (page.kind == PageHarvest::Kind::kNoResults)
    return End(WalkStop::kNotResultPage, std::string(kNotResultPageText));
  if (!page.next) return End(WalkStop::kLastPage);
  if (FVisited.count(*page.next)) return End(WalkStop::kLoop);
  if (FProgress.page >= kWalkPageLimit) return End(WalkStop::kLimit);
  FNext = *page.next;
  FProgress.step = WalkStep::kPausing;
  FHost.ShowProgress(FProgress);
  FHost.StartTimer(kWalkPauseMs);
}

void PageWalk::TimerFired() {
  if (!FRunning) return;
  if (FProgress.step == WalkStep::kLoading) {
    FHost.StopLoading();
    return End(WalkStop::kLoadTimeout);
  }
  if (FProgress.step != WalkStep::kPausing) return;
  ++FProgress.page;
  FProgress.step = WalkStep::kLoading;
  FVisited.insert(FNext);
  FHost.ShowProgress(FProgress);
  FHost.StartTimer(kWalkLoadTimeoutMs);
  FHost.LoadPage(FNext);
}

void PageWalk::PageLoaded(bool ok) {
  if (!FRunning || FProgress.step != WalkStep::kLoading) return;
  FHost.StopTimer();
  if (!ok) return End(WalkStop::kLoadFailed);
  Read();
}

void PageWalk::Cancel() {
  if (!FRunning) return;
  if (FProgress.step == WalkStep::kReading) {
    FCancelAsked = true;  // the page being read is kept, then the walk ends
    return;
  }
  FHost.StopTimer();
  if (FProgress.step == WalkStep::kLoading) FHost.StopLoading();
  End(WalkStop::kCancelled);
}

void PageWalk::End(WalkStop stop, std::string message) {
  FRunning = false;
  FHost.StopTimer();
  WalkEnd end;
  end.stop = stop;
  end.page = FProgress.page;
  end.resultPages = FResultPages;
  end.total = FProgress.total;
  end.message = std::move(message);
  FHost.Finished(end);
}

}  // namespace qb
