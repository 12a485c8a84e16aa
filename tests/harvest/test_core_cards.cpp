#include <QtTest>
#include <string>

#include "harvest/HarvestCards.h"
#include "harvest/HarvestText.h"
#include "harvest/Snapshot.h"
#include "research/GridExport.h"
#include "research/GridRows.h"
#include "tests/common/HarvestBytes.h"
#include "tests/common/KernelLevels.h"
#include "tests/common/QtBytes.h"

using namespace qb;
using qbtest::Bytes;
using qbtest::View;

namespace {

// A results list around the cards, behind a head whose script mentions cards.
QByteArray Page(const QByteArray& cards) {
  return "<html><head><script>var t = '<ul class=\"srp-results\"><li class=\"s-item\">';</script>"
         "<style>.s-item{}</style></head><body><ul class=\"srp-results srp-list clearfix\">\n" +
         cards + "\n</ul><footer><li class=\"s-item\">footer</li></footer></body></html>";
}

// A generation 2 card (DOM form) with the given caption, title, price and rows.
QByteArray Card2(const QByteArray& id, const QByteArray& caption, const QByteArray& title,
                 const QByteArray& price, const QByteArray& rows = "<span>6 bids</span>") {
  return "<li class=\"s-card s-card--horizontal\" data-listingid=\"" + id +
         "\"><div class=\"s-card__caption\"><span class=\"su-styled-text positive\" aria-label=\"Sold "
         "Item\">" +
         caption + "</span></div><a class=\"s-card__link\" href=\"https://site/itm/" + id +
         "?x=1\"><div role=\"heading\" class=\"s-card__title\"><span class=\"su-styled-text primary\">" +
         title +
         "</span><span class=\"clipped\">Opens in a new window or tab</span></div></a><div class=\"row\">"
         "<span class=\"su-styled-text positive bold s-card__price\">" +
         price + "</span></div><div>" + rows + "</div></li>";
}
QByteArray Sold2(const QByteArray& id, const QByteArray& title, const QByteArray& price,
                 const QByteArray& rows = "<span>6 bids</span>") {
  return Card2(id, "Sold  Jul 20, 2026", title, price, rows);
}

}  // namespace

class TestCards : public QObject {
  Q_OBJECT

 private slots:
  void cards_data();
  void cards();
  void amounts_data();
  void amounts();
  void soldDates_data();
  void soldDates();
  void deliveries_data();
  void deliveries();
  void samplePages_data();
  void samplePages();
};

