#pragma once

#include <cstddef>
#include <string_view>

namespace qb {

// Why a sold card gives no row, in the order the card is tested.
enum class CardLeftOut { kNone, kPrice, kTitle, kItemNumber };
inline constexpr size_t kCardLeftOutCount = 4;

// What a card harvest did, for example
// "28 sold listings: 25 added, 1 already in the grid, 2 left out (price not a single U.S. dollar amount)".
struct CardCounts {
  size_t sold = 0;
  size_t added = 0;
  size_t inGrid = 0;
  size_t leftOut[kCardLeftOutCount] = {};  // by CardLeftOut
};

// What a sold card tells beside its price; the described layouts give none.
struct SaleDetails {
  std::string_view sold;       // ISO 8601 date, "2026-07-20"
  std::string_view delivery;   // "7.00", "0.00" for free delivery
  std::string_view condition;  // "Pre-Owned"
};

// Receives what a harvest finds: the research window and the command-line
// harvester implement it.
class HarvestTarget {
 public:
  virtual ~HarvestTarget() = default;
  // The grid's add rule; the harvest ignores the result.
  virtual bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                          std::string_view amount, const SaleDetails& details) = 0;
  // kDollarNoticeText in the standard information message box.
  virtual void ShowDollarNotice() = 0;
  // How often the dollar notice has been shown to this target's user: the
  // table walk shows it only while 0. One count a target unless it keeps
  // one elsewhere (the research window keeps one for its whole run).
  virtual int& DollarNoticeCount() { return FDollarNoticeCount; }
  // kNoResultsText through the window's warning dialog (caption and message).
  virtual void ShowNoResults() = 0;
  // A card page that gives no row: kNoSoldListingsText or
  // kFewerWordsOnlyText in the warning dialog captioned kNoResultsText.
  virtual void ShowNoCardResults(std::string_view /*message*/) {}
  // One line on what a card harvest did (the window's status bar), and its counts.
  virtual void ShowHarvestReport(std::string_view /*report*/, const CardCounts& /*counts*/) {}

 private:
  int FDollarNoticeCount = 0;
};

inline constexpr std::string_view kDollarNoticeText = "Only U.S. Dollar auctions have been added to the grid";
inline constexpr std::string_view kNoResultsText = "No Results Added";
inline constexpr std::string_view kNoSoldListingsText =
    "This page shows no sold listings. Search with the Sold Items filter, then press F7 again.";
inline constexpr std::string_view kFewerWordsOnlyText =
    "This page shows no exact matches for the search, only listings that match fewer words. Search with "
    "other "
    "words, then press F7 again.";

// The Amount the harvest gives a price not in U.S. dollars.
inline constexpr std::string_view kForeignAmount = "FOREIGN";

}  // namespace qb
