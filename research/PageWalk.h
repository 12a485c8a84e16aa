#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "harvest/HarvestTarget.h"

namespace qb {

// Add All Pages: harvest the shown page, follow its next-page link, harvest
// that one, and so on, at a person's pace. The walk is pure logic; a host
// reads the pages, loads them and keeps time.

inline constexpr int kWalkPauseMs = 3000;         // from the end of a harvest to the next load
inline constexpr int kWalkLoadTimeoutMs = 30000;  // a page that takes longer stops the walk
inline constexpr int kWalkPageLimit = 50;
inline constexpr std::string_view kNotResultPageText =
    "The site asks you to sign in or to confirm you are a person. Do that in the browser, then press "
    "Shift+F7 again.";

// What reading one page gave.
struct PageHarvest {
  enum class Kind {
    kRows,           // a result page (a card page with sold cards, or a described layout)
    kNoCardResults,  // a card page with no sold listing, or only fewer-words matches
    kNoResults,      // not a result page at all
  };
  Kind kind = Kind::kRows;
  std::string message;              // kNoCardResults: F7's message
  CardCounts counts;                // what the add rule did with the page's listings
  std::string report;               // the page's report line; empty for the described layouts
  std::string address;              // where the browser is, as the host compares addresses
  std::optional<std::string> next;  // the next page's address, resolved
};

enum class WalkStop {
  kLastPage,
  kNoCardResults,
  kNotResultPage,
  kLoop,
  kLimit,
  kLoadTimeout,
  kLoadFailed,
  kReadFailed,
  kCancelled,
};

enum class WalkStep { kReading, kPausing, kLoading };

struct WalkProgress {
  WalkStep step = WalkStep::kReading;
  int page = 1;        // the page being read or loaded; during the pause, the one read last
  CardCounts total;    // every page read so far
  std::string report;  // the report line of the page read last
};

struct WalkEnd {
  WalkStop stop = WalkStop::kLastPage;
  int page = 1;         // the page the walk stopped at
  int resultPages = 0;  // pages that were result pages
  CardCounts total;
  std::string message;  // the page's message, or the error, where the stop has one
};

// "Page 3", the rows added so far, and the last page's report line.
std::string WalkProgressText(const WalkProgress& progress);
// "4 pages, 912 sold listings: 880 added, ..." and why the walk stopped.
std::string WalkEndText(const WalkEnd& end);

class PageWalkHost {
 public:
  virtual ~PageWalkHost() = default;
  // Reads and harvests the page shown now, as F7 does: its messages in
  // boxes unless quiet. Throws qb::Exception when the page cannot be read.
  virtual PageHarvest HarvestShownPage(bool quiet) = 0;
  // Starts loading address; the host answers with PageWalk::PageLoaded.
  virtual void LoadPage(const std::string& address) = 0;
  virtual void StopLoading() = 0;
  // One timer: a start replaces the one running; the host answers with
  // PageWalk::TimerFired.
  virtual void StartTimer(int ms) = 0;
  virtual void StopTimer() = 0;
  virtual void ShowProgress(const WalkProgress& progress) = 0;
  // The walk's last call into its host.
  virtual void Finished(const WalkEnd& end) = 0;
};

class PageWalk {
 public:
  explicit PageWalk(PageWalkHost& host) : FHost(host) {}

  // Harvests the shown page, whose address is shownAddress, and goes on.
  void Start(const std::string& shownAddress);
  void PageLoaded(bool ok);
  void TimerFired();
  // Stops at once; a page being read is kept.
  void Cancel();
  bool Running() const { return FRunning; }

 private:
  void Read();
  void Harvested(const PageHarvest& page);
  void End(WalkStop stop, std::string message = {});

  PageWalkHost& FHost;
  bool FRunning = false;
  bool FCancelAsked = false;
  WalkProgress FProgress;
  int FResultPages = 0;
  std::string FNext;
  std::unordered_set<std::string> FVisited;
};

}  // namespace qb