void TestCards::cards_data() {
  QTest::addColumn<QByteArray>("page");
  QTest::addColumn<QByteArrayList>("rows");
  QTest::addColumn<QByteArrayList>("said");
  const QByteArray ok = "1 sold listing: 1 added";
  const QByteArray price = "1 sold listing: 0 added, 1 left out (price not a single U.S. dollar amount)";

  QTest::newRow("generation 1, DOM form") << Page(
      "<li class=\"s-item s-item__pl-on-bottom\"><a class=\"s-item__link\" "
      "href=\"https://site/itm/125633387556?hash=item1d40555c24:g:x\"><div class=\"s-item__title\"><span "
      "role=\"heading\"><span class=\"LIGHT_HIGHLIGHT\">New Listing</span>Brass &amp; Glass<!--F#f_0--> "
      "Lamp&nbsp; 1960&#39;s &quot;Mid&#x2d;century&quot;</span></div><span class=\"clipped\">Opens in a new "
      "window or tab</span></a><div class=\"s-item__caption\"><span class=\"s-item__caption--signal "
      "POSITIVE\"><span>Sold  Apr 23, 2025</span></span></div><span class=\"s-item__price\"><span "
      "class=\"POSITIVE\">$79<!--F#f_1-->.99</span></span><span class=\"s-item__trending-price\">$99.00</span>"
      "<span class=\"s-item__bids s-item__bidCount\">12 bids<span class=\"srp-separator\"> · </span></span>"
      "<span class=\"s-item__shipping\">+$5.25 shipping</span></li>")
                                        << QByteArrayList{"125633387556|12|79.99|Brass & Glass Lamp 1960's "
                                                          "\"Mid-century\"|2025-04-23|5.25|"}
                                        << QByteArrayList{ok};
  QTest::newRow("generation 1, tag block and title slug")
      << Page(
             "<li class=s-item><div class=s-item__title--tagblock><span class=POSITIVE>Sold  Mar 3, "
             "2021</span></div><a href=/itm/Some-Title-Words/132521748790><h3 class=s-item__title>Old "
             "<b>lamp</b></h3></a><span class=s-item__price>$1,299.00</span><span>1 bid</span></li>")
      << QByteArrayList{"132521748790|1|1299.00|Old lamp|2021-03-03||"} << QByteArrayList{ok};
  QTest::newRow("generation 2, server form")
      << Page(
             "<li class=\"s-card s-card--horizontal\" id=item2bea9a2aef data-listingid=188619565807>"
             "<div class=s-card__caption><span class=\"su-styled-text positive\">Sold  1 Jul "
             "2026</span></div>"
             "<a class=s-card__link href=https://site/itm/188619565807?x><div role=heading "
             "class=s-card__title>"
             "<span class=s-card__new-listing>New Listing</span><span>Desk lamp</span></div></a>"
             "<span class=\"su-styled-text s-card__price\">$13.50</span><span>Buy It Now</span></li>")
      << QByteArrayList{"188619565807|0|13.50|Desk lamp|2026-07-01||"} << QByteArrayList{ok};
  QTest::newRow("generation 3")
      << Page(
             "<li class=su-grid__item><div class=\"su-item-card s-item-card\" "
             "data-listingid=\"358525687789\">"
             "<span class=\"signal signal--recent\">Sold  3 Jul 2026</span><a class=\"su-link "
             "su-item-card__title\" href=\"https://site/itm/358525687789?x\"><span role=heading>Floor "
             "lamp</span></a><span class=\"bold su-item-card__price\">$63.38</span><span>1,204 "
             "bids</span></div></li>")
      << QByteArrayList{"358525687789|1204|63.38|Floor lamp|2026-07-03||"} << QByteArrayList{ok};
  QTest::newRow("ended, live, carousel and placeholder are no records")
      << "<div class=s-clipped aria-hidden=true>" + Sold2("123456", "Shop", "$20.00") + "</div>" +
             Page(
                 Card2("11", "Ended  Jul 20, 2026", "Unsold", "$5.00") +
                 "<li class=s-card data-listingid=12><div class=s-card__title>Live</div>"
                 "<span class=s-card__price>$5.00</span></li>"
                 "<div class=\"s-card s-card--vertical\" data-listingid=13><div class=s-card__caption>Sold  "
                 "Jul"
                 "</div><div class=s-card__title>Carousel</div><span class=s-card__price>$1.00</span></div>" +
                 Sold2("14", "Kept", "$2.00"))
      << QByteArrayList{"14|6|2.00|Kept|2026-07-20||"} << QByteArrayList{ok};
  QTest::newRow("fewer words boundary")
      << Page(Sold2("21", "Before", "$2.00") +
              "<li class=\"srp-river-answer srp-river-answer--REWRITE_START\">"
              "Results matching fewer words</li>" +
              Sold2("22", "After", "$3.00"))
      << QByteArrayList{"21|6|2.00|Before|2026-07-20||"} << QByteArrayList{ok};
  QTest::newRow("delivery outside the title, the last subtitle up to its middle dot")
      << Page(Card2(
             "24", "Sold  3 Jul 2026", "Lamp <span>+$1.00 shipping</span>", "$5.00",
             "<span>6 bids</span><div class=s-card__subtitle><span>Authorized Dealer</span></div>"
             "<div class=s-card__subtitle>Pre-owned&nbsp;&middot; <b>N64</b></div><div>Free returns</div>"
             "<div><span>+$9.95</span><span>delivery by Sat</span></div><div>+$3.00 shipping</div>"))
      << QByteArrayList{"24|6|5.00|Lamp +$1.00 shipping|2026-07-03|9.95|Pre-owned"} << QByteArrayList{ok};
  const QByteArrayList fewerWords{"0 sold listings: 0 added", Bytes(kFewerWordsOnlyText)};
  QTest::newRow("fewer words before the list")
      << "<div class=srp-river-answer--REWRITE_START>No exact matches found</div>" +
             Page(Sold2("25", "Other", "$2.00"))
      << QByteArrayList{} << fewerWords;
  QTest::newRow("fewer words before the first card")
      << Page("<li class=\"srp-river-answer srp-river-answer--REWRITE_START\">Fewer words</li>" +
              Sold2("26", "Other", "$2.00"))
      << QByteArrayList{} << fewerWords;
  QTest::newRow("range in one price element") << Page(Sold2("31", "Range", "$0.99<span> to </span>$54.99"))
                                              << QByteArrayList{} << QByteArrayList{price};
  QTest::newRow("range in sibling price elements")
      << Page(
             "<li class=s-card data-listingid=32><div class=s-card__caption>Sold  Jul</div><div "
             "class=s-card__title>Range</div><span class=s-card__price>$46.95</span><span "
             "class=s-card__price> "
             "to </span><span class=s-card__price>$49.95</span></li>")
      << QByteArrayList{} << QByteArrayList{price};
  QTest::newRow("best offer inside the price")
      << Page(Sold2("33", "Offer", "<span class=\"STRIKETHROUGH POSITIVE\">$9.00</span>")) << QByteArrayList{}
      << QByteArrayList{price};
  QTest::newRow("best offer on the price element")
      << Page(
             "<li class=s-card data-listingid=34><div class=s-card__caption>Sold</div><div "
             "class=s-card__title>Offer</div><span class=\"s-card__price strikethrough\">$9.00</span></li>")
      << QByteArrayList{} << QByteArrayList{price};
  QTest::newRow("foreign and malformed prices")
      << Page(Sold2("41", "a", "C $12.00") + Sold2("42", "b", "£229.20") + Sold2("43", "c", "EUR 1.049,00") +
              Sold2("44", "d", "AU $63.38") + Sold2("45", "e", "$1,29.00") + Sold2("46", "f", "$5.") +
              "<li class=s-card data-listingid=47><div class=s-card__caption>Sold</div>"
              "<div class=s-card__title>No price</div></li>")
      << QByteArrayList{}
      << QByteArrayList{"7 sold listings: 0 added, 7 left out (price not a single U.S. dollar amount)"};
  QTest::newRow("bids: in the title ignored, none, zero")
      << Page(Sold2("51", "Lot of 12 bids", "$1.00", "<span>Buy It Now</span>") +
              Sold2("52", "z", "$1.00", "<span>0 bids</span>") +
              Sold2("53", "y", "$1.00", "<span>12 <!--x--> bids</span><span>3 bids</span>"))
      << QByteArrayList{"51|0|1.00|Lot of 12 bids|2026-07-20||", "52|0|1.00|z|2026-07-20||",
                        "53|12|1.00|y|2026-07-20||"}
      << QByteArrayList{"3 sold listings: 3 added"};
  QTest::newRow("item number from the link, then none")
      << Page(
             "<li class=s-card data-listingid=abc><div class=s-card__caption>Sold</div><a "
             "href=\"/itm/Title-Words/7788?x=/itm/1\"><div class=s-card__title>Link</div></a><span "
             "class=s-card__price>$1.00</span></li>"
             "<li class=s-card><div class=s-card__caption>Sold</div><a href=\"/b/lamps\"><div "
             "class=s-card__title>None</div></a><span class=s-card__price>$1.00</span></li>")
      << QByteArrayList{"7788|0|1.00|Link"}
      << QByteArrayList{"2 sold listings: 1 added, 1 left out (no item number)"};
  QTest::newRow("no title, nested card, duplicate")
      << Page(Sold2("61", " <!--x--> ", "$1.00") +
              "<li class=s-card data-listingid=62><div class=s-card__caption>Sold</div><div "
              "class=s-card__title>Outer</div><div class=su-item-card data-listingid=63><span "
              "class=signal>Sold</span></div><span class=s-card__price>$2.00</span></li>" +
              Sold2("62", "Again", "$3.00"))
      << QByteArrayList{"62|0|2.00|Outer"}
      << QByteArrayList{"3 sold listings: 1 added, 1 already in the grid, 1 left out (no title)"};
  QTest::newRow("unclosed li and end tags without elements")
      << Page(
             "<li class=s-card data-listingid=71><div class=s-card__caption>Sold</div></span><div "
             "class=s-card__title>One</div><span class=s-card__price>$1.00</span>"
             "<li class=s-card data-listingid=72><div class=s-card__caption>Sold</div><div "
             "class=s-card__title>Two</div><span class=s-card__price>$2.00</span>")
      << QByteArrayList{"71|0|1.00|One", "72|0|2.00|Two"} << QByteArrayList{"2 sold listings: 2 added"};
  QTest::newRow("endless attribute ends the page")
      << Page(Sold2("81", "Whole", "$1.00") + "<li class='s-card data-listingid=82>" +
              Sold2("83", "Lost", "$1"))
      << QByteArrayList{"81|6|1.00|Whole|2026-07-20||"} << QByteArrayList{ok};
  QTest::newRow("references in attribute values")
      << Page(
             "<li class=\"s-card&#32;x\" data-listingid=&#49;23><div class=s-card__caption>Sold</div><div "
             "class=s-card__title>A</div><span class=s-card__price>$1.00</span></li>"
             "<li class=s-card data-listingid=x><div class=s-card__caption>Sold</div><a href=/itm/12&#51;4>"
             "<div class=s-card__title>B</div></a><span class=s-card__price>$1.00</span></li>")
      << QByteArrayList{"123|0|1.00|A", "1234|0|1.00|B"} << QByteArrayList{"2 sold listings: 2 added"};
  QTest::newRow("price inside the title") << Page(
                                                 "<li class=s-card data-listingid=5><div "
                                                 "class=s-card__caption>Sold</div><div class=s-card__title>A "
                                                 "<span class=s-card__price>$1.00</span></div></li>")
                                          << QByteArrayList{"5|0|1.00|A $1.00"} << QByteArrayList{ok};
  QTest::newRow("no sold card") << Page(Card2("91", "Ended  Jul 20", "Unsold", "$5.00")) << QByteArrayList{}
                                << QByteArrayList{"0 sold listings: 0 added", Bytes(kNoSoldListingsText)};
  QTest::newRow("results list only in a script")
      << QByteArray("<script>var list = '<ul class=\"srp-results\">';</script><p>nothing</p>")
      << QByteArrayList{} << QByteArrayList{Bytes(kNoResultsText)};
  QTest::newRow("table layout comes first")
      << QByteArray("<ul class=srp-results>" + Sold2("95", "Card", "$1.00") +
                    "</ul><script>var findSortArray = [];</script>")
      << QByteArrayList{} << QByteArrayList{};
}

