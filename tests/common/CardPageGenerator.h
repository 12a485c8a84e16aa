#pragma once

// Writes card result pages for the differential check: well-formed markup of
// the three card generations, in the DOM's quoted form or the server's
// unquoted single-token form, with the traps of real pages. Every choice comes
// from a CardChoices source, so a seed or a fuzzer's bytes drive the page; a
// source that answers 0 ever after ends the page soon.
//
// Kept out, because the two readings may differ there without either being
// wrong by the card rules: character references in the attribute values the
// rules read (class, data-listingid, the item path of href), optional end
// tags and misnested markup (HTML parsers repair them differently), '/>' on
// elements that are not void outside svg, raw-text elements other than
// script and style, references a parser drops (&#0;, controls, surrogates),
// and a price element inside a title or a title inside a price.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qbtest {

class CardChoices {
 public:
  virtual ~CardChoices() = default;
  // A number below n; 0 when n is 0 or 1.
  virtual unsigned Pick(unsigned n) = 0;
  bool OneIn(unsigned n) { return Pick(n) == 0; }
  template <class T, size_t N>
  const T& Of(const T (&items)[N]) {
    return items[Pick(N)];
  }
};

// Deterministic from a seed (splitmix64).
class SeededChoices : public CardChoices {
 public:
  explicit SeededChoices(uint64_t seed) : FState(seed) {}
  unsigned Pick(unsigned n) override {
    if (n <= 1) return 0;
    FState += 0x9E3779B97F4A7C15ull;
    uint64_t z = FState;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<unsigned>((z ^ (z >> 31)) % n);
  }

 private:
  uint64_t FState;
};

