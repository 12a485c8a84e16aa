#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qb {

// What the texts of a sold card's rows mean. Texts are decoded, with white
// space collapsed to single blanks.

// "1299.00" for a plain U.S. dollar price such as "$1,299.00" (thousands
// commas optional, decimals optional); empty for anything else.
std::string CardAmount(std::string_view priceText);

// "1204" for "1,204 bids", "1" for "1 bid"; empty when the text is no bid count.
std::string CardBids(std::string_view text);

// "2026-07-20" for a sold caption "Sold Jul 20, 2026" (month first) or
// "Sold 20 Jul 2026" (day first): English month abbreviations with an
// optional period, "Sept" as well as "Sep". Empty when the caption holds no
// such date (or a day the month does not have).
std::string CardSoldDate(std::string_view caption);

// The condition of a subtitle text: up to the first " · ", trimmed.
std::string CardCondition(std::string_view subtitle);

// Reads an element's text as it arrives and tells whether it begins with a
// delivery cost: "+$N delivery" or "+$N shipping" (N dollars, thousands
// commas optional, cents optional) gives N without "$" and commas; "Free"
// and up to three words before "delivery" or "shipping" gives "0.00". The
// text comes collapsed, with a blank for every tag inside the element.
class DeliveryText {
 public:
  enum class State { kReading, kMatched, kFailed };

  State Feed(std::string_view text);
  // The element has ended.
  State Finish();
  State state() const { return FState; }
  // Nothing but blanks has arrived yet.
  bool Untouched() const { return FState == State::kReading && FPhase == kStart; }
  const std::string& amount() const { return FAmount; }

 private:
  enum Phase { kStart, kDollar, kDigits, kCents, kWord, kAfterWord, kFree, kFreeWords };
  void Step(char c);
  void Fail() { FState = State::kFailed; }
  void Match();
  // The first letter of "delivery" or "shipping", else false.
  bool StartKeyword(char c);

  State FState = State::kReading;
  Phase FPhase = kStart;
  bool FBlank = true;     // the last character was a blank (leading ones are skipped)
  bool FFree = false;     // "Free ..." rather than "+$N ..."
  bool FGrouped = false;  // the dollars have a thousands comma
  bool FKeyword = false;  // the word so far can still be the keyword
  size_t FCount = 0;      // digits of the group or cents, letters of the word
  size_t FWords = 0;      // words after "Free" that were not the keyword
  std::string_view FTarget;
  std::string FAmount;
};

}  // namespace qb
