#pragma once

// A second reading of card pages: libxml2's HTML parser builds the tree and
// the card rules are applied to its nodes. The differential check compares it
// with ReadCardPage; links with libxml2 (test-only).

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <chrono>
#include <cstddef>
#include <regex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "harvest/HarvestCards.h"

namespace qbtest {

namespace cardref {

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline std::string_view Chars(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

inline bool IsElement(xmlNodePtr node) { return node && node->type == XML_ELEMENT_NODE; }
inline std::string_view NameOf(xmlNodePtr node) { return Chars(node->name); }

inline std::string Property(xmlNodePtr node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string text(Chars(value));
  xmlFree(value);
  return text;
}

inline std::vector<std::string> ClassTokens(xmlNodePtr node) {
  std::vector<std::string> tokens;
  const std::string list = Property(node, "class");
  std::string token;
  for (const char c : list + ' ') {
    if (!IsSpace(c)) {
      token += c;
    } else if (!token.empty()) {
      tokens.push_back(std::move(token));
      token.clear();
    }
  }
  return tokens;
}

inline bool HasAny(xmlNodePtr node, std::initializer_list<std::string_view> names) {
  for (const std::string& token : ClassTokens(node))
    for (const std::string_view name : names)
      if (token == name) return true;
  return false;
}

inline bool HasStrikethrough(xmlNodePtr node) {
  for (std::string token : ClassTokens(node)) {
    for (char& c : token)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (token == "strikethrough") return true;
  }
  return false;
}

inline bool IsCaption(xmlNodePtr n) {
  return HasAny(n, {"s-card__caption", "s-item__caption--signal", "s-item__title--tagblock", "signal"});
}
inline bool IsTitle(xmlNodePtr n) {
  return HasAny(n, {"s-item__title", "s-card__title", "su-item-card__title"});
}
inline bool IsPrice(xmlNodePtr n) {
  return HasAny(n, {"s-item__price", "s-card__price", "su-item-card__price"});
}
inline bool IsTitleNoise(xmlNodePtr n) {
  return HasAny(n, {"clipped", "LIGHT_HIGHLIGHT", "s-card__new-listing"}) || IsCaption(n);
}
inline bool IsSubtitle(xmlNodePtr n) {
  return HasAny(n, {"s-card__subtitle", "s-item__subtitle", "su-item-card__subtitle"});
}
inline bool IsRawText(xmlNodePtr n) { return NameOf(n) == "script" || NameOf(n) == "style"; }
inline bool IsCard(xmlNodePtr n) {
  return (NameOf(n) == "li" && HasAny(n, {"s-item", "s-card"})) || HasAny(n, {"su-item-card"});
}
inline bool IsFewerWords(xmlNodePtr n) { return HasAny(n, {"srp-river-answer--REWRITE_START"}); }

// Every run of white space (U+00A0 included) one blank, trimmed unless asked.
inline std::string Collapse(std::string_view text, bool trim = true) {
  std::string out;
  bool blank = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool nbsp = text[i] == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0';
    if (IsSpace(text[i]) || nbsp) {
      blank = true;
      i += nbsp;
      continue;
    }
    if (blank && (!out.empty() || !trim)) out += ' ';
    blank = false;
    out += text[i];
  }
  if (blank && !trim) out += ' ';
  return out;
}

constexpr const char* kMonths = "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sept|Sep|Oct|Nov|Dec)";

inline std::string SoldDate(const std::string& caption) {
  static const std::regex monthFirst(std::string("^Sold ") + kMonths + "\\.? (\\d{1,2}),? (\\d{4})(?!\\d)");
  static const std::regex dayFirst(std::string("^Sold (\\d{1,2}) ") + kMonths + "\\.? (\\d{4})(?!\\d)");
  std::smatch m;
  std::string month, day, year;
  if (std::regex_search(caption, m, monthFirst)) {
    month = m[1], day = m[2], year = m[3];
  } else if (std::regex_search(caption, m, dayFirst)) {
    day = m[1], month = m[2], year = m[3];
  } else {
    return {};
  }
  const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const unsigned monthNumber = static_cast<unsigned>(months.find(month.substr(0, 3)) / 3 + 1);
  const std::chrono::year_month_day date{std::chrono::year(std::stoi(year)), std::chrono::month(monthNumber),
                                         std::chrono::day(static_cast<unsigned>(std::stoi(day)))};
  if (!date.ok() || std::stoi(year) < 1) return {};
  char iso[32];
  std::snprintf(iso, sizeof iso, "%s-%02u-%02d", year.c_str(), monthNumber, std::stoi(day));
  return iso;
}

inline std::string Delivery(const std::string& text) {
  static const std::regex paid(
      "^\\+\\$(\\d{1,3}(?:,\\d{3})+|\\d+)(\\.\\d{2})? (delivery|shipping)(?![A-Za-z])");
  static const std::regex free("^Free (?:\\S+ ){0,3}?(delivery|shipping)(?![A-Za-z])");
  std::smatch m;
  if (std::regex_search(text, m, paid)) {
    std::string dollars = m[1];
    std::erase(dollars, ',');
    return dollars + m[2].str();
  }
  return std::regex_search(text, m, free) ? "0.00" : "";
}

inline bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "1,299" -> "1299" for plain or thousands-grouped digits; empty otherwise.
inline std::string Number(std::string_view text) {
  if (AllDigits(text)) return std::string(text);
  std::string digits;
  for (size_t group = 0; !text.empty(); ++group) {
    const size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    if (!AllDigits(part) || (group == 0 ? part.size() > 3 : part.size() != 3)) return {};
    if (comma == std::string_view::npos && group == 0) return {};
    digits += part;
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (comma != std::string_view::npos && text.empty()) return {};
  }
  return digits;
}

inline std::string Amount(std::string_view text) {
  if (text.empty() || text[0] != '$') return {};
  text.remove_prefix(1);
  const size_t point = text.find('.');
  std::string amount = Number(text.substr(0, point));
  if (amount.empty() || point == std::string_view::npos) return amount;
  const std::string_view fraction = text.substr(point + 1);
  if (fraction.empty() || fraction.find_first_not_of("0123456789") != std::string_view::npos) return {};
  return amount + "." + std::string(fraction);
}

inline std::string Bids(std::string_view text) {
  if (text.ends_with(" bids")) return Number(text.substr(0, text.size() - 5));
  if (text == "1 bid") return "1";
  return {};
}

inline std::string ItemOfLink(std::string_view href) {
  const size_t itm = href.find("/itm/");
  std::string_view path = href.substr(itm + 5);
  path = path.substr(0, path.find_first_of("?#"));
  while (path.ends_with('/')) path.remove_suffix(1);
  if (const size_t slash = path.rfind('/'); slash != std::string_view::npos) path.remove_prefix(slash + 1);
  const size_t first = path.find_first_of("0123456789");
  if (first == std::string_view::npos) return {};
  path.remove_prefix(first);
  return std::string(path.substr(0, path.find_first_not_of("0123456789")));
}

// The nodes of the results list in document order; those at or after the
// fewer-words boundary are cut off.
class ListWalk {
 public:
  explicit ListWalk(xmlNodePtr list) {
    Number(list);
    for (const auto& [node, index] : FIndex)
      if (node != list && IsElement(node) && index < FCutoff &&
          HasAny(node, {"srp-river-answer--REWRITE_START"}))
        FCutoff = index;
  }
  bool Live(xmlNodePtr node) const { return FIndex.at(node) < FCutoff; }
  // The boundary comes before the list's first card, or there is no card.
  bool FewerWordsFirst() const {
    size_t firstCard = static_cast<size_t>(-1);
    for (const auto& [node, index] : FIndex)
      if (IsElement(node) && IsCard(node)) firstCard = std::min(firstCard, index);
    return FCutoff != static_cast<size_t>(-1) && FCutoff <= firstCard;
  }

