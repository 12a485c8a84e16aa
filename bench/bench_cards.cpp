// Card-page harvest throughput on generated result pages of today's layout:
// realistic (scripts and styles first, then a results list of cards of the
// three generations with carousels between them) and adversarial (tags never
// closed, cards without price or title, an attribute that never ends).
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdint>
#include <map>
#include <string>

#include "bench/HarvestBench.h"
#include "harvest/HarvestCards.h"
#include "harvest/HarvestText.h"
#include "harvest/NextPage.h"

namespace {

enum CardPageKind { kRealistic, kUnclosed, kBare, kEndlessAttribute };

constexpr size_t kMB = 1000 * 1000;

std::string Price(int n) {
  switch (n % 11) {
    case 3:
      return "$" + std::to_string(n % 90) + ".95<span> to </span>$" + std::to_string(100 + n % 90) + ".95";
    case 5: return "<span class=\"STRIKETHROUGH POSITIVE\">$" + std::to_string(20 + n % 70) + ".00</span>";
    case 7: return "C $" + std::to_string(10 + n % 90) + ".00";
    case 9: return "$1,<!--F#f_0-->" + std::to_string(100 + n % 900) + ".00";
    default: return "$" + std::to_string(10 + n % 900) + "." + std::to_string(10 + n % 90);
  }
}

// About 3 kB of markup for one card, like the pages saved from the browser,
// with the sold date, condition and delivery rows of sold cards.
std::string Card(unsigned long long item, int n, CardPageKind kind) {
  const std::string id = std::to_string(item);
  const std::string caption = n % 4 == 1   ? "Ended  Jul 20, 2026"
                              : n % 4 == 2 ? "Sold  3 Jul 2026"
                                           : "Sold  Jul 20, 2026";
  const std::string link =
      "https://www.example.test/itm/" + id +
      "?_skw=brass+lamp&amp;hash=item3a0f1b2c3d:g:AbCdEfGhIjKl&amp;itmprp=enc%3AAQAJAAAA4H";
  const std::string picture =
      "<div class=\"s-card__media-wrapper\"><div class=\"su-media su-media--image\">"
      "<div class=\"su-media__image\"><a href=\"" +
      link +
      "\" tabindex=\"-1\" aria-hidden=\"true\"><img class=\"s-card__image\" src=\"https://"
      "img.example.test/images/g/AbCd/s-l500.webp\" alt=\"Brass desk lamp\" loading=\"lazy\" "
      "width=\"300\" height=\"300\"></a></div></div></div>";
  std::string title =
      "<span class=\"su-styled-text primary default\">Brass &amp; Glass Desk Lamp, Green Shade "
      "<!--F#f_1-->No. " +
      std::to_string(n) + " &#8211; 1960&#39;s</span>";
  if (n % 6 == 0) title = "<span class=\"s-card__new-listing\">New Listing</span>" + title;
  std::string card =
      "<li id=\"item" + id + "\" data-listingid=\"" + id +
      "\" data-view=\"mi:1686|iid:" + std::to_string(n + 1) +
      "\" class=\"s-card s-card--horizontal s-card--dark-solt-links-blue\">"
      "<div class=\"su-card-container su-card-container--horizontal\">"
      "<div class=\"su-card-container__media\">" +
      picture +
      "</div>"
      "<div class=\"su-card-container__content\"><div class=\"su-card-container__header\">"
      "<div class=\"s-card__caption\"><span class=\"su-styled-text " +
      std::string(n % 4 == 1 ? "negative" : "positive") + " default\">" + caption +
      "</span></div><a class=\"su-link\" href=\"" + link +
      "\" target=\"_blank\" data-interactions=\"[{&quot;actionKind&quot;:&quot;NAVSRC&quot;}]\">"
      "<div role=\"heading\" aria-level=\"3\" class=\"s-card__title\">" +
      title +
      "<span class=\"clipped\">Opens in a new window or tab</span></div></a>"
      "<div class=\"s-card__subtitle-row\"><div class=\"s-card__subtitle\"><span class=\""
      "su-styled-text secondary default\">Pre-Owned &#183; Brass</span></div></div></div>"
      "<div class=\"su-card-container__attributes\"><div class=\"su-card-container__attributes__"
      "primary\"><div class=\"s-card__attribute-row\"><span class=\"su-styled-text positive bold "
      "large-1 s-card__price\">";
  if (kind != kBare) card += Price(n);
  card += "</span></div>";
  if (n % 3 != 2)
    card += "<div class=\"s-card__attribute-row\"><span class=\"su-styled-text secondary large\">" +
            std::to_string(n % 40) + " bids</span></div>";
  else
    card +=
        "<div class=\"s-card__attribute-row\"><span class=\"su-styled-text secondary large\">Buy It Now"
        "</span></div>";
  const char* delivery = n % 5 == 0   ? "Free delivery"
                         : n % 5 == 1 ? "+$9.95</span><span class=\"su-styled-text positive bold large\">"
                                        "delivery by Sat, Nov. 1"
                                      : "+$7.00 delivery";
  card +=
      std::string("<div class=\"s-card__attribute-row\"><span class=\"su-styled-text secondary large\">") +
      delivery +
      "</span></div><div class=\"s-card__attribute-row\"><span class=\"su-styled-text secondary large\">"
      "Located in United States</span></div></div><div class=\"su-card-container__attributes__secondary\">"
      "<div class=\"s-card__attribute-row\"><span class=\"su-styled-text secondary large\">seller_" +
      std::to_string(n % 97) +
      " 99.2% positive (1.2K)</span></div></div></div></div><div class=\"su-card-container__footer\">"
      "<button class=\"icon-btn\" aria-label=\"Watch\"><svg class=\"icon\" focusable=\"false\" "
      "aria-hidden=\"true\"><use href=\"#icon-heart-24\"></use></svg></button></div></div></li>\n";
  if (kind == kUnclosed) {
    // Every closing tag of the card's inner blocks is left out; stray end tags follow.
    std::string open;
    for (size_t i = 0; i < card.size(); ++i) {
      if (card.compare(i, 6, "</div>") == 0) {
        i += 5;
        continue;
      }
      open += card[i];
    }
    card = open + "</b></i></em></strong>\n";
  }
  if (kind == kBare) {
    const size_t at = card.find("class=\"s-card__title\"");
    card.replace(at, 21, "class=\"title\"");
  }
  return card;
}

std::string Carousel(int n) {
  std::string c = "<li class=\"s-card--carousel\"><div class=\"carousel\"><ul class=\"carousel__list\">";
  for (int i = 0; i < 6; ++i)
    c += "<li class=\"carousel__item\"><div class=\"s-card s-card--vertical\" data-listingid=\"30" +
         std::to_string(n * 10 + i) + "\"><a href=\"https://www.example.test/itm/30" +
         std::to_string(n * 10 + i) +
         "\"><div class=\"s-card__title\">Suggested lamp</div></a><span class=\"s-card__price\">$12.00</span>"
         "</div></li>";
  return c + "</ul></div></li>\n";
}

// A page of about `size` bytes (or fewer, of `cards` cards): a third scripts and
// styles, then the list.
std::string MakeCardPage(CardPageKind kind, size_t size, int cards = INT_MAX) {
  std::string page;
  page.reserve(size + 8192);
  page += "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>brass lamp | sold</title>\n";
  while (page.size() < size / 6)
    page +=
        "<script type=\"application/json\">{\"w\":[\"<div class='s-item'>\",\"srp-results\",1,2,3],"
        "\"x\":\"a < b && c > d\",\"y\":\"<li class=\\\"s-card\\\">\"}</script>\n"
        "<style>.s-card__price{font-weight:700}.s-card>li{margin:0 0 8px}</style>\n";
  page +=
      "</head><body><header><nav><ul class=\"gh-nav\"><li><a href=\"/\">Home</a></li></ul></nav></header>\n";
  while (page.size() < size / 3)
    page +=
        "<script>window.__data = \"<ul class='srp-results'><li class='s-item'>$1.00</li></ul>\";"
        "function f(a, b) { return a < b ? '</div>' : '<span>'; }</script>\n";
  page +=
      "<div class=\"s-clipped\" aria-hidden=\"true\"><li class=\"s-card\" data-listingid=\"123456\">"
      "<div class=\"s-card__caption\">Sold</div><div class=\"s-card__title\">Shop on our site</div>"
      "<span class=\"s-card__price\">$20.00</span></li></div>\n";
  page += "<ul class=\"srp-results srp-list clearfix\">\n";
  if (kind == kEndlessAttribute) page += "<li class=\"s-card\" data-note='an attribute that never ends ";
  unsigned long long item = 188600000000ULL;
  for (int n = 0; page.size() < size && n < cards; ++n, ++item) {
    page += Card(item, n, kind);
    if (n % 40 == 39) page += Carousel(n);
  }
  page +=
      "</ul><nav class=\"pagination\"><a class=\"pagination__previous icon-link\" aria-disabled=\"true\">"
      "&lsaquo;</a><ol class=\"pagination__items\"><li><a aria-current=\"page\" href=\"?_pgn=1\">1</a></li>"
      "<li><a href=\"?_pgn=2\">2</a></li></ol><a class=\"pagination__next icon-link\" type=\"next\" "
      "href=\"?_nkw=brass+lamp&amp;_pgn=2\">&rsaquo;</a></nav><footer><p>Page 1</p></footer></body></html>\n";
  return page;
}

const std::string& Page(CardPageKind kind, size_t size) {
  static std::map<std::pair<int, size_t>, std::string> pages;
  auto& page = pages[{kind, size}];
  if (page.empty()) page = MakeCardPage(kind, size);
  return page;
}

void Harvest(benchmark::State& state, CardPageKind kind) {
  MeasureHarvest(state, Page(kind, static_cast<size_t>(state.range(0)) * kMB));
}

void BM_HarvestCards(benchmark::State& state) { Harvest(state, kRealistic); }

// A result page of 240 listings, the most a page shows, with its next link.
const std::string& Page240() {
  static const std::string page = MakeCardPage(kRealistic, 3 * kMB, 240);
  return page;
}

// What Add All Pages does with such a page besides F7's harvest: find its
// next-page link.
void BM_NextPageHref240(benchmark::State& state) {
  const std::string& page = Page240();
  for (auto _ : state) benchmark::DoNotOptimize(qb::NextPageHref(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

// The page's harvest and its next link, as the walk reads each page.
void BM_WalkPage240(benchmark::State& state) {
  const std::string& page = Page240();
  if (!qb::NextPageHref(page)) state.SkipWithError("no next link");
  MeasureHarvest(state, page, [&] { benchmark::DoNotOptimize(qb::NextPageHref(page)); });
}
void BM_HarvestCardsUnclosed(benchmark::State& state) { Harvest(state, kUnclosed); }
void BM_HarvestCardsBare(benchmark::State& state) { Harvest(state, kBare); }
void BM_HarvestCardsEndlessAttribute(benchmark::State& state) { Harvest(state, kEndlessAttribute); }

}  // namespace

BENCHMARK(BM_HarvestCards)->Arg(3)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextPageHref240)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkPage240)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestCardsUnclosed)->Arg(3)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestCardsBare)->Arg(3)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestCardsEndlessAttribute)->Arg(3)->Arg(30)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
