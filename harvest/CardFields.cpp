#include "harvest/CardFields.h"

#include <cstdio>

#include "harvest/HtmlTokenizer.h"

namespace qb {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Digits, either plain or grouped by thousands commas, from text[i]; returns
// the end, or i when there are none. The digits go to out.
size_t ReadGroupedNumber(std::string_view text, size_t i, std::string& out) {
  const size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i == start) return start;
  out.append(text.substr(start, i - start));
  if (i - start <= 3) {
    while (i + 3 < text.size() && text[i] == ',' && IsDigit(text[i + 1]) && IsDigit(text[i + 2]) &&
           IsDigit(text[i + 3]) && (i + 4 == text.size() || !IsDigit(text[i + 4]))) {
      out.append(text.substr(i + 1, 3));
      i += 4;
    }
  }
  return i;
}

// Reads a date's parts from the front of a text.
class DateReader {
 public:
  explicit DateReader(std::string_view text) : FText(text) {}

  bool Char(char c) {
    if (FAt >= FText.size() || FText[FAt] != c) return false;
    ++FAt;
    return true;
  }
  // A whole run of digits of a length in [least, most].
  bool Number(size_t least, size_t most, int& value) {
    const size_t start = FAt;
    value = 0;
    while (FAt < FText.size() && IsDigit(FText[FAt])) {
      if (FAt - start < most) value = value * 10 + (FText[FAt] - '0');
      ++FAt;
    }
    const size_t length = FAt - start;
    return length >= least && length <= most;
  }
  // An English month abbreviation with an optional period.
  bool Month(int& month) {
    static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const size_t start = FAt;
    while (FAt < FText.size() && IsLetter(FText[FAt])) ++FAt;
    const std::string_view word = FText.substr(start, FAt - start);
    month = word == "Sept" ? 9 : 0;
    for (int m = 0; m < 12 && month == 0; ++m)
      if (word == kMonths[m]) month = m + 1;
    Char('.');
    return month != 0;
  }
  void Rewind() { FAt = 0; }

 private:
  std::string_view FText;
  size_t FAt = 0;
};

int DaysInMonth(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::string CardAmount(std::string_view priceText) {
  if (priceText.size() < 2 || priceText[0] != '$') return {};
  std::string amount;
  size_t i = ReadGroupedNumber(priceText, 1, amount);
  if (i == 1) return {};
  if (i < priceText.size() && priceText[i] == '.') {
    const size_t fraction = i + 1;
    size_t end = fraction;
    while (end < priceText.size() && IsDigit(priceText[end])) ++end;
    if (end == fraction) return {};
    amount.append(priceText.substr(i, end - i));
    i = end;
  }
  return i == priceText.size() ? amount : std::string();
}

std::string CardBids(std::string_view text) {
  std::string count;
  const size_t i = ReadGroupedNumber(text, 0, count);
  if (i == 0) return {};
  const std::string_view rest = text.substr(i);
  if (rest == " bids" || (rest == " bid" && count == "1")) return count;
  return {};
}

std::string CardSoldDate(std::string_view caption) {
  constexpr std::string_view kSold = "Sold ";
  if (!caption.starts_with(kSold)) return {};
  DateReader date(caption.substr(kSold.size()));
  int day = 0, month = 0, year = 0;
  bool read = date.Month(month) && date.Char(' ') && date.Number(1, 2, day) && (date.Char(','), true) &&
              date.Char(' ') && date.Number(4, 4, year);
  if (!read) {
    date.Rewind();
    read = date.Number(1, 2, day) && date.Char(' ') && date.Month(month) && date.Char(' ') &&
           date.Number(4, 4, year);
  }
  if (!read || year < 1 || day < 1 || day > DaysInMonth(month, year)) return {};
  char iso[32];
  std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
  return iso;
}

std::string CardCondition(std::string_view subtitle) {
  return std::string(TrimBlanks(subtitle.substr(0, subtitle.find(" \xC2\xB7 "))));
}

DeliveryText::State DeliveryText::Feed(std::string_view text) {
  for (const char c : text) {
    if (FState != State::kReading) break;
    const bool blank = c == ' ';
    if (blank && FBlank) continue;
    FBlank = blank;
    Step(c);
  }
  return FState;
}

DeliveryText::State DeliveryText::Finish() {
  if (FState != State::kReading) return FState;
  FPhase == kAfterWord ? Match() : Fail();
  return FState;
}

void DeliveryText::Match() {
  FState = State::kMatched;
  if (FFree) FAmount = "0.00";
}

bool DeliveryText::StartKeyword(char c) {
  FTarget = c == 'd' ? "delivery" : c == 's' ? "shipping" : "";
  return !FTarget.empty();
}

void DeliveryText::Step(char c) {
  switch (FPhase) {
    case kStart:
      if (c == '+') {
        FPhase = kDollar;
      } else if (c == 'F') {
        FPhase = kFree;
        FFree = true;
        FCount = 1;
      } else {
        Fail();
      }
      return;
    case kDollar:
      if (c != '$') return Fail();
      FPhase = kDigits;
      return;
    case kDigits:
      if (IsDigit(c)) {
        if (FGrouped && FCount == 3) return Fail();
        FAmount += c;
        ++FCount;
      } else if (FCount == 0 || (FGrouped && FCount != 3)) {
        Fail();
      } else if (c == ',') {
        if (!FGrouped && FCount > 3) return Fail();
        FGrouped = true;
        FCount = 0;
      } else if (c == '.') {
        FAmount += c;
        FPhase = kCents;
        FCount = 0;
      } else if (c == ' ') {
        FPhase = kWord;
        FCount = 0;
      } else {
        Fail();
      }
      return;
    case kCents:
      if (IsDigit(c) && FCount < 2) {
        FAmount += c;
        ++FCount;
      } else if (c == ' ' && FCount == 2) {
        FPhase = kWord;
        FCount = 0;
      } else {
        Fail();
      }
      return;
    case kWord:
      if (FCount == 0 ? StartKeyword(c) : c == FTarget[FCount]) {
        if (++FCount == FTarget.size()) FPhase = kAfterWord;
      } else {
        Fail();
      }
      return;
    case kAfterWord:
      if (!IsLetter(c)) {
        Match();
      } else if (!FFree || FWords == 3) {
        Fail();
      } else {
        FPhase = kFreeWords;  // "deliveryman" is just a word
        FKeyword = false;
      }
      return;
    case kFree:
      if (FCount < 4) {
        if (c != "Free"[FCount]) return Fail();
        ++FCount;
      } else if (c == ' ') {
        FPhase = kFreeWords;
        FCount = 0;
      } else {
        Fail();
      }
      return;
    case kFreeWords:
      if (c == ' ') {  // a word that was not the keyword ends
        if (FWords == 3) return Fail();
        ++FWords;
        FCount = 0;
        return;
      }
      if (FCount == 0) {
        FKeyword = StartKeyword(c);
      } else if (FKeyword && c != FTarget[FCount]) {
        FKeyword = false;
      }
      ++FCount;
      if (!FKeyword && FWords == 3) return Fail();  // a fourth word that is not the keyword
      if (FKeyword && FCount == FTarget.size()) FPhase = kAfterWord;
      return;
  }
}

}  // namespace qb