void TestCards::cards() {
  QFETCH(QByteArray, page);
  QFETCH(QByteArrayList, rows);
  QFETCH(QByteArrayList, said);
  const qbtest::HarvestedBytes harvested = qbtest::HarvestBytes(View(page));
  QCOMPARE(harvested.rows, rows);
  QCOMPARE(harvested.said, said);
}

void TestCards::amounts_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<QByteArray>("amount");
  QTest::newRow("whole") << QByteArray("$5") << QByteArray("5");
  QTest::newRow("thousands") << QByteArray("$1,299.00") << QByteArray("1299.00");
  QTest::newRow("millions") << QByteArray("$12,345,678.5") << QByteArray("12345678.5");
  QTest::newRow("ungrouped") << QByteArray("$12345.00") << QByteArray("12345.00");
  QTest::newRow("short group") << QByteArray("$12,34") << QByteArray();
  QTest::newRow("long group") << QByteArray("$1,2345") << QByteArray();
  QTest::newRow("group after four digits") << QByteArray("$1234,567") << QByteArray();
  QTest::newRow("bare point") << QByteArray("$5.") << QByteArray();
  QTest::newRow("no digits before point") << QByteArray("$.50") << QByteArray();
  QTest::newRow("blank after sign") << QByteArray("$ 5.00") << QByteArray();
  QTest::newRow("two signs") << QByteArray("$$5.00") << QByteArray();
  QTest::newRow("prefix") << QByteArray("US $5.00") << QByteArray();
  QTest::newRow("two points") << QByteArray("$5.00.1") << QByteArray();
}

