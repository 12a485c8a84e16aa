#include "harvest/PageScanner.h"

namespace qb {

size_t PageScanner::FindIndex(Marker m, size_t s) {
  if (s >= End()) return npos;
  const std::string_view marker = kMarkerText[m];
  Run& run = FRuns[m];
  if (run.valid && s >= run.from) {
    if (run.exhausted || s <= run.hits.back()) {
      const auto it = std::lower_bound(run.hits.begin(), run.hits.end(), s);
      return it == run.hits.end() ? npos : static_cast<size_t>(it - run.hits.begin());
    }
    const size_t hit = FindIn(FPage, marker, s);
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
      const size_t hit = FindBytes(FPage.data() + p, end - p, marker);
      if (hit == npos) break;
      earlier.push_back(p + hit);
      p += hit + 1;
    }
    run.hits.insert(run.hits.begin(), earlier.begin(), earlier.end());
    run.from = s;
    return run.hits.empty() ? npos : 0;
  }
  const size_t hit = FindIn(FPage, marker, s);
  Reset(run, s, hit);
  return hit == npos ? npos : 0;
}

size_t PageScanner::SkipSeparators(size_t s, int n) {
  const Run& run = FRuns[kSeparatorCut.marker];
  size_t index = FindIndex(kSeparatorCut.marker, s);
  for (int i = 0; i < n; ++i) {
    if (index == npos) break;  // no comma: the text stays whole from here on
    const size_t hit = run.hits[index];
    s = Clamp(hit + kSeparatorCut.k);
    if (i + 1 == n) break;
    // The run holds consecutive commas: the next one is the next entry.
    index = index + 1 < run.hits.size() ? index + 1 : FindIndex(kSeparatorCut.marker, s);
  }
  return s;
}

std::string_view PageScanner::TableDescription(size_t rec) {
  size_t hit = Find(kTitleCut.marker, rec);
  size_t text;
  if (hit == npos) {
    // No item link from here on: every step loses k - 1 characters.
    text = Clamp(rec + kTitleCut.k - 1);
    while (StartsWithImage(text)) text = Clamp(text + kTitleCut.k - 1);
  } else if (FChain.valid && hit >= FChain.first && hit <= FChain.last) {
    // Every item link between first and last belongs to the chain.
    text = FChain.text;
  } else {
    const size_t first = hit;
    for (;;) {
      text = Clamp(hit + kTitleCut.k);
      if (!StartsWithImage(text)) break;
      const size_t next = Find(kTitleCut.marker, text);
      if (next == npos) {
        text = Clamp(text + kTitleCut.k - 1);
        while (StartsWithImage(text)) text = Clamp(text + kTitleCut.k - 1);
        break;
      }
      hit = next;
    }
    FChain = DescriptionChain{true, first, hit, text};
  }
  const std::string_view rest = FPage.substr(text);
  const std::string_view bytes = rest.substr(0, kDescriptionLength);
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) return bytes;
  if (FUtf8 == kUnknown) FUtf8 = IsValidUtf8(FPage) ? kYes : kNo;
  return CutFirst(rest, kDescriptionLength, FUtf8 == kYes);
}

}  // namespace qb
