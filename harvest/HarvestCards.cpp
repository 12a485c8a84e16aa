#include "harvest/HarvestCards.h"

#include <array>
#include <string>
#include <unordered_map>

#include "harvest/ByteSearch.h"
#include "harvest/CardFields.h"
#include "harvest/HtmlTokenizer.h"
#include "runtime/AsciiText.h"

namespace qb {

namespace {

// The class tokens the card rules look at, as bits.
enum Token : unsigned {
  kResults = 1u << 0,        // srp-results
  kFewerWords = 1u << 1,     // srp-river-answer--REWRITE_START
  kListCard = 1u << 2,       // s-item, s-card (on li elements)
  kAnyCard = 1u << 3,        // su-item-card
  kCaption = 1u << 4,        // s-card__caption, s-item__caption--signal, s-item__title--tagblock, signal
  kTitle = 1u << 5,          // s-item__title, s-card__title, su-item-card__title
  kTitleNoise = 1u << 6,     // clipped, LIGHT_HIGHLIGHT, s-card__new-listing
  kPrice = 1u << 7,          // s-item__price, s-card__price, su-item-card__price
  kStrikethrough = 1u << 8,  // strikethrough in any letter case
  kSubtitle = 1u << 9,       // s-card__subtitle, s-item__subtitle, su-item-card__subtitle
};

constexpr std::string_view kFewerWordsToken = "srp-river-answer--REWRITE_START";

struct TokenName {
  std::string_view text;
  unsigned bit;
};

constexpr TokenName kTokenNames[] = {
    {"srp-results", kResults},
    {kFewerWordsToken, kFewerWords},
    {"s-item", kListCard},
    {"s-card", kListCard},
    {"su-item-card", kAnyCard},
    {"s-card__caption", kCaption},
    {"s-item__caption--signal", kCaption},
    {"s-item__title--tagblock", kCaption},
    {"signal", kCaption},
    {"s-item__title", kTitle},
    {"s-card__title", kTitle},
    {"su-item-card__title", kTitle},
    {"clipped", kTitleNoise},
    {"LIGHT_HIGHLIGHT", kTitleNoise},
    {"s-card__new-listing", kTitleNoise},
    {"s-item__price", kPrice},
    {"s-card__price", kPrice},
    {"su-item-card__price", kPrice},
    {"s-card__subtitle", kSubtitle},
    {"s-item__subtitle", kSubtitle},
    {"su-item-card__subtitle", kSubtitle},
};

// Matched in any letter case.
constexpr std::string_view kStrikethroughToken = "strikethrough";

// The bytes a token of interest can begin with, found from the names.
constexpr auto kTokenStarts = [] {
  std::array<bool, 256> starts{};
  for (const TokenName& name : kTokenNames) starts[static_cast<unsigned char>(name.text[0])] = true;
  starts[static_cast<unsigned char>(kStrikethroughToken[0])] = true;
  starts[static_cast<unsigned char>(kStrikethroughToken[0] - 'a' + 'A')] = true;
  return starts;
}();

// The bits of every token of interest in a class list, in one pass.
unsigned ClassTokens(std::string_view classList) {
  unsigned bits = 0;
  size_t i = 0;
  while (i < classList.size()) {
    const std::string_view token = NextClassToken(classList, i);
    if (token.empty()) break;
    if (!kTokenStarts[static_cast<unsigned char>(token[0])]) continue;
    if (token.size() == kStrikethroughToken.size() && EqualsAsciiFolded(token, kStrikethroughToken)) {
      bits |= kStrikethrough;
      continue;
    }
    for (const TokenName& name : kTokenNames) {
      if (name.text == token) {
        bits |= name.bit;
        break;
      }
    }
  }
  return bits;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An attribute's value as the document means it: references decoded (rare,
// so only a value holding '&' is copied). The view lives in buffer or the page.
std::string_view Attribute(const HtmlTokenizer& tokens, std::string_view name, std::string& buffer) {
  const std::string_view value = tokens.AttributeValue(name);
  if (value.find('&') == std::string_view::npos) return value;
  buffer = DecodeHtmlReferences(value);
  return buffer;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

// The item number of an item link: the digit run of the last path segment after /itm/.
std::string ItemNumberOfLink(std::string_view href) {
  const size_t itm = href.find("/itm/");
  if (itm == std::string_view::npos) return {};
  std::string_view path = href.substr(itm + 5);
  path = path.substr(0, path.find_first_of("?#"));
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  if (slash != std::string_view::npos) path = path.substr(slash + 1);
  size_t i = 0;
  while (i < path.size() && !IsDigit(path[i])) ++i;
  size_t end = i;
  while (end < path.size() && IsDigit(path[end])) ++end;
  return std::string(path.substr(i, end - i));
}

// The open elements inside the results list, by lower-case name.
class ElementStack {
 public:
  ElementStack() {
    for (const std::string_view name : {"li", "ul", "ol", "svg", "math"}) Intern(name);
    for (const std::string_view name : {"area", "base", "br", "col", "embed", "hr", "img", "input", "keygen",
                                        "link", "meta", "param", "source", "track", "wbr"})
      FVoid[static_cast<size_t>(Intern(name))] = true;
  }

  static constexpr int kLi = 0, kUl = 1, kOl = 2, kSvg = 3, kMath = 4;

  int Intern(std::string_view name) {
    Fold(name);
    const auto it = FIds.find(FKey);
    if (it != FIds.end()) return it->second;
    const int id = static_cast<int>(FOpen.size());
    FIds.emplace(FKey, id);
    FOpen.push_back(0);
    FVoid.push_back(false);
    return id;
  }
  // -1 for a name never seen.
  int Lookup(std::string_view name) {
    Fold(name);
    const auto it = FIds.find(FKey);
    return it == FIds.end() ? -1 : it->second;
  }

  bool IsVoid(int id) const { return FVoid[static_cast<size_t>(id)]; }
  bool InForeignContent() const { return FOpen[kSvg] > 0 || FOpen[kMath] > 0; }
  size_t Size() const { return FStack.size(); }

  void Push(int id) {
    if (id == kLi) FLiAt.push_back(FStack.size());
    if (id == kUl || id == kOl) FListAt.push_back(FStack.size());
    FStack.push_back(id);
    ++FOpen[static_cast<size_t>(id)];
  }
  // Pops up to and including the nearest open element of that name; false
  // (nothing popped) when none is open.
  bool PopTo(int id) {
    if (id < 0 || FOpen[static_cast<size_t>(id)] == 0) return false;
    while (Pop() != id) {
    }
    return true;
  }
  // A new li closes an li open in the same list.
  bool CloseOpenLi() {
    if (FLiAt.empty() || (!FListAt.empty() && FListAt.back() > FLiAt.back())) return false;
    const size_t at = FLiAt.back();
    while (FStack.size() > at) Pop();
    return true;
  }

 private:
  int Pop() {
    const int id = FStack.back();
    FStack.pop_back();
    --FOpen[static_cast<size_t>(id)];
    if (id == kLi) FLiAt.pop_back();
    if (id == kUl || id == kOl) FListAt.pop_back();
    return id;
  }
  void Fold(std::string_view name) {
    FKey.clear();
    AppendAsciiFolded(FKey, name);
  }

  std::unordered_map<std::string, int> FIds;
  std::string FKey;
  std::vector<int> FOpen;
  std::vector<bool> FVoid;
  std::vector<int> FStack;
  std::vector<size_t> FLiAt, FListAt;
};

constexpr size_t kNone = static_cast<size_t>(-1);

// True when the element held at that index is open and the stack, shrunk to
// size, has closed it.
bool ClosedBy(size_t at, size_t size) { return at != kNone && size <= at; }

// An element whose text is gathered: its index in the stack (kNone when it is
// not open) and its text so far.
struct ElementText {
  size_t at = kNone;
  std::string text;

  bool Open() const { return at != kNone; }
};

// What one card has shown so far; elements are held by their index in the
// stack (an element ends when the stack shrinks to its index).
struct CardState {
  size_t cardAt = kNone;
  std::string listingId;
  bool haveLink = false;
  std::string linkItem;
  ElementText title;
  bool titleDone = false;
  size_t noiseAt = kNone;
  ElementText caption;
  bool sold = false;
  std::string soldDate;
  ElementText subtitle;   // the last subtitle element, while it is open
  std::string condition;  // of the last subtitle element that ended
  bool deliveryRead = false;
  std::string delivery;
  ElementText price;
  bool havePrice = false;
  bool strikethrough = false;
  bool haveBids = false;
  std::string bids;
  std::string run;  // the text since the last tag, for the bids row

  bool Open() const { return cardAt != kNone; }
};

// An element of the card whose text may begin with a delivery cost.
struct DeliveryCandidate {
  size_t at = kNone;
  DeliveryText text;
};

class CardReader {
 public:
  explicit CardReader(CardPage& page) : FPage(page) {}

  void StartTag(const HtmlTokenizer& tokens, std::string_view name, unsigned classes, size_t at) {
    EndRun();
    TagBoundary();
    CardState& c = FCard;
    if (!c.haveLink && EqualsAsciiFolded(name, "a")) {
      std::string buffer;
      const std::string_view href = Attribute(tokens, "href", buffer);
      if (href.find("/itm/") != std::string_view::npos) {
        c.haveLink = true;
        c.linkItem = ItemNumberOfLink(href);
      }
    }
    if (classes != 0) ClassesOfTag(classes, at);
    // Inside a candidate that has read nothing yet, a new element starts at
    // the same text: it can only begin with the cost the outer one begins with.
    if (!c.deliveryRead && at != kNone && at > c.cardAt && !c.title.Open() &&
        (FDeliveries.empty() || !FDeliveries.back().text.Untouched()))
      FDeliveries.push_back({at, {}});
  }

  void EndTag() { EndRun(); }
  // A tag inside the delivery candidates separates words.
  void TagBoundary() {
    for (DeliveryCandidate& d : FDeliveries) d.text.Feed(" ");
  }

  void Text(std::string_view text) {
    CardState& c = FCard;
    if (c.caption.Open()) AppendCollapsedText(text, c.caption.text);
    if (c.price.Open()) AppendCollapsedText(text, c.price.text);
    if (c.subtitle.Open()) AppendCollapsedText(text, c.subtitle.text);
    if (!FDeliveries.empty()) FeedDeliveries(text);
    if (c.title.Open()) {
      if (c.noiseAt == kNone) AppendCollapsedText(text, c.title.text);
      return;
    }
    if (!c.haveBids && c.run.size() < 64) AppendCollapsedText(text, c.run);
  }

  // Ends what the stack has closed, innermost first.
  void Closed(size_t size) {
    CardState& c = FCard;
    if (ClosedBy(c.noiseAt, size)) c.noiseAt = kNone;
    if (ClosedBy(c.price.at, size)) c.price.at = kNone;
    if (ClosedBy(c.caption.at, size)) EndCaption();
    if (ClosedBy(c.subtitle.at, size)) EndSubtitle();
    if (!FDeliveries.empty()) {
      for (DeliveryCandidate& d : FDeliveries)
        if (ClosedBy(d.at, size)) d.text.Finish();
      ResolveDelivery();
    }
    if (ClosedBy(c.title.at, size)) {
      c.title.at = kNone;
      c.titleDone = true;
    }
    if (ClosedBy(c.cardAt, size)) Finish();
  }

  void Begin(const HtmlTokenizer& tokens, size_t at) {
    FCard = CardState{};
    FCard.cardAt = at;
    FSeenCard = true;
    FDeliveries.clear();
    std::string buffer;
    FCard.listingId = std::string(Attribute(tokens, "data-listingid", buffer));
  }

  bool InCard() const { return FCard.Open(); }
  bool SeenCard() const { return FSeenCard; }

  void Finish() {
    CardState& c = FCard;
    if (!c.Open()) return;
    EndRun();
    if (c.caption.Open()) EndCaption();
    if (c.subtitle.Open()) EndSubtitle();
    for (DeliveryCandidate& d : FDeliveries) d.text.Finish();
    ResolveDelivery();
    FDeliveries.clear();
    c.cardAt = kNone;
    if (!c.sold) return;
    SoldCard card;
    const std::string_view price = TrimBlanks(c.price.text);
    if (c.havePrice && !c.strikethrough && price.find(" to ") == std::string_view::npos)
      card.amount = CardAmount(price);
    card.description = std::string(TrimBlanks(c.title.text));
    card.itemNumber = AllDigits(c.listingId) ? c.listingId : c.linkItem;
    card.bids = c.haveBids ? c.bids : "0";
    card.sold = std::move(c.soldDate);
    card.delivery = std::move(c.delivery);
    card.condition = std::move(c.condition);
    if (card.amount.empty()) {
      card.leftOut = CardLeftOut::kPrice;
    } else if (card.description.empty()) {
      card.leftOut = CardLeftOut::kTitle;
    } else if (card.itemNumber.empty()) {
      card.leftOut = CardLeftOut::kItemNumber;
    }
    FPage.sold.push_back(std::move(card));
  }

 private:
  // The class tokens of a start tag inside the card; at is kNone for a void element.
  void ClassesOfTag(unsigned classes, size_t at) {
    CardState& c = FCard;
    if (c.price.Open()) {
      if (classes & kStrikethrough) c.strikethrough = true;
    } else if ((classes & kPrice) && at != kNone) {
      c.price.at = at;
      c.havePrice = true;
      if (classes & kStrikethrough) c.strikethrough = true;
    }
    if (c.title.Open()) {
      if (c.noiseAt == kNone && (classes & (kTitleNoise | kCaption)) && at != kNone) c.noiseAt = at;
    } else if ((classes & kTitle) && !c.titleDone && at != kNone) {
      c.title.at = at;
    }
    if ((classes & kCaption) && !c.caption.Open() && at != kNone) {
      c.caption.at = at;
      c.caption.text.clear();
    }
    if (classes & kSubtitle) {  // the last one counts, even an empty one
      c.subtitle.at = at;
      c.subtitle.text.clear();
      c.condition.clear();
    }
  }

  void EndCaption() {
    CardState& c = FCard;
    c.caption.at = kNone;
    const std::string_view text = TrimBlanks(c.caption.text);
    if (c.sold || !text.starts_with("Sold")) return;
    c.sold = true;
    c.soldDate = CardSoldDate(text);
  }

  void EndSubtitle() {
    CardState& c = FCard;
    c.subtitle.at = kNone;
    c.condition = CardCondition(c.subtitle.text);
  }

  void FeedDeliveries(std::string_view text) {
    bool untouched = true;
    for (const DeliveryCandidate& d : FDeliveries) untouched = untouched && d.text.Untouched();
    if (untouched) {
      // Most texts cannot begin a cost: their first byte decides without decoding.
      const size_t first = text.find_first_not_of(" \t\n\r\f");
      if (first == std::string_view::npos) return;
      const char c = text[first];
      if (c != '+' && c != 'F' && c != '&' && c != '\xC2') {
        FDeliveries.clear();
        return;
      }
    }
    FDecoded.clear();
    AppendCollapsedText(text, FDecoded);
    for (DeliveryCandidate& d : FDeliveries) d.text.Feed(FDecoded);
    ResolveDelivery();
  }

  // The first candidate in page order that matched gives the delivery, once
  // every one before it has failed.
  void ResolveDelivery() {
    std::erase_if(FDeliveries,
                  [](const DeliveryCandidate& d) { return d.text.state() == DeliveryText::State::kFailed; });
    if (FDeliveries.empty() || FDeliveries.front().text.state() != DeliveryText::State::kMatched) return;
    FCard.delivery = FDeliveries.front().text.amount();
    FCard.deliveryRead = true;
    FDeliveries.clear();
  }

  void EndRun() {
    CardState& c = FCard;
    if (c.run.empty()) return;
    if (!c.haveBids) {
      std::string bids = CardBids(TrimBlanks(c.run));
      if (!bids.empty()) {
        c.haveBids = true;
        c.bids = std::move(bids);
      }
    }
    c.run.clear();
  }

  CardPage& FPage;
  CardState FCard;
  bool FSeenCard = false;
  std::vector<DeliveryCandidate> FDeliveries;  // in page order
  std::string FDecoded;
};

}  // namespace

CardPage ReadCardPage(std::string_view page) {
  CardPage result;
  if (FindIn(page, "srp-results") == npos) return result;
  HtmlTokenizer tokens(page);
  ElementStack stack;
  std::string classBuffer;
  HtmlTokenizer::Kind kind;
  const size_t fewerWordsAt = FindIn(page, kFewerWordsToken);
  bool fewerWordsFirst = false;
  // The results list: the first element whose class list holds srp-results.
  for (;;) {
    kind = tokens.Next();
    if (kind == HtmlTokenizer::Kind::kEnd) return result;
    if (kind != HtmlTokenizer::Kind::kStartTag) continue;
    const std::string_view classList = Attribute(tokens, "class", classBuffer);
    if (classList.find("srp-results") != std::string_view::npos && (ClassTokens(classList) & kResults)) break;
    if (fewerWordsAt != npos && tokens.Offset() > fewerWordsAt &&
        classList.find(kFewerWordsToken) != std::string_view::npos && (ClassTokens(classList) & kFewerWords))
      fewerWordsFirst = true;
  }
  result.hasResultsList = true;
  if (fewerWordsFirst) {
    result.fewerWordsOnly = true;
    return result;
  }
  const int listId = stack.Intern(tokens.Name());
  if (stack.IsVoid(listId) ||
      (tokens.SelfClosing() && (listId == ElementStack::kSvg || listId == ElementStack::kMath)))
    return result;
  stack.Push(listId);
  CardReader reader(result);
  while ((kind = tokens.Next()) != HtmlTokenizer::Kind::kEnd) {
    if (kind == HtmlTokenizer::Kind::kText) {
      if (reader.InCard()) reader.Text(tokens.Text());
      continue;
    }
    if (kind == HtmlTokenizer::Kind::kEndTag) {
      if (reader.InCard()) reader.EndTag();
      if (!stack.PopTo(stack.Lookup(tokens.Name()))) continue;
      reader.Closed(stack.Size());
      if (stack.Size() == 0) break;  // the end of the list
      continue;
    }
    const std::string_view name = tokens.Name();
    const unsigned classes = ClassTokens(Attribute(tokens, "class", classBuffer));
    if (classes & kFewerWords) {
      result.fewerWordsOnly = !reader.SeenCard();
      break;
    }
    const int id = stack.Intern(name);
    if (id == ElementStack::kLi && stack.CloseOpenLi()) {
      reader.Closed(stack.Size());
      if (stack.Size() == 0) break;
    }
    const bool isVoid = stack.IsVoid(id) ||
                        (tokens.SelfClosing() &&
                         (stack.InForeignContent() || id == ElementStack::kSvg || id == ElementStack::kMath));
    size_t at = kNone;
    if (!isVoid) {
      at = stack.Size();
      stack.Push(id);
    }
    if (reader.InCard()) {
      reader.StartTag(tokens, name, classes, at);
    } else if (at != kNone && (((classes & kListCard) && id == ElementStack::kLi) || (classes & kAnyCard))) {
      reader.Begin(tokens, at);
      reader.StartTag(tokens, name, classes & ~(kCaption | kTitle | kPrice | kSubtitle), at);
    }
  }
  reader.Finish();
  return result;
}

std::string CardReport(const CardCounts& counts) {
  static constexpr std::string_view kReasons[kCardLeftOutCount] = {
      "", "price not a single U.S. dollar amount", "no title", "no item number"};
  std::string report = std::to_string(counts.sold) +
                       (counts.sold == 1 ? " sold listing: " : " sold listings: ") +
                       std::to_string(counts.added) + " added";
  if (counts.inGrid > 0) report += ", " + std::to_string(counts.inGrid) + " already in the grid";
  for (size_t reason = 1; reason < kCardLeftOutCount; ++reason)
    if (counts.leftOut[reason] > 0)
      report +=
          ", " + std::to_string(counts.leftOut[reason]) + " left out (" + std::string(kReasons[reason]) + ")";
  return report;
}

bool HarvestCardLayout(std::string_view page, HarvestTarget& target) {
  const CardPage cards = ReadCardPage(page);
  if (!cards.hasResultsList) return false;
  CardCounts counts;
  counts.sold = cards.sold.size();
  for (const SoldCard& card : cards.sold) {
    if (card.leftOut != CardLeftOut::kNone) {
      ++counts.leftOut[static_cast<size_t>(card.leftOut)];
    } else if (target.AddGridRow(card.description, card.itemNumber, card.bids, card.amount,
                                 {card.sold, card.delivery, card.condition})) {
      ++counts.added;
    } else {
      ++counts.inGrid;
    }
  }
  target.ShowHarvestReport(CardReport(counts), counts);
  if (cards.fewerWordsOnly) {
    target.ShowNoCardResults(kFewerWordsOnlyText);
  } else if (counts.sold == 0) {
    target.ShowNoCardResults(kNoSoldListingsText);
  }
  return true;
}

}  // namespace qb
