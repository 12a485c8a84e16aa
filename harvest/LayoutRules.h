#pragma once

// The markers and cuts of the table and script layouts' rules, in one place
// for the engine and the tests' literal walk.

#include <cstddef>
#include <string_view>

namespace qb {

// The markers the walks search for, with a memo each.
enum Marker : int {
  kVarSalejs,
  kCheckBox,
  kItemLinkEnd,
  kCategory,
  kItem,
  kAmp,
  kBoldOpen,
  kBoldClose,
  kRowspan,
  kCloseTag,
  kRowEnd,
  kRd1,
  kDsi,
  kComma,
  kQuoteComma,
  kQuoteQuote,
  kSingleQuoteComma,
  kMarkerCount
};

inline constexpr std::string_view kMarkerText[kMarkerCount] = {"var salejs",
                                                               "input type=\"checkbox\"",
                                                               "rd=1\">",
                                                               "category=",
                                                               "item=",
                                                               "&amp",
                                                               "<b>",
                                                               "</b>",
                                                               "rowspan=\"1\">",
                                                               "</",
                                                               "</tr>",
                                                               "rd=1",
                                                               "dSI(",
                                                               ",",
                                                               "\",",
                                                               "','",
                                                               "',"};

inline constexpr std::string_view kFindSortArray = "var findSortArray = [";
inline constexpr std::string_view kImgHeight = "<img height";
inline constexpr size_t kDescriptionLength = 55;

// A cut "from M + k": the text from the marker's position plus k on; without
// the marker, the text less its first k - 1 characters.
struct Cut {
  Marker marker;
  size_t k;
};

// The cuts of the rules, by their place in them.
inline constexpr Cut kScriptListCut{kVarSalejs, 3};     // past the script's record list marker
inline constexpr Cut kScriptRecordCut{kDsi, 4};         // to the next script record
inline constexpr Cut kScriptAmountCut{kQuoteQuote, 3};  // to a script record's price
inline constexpr Cut kSeparatorCut{kComma, 1};          // past one script argument
inline constexpr Cut kTitleCut{kItemLinkEnd, 6};        // to a table record's title
inline constexpr Cut kCategoryCut{kCategory, 9};        // to the item link's category
inline constexpr Cut kItemCut{kItem, 5};                // to its item number
inline constexpr Cut kBidsBoldCut{kBoldOpen, 0};        // to the price's bold text, for the bids
inline constexpr Cut kBidsCellCut{kRowspan, 12};        // to the bids cell
inline constexpr Cut kAmountCut{kBoldOpen, 3};          // to the price
inline constexpr Cut kRowEndCut{kRowEnd, 3};            // past the row's end
inline constexpr Cut kNextRecordCut{kRd1, 3};           // to the next table record

// Script arguments skipped before the bids, the item number and the title.
inline constexpr int kScriptBidsSeparators = 12;
inline constexpr int kScriptItemSeparators = 14;
inline constexpr int kScriptTitleSeparators = 15;

}  // namespace qb
