// Harvest text engine throughput on generated result pages of both layouts,
// realistic and adversarial (records lacking a marker), against the floor of
// plain memmem passes over the same page for the same markers.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bench/HarvestBench.h"
#include "harvest/HarvestText.h"
#include "harvest/PageScanner.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "research/GridRows.h"

namespace {

enum PageKind { kTable, kTableNoBold, kScript, kScriptNoQuotes };

constexpr size_t kMB = 1000 * 1000;

std::string TableRow(unsigned long long item, int n, bool bold) {
  const std::string id = std::to_string(item);
  const std::string link =
      "<a href=\"viewitem.htm?ViewItem&amp;category=11703&amp;item=" + id + "&amp;rd=1\">";
  const std::string price = "$" + std::to_string(10 + n % 900) + "." + std::to_string(10 + n % 90);
  std::string row;
  row += "<tr class=\"" + std::string(n % 2 ? "odd" : "even") + "\">\r\n";
  row += "<td class=\"cb\"><input type=\"checkbox\" name=\"itemid\" value=\"" + id + "\"></td>\r\n";
  row += "<td class=\"pic\">" + link + "<img height=\"64\" width=\"64\" border=\"0\" src=\"img/photo.svg\" ";
  row += "alt=\"Picture\"></a></td>\r\n";
  row += "<td class=\"title\">" + link + "Brass Desk Lamp with Green Glass Shade, No. " + std::to_string(n);
  row += "</a><span class=\"sub\">Rewired, works well, ships the next business day</span></td>\r\n";
  row += bold ? "<td class=\"price\"><b>" + price + "</b></td>\r\n"
              : "<td class=\"price\">" + price + "</td>\r\n";
  row += "<td class=\"bids\" rowspan=\"1\">" + std::to_string(n % 23) + "</td>\r\n";
  row += "<td class=\"ends\">Jun-14 18:22</td>\r\n</tr>\r\n";
  return row;
}

std::string ScriptRecord(unsigned long long item, int n, bool quotes) {
  const std::string price = "$" + std::to_string(10 + n % 900) + "." + std::to_string(10 + n % 90);
  std::string r = "dSI(" + std::to_string(100 + n) + ",7279,1," + std::to_string(1150300000 + n) +
                  ",450,212,0,0,0,1,1,0,";
  r += std::to_string(n % 23) + "," + std::to_string(n % 4) + "," + std::to_string(item);
  r += ",\"Celluloid Fountain Pen, 14k Gold Nib, No. " + std::to_string(n) + "\",";
  r += quotes ? "'img/photo.svg','" + price + "','Jun-14 18:22');\r\n"
              : "\"img/photo.svg\",\"" + price + "\",\"Jun-14 18:22\");\r\n";
  return r;
}

// A page of about `size` bytes.
std::string MakePage(PageKind kind, size_t size) {
  std::string page;
  page.reserve(size + 4096);
  const bool table = kind == kTable || kind == kTableNoBold;
  page += "<html><head><title>Completed listings</title>\r\n<script type=\"text/javascript\">\r\n";
  if (table) page += "var findSortArray = [\r\n[\"bestmatch\", \"Best Match\"]];\r\n";
  page += "</script></head><body>\r\n";
  if (!table) page += "<script type=\"text/javascript\">\r\nvar salejs = 1;\r\n";
  unsigned long long item = 4512000000ULL;
  for (int n = 0; page.size() < size; ++n, ++item)
    page += table ? TableRow(item, n, kind == kTable) : ScriptRecord(item, n, kind == kScript);
  // The adversarial pages hold the missing marker once, at the very end.
  if (kind == kTableNoBold) page += "<b>$1.00</b><td rowspan=\"1\">1</td>";
  if (kind == kScriptNoQuotes) page += "'a','$1.00','b'";
  page += table ? "</table><p>Page 1 of 1</p></body></html>\r\n" : "</script></body></html>\r\n";
  return page;
}

const std::string& Page(PageKind kind, size_t size) {
  static std::map<std::pair<int, size_t>, std::string> pages;
  auto& page = pages[{kind, size}];
  if (page.empty()) page = MakePage(kind, size);
  return page;
}

void Harvest(benchmark::State& state, PageKind kind) {
  MeasureHarvest(state, Page(kind, static_cast<size_t>(state.range(0)) * kMB));
}

void BM_HarvestTable(benchmark::State& state) { Harvest(state, kTable); }
void BM_HarvestTableNoBold(benchmark::State& state) { Harvest(state, kTableNoBold); }
void BM_HarvestScript(benchmark::State& state) { Harvest(state, kScript); }
void BM_HarvestScriptNoQuotes(benchmark::State& state) { Harvest(state, kScriptNoQuotes); }

// The whole harvest into a real grid (rows stored, item numbers indexed).
void BM_HarvestTableIntoGrid(benchmark::State& state) {
  const std::string& page = Page(kTable, static_cast<size_t>(state.range(0)) * kMB);
  class GridTarget : public qb::HarvestTarget {
   public:
    bool AddGridRow(std::string_view d, std::string_view i, std::string_view b, std::string_view a,
                    const qb::SaleDetails& details) override {
      return grid.AddGridRow(d, i, b, a, details);
    }
    void ShowDollarNotice() override {}
    void ShowNoResults() override {}
    qb::GridRows grid;
  };
  for (auto _ : state) {
    GridTarget target;
    qb::HarvestPage(page, target);
    benchmark::DoNotOptimize(target.grid.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

// Floor: one plain memmem pass over the page for each marker the walk uses.
size_t CountAll(const std::string& page, std::string_view marker) {
  size_t count = 0;
  const char* p = page.data();
  const char* end = p + page.size();
  while (const void* hit = memmem(p, static_cast<size_t>(end - p), marker.data(), marker.size())) {
    ++count;
    p = static_cast<const char*>(hit) + marker.size();
  }
  return count;
}

// The engine's markers of each walk.
std::vector<std::string_view> WalkMarkers(qb::Marker first, qb::Marker last) {
  std::vector<std::string_view> markers = {qb::kMarkerText[qb::kVarSalejs]};
  for (int m = first; m <= last; ++m)
    if (m != qb::kVarSalejs) markers.push_back(qb::kMarkerText[m]);
  return markers;
}
const std::vector<std::string_view> kTableMarkers = [] {
  std::vector<std::string_view> markers = WalkMarkers(qb::kVarSalejs, qb::kRd1);
  markers.push_back(qb::kFindSortArray);
  return markers;
}();
const std::vector<std::string_view> kScriptMarkers = WalkMarkers(qb::kDsi, qb::kSingleQuoteComma);

void Floor(benchmark::State& state, PageKind kind, const std::vector<std::string_view>& markers) {
  const std::string& page = Page(kind, static_cast<size_t>(state.range(0)) * kMB);
  for (auto _ : state) {
    size_t total = 0;
    for (std::string_view marker : markers) total += CountAll(page, marker);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
void BM_MemmemFloorTable(benchmark::State& state) { Floor(state, kTable, kTableMarkers); }
void BM_MemmemFloorScript(benchmark::State& state) { Floor(state, kScript, kScriptMarkers); }
// A single pass for one marker: the cheapest conceivable scan of the page.
void BM_MemmemOnePassRowEnd(benchmark::State& state) { Floor(state, kTable, {"</tr>"}); }

// Reading a snapshot back: line ends to CR LF (page written with LF).
void BM_PageTextFromBytes(benchmark::State& state) {
  std::string bytes = Page(kTable, static_cast<size_t>(state.range(0)) * kMB);
  std::string lf;
  lf.reserve(bytes.size());
  for (char c : bytes)
    if (c != '\r') lf.push_back(c);
  for (auto _ : state) {
    std::string text = qb::PageTextFromBytes(lf);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(lf.size()));
}

}  // namespace

BENCHMARK(BM_HarvestTable)->Arg(2)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestTableNoBold)->Arg(2)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestScript)->Arg(2)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestScriptNoQuotes)->Arg(2)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestTableIntoGrid)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemFloorTable)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemFloorScript)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemOnePassRowEnd)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageTextFromBytes)->Arg(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