 private:
  void Number(xmlNodePtr node) {
    FIndex.emplace(node, FIndex.size());
    for (xmlNodePtr child = node->children; child; child = child->next) Number(child);
  }
  std::unordered_map<xmlNodePtr, size_t> FIndex;
  size_t FCutoff = static_cast<size_t>(-1);
};

class CardRules {
 public:
  explicit CardRules(const ListWalk& walk) : W(walk) {}

  // The text of node's subtree, outside script and style; skip leaves a subtree out.
  template <class Skip>
  void TextOf(xmlNodePtr node, std::string& out, Skip skip) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (child->type == XML_TEXT_NODE) out += Chars(child->content);
      if (IsElement(child) && !IsRawText(child) && !skip(child)) TextOf(child, out, skip);
    }
  }

  // The first live descendant element (preorder) that matches.
  template <class Match>
  xmlNodePtr First(xmlNodePtr node, Match match) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (!IsElement(child)) continue;
      if (match(child)) return child;
      if (xmlNodePtr found = First(child, match)) return found;
    }
    return nullptr;
  }

  // Every live descendant element that matches, in document order.
  template <class Match>
  void Every(xmlNodePtr node, Match match, std::vector<xmlNodePtr>& out) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (!IsElement(child)) continue;
      if (match(child)) out.push_back(child);
      Every(child, match, out);
    }
  }

  // The outermost live descendant elements that match, in document order.
  template <class Match>
  void Outermost(xmlNodePtr node, Match match, std::vector<xmlNodePtr>& out) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (!IsElement(child)) continue;
      if (match(child)) {
        out.push_back(child);
      } else {
        Outermost(child, match, out);
      }
    }
  }

  // The text with a blank for every element boundary inside it.
  void WordsOf(xmlNodePtr node, std::string& out) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (child->type == XML_TEXT_NODE) out += Chars(child->content);
      if (!IsElement(child)) continue;
      out += ' ';
      if (!IsRawText(child)) WordsOf(child, out);
      out += ' ';
    }
  }

  // The delivery of the first element outside the title whose text gives one.
  std::string FirstDelivery(xmlNodePtr node, xmlNodePtr title) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (!IsElement(child) || child == title) continue;
      std::string words;
      WordsOf(child, words);
      std::string delivery = Delivery(Collapse(words));
      if (delivery.empty()) delivery = FirstDelivery(child, title);
      if (!delivery.empty()) return delivery;
    }
    return {};
  }

  bool AnyStrikethrough(xmlNodePtr node) const {
    if (HasStrikethrough(node)) return true;
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next)
      if (IsElement(child) && AnyStrikethrough(child)) return true;
    return false;
  }

  // Texts between tags outside the title: the first that reads as a bid count.
  void BidRuns(xmlNodePtr node, xmlNodePtr title, std::string& run, std::string& bids) const {
    for (xmlNodePtr child = node->children; child && W.Live(child) && bids.empty(); child = child->next) {
      if (child->type == XML_TEXT_NODE) {
        run += Chars(child->content);
      } else if (IsElement(child)) {
        EndRun(run, bids);
        if (child != title && !IsRawText(child)) BidRuns(child, title, run, bids);
        EndRun(run, bids);
      }
    }
  }
  static void EndRun(std::string& run, std::string& bids) {
    if (bids.empty()) bids = Bids(Collapse(run));
    run.clear();
  }

  // One card; false when it is not sold.
  bool Read(xmlNodePtr card, qb::SoldCard& out) const {
    std::vector<xmlNodePtr> captions;
    Outermost(card, IsCaption, captions);
    bool sold = false;
    for (xmlNodePtr caption : captions) {
      std::string text;
      TextOf(caption, text, [](xmlNodePtr) { return false; });
      sold = sold || Collapse(text).starts_with("Sold");
    }
    if (!sold) return false;

    const xmlNodePtr title = First(card, IsTitle);
    if (title) {
      std::string text;
      TextOf(title, text, IsTitleNoise);
      out.description = Collapse(text);
    }

    std::vector<xmlNodePtr> prices;
    Outermost(card, IsPrice, prices);
    std::string priceText;
    bool struck = false;
    for (xmlNodePtr price : prices) {
      TextOf(price, priceText, [](xmlNodePtr) { return false; });
      struck = struck || AnyStrikethrough(price);
    }
    priceText = Collapse(priceText);
    if (!struck && priceText.find(" to ") == std::string::npos) out.amount = Amount(priceText);

    const std::string listingId = Property(card, "data-listingid");
    if (AllDigits(listingId)) {
      out.itemNumber = listingId;
    } else {
      auto isItemLink = [](xmlNodePtr n) {
        return NameOf(n) == "a" && Property(n, "href").find("/itm/") != std::string::npos;
      };
      const xmlNodePtr link = isItemLink(card) ? card : First(card, isItemLink);
      if (link) out.itemNumber = ItemOfLink(Property(link, "href"));
    }

    for (xmlNodePtr caption : captions) {
      std::string text;
      TextOf(caption, text, [](xmlNodePtr) { return false; });
      if (Collapse(text).starts_with("Sold")) {
        out.sold = SoldDate(Collapse(text));
        break;
      }
    }
    out.delivery = FirstDelivery(card, title);
    std::vector<xmlNodePtr> subtitles;
    Every(card, IsSubtitle, subtitles);
    if (!subtitles.empty()) {
      std::string text;
      TextOf(subtitles.back(), text, [](xmlNodePtr) { return false; });
      text = Collapse(text, false);
      text = Collapse(text.substr(0, text.find(" \xC2\xB7 ")));
      out.condition = text;
    }

    std::string run;
    BidRuns(card, title, run, out.bids);
    EndRun(run, out.bids);
    if (out.bids.empty()) out.bids = "0";

    if (out.amount.empty()) {
      out.leftOut = qb::CardLeftOut::kPrice;
    } else if (out.description.empty()) {
      out.leftOut = qb::CardLeftOut::kTitle;
    } else if (out.itemNumber.empty()) {
      out.leftOut = qb::CardLeftOut::kItemNumber;
    }
    return true;
  }

  void Cards(xmlNodePtr node, qb::CardPage& page) const {
    for (xmlNodePtr child = node->children; child && W.Live(child); child = child->next) {
      if (!IsElement(child)) continue;
      if (!IsCard(child)) {
        Cards(child, page);
        continue;
      }
      qb::SoldCard sold;
      if (Read(child, sold)) page.sold.push_back(std::move(sold));
    }
  }

 private:
  const ListWalk& W;
};