void TestCards::amounts() {
  QFETCH(QByteArray, text);
  QFETCH(QByteArray, amount);
  QCOMPARE(Bytes(CardAmount(View(text))), amount);
}

void TestCards::soldDates_data() {
  QTest::addColumn<QByteArray>("caption");
  QTest::addColumn<QByteArray>("date");
  QTest::newRow("month first") << QByteArray("Sold Jul 20, 2026") << QByteArray("2026-07-20");
  QTest::newRow("day first") << QByteArray("Sold 3 Jul 2026") << QByteArray("2026-07-03");
  QTest::newRow("period and Sept") << QByteArray("Sold Sept. 30, 2025") << QByteArray("2025-09-30");
  QTest::newRow("Sep, day first, period") << QByteArray("Sold 1 Sep. 2025") << QByteArray("2025-09-01");
  QTest::newRow("no comma") << QByteArray("Sold Jul 20 2026") << QByteArray("2026-07-20");
  QTest::newRow("text after the year")
      << QByteArray("Sold Mar 3, 2021 · Best offer") << QByteArray("2021-03-03");
  QTest::newRow("leap day") << QByteArray("Sold Feb 29, 2028") << QByteArray("2028-02-29");
  QTest::newRow("no leap day") << QByteArray("Sold 29 Feb 2026") << QByteArray();
  QTest::newRow("century without leap day") << QByteArray("Sold Feb 29, 2100") << QByteArray();
  QTest::newRow("day the month lacks") << QByteArray("Sold Apr 31, 2026") << QByteArray();
  QTest::newRow("day zero") << QByteArray("Sold 0 Jul 2026") << QByteArray();
  QTest::newRow("three-digit day") << QByteArray("Sold Jul 120, 2026") << QByteArray();
  QTest::newRow("five-digit year") << QByteArray("Sold Jul 20, 20261") << QByteArray();
  QTest::newRow("whole month name") << QByteArray("Sold July 20, 2026") << QByteArray();
  QTest::newRow("lower-case month") << QByteArray("Sold jul 20, 2026") << QByteArray();
  QTest::newRow("no year") << QByteArray("Sold Jul 20") << QByteArray();
  QTest::newRow("no date") << QByteArray("Sold") << QByteArray();
  QTest::newRow("ended") << QByteArray("Ended Jul 20, 2026") << QByteArray();
}