// One byte per choice (two for choices of more than 256), then 0 for ever.
class ByteChoices : public CardChoices {
 public:
  ByteChoices(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  unsigned Pick(unsigned n) override {
    if (n <= 1) return 0;
    unsigned value = 0;
    for (unsigned bytes = n > 256 ? 2 : 1; bytes > 0; --bytes) value = value << 8 | Next();
    return value % n;
  }

 private:
  unsigned Next() { return FPos < FSize ? FData[FPos++] : 0; }
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

class CardPageWriter {
 public:
  explicit CardPageWriter(CardChoices& choices) : C(choices) {}

  std::string Page() {
    FServer = C.OneIn(2);
    FUpperCase = C.OneIn(8);
    if (!C.OneIn(4)) Out += "<!DOCTYPE html>\n";
    Out += Start("html") + Start("head");
    Out += "<meta charset=\"utf-8\">";
    if (!C.OneIn(3)) FakeMarkupScript();
    if (!C.OneIn(3)) FakeMarkupStyle();
    Out += End("head") + Blank() + Start("body");
    if (!C.OneIn(3)) Out += Start("nav") + Text(3) + End("nav");
    if (!C.OneIn(2)) Placeholders();
    if (C.OneIn(16))  // a search without an exact match
      Out += Element("div", Class({"srp-river-answer--REWRITE_START"}), "0 results, No exact matches found");
    if (C.OneIn(12)) {
      // No results list: a near miss of the token only.
      Out += Start("ul", Class({"srp-results-x", "srp-list"})) + Card(0) + End("ul");
    } else {
      ResultsList();
    }
    if (!C.OneIn(3)) {
      Out += Start("footer") + Start("ul") + Card(0) + End("ul") + End("footer");
    }
    if (C.OneIn(6)) {
      Out += Start("ul", Class({"srp-results"})) + Card(0) + End("ul");  // only the first list counts
    }
    Out += End("body") + End("html") + "\n";
    return std::move(Out);
  }

 private:
  // ---- markup ----

  std::string Name(std::string_view name) {
    std::string text(name);
    if (FUpperCase && C.OneIn(2))
      for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
  }

  // An attribute as the form writes it; value is the attribute's value.
  std::string Attr(std::string_view name, std::string_view value) {
    std::string out = (C.OneIn(16) ? "\n  " : " ") + Name(name);
    if (C.OneIn(24)) out += " ";
    out += "=";
    if (C.OneIn(24)) out += " ";
    const bool single = !value.empty() && value.find_first_of(" \t\n\r\f\"'=<>`&") == std::string_view::npos;
    if (FServer && single && !C.OneIn(6)) return out + std::string(value);
    const char quote = value.find('\'') == std::string_view::npos && C.OneIn(8) ? '\'' : '"';
    out += quote;
    for (const char c : value) {
      if (c == '&') {
        out += FServer && C.OneIn(2) ? "&" : "&amp;";
      } else if (c == '"' && quote == '"') {
        out += "&quot;";
      } else {
        out += c;
      }
    }
    return out + quote;
  }

  std::string Class(std::vector<std::string_view> tokens, std::vector<std::string_view> extras = {}) {
    for (const std::string_view extra : extras)
      if (!C.OneIn(3)) tokens.push_back(extra);
    for (size_t i = tokens.size(); i > 1; --i)
      std::swap(tokens[i - 1], tokens[C.Pick(static_cast<unsigned>(i))]);
    static constexpr std::string_view kSeparators[] = {" ", " ", " ", "  ", "\n", "\t"};
    std::string list;
    for (const std::string_view token : tokens) {
      if (!list.empty()) list += C.Of(kSeparators);
      list += token;
    }
    return Attr("class", list);
  }

  std::string Start(std::string_view name, const std::string& attributes = {}) {
    static constexpr std::string_view kBare[] = {" hidden", " data-marko", " aria-hidden", " DRAGGABLE"};
    std::string tag = "<" + Name(name) + attributes;
    if (C.OneIn(16)) tag += C.Of(kBare);                                  // an attribute without a value
    if (C.OneIn(24)) tag += Attr("aria-label", "Price > $5 & \"more\"");  // '>' inside quotes
    if (attributes.find("lass=") != std::string::npos && C.OneIn(32))
      tag += Attr("class", "s-card srp-results");  // a second class attribute is ignored
    return tag + (C.OneIn(20) ? " >" : ">");
  }
  std::string End(std::string_view name) { return "</" + Name(name) + (C.OneIn(24) ? " >" : ">"); }
  std::string Element(std::string_view name, const std::string& attributes, const std::string& content) {
    return Start(name, attributes) + content + End(name);
  }
  std::string Span(std::vector<std::string_view> tokens, const std::string& content) {
    return Element("span", tokens.empty() ? std::string() : Class(tokens), content);
  }

  std::string Blank() {
    static constexpr std::string_view kBlanks[] = {"", "", "\n", " ", "\n  ", "\t"};
    return std::string(C.Of(kBlanks));
  }

  std::string Comment() {
    static constexpr std::string_view kComments[] = {"<!--F#f_0-->", "<!--F#f_1-->", "<!-- s-card__price -->",
                                                     "<!--<li class=\"s-item\">-->", "<!---->"};
    return std::string(C.Of(kComments));
  }

  // ---- texts ----

  std::string Word() {
    static constexpr std::string_view kWords[] = {"Lamp",
                                                  "Brass",
                                                  "Vintage",
                                                  "Mid-century",
                                                  "1960's",
                                                  "Desk",
                                                  "Caf\xC3\xA9",
                                                  "Gr\xC3\xB6\xC3\x9F"
                                                  "e",
                                                  "&amp;",
                                                  "&lt;b&gt;",
                                                  "&quot;Rare&quot;",
                                                  "Tom&#39;s",
                                                  "&#65;&#66;",
                                                  "&#x2019;",
                                                  "&eacute;t&eacute;",
                                                  "&copy;",
                                                  "&reg;",
                                                  "&frac12;",
                                                  "&deg;",
                                                  "&times;",
                                                  "&uuml;ber",
                                                  "&pound;5",
                                                  "&euro;",
                                                  "12 bids",
                                                  "1 bid",
                                                  "$5.00",
                                                  "Sold",
                                                  "a < b",
                                                  "x&y",
                                                  "&bogus;",
                                                  "&amp",
                                                  "Lot",
                                                  "of",
                                                  "&#233;",
                                                  "&#x20AC;"};
    return std::string(C.Of(kWords));
  }

  std::string Space() {
    static constexpr std::string_view kSpaces[] = {" ",  " ",      " ",        "  ",     "\n    ",
                                                   "\t", "&nbsp;", "\xC2\xA0", "&nbsp; "};
    return std::string(C.Of(kSpaces));
  }

  // A few words with blanks, references and comments between them.
  std::string Text(unsigned most) {
    std::string text;
    if (C.OneIn(6)) text += Space();
    const unsigned words = 1 + C.Pick(most);
    for (unsigned i = 0; i < words; ++i) {
      if (i > 0) text += C.OneIn(10) ? Comment() : Space();
      text += Word();
    }
    if (C.OneIn(6)) text += Space();
    return text;
  }

  // ---- page parts ----

  void FakeMarkupScript() {
    Out += Start("script") +
           "var t = '<ul class=\"srp-results\"><li class=\"s-item\"><span class=s-item__price>$1.00</span>';"
           " if (a < b && c > d) document.write('</li></ul>');" +
           End("script");
  }
  void FakeMarkupStyle() {
    Out += Start("style") + ".s-card__title:after{content:\"<b class=srp-results>\"}" + End("style");
  }

  std::string InlineScript() {
    static constexpr std::string_view kScripts[] = {
        "document.write('<span class=\"s-card__price\">$1.00</span><li class=s-item>')",
        "x = '</span></li><li class=\"s-card\" data-listingid=\"1\">'",
        "if (n<3) m = '<div class=srp-river-answer--REWRITE_START>'"};
    if (C.OneIn(2)) return Element("style", "", ".a>.b{content:'</div>12 bids'}");
    return Element("script", C.OneIn(2) ? Attr("type", "text/javascript") : "", std::string(C.Of(kScripts)));
  }

  std::string Icon() {
    if (C.OneIn(2))
      return "<svg" + Class({"icon"}) + Attr("aria-hidden", "true") + "><path" + Attr("d", "M0 0h24v24") +
             "/><use" + Attr("href", "#icon-x") + " /></svg>";
    if (C.OneIn(2)) return "<img" + Attr("src", "https://i.site/x.jpg") + Attr("alt", "Lamp & shade") + ">";
    return C.OneIn(2) ? "<br>" : "<img" + Attr("src", "a.png") + " />";
  }

  // Noise anywhere between the elements of a card.
  std::string Extra() {
    switch (C.Pick(8)) {
      case 0: return Comment();
      case 1: return InlineScript();
      case 2: return Icon();
      case 3: return Span({"su-styled-text", "secondary"}, Text(3));
      case 4: return Element("div", Class({"s-card__attribute-row"}), Span({}, "+$5.25 shipping"));
      default: return Blank();
    }
  }

  void Placeholders() {
    Out += Start("div", Class({C.OneIn(2) ? "s-clipped" : "clipped"}) + Attr("aria-hidden", "true"));
    Out += Start("ul", Class({"srp-placeholder"}));
    for (unsigned i = 1 + C.Pick(2); i > 0; --i) Out += Card(0, "123456", "$20.00");
    Out += End("ul") + End("div");
  }

  void ResultsList() {
    const std::string_view list = C.OneIn(6) ? "div" : "ul";
    Out += Start(list, Class({"srp-results"}, {"srp-list", "clearfix"})) + Blank();
    bool boundary = false;
    for (unsigned items = 0; items < 60 && (items < 1 || !C.OneIn(10)); ++items) {
      switch (C.Pick(16)) {
        case 0: Out += Element("li", Class({"srp-carousel-list"}), Carousel()); break;
        case 1: Out += Carousel(); break;
        case 2: Out += Element("li", Class({"srp-river-answer"}), Element("div", "", Text(4))); break;
        case 3:
          if (!boundary) {
            boundary = true;
            Out += Element("li", Class({"srp-river-answer", "srp-river-answer--REWRITE_START"}),
                           Element("div", Class({"srp-river-answer__text"}), "Results matching fewer words"));
            break;
          }
          [[fallthrough]];
        default: Out += Card(0);
      }
      Out += Blank();
    }
    Out += End(list);
  }

  // Suggestions: div cards that are no records.
  std::string Carousel() {
    std::string carousel;
    for (unsigned i = 1 + C.Pick(3); i > 0; --i)
      carousel +=
          Element("div", Class({"s-card", "s-card--vertical"}) + Attr("data-listingid", Number()),
                  Element("div", Class({"s-card__caption"}), "Sold  Jul 20, 2026") +
                      Element("div", Class({"s-card__title"}), Text(3)) + Span({"s-card__price"}, "$1.00"));
    return carousel;
  }

  // ---- one card ----

  std::string Number() {
    std::string number(1, static_cast<char>('1' + C.Pick(9)));
    for (unsigned digits = 5 + C.Pick(8); digits > 0; --digits) number += static_cast<char>('0' + C.Pick(10));
    return number;
  }

  std::string ListingIdAttr(const std::string& number) {
    switch (C.Pick(10)) {
      case 0: return "";
      case 1: return Attr("data-listingid", "abc");
      case 2: return Attr("data-listingid", number + "x");
      default: return Attr("data-listingid", number);
    }
  }

  std::string Href(const std::string& number) {
    static constexpr std::string_view kHosts[] = {"https://www.site.example", "", "//www.site.example"};
    const std::string host(C.Of(kHosts));
    switch (C.Pick(10)) {
      case 0: return host + "/itm/Some-Title-Words-2/" + number;
      case 1: return host + "/itm/" + number + "/";
      case 2: return host + "/itm/" + number + "#tab";
      case 3: return host + "/itm/abc?x=/itm/77";
      case 4: return host + "/itm/" + number + "?hash=item1d40555c24:g:x&amdata=enc%3A1&_trksid=p/itm/9";
      default: return host + "/itm/" + number + "?hash=item1d40555c24:g:x";
    }
  }

  // The link around inner, with a link elsewhere first now and then.
  std::string Link(const std::string& number, std::vector<std::string_view> tokens,
                   const std::string& inner) {
    std::string link;
    if (C.OneIn(8)) link += Element("a", Attr("href", "/b/lamps/123"), "Lamps");
    if (C.OneIn(6)) return link + Element("span", "", inner);  // no item link
    return link + Element("a", Class(tokens) + Attr("href", Href(number)), inner);
  }

  std::string CaptionText() {
    static constexpr std::string_view kTexts[] = {"Sold  Jul 20, 2026",
                                                  "Sold  1 Jul 2026",
                                                  "Sold  Sept. 3, 2026",
                                                  "Sold  30 Sep 2026",
                                                  "Sold  Feb 29, 2028",
                                                  "Sold  29 Feb 2026",
                                                  "Sold  31 Apr 2026",
                                                  "Sold  July 20, 2026",
                                                  "Sold  Jul 20 2026",
                                                  "Sold  Jul 20, 20261",
                                                  "Sold  3 Jul 2026 &middot; Best offer",
                                                  "Sold&nbsp; Apr 23, 2025",
                                                  " \n Sold  Mar 3, 2021",
                                                  "So<!--x-->ld  Jul 2",
                                                  "Ended  Jul 20, 2026",
                                                  "sold Jul 2",
                                                  "Sold",
                                                  "Soldier",
                                                  "SOLD  Jul 2"};
    const std::string text(C.Of(kTexts));
    if (C.OneIn(6)) return Span({}, text.substr(0, 2)) + Span({}, text.substr(2));
    return text;
  }

  // The caption of generation g, or nothing for a live listing.
  std::string Caption(unsigned generation, const std::string& forced = {}) {
    if (forced.empty() && C.OneIn(8)) return "";
    const std::string text = forced.empty() ? CaptionText() : forced;
    switch (generation) {
      case 1:
        if (C.OneIn(3)) return Element("div", Class({"s-item__title--tagblock"}), Span({"POSITIVE"}, text));
        return Element("div", Class({"s-item__caption"}),
                       Span({"s-item__caption--signal"}, {"POSITIVE"}, Span({}, text)));
      case 2:
        return Element(
            "div", Class({"s-card__caption"}),
            Element("span", Class({"su-styled-text", "positive"}) + Attr("aria-label", "Sold Item"), text));
      default: return Element("span", Class({"signal"}, {"signal--recent"}), text);
    }
  }
  std::string Span(std::vector<std::string_view> tokens, std::vector<std::string_view> extras,
                   const std::string& content) {
    return Element("span", Class(std::move(tokens), std::move(extras)), content);
  }

  // The inside of a title: words, badges that are left out, nested inline markup.
  std::string TitleInner(unsigned generation) {
    if (C.OneIn(14)) return C.OneIn(2) ? "" : Space() + Comment() + Space();
    std::string inner;
    if (C.OneIn(3)) {
      inner += generation == 1 ? Span({"LIGHT_HIGHLIGHT"}, "New Listing")
                               : Span({"s-card__new-listing"}, "New Listing");
      inner += Blank();
    }
    inner += Text(6);
    if (C.OneIn(4)) inner += Space() + Element(C.OneIn(2) ? "b" : "i", "", Text(2)) + Text(2);
    if (C.OneIn(8)) inner += Span({"s-card__caption"}, "Sold");
    if (C.OneIn(12)) inner += InlineScript();
    if (C.OneIn(12)) inner += Icon();
    if (!C.OneIn(3)) inner += Span({"clipped"}, "Opens in a new window or tab");
    return inner;
  }

  std::string Title(unsigned generation, const std::string& number) {
    if (C.OneIn(14)) return Link(number, {"s-card__link"}, Span({}, "no title here"));
    const std::string inner = TitleInner(generation);
    switch (generation) {
      case 1: {
        const std::string heading = C.OneIn(3) ? Element("h3", Class({"s-item__title"}), inner)
                                               : Element("div", Class({"s-item__title"}),
                                                         Element("span", Attr("role", "heading"), inner));
        return Link(number, {"s-item__link"}, heading);
      }
      case 2:
        return Link(number, {"s-card__link"},
                    Element("div", Attr("role", "heading") + Class({"s-card__title"}),
                            C.OneIn(2) ? inner : Span({"su-styled-text", "primary"}, inner)));
      default:
        return Link(number, {"su-link", "su-item-card__title"},
                    Element("span", Attr("role", "heading"), inner));
    }
  }

  std::string AmountText() {
    static constexpr std::string_view kDollars[] = {
        "$13.50",     "$1,299.00",          "$5",      "$12,345,678.5", "$12345.00", "$0.99", "$20.00",
        "$1,000,000", "$79<!--F#f_1-->.99", " $7.25 ", "\n$4.10\n"};
    static constexpr std::string_view kOthers[] = {"$1,29.00",
                                                   "$5.",
                                                   "$.50",
                                                   "$ 5.00",
                                                   "US $5.00",
                                                   "C $12.00",
                                                   "AU $63.38",
                                                   "\xC2\xA3"
                                                   "229.20",
                                                   "EUR 1.049,00",
                                                   "GBP 8.50",
                                                   "$1,2345",
                                                   "$7&nbsp;.25",
                                                   "$$5",
                                                   "$5.00.1",
                                                   "$1234,567",
                                                   "$-5.00"};
    std::string text(C.OneIn(3) ? C.Of(kOthers) : C.Of(kDollars));
    if (C.OneIn(8) && text.size() > 3)
      return Span({"POSITIVE"}, text.substr(0, 2)) + Span({}, text.substr(2));  // split across spans
    return text;
  }

  std::string StrikeToken() {
    static constexpr std::string_view kTokens[] = {"STRIKETHROUGH", "strikethrough", "StrikeThrough"};
    return std::string(C.Of(kTokens));
  }

  // The card's price elements.
  std::string Price(unsigned generation) {
    static constexpr std::string_view kTokens[] = {"", "s-item__price", "s-card__price",
                                                   "su-item-card__price"};
    const std::string_view token = kTokens[generation];
    switch (C.Pick(20)) {
      case 0: return "";  // no price
      case 1: {           // a range in one element
        return Span({token}, AmountText() + Span({}, " to ") + AmountText());
      }
      case 2:  // a range in sibling elements
        return Span({token}, {"su-styled-text"}, AmountText()) + Span({token}, " to ") +
               Span({token}, {"bold"}, AmountText());
      case 3: {  // an accepted best offer
        const std::string strike = StrikeToken();
        if (C.OneIn(2)) return Span({token, strike}, {"su-styled-text"}, AmountText());
        return Span({token}, Span({strike}, {"POSITIVE"}, AmountText()));
      }
      case 4:  // nested price elements count once
        return Span({token}, Span({token}, AmountText()));
      case 5: {  // a struck "was" price outside the price
        std::string was = Span({"s-item__trending-price"}, Span({StrikeToken()}, {}, "$99.00"));
        return C.OneIn(2) ? was + Span({token}, AmountText()) : Span({token}, AmountText()) + was;
      }
      default: return Span({token}, {"su-styled-text", "positive", "bold", "large-1"}, AmountText());
    }
  }

  std::string BidsText() {
    static constexpr std::string_view kBids[] = {
        "12 bids",     "1 bid",       "0 bids",     "1,204 bids",    "6 bids",     "12 <!--x--> bids",
        "3&nbsp;bids", " 7 bids ",    "1 bids",     "2 bid",         "01 bid",     "1,2045 bids",
        "bids",        "2 bids left", "Buy It Now", "or Best Offer", "\n11\nbids", "1,000,000 bids"};
    return std::string(C.Of(kBids));
  }

  std::string Bids(unsigned generation) {
    if (C.OneIn(4)) return "";
    std::string text = BidsText();
    if (C.OneIn(5)) text += Span({"srp-separator"}, " &middot; ");
    if (generation == 1 && C.OneIn(2))
      return Element("span", Class({"s-item__bids", "s-item__bidCount"}), text);
    return Element("div", Class({"s-card__attribute-row"}),
                   Span({"su-styled-text", "secondary", "large"}, text));
  }

  // The card's delivery rows: paid, free, split, foreign or none; the first
  // that reads counts.
  std::string Delivery(unsigned generation) {
    static constexpr std::string_view kTexts[] = {"+$7.00 delivery",       "+$1,299.50 shipping",
                                                  "+$7 delivery",          "Free delivery",
                                                  "Free 2-day shipping",   "Free local pickup shipping",
                                                  "Free a b c d shipping", "+AU $28.43 delivery",
                                                  "Local pickup only",     "+$7.00",
                                                  "+$7.0 delivery",        "+$1,29 delivery",
                                                  "&#43;$5.00 delivery",   "Free&nbsp;delivery",
                                                  "+$5.00 deliveryman",    " +$9.95 shipping, or pickup"};
    std::string rows;
    for (unsigned i = C.Pick(3); i > 0; --i) {
      std::string text(C.Of(kTexts));
      if (C.OneIn(4)) text = Span({}, "+$9.95") + Span({"positive"}, "delivery by Sat, Nov. 1");
      rows += generation == 1 && C.OneIn(2)
                  ? Span({"s-item__shipping", "s-item__logisticsCost"}, text)
                  : Element("div", Class({"s-card__attribute-row"}), Span({"su-styled-text"}, text));
    }
    return rows;
  }

  // The condition: none, one subtitle, or a seller's subtitle before it.
  std::string Subtitles(unsigned generation) {
    static constexpr std::string_view kTokens[] = {"", "s-item__subtitle", "s-card__subtitle",
                                                   "su-item-card__subtitle"};
    static constexpr std::string_view kTexts[] = {"Pre-Owned",
                                                  "Brand New",
                                                  "Pre-owned \xC2\xB7 Nintendo 64 \xC2\xB7 NTSC",
                                                  "Open Box&nbsp;&middot; Boxed",
                                                  " \xC2\xB7 Parts",
                                                  "Certified - Refurbished\xC2\xB7x",
                                                  ""};
    std::string rows;
    for (unsigned i = C.Pick(3); i > 0; --i) {
      const std::string_view token = C.OneIn(8) ? C.Of(kTokens) : kTokens[generation];
      if (token.empty()) continue;
      const std::string text =
          i > 1 && C.OneIn(2) ? "Authorized Dealer - 30 Day Returns" : std::string(C.Of(kTexts));
      rows += Element("div", Class({"s-card__subtitle-row"}),
                      Element("div", Class({token}), Span({"SECONDARY_INFO"}, text)));
    }
    return rows;
  }

  // A card of some generation; placeholder cards force their number and price.
  std::string Card(unsigned depth, const std::string& forcedNumber = {},
                   const std::string& forcedPrice = {}) {
    const unsigned generation = 1 + C.Pick(3);
    const std::string number = forcedNumber.empty() ? Number() : forcedNumber;
    std::vector<std::string> parts;
    parts.push_back(Caption(generation, forcedPrice.empty() ? std::string() : "Sold  Jul 1, 2026"));
    parts.push_back(Title(generation, number));
    parts.push_back(forcedPrice.empty() ? Price(generation) : Span({"s-card__price"}, forcedPrice));
    parts.push_back(Bids(generation));
    parts.push_back(Subtitles(generation));
    parts.push_back(Delivery(generation));
    for (unsigned i = C.Pick(3); i > 0; --i) parts.push_back(Extra());
    if (depth == 0 && C.OneIn(12)) {  // a nested card belongs to the outer one
      const std::string inner = Card(1);
      parts.push_back(inner.starts_with("<li") || inner.starts_with("<LI")
                          ? Element("ul", Class({"s-card__nested"}), inner)
                          : inner);
    }
    if (depth == 0 && C.OneIn(40))  // the boundary inside a card ends the walk there
      parts.push_back(Element("div", Class({"srp-river-answer--REWRITE_START"}), "fewer words"));
    // Caption and title swap places now and then; the rest keep their order.
    if (C.OneIn(3)) std::swap(parts[0], parts[1]);
    if (C.OneIn(8)) std::swap(parts[2], parts[3]);
    std::string body;
    for (const std::string& part : parts) body += part + Blank();

    switch (generation) {
      case 1:
        return Element(
            "li", Class({"s-item"}, {"s-item__pl-on-bottom"}) + (C.OneIn(3) ? ListingIdAttr(number) : ""),
            body);
      case 2: {
        std::string attributes = Class({"s-card"}, {"s-card--horizontal"});
        if (!C.OneIn(4)) attributes += Attr("id", "item2bea9a2aef");
        attributes += ListingIdAttr(number);
        if (C.OneIn(4)) attributes += Attr("data-view", "{\"mi\":\"1686\",\"li\":\"" + number + "\"}");
        return Element("li", attributes, Element("div", Class({"su-card-container__header"}), body));
      }
      default: {
        const std::string card = Element(
            "div",
            Class({"su-item-card"}, {"s-item-card", "s-item-card--search-evo"}) + ListingIdAttr(number),
            body);
        return C.OneIn(6) ? card : Element("li", Class({"su-grid__item"}), card);
      }
    }
  }

  CardChoices& C;
  bool FServer = false;
  bool FUpperCase = false;
  std::string Out;
};

inline std::string GenerateCardPage(CardChoices& choices) { return CardPageWriter(choices).Page(); }

}  // namespace qbtest
