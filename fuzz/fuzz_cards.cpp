// Arbitrary bytes as a card page: the harvest and ReadCardPage must hold the
// card rules' shapes on whatever they read.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "harvest/HarvestCards.h"
#include "harvest/HarvestText.h"
#include "research/GridRows.h"
#include "tests/common/RecordingTarget.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// digits[.digits]
bool IsAmount(std::string_view text) {
  const size_t point = text.find('.');
  if (point == std::string_view::npos) return AllDigits(text);
  return AllDigits(text.substr(0, point)) && AllDigits(text.substr(point + 1));
}

// No blank at either end, none doubled, no other white space.
bool IsCollapsed(std::string_view text) {
  if (text.starts_with(' ') || text.ends_with(' ') || text.find("  ") != std::string_view::npos) return false;
  return text.find_first_of("\t\n\r\f") == std::string_view::npos &&
         text.find("\xC2\xA0") == std::string_view::npos;
}

// Checks the rows of a card harvest against the card rules' shapes.
class GridTarget : public qbtest::RecordingTarget {
 public:
  explicit GridTarget(bool cards) : FCards(cards) {}
  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const qb::SaleDetails& details) override {
    Check(!FCards || (!description.empty() && IsCollapsed(description) && AllDigits(bids) &&
                      AllDigits(itemNumber) && IsAmount(amount)));
    const bool added = RecordingTarget::AddGridRow(description, itemNumber, bids, amount, details);
    added ? ++rows : ++refused;
    return added;
  }
  size_t rows = 0, refused = 0;

 private:
  bool FCards;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);

  const qb::CardPage cards = qb::ReadCardPage(page);
  Check(!cards.hasResultsList || page.find("srp-results") != std::string_view::npos);
  Check(cards.hasResultsList || cards.sold.empty());
  Check(!cards.fewerWordsOnly || cards.sold.empty());
  size_t kept = 0;
  for (const qb::SoldCard& card : cards.sold) {
    Check(AllDigits(card.bids));
    Check(card.amount.empty() || IsAmount(card.amount));
    Check(card.itemNumber.empty() || AllDigits(card.itemNumber));
    Check(IsCollapsed(card.description) && IsCollapsed(card.condition));
    Check(card.sold.empty() || (card.sold.size() == 10 && card.sold[4] == '-' && card.sold[7] == '-'));
    Check(card.delivery.empty() || IsAmount(card.delivery));
    switch (card.leftOut) {
      case qb::CardLeftOut::kNone:
        Check(!card.amount.empty() && !card.description.empty() && !card.itemNumber.empty());
        ++kept;
        break;
      case qb::CardLeftOut::kPrice: Check(card.amount.empty()); break;
      case qb::CardLeftOut::kTitle: Check(!card.amount.empty() && card.description.empty()); break;
      case qb::CardLeftOut::kItemNumber:
        Check(!card.amount.empty() && !card.description.empty() && card.itemNumber.empty());
        break;
    }
  }

  // The card harvest adds exactly the kept cards and says so once.
  GridTarget target(true);
  Check(qb::HarvestCardLayout(page, target) == cards.hasResultsList);
  Check(target.rows + target.refused == kept);
  Check(target.reports == (cards.hasResultsList ? 1 : 0));
  Check(target.noCardResults == (cards.hasResultsList && cards.sold.empty() ? 1 : 0));
  for (size_t i = 0; i < target.grid.size(); ++i) Check(!target.grid[i].description.empty());

  // The whole harvest never fails, whichever layout the page takes.
  GridTarget whole(false);
  qb::HarvestPage(page, whole);
  for (size_t i = 0; i < whole.grid.size(); ++i) Check(!whole.grid[i].description.empty());
  return 0;
}