void TestCards::soldDates() {
  QFETCH(QByteArray, caption);
  QFETCH(QByteArray, date);
  QCOMPARE(Bytes(CardSoldDate(View(caption))), date);
}

// The text of one element, '|' standing for a tag inside it.
void TestCards::deliveries_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<QByteArray>("delivery");
  QTest::newRow("paid") << QByteArray("+$7.00 delivery") << QByteArray("7.00");
  QTest::newRow("shipping, thousands") << QByteArray("+$1,299.50 shipping") << QByteArray("1299.50");
  QTest::newRow("whole dollars") << QByteArray("+$7 delivery") << QByteArray("7");
  QTest::newRow("split fast delivery") << QByteArray("+$9.95|delivery by Sat, Nov. 1") << QByteArray("9.95");
  QTest::newRow("anything may follow") << QByteArray("+$5.00 delivery, or pickup") << QByteArray("5.00");
  QTest::newRow("blanks collapse") << QByteArray("  +$5.00 |  shipping") << QByteArray("5.00");
  QTest::newRow("free") << QByteArray("Free delivery") << QByteArray("0.00");
  QTest::newRow("free, word between") << QByteArray("Free 2-day shipping") << QByteArray("0.00");
  QTest::newRow("free, three words") << QByteArray("Free a b c|shipping") << QByteArray("0.00");
  QTest::newRow("free, four words") << QByteArray("Free a b c d shipping") << QByteArray();
  QTest::newRow("free, keyword-like word") << QByteArray("Free deliveryman shipping") << QByteArray("0.00");
  QTest::newRow("free, fourth word starts like it") << QByteArray("Free a b c dx delivery") << QByteArray();
  QTest::newRow("free pickup") << QByteArray("Free local pickup") << QByteArray();
  QTest::newRow("free, lower case") << QByteArray("free delivery") << QByteArray();
  QTest::newRow("other currency") << QByteArray("+AU $28.43 delivery") << QByteArray();
  QTest::newRow("amount alone") << QByteArray("+$7.00") << QByteArray();
  QTest::newRow("word cut short") << QByteArray("+$7.00 deliver") << QByteArray();
  QTest::newRow("word goes on") << QByteArray("+$7.00 deliveryman") << QByteArray();
  QTest::newRow("one cent digit") << QByteArray("+$7.0 delivery") << QByteArray();
  QTest::newRow("three cent digits") << QByteArray("+$7.000 delivery") << QByteArray();
  QTest::newRow("short group") << QByteArray("+$1,29 delivery") << QByteArray();
  QTest::newRow("long group") << QByteArray("+$1,2345 delivery") << QByteArray();
  QTest::newRow("group after four digits") << QByteArray("+$1234,567 delivery") << QByteArray();
  QTest::newRow("tag inside the amount") << QByteArray("+$|7.00 delivery") << QByteArray();
  QTest::newRow("no plus") << QByteArray("$7.00 delivery") << QByteArray();
}

