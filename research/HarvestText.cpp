#include "HarvestText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Conversions.h"

namespace qb {

int DollarNoticeCount = 0;

namespace {

constexpr size_t npos = std::string_view::npos;

// Offset of the first marker in [data, data + size), or npos. Markers usually
// lie close by: the first bytes are searched by their first character, the
// rest, if need be, with memmem (whose set-up pays off only on long ranges).
size_t FindBytes(const char* data, size_t size, std::string_view marker) {
  if (marker.empty()) return 0;
  if (size < marker.size()) return npos;
  constexpr size_t kNear = 256;
  const size_t nearSize = std::min(size, kNear + marker.size() - 1);
  const char* const nearEnd = data + nearSize - marker.size() + 1;  // last start + 1
  for (const char* p = data; p < nearEnd; ++p) {
    p = static_cast<const char*>(std::memchr(p, marker[0], static_cast<size_t>(nearEnd - p)));
    if (!p) break;
    if (std::memcmp(p + 1, marker.data() + 1, marker.size() - 1) == 0) return static_cast<size_t>(p - data);
  }
  if (nearSize == size) return npos;
  const size_t skip = static_cast<size_t>(nearEnd - data);
#if defined(__GLIBC__)
  const void* hit = memmem(data + skip, size - skip, marker.data(), marker.size());
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : npos;
#else
  const size_t hit = std::string_view(data + skip, size - skip).find(marker);
  return hit == npos ? npos : hit + skip;
#endif
}

size_t FindIn(std::string_view text, std::string_view marker, size_t from = 0) {
  if (marker.size() == 1 && from < text.size()) {
    // Separators are close together: look at a few bytes before calling memchr.
    const size_t near = std::min(text.size(), from + 16);
    for (size_t i = from; i < near; ++i)
      if (text[i] == marker[0]) return i;
    if (near == text.size()) return npos;
    const void* hit = std::memchr(text.data() + near, marker[0], text.size() - near);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : npos;
  }
  if (from > text.size()) return npos;
  const size_t hit = FindBytes(text.data() + from, text.size() - from, marker);
  return hit == npos ? npos : hit + from;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(const char* a, std::string_view b) {
  for (size_t i = 0; i < b.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

// How common a byte is in page text; the least common one of a searched part
// is the one scanned for.
int Commonness(char c) {
  static constexpr std::string_view kLetters = "zqjxkvbywgpfmucdlhrsnioate";  // rare first
  const char f = FoldAscii(c);
  if (f >= 'a' && f <= 'z') return static_cast<int>(kLetters.find(f));
  if (f >= '0' && f <= '9') return 12;
  if (f == ' ' || f == '<' || f == '>' || f == '"' || f == '=' || f == '/' || f == '\n' || f == '\r')
    return 30;
  return 8;
}

// The markers the walks search for, with a memo each.
enum Marker : int {
  kVarSalejs,
  kCheckBox,
  kItemLinkEnd,
  kCategory,
  kItem,
  kAmp,
  kBoldOpen,
  kBoldClose,
  kRowspan,
  kCloseTag,
  kRowEnd,
  kRd1,
  kDsi,
  kComma,
  kQuoteComma,
  kQuoteQuote,
  kSingleQuoteComma,
  kMarkerCount
};

constexpr std::string_view kMarkerText[kMarkerCount] = {"var salejs",
                                                        "input type=\"checkbox\"",
                                                        "rd=1\">",
                                                        "category=",
                                                        "item=",
                                                        "&amp",
                                                        "<b>",
                                                        "</b>",
                                                        "rowspan=\"1\">",
                                                        "</",
                                                        "</tr>",
                                                        "rd=1",
                                                        "dSI(",
                                                        ",",
                                                        "\",",
                                                        "','",
                                                        "',"};

constexpr std::string_view kFindSortArray = "var findSortArray = [";
constexpr std::string_view kImgHeight = "<img height";
constexpr size_t kDescriptionLength = 55;

// Smallest shift at which a marker can occur again overlapping itself: after an
// occurrence at h, none starts in (h, h + period).
constexpr size_t MarkerPeriod(std::string_view m) {
  for (size_t shift = 1; shift < m.size(); ++shift)
    if (m.substr(shift) == m.substr(0, m.size() - shift)) return shift;
  return m.size();
}

constexpr auto kMarkerPeriod = [] {
  std::array<size_t, kMarkerCount> periods{};
  for (int m = 0; m < kMarkerCount; ++m) periods[m] = MarkerPeriod(kMarkerText[m]);
  return periods;
}();

// Record texts and cut results are suffixes of one page, held as offsets;
// the page's size stands for the empty text. Every marker search keeps a run of
// consecutive occurrences it has already found, so a walk finds each
// occurrence once however far records reach for a missing marker.
class PageScanner {
 public:
  // Descriptions count characters when the page is valid UTF-8; without utf8
  // given, that is checked when a description first holds a non-ASCII byte.
  explicit PageScanner(std::string_view page) : page_(page) {}
  PageScanner(std::string_view page, bool utf8) : page_(page), utf8_(utf8 ? kYes : kNo) {}

  size_t End() const { return page_.size(); }
  std::string_view Text(size_t s) const { return page_.substr(s); }

  // Index into runs_[m].hits of the first occurrence at or after s, or npos.
  size_t FindIndex(Marker m, size_t s);
  size_t Find(Marker m, size_t s) {
    const size_t index = FindIndex(m, s);
    return index == npos ? npos : runs_[m].hits[index];
  }

  size_t From(size_t s, Marker m, size_t k) {
    const size_t hit = Find(m, s);
    if (hit == npos) return k == 0 ? End() : Clamp(s + k - 1);
    return Clamp(hit + k);
  }

  std::string_view UpTo(size_t s, Marker m) {
    const size_t hit = Find(m, s);
    return hit == npos ? std::string_view() : page_.substr(s, hit - s);
  }

  std::string_view TableDescription(size_t rec);
  std::string_view TableItemNumber(size_t rec) {
    size_t t = From(rec, kCategory, 9);
    t = From(t, kItem, 5);
    return UpTo(t, kAmp);
  }
  std::string_view TableBids(size_t rec) {
    size_t t = From(rec, kBoldOpen, 0);
    t = From(t, kRowspan, 12);
    const std::string_view bids = UpTo(t, kCloseTag);
    return IsNumeric(bids, bidsMemo_) ? bids : std::string_view("0");
  }
  const std::string& TableAmount(size_t rec) {
    const size_t t = From(rec, kBoldOpen, 3);
    return Clean(UpTo(t, kBoldClose));
  }
  size_t NextTableRecord(size_t rec) {
    size_t t = From(rec, kRowEnd, 3);
    const size_t box = Find(kCheckBox, t);
    if (box != npos) t = box;
    return From(t, kRd1, 3);
  }

  std::string_view ScriptBids(size_t rec) { return UpTo(SkipSeparators(rec, 12), kComma); }
  std::string_view ScriptItemNumber(size_t rec) { return UpTo(SkipSeparators(rec, 14), kComma); }
  std::string_view ScriptDescription(size_t rec) {
    const size_t t = Clamp(SkipSeparators(rec, 15) + 1);
    return UpTo(t, kQuoteComma);
  }
  const std::string& ScriptAmount(size_t rec) {
    const size_t t = From(rec, kQuoteQuote, 3);
    return Clean(UpTo(t, kSingleQuoteComma));
  }
  size_t NextScriptRecord(size_t rec) { return From(rec, kDsi, 4); }

  bool IsItemNumber(std::string_view item) { return IsNumeric(item, itemMemo_); }

 private:
  struct Run {
    bool valid = false;
    bool exhausted = false;  // no occurrence after the last hit
    size_t from = 0;         // the hits are every occurrence from here on
    std::vector<size_t> hits;
  };
  struct NumericMemo {
    const char* data = nullptr;
    size_t size = npos;
    bool numeric = false;
  };
  // Image links followed from the item link at `first` up to the one at `last`.
  struct DescriptionChain {
    bool valid = false;
    size_t first = 0;
    size_t last = 0;
    size_t text = 0;
  };

  size_t Clamp(size_t s) const { return std::min(s, End()); }
  bool StartsWithImage(size_t s) const { return page_.substr(s, kImgHeight.size()) == kImgHeight; }

  size_t SkipSeparators(size_t s, int n);

  static void Reset(Run& run, size_t from, size_t hit) {
    run.valid = true;
    run.from = from;
    run.hits.clear();
    run.exhausted = hit == npos;
    if (hit != npos) run.hits.push_back(hit);
  }

  // IsNumericText, remembered for the last text (records that miss a marker
  // share the same far-away field).
  static bool IsNumeric(std::string_view text, NumericMemo& memo) {
    if (text.data() != memo.data || text.size() != memo.size) {
      memo.data = text.data();
      memo.size = text.size();
      memo.numeric = IsNumericText(text, true);
    }
    return memo.numeric;
  }

  const std::string& Clean(std::string_view amount) {
    if (!amountValid_ || amount.data() != amountData_ || amount.size() != amountSize_) {
      amountValid_ = true;
      amountData_ = amount.data();
      amountSize_ = amount.size();
      amount_ = CleanAmount(amount);
    }
    return amount_;
  }

  std::string_view page_;
  enum Utf8State { kUnknown, kNo, kYes };
  Utf8State utf8_ = kUnknown;
  Run runs_[kMarkerCount];
  DescriptionChain chain_;
  NumericMemo bidsMemo_;
  NumericMemo itemMemo_;
  bool amountValid_ = false;
  const char* amountData_ = nullptr;
  size_t amountSize_ = 0;
  std::string amount_;
};

size_t PageScanner::FindIndex(Marker m, size_t s) {
  if (s >= End()) return npos;
  const std::string_view marker = kMarkerText[m];
  Run& run = runs_[m];
  if (run.valid && s >= run.from) {
    if (run.exhausted || s <= run.hits.back()) {
      const auto it = std::lower_bound(run.hits.begin(), run.hits.end(), s);
      return it == run.hits.end() ? npos : static_cast<size_t>(it - run.hits.begin());
    }
    const size_t hit = FindIn(page_, marker, s);
    if (s <= run.hits.back() + kMarkerPeriod[m]) {
      // Nothing can start between the last hit and s: the run goes on.
      if (hit == npos) {
        run.exhausted = true;
        return npos;
      }
      run.hits.push_back(hit);
      return run.hits.size() - 1;
    }
    Reset(run, s, hit);
    return hit == npos ? npos : 0;
  }
  if (run.valid) {
    // A start before the run: add the occurrences in [s, run.from).
    const size_t end = std::min(End(), run.from + marker.size() - 1);
    std::vector<size_t> earlier;
    for (size_t p = s;;) {
      const size_t hit = FindBytes(page_.data() + p, end - p, marker);
      if (hit == npos) break;
      earlier.push_back(p + hit);
      p += hit + 1;
    }
    run.hits.insert(run.hits.begin(), earlier.begin(), earlier.end());
    run.from = s;
    return run.hits.empty() ? npos : 0;
  }
  const size_t hit = FindIn(page_, marker, s);
  Reset(run, s, hit);
  return hit == npos ? npos : 0;
}

size_t PageScanner::SkipSeparators(size_t s, int n) {
  const Run& run = runs_[kComma];
  size_t index = FindIndex(kComma, s);
  for (int i = 0; i < n; ++i) {
    if (index == npos) break;  // no comma: the text stays whole from here on
    const size_t hit = run.hits[index];
    s = Clamp(hit + 1);
    if (i + 1 == n) break;
    // The run holds consecutive commas: the next one is the next entry.
    index = index + 1 < run.hits.size() ? index + 1 : FindIndex(kComma, s);
  }
  return s;
}

std::string_view PageScanner::TableDescription(size_t rec) {
  size_t hit = Find(kItemLinkEnd, rec);
  size_t text;
  if (hit == npos) {
    // No item link from here on: every step loses five characters.
    text = Clamp(rec + 5);
    while (StartsWithImage(text)) text = Clamp(text + 5);
  } else if (chain_.valid && hit >= chain_.first && hit <= chain_.last) {
    // Every item link between first and last belongs to the chain.
    text = chain_.text;
  } else {
    const size_t first = hit;
    for (;;) {
      text = Clamp(hit + 6);
      if (!StartsWithImage(text)) break;
      const size_t next = Find(kItemLinkEnd, text);
      if (next == npos) {
        text = Clamp(text + 5);
        while (StartsWithImage(text)) text = Clamp(text + 5);
        break;
      }
      hit = next;
    }
    chain_ = DescriptionChain{true, first, hit, text};
  }
  const std::string_view rest = page_.substr(text);
  const std::string_view bytes = rest.substr(0, kDescriptionLength);
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) return bytes;
  if (utf8_ == kUnknown) utf8_ = IsValidUtf8(page_) ? kYes : kNo;
  return CutFirst(rest, kDescriptionLength, utf8_ == kYes);
}

// Calls AddGridRow unless the record is the very same page text as the one
// before (the grid would reject it again).
class RecordSink {
 public:
  explicit RecordSink(HarvestTarget& target) : target_(target) {}
  void Add(std::string_view description, std::string_view item, std::string_view bids,
           const std::string& amount) {
    if (valid_ && Same(description, description_) && Same(item, item_) && Same(bids, bids_) &&
        amount == amount_)
      return;
    valid_ = true;
    description_ = description;
    item_ = item;
    bids_ = bids;
    amount_ = amount;
    target_.AddGridRow(description, item, bids, amount);
  }

 private:
  static bool Same(std::string_view a, std::string_view b) {
    return a.data() == b.data() && a.size() == b.size();
  }
  HarvestTarget& target_;
  bool valid_ = false;
  std::string_view description_, item_, bids_;
  std::string amount_;
};

void WalkTable(PageScanner& scanner, size_t rec, HarvestTarget& target) {
  RecordSink sink(target);
  for (;;) {
    std::string_view description = scanner.TableDescription(rec);
    const std::string_view item = scanner.TableItemNumber(rec);
    const std::string_view bids = scanner.TableBids(rec);
    const std::string& amount = scanner.TableAmount(rec);
    if (!scanner.IsItemNumber(item)) {
      description = {};
      if (DollarNoticeCount == 0) {
        // Counted first: the message box lets another harvest run meanwhile.
        ++DollarNoticeCount;
        target.ShowDollarNotice();
      }
    }
    if (!description.empty()) sink.Add(description, item, bids, amount);
    if (description.empty()) break;
    rec = scanner.NextTableRecord(rec);
  }
}

void WalkScript(PageScanner& scanner, HarvestTarget& target) {
  RecordSink sink(target);
  size_t rec = scanner.From(0, kVarSalejs, 3);
  rec = scanner.NextScriptRecord(rec);
  for (;;) {
    std::string_view description = scanner.ScriptDescription(rec);
    const std::string_view item = scanner.ScriptItemNumber(rec);
    const std::string_view bids = scanner.ScriptBids(rec);
    const std::string& amount = scanner.ScriptAmount(rec);
    if (!scanner.IsItemNumber(item)) description = {};
    if (description.empty()) break;
    sink.Add(description, item, bids, amount);
    rec = scanner.NextScriptRecord(rec);
  }
}

bool IsAsciiWord(uint64_t word) { return (word & 0x8080808080808080ULL) == 0; }

}  // namespace

std::string_view CutFrom(std::string_view t, std::string_view marker, size_t k) {
  const size_t hit = FindIn(t, marker);
  size_t start;
  if (hit == npos) {
    if (k == 0) return {};
    start = k - 1;
  } else {
    start = hit + k;
  }
  return start >= t.size() ? std::string_view() : t.substr(start);
}

std::string_view CutUpTo(std::string_view t, std::string_view marker) {
  const size_t hit = FindIn(t, marker);
  return hit == npos ? std::string_view() : t.substr(0, hit);
}

std::string_view CutFirst(std::string_view t, size_t n, bool utf8) {
  if (!utf8 || t.size() <= n) return t.substr(0, n);
  // Stop in front of the lead byte of character n + 1.
  size_t chars = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if ((static_cast<unsigned char>(t[i]) & 0xC0) == 0x80) continue;
    if (chars == n) return t.substr(0, i);
    ++chars;
  }
  return t;
}

bool IsValidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, s + i, 8);
      if (IsAsciiWord(word)) {
        i += 8;
        continue;
      }
    }
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    uint32_t lowest;
    uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2, lowest = 0x80, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, lowest = 0x800, code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, lowest = 0x10000, code = c & 0x07;
    } else {
      return false;
    }
    if (i + length > n) return false;
    for (size_t j = 1; j < length; ++j) {
      if ((s[i + j] & 0xC0) != 0x80) return false;
      code = (code << 6) | (s[i + j] & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

bool TextContains(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  if (part.size() > text.size()) return false;
  size_t anchor = 0;
  for (size_t i = 1; i < part.size(); ++i)
    if (Commonness(part[i]) < Commonness(part[anchor])) anchor = i;
  const char lower = FoldAscii(part[anchor]);
  const char upper = (lower >= 'a' && lower <= 'z') ? static_cast<char>(lower - 'a' + 'A') : lower;
  // Anchor positions run from `anchor` to `last`; a missing byte is reported as
  // `stop` (one past last).
  const char* base = text.data();
  const char* stop = base + (text.size() - part.size() + anchor) + 1;
  const char* pos = base + anchor;
  const char* nextLower = nullptr;
  const char* nextUpper = upper == lower ? stop : nullptr;
  auto next = [&](const char*& cached, char c) {
    if (cached != stop && (cached == nullptr || cached < pos)) {
      const void* hit = std::memchr(pos, c, static_cast<size_t>(stop - pos));
      cached = hit ? static_cast<const char*>(hit) : stop;
    }
  };
  while (pos < stop) {
    next(nextLower, lower);
    next(nextUpper, upper);
    const char* candidate = std::min(nextLower, nextUpper);
    if (candidate == stop) return false;
    if (EqualFolded(candidate - anchor, part)) return true;
    pos = candidate + 1;
  }
  return false;
}

bool IsTableLayout(std::string_view page) { return !TextContains(page, kMarkerText[kVarSalejs]); }

std::string CleanAmount(std::string_view text) {
  // The text is kept when, without its first "$" and its commas, it is numeric.
  // A letter anywhere (GBP, AU, US $) fails that test as surely as the
  // currency checks would, so one pass decides.
  bool dollar = false;
  size_t kept = 0;
  for (const char c : text) {
    if ((c >= '0' && c <= '9') || c == '.') {
      ++kept;
    } else if (c == '$' && !dollar) {
      dollar = true;
    } else if (c != ',') {
      return std::string(kForeignAmount);
    }
  }
  if (kept == 0) return std::string(kForeignAmount);
  std::string amount;
  amount.reserve(kept);
  for (const char c : text)
    if (c != '$' && c != ',') amount.push_back(c);
  return amount;
}

std::string_view TableDescription(std::string_view rec, bool utf8) {
  return PageScanner(rec, utf8).TableDescription(0);
}
std::string_view TableDescription(std::string_view rec) { return PageScanner(rec).TableDescription(0); }
std::string_view TableItemNumber(std::string_view rec) { return PageScanner(rec, false).TableItemNumber(0); }
std::string_view TableBids(std::string_view rec) { return PageScanner(rec, false).TableBids(0); }
std::string TableAmount(std::string_view rec) { return PageScanner(rec, false).TableAmount(0); }
std::string_view NextTableRecord(std::string_view rec) {
  PageScanner scanner(rec, false);
  return scanner.Text(scanner.NextTableRecord(0));
}

std::string_view ScriptDescription(std::string_view rec) {
  return PageScanner(rec, false).ScriptDescription(0);
}
std::string_view ScriptItemNumber(std::string_view rec) {
  return PageScanner(rec, false).ScriptItemNumber(0);
}
std::string_view ScriptBids(std::string_view rec) { return PageScanner(rec, false).ScriptBids(0); }
std::string ScriptAmount(std::string_view rec) { return PageScanner(rec, false).ScriptAmount(0); }
std::string_view NextScriptRecord(std::string_view rec) {
  PageScanner scanner(rec, false);
  return scanner.Text(scanner.NextScriptRecord(0));
}

void HarvestTableLayout(std::string_view rec, HarvestTarget& target) {
  PageScanner scanner(rec);
  WalkTable(scanner, 0, target);
}

void HarvestScriptLayout(std::string_view page, HarvestTarget& target) {
  PageScanner scanner(page, false);
  WalkScript(scanner, target);
}

void HarvestPage(std::string_view page, HarvestTarget& target) {
  if (!IsTableLayout(page)) {
    HarvestScriptLayout(page, target);
    return;
  }
  const size_t list = FindIn(page, kFindSortArray);
  if (list == npos) {
    target.ShowNoResults();
    return;
  }
  const size_t box = FindIn(page, kMarkerText[kCheckBox], list);
  if (box == npos) return;
  PageScanner scanner(page);
  WalkTable(scanner, box, target);
}

}  // namespace qb
