#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "harvest/ByteSearch.h"
#include "research/GridRows.h"

namespace qb {

// Receives what a harvest finds: the research window and the command-line
// harvester implement it.
class HarvestTarget {
 public:
  virtual ~HarvestTarget() = default;
  // The grid's add rule; the harvest ignores the result.
  virtual bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                          std::string_view amount) = 0;
  // kDollarNoticeText in the standard information message box.
  virtual void ShowDollarNotice() = 0;
  // kNoResultsText through the window's warning dialog (caption and message).
  virtual void ShowNoResults() = 0;
  // A card page without a sold card: kNoSoldListingsText in the warning
  // dialog captioned kNoResultsText.
  virtual void ShowNoSoldListings() {}
  // One line on what a card harvest did (the window's status bar).
  virtual void ShowHarvestReport(std::string_view /*report*/) {}
};

inline constexpr std::string_view kDollarNoticeText = "Only U.S. Dollar auctions have been added to the grid";
inline constexpr std::string_view kNoResultsText = "No Results Added";
inline constexpr std::string_view kNoSoldListingsText =
    "This page shows no sold listings. Search with the Sold Items filter, then press F7 again.";

// How often the dollar notice has been shown in this process (shown only while 0).
extern int DollarNoticeCount;

// A page of the script layout holds this, in any letter case.
inline constexpr std::string_view kScriptLayoutMark = "var salejs";

// False when the page holds kScriptLayoutMark in any letter case.
bool IsTableLayout(std::string_view page);

// "FOREIGN" unless the text is a plain dollar amount; otherwise the text
// without its first "$" and without commas.
std::string CleanAmount(std::string_view text);

// Table layout fields of the record text rec. The description counts
// characters when utf8 is set (the page is valid UTF-8), bytes otherwise;
// the one-argument form checks rec itself.
std::string_view TableDescription(std::string_view rec, bool utf8);
std::string_view TableDescription(std::string_view rec);
std::string_view TableItemNumber(std::string_view rec);
std::string_view TableBids(std::string_view rec);
std::string TableAmount(std::string_view rec);
std::string_view NextTableRecord(std::string_view rec);

// Script layout fields of the record text rec.
std::string_view ScriptDescription(std::string_view rec);
std::string_view ScriptItemNumber(std::string_view rec);
std::string_view ScriptBids(std::string_view rec);
std::string ScriptAmount(std::string_view rec);
std::string_view NextScriptRecord(std::string_view rec);

// The table walk from the first record text on (first record at its check box).
void HarvestTableLayout(std::string_view rec, HarvestTarget& target);
// The script walk over the whole page.
void HarvestScriptLayout(std::string_view page, HarvestTarget& target);

// The whole harvest of a page text (read back from its snapshot): decides the
// layout (script, table, or a card page with a results list), shows "No Results
// Added" for a page of another kind, walks the records.
void HarvestPage(std::string_view page, HarvestTarget& target);
// The same for a page whose UTF-8 validity and layout are known (PageText::utf8,
// and IsTableLayout as PageText::holdsWatched found it for kScriptLayoutMark).
void HarvestPage(std::string_view page, HarvestTarget& target, bool utf8, bool tableLayout);

}  // namespace qb