void TestCards::deliveries() {
  QFETCH(QByteArray, text);
  QFETCH(QByteArray, delivery);
  DeliveryText reader;
  const QByteArrayList pieces = text.split('|');
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    if (i > 0) reader.Feed(" ");
    reader.Feed(View(pieces[i]));
  }
  const bool matched = reader.Finish() == DeliveryText::State::kMatched;
  QCOMPARE(matched ? Bytes(reader.amount()) : QByteArray(), delivery);
}

// The sample pages against their expected CSV and report lines.
void TestCards::samplePages_data() {
  QTest::addColumn<QString>("name");
  const QDir pages(qEnvironmentVariable("QB_SOURCE_DIR") + "/pages");
  for (const QString& name : pages.entryList({"sample-cards-*.htm"}, QDir::Files, QDir::Name))
    QTest::newRow(qPrintable(name)) << name;
  if (pages.entryList({"sample-cards-*.htm"}).isEmpty()) QTest::newRow("none") << QString();
}

void TestCards::samplePages() {
  QFETCH(QString, name);
  QVERIFY2(!name.isEmpty(), "no card sample pages");
  const QString source = qEnvironmentVariable("QB_SOURCE_DIR");
  const QString base = QFileInfo(name).completeBaseName();
  QFile csv(source + "/tests/harvest/cards/" + base + ".csv");
  QFile report(source + "/tests/harvest/cards/" + base + ".report");
  QVERIFY2(csv.open(QIODevice::ReadOnly) && report.open(QIODevice::ReadOnly), qPrintable(base));
  const std::string page = ReadSnapshotText((source + "/pages/" + name).toStdString());
  qbtest::RecordingTarget target;
  HarvestPage(page, target);
  QCOMPARE(Bytes(GridCsv(target.grid)), csv.readAll());
  QCOMPARE(qbtest::ByteList(target.said), report.readAll().trimmed().split('\n'));
}

QB_TEST_AT_EVERY_KERNEL_LEVEL(TestCards)
#include "test_core_cards.moc"
