#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "harvest/CardFields.h"
#include "harvest/HarvestText.h"

namespace qb {

// One sold card of a card page's results list, in page order.
struct SoldCard {
  std::string itemNumber;
  std::string bids;
  std::string amount;  // "1299.00" for "$1,299.00"
  std::string description;
  std::string sold;       // "2026-07-20" for "Sold  Jul 20, 2026"
  std::string delivery;   // "7.00" for "+$7.00 delivery", "0.00" for free delivery
  std::string condition;  // "Pre-Owned"
  CardLeftOut leftOut = CardLeftOut::kNone;
};

struct CardPage {
  bool hasResultsList = false;  // an element with the class token srp-results
  // The fewer-words boundary (srp-river-answer--REWRITE_START) comes before
  // the list's first card: the page has no exact match, and no sold card.
  bool fewerWordsOnly = false;
  std::vector<SoldCard> sold;
};

// The sold cards of the page's results list (the first element whose class
// list holds srp-results), up to the fewer-words boundary.
CardPage ReadCardPage(std::string_view page);

// The report line of a card harvest's counts.
std::string CardReport(const CardCounts& counts);

// Harvests a card page into the target: every sold card through AddGridRow,
// then the report line, then the fewer-words message or, when the list holds
// no sold card, the no-sold-listings one. False (nothing done) when the page
// has no results list.
bool HarvestCardLayout(std::string_view page, HarvestTarget& target);

}  // namespace qb