// The results list; fewerWords tells whether a boundary element comes
// before it in document order.
inline xmlNodePtr FindResultsList(xmlNodePtr node, bool& fewerWords) {
  for (; node; node = node->next) {
    if (!IsElement(node)) continue;
    if (HasAny(node, {"srp-results"})) return node;
    fewerWords = fewerWords || IsFewerWords(node);
    if (xmlNodePtr found = FindResultsList(node->children, fewerWords)) return found;
  }
  return nullptr;
}

}  // namespace cardref

// The card rules over libxml2's tree of the page.
inline qb::CardPage ReadCardPageWithLibxml2(std::string_view page) {
  qb::CardPage result;
  const htmlDocPtr doc =
      htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                     HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER | HTML_PARSE_NONET);
  if (!doc) return result;
  bool fewerWords = false;
  if (const xmlNodePtr list = cardref::FindResultsList(xmlDocGetRootElement(doc), fewerWords)) {
    result.hasResultsList = true;
    const cardref::ListWalk walk(list);
    result.fewerWordsOnly = fewerWords || walk.FewerWordsFirst();
    if (!result.fewerWordsOnly) cardref::CardRules(walk).Cards(list, result);
  }
  xmlFreeDoc(doc);
  return result;
}

inline std::string DescribeCard(const qb::SoldCard& card) {
  static constexpr std::string_view kLeftOut[] = {"added", "left out: price", "left out: title",
                                                  "left out: item number"};
  return card.itemNumber + "|" + card.bids + "|" + card.amount + "|" + card.description + "|" + card.sold +
         "|" + card.delivery + "|" + card.condition + "| (" +
         std::string(kLeftOut[static_cast<size_t>(card.leftOut)]) + ")";
}

// Empty when ReadCardPage and the libxml2 reading agree; otherwise the first
// difference with both readings.
inline std::string CompareCardReadings(std::string_view page) {
  const qb::CardPage ours = qb::ReadCardPage(page);
  const qb::CardPage reference = ReadCardPageWithLibxml2(page);
  if (ours.hasResultsList != reference.hasResultsList)
    return std::string("results list: ours ") + (ours.hasResultsList ? "found" : "none") + ", libxml2 " +
           (reference.hasResultsList ? "found" : "none");
  if (ours.fewerWordsOnly != reference.fewerWordsOnly)
    return std::string("fewer words only: ours ") + (ours.fewerWordsOnly ? "yes" : "no") + ", libxml2 " +
           (reference.fewerWordsOnly ? "yes" : "no");
  const size_t count = std::max(ours.sold.size(), reference.sold.size());
  for (size_t i = 0; i < count; ++i) {
    const std::string a = i < ours.sold.size() ? DescribeCard(ours.sold[i]) : "(none)";
    const std::string b = i < reference.sold.size() ? DescribeCard(reference.sold[i]) : "(none)";
    if (a != b)
      return "sold card " + std::to_string(i + 1) + " of " + std::to_string(ours.sold.size()) + " (ours) / " +
             std::to_string(reference.sold.size()) + " (libxml2):\n  ours:    " + a + "\n  libxml2: " + b;
  }
  return {};
}

}  // namespace qbtest
