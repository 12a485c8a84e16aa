// Arbitrary bytes as a page: the whole harvest, both walks from the page start,
// CleanAmount and the snapshot line-end rules. The memoised walks must give the
// same grid and messages as the literal walks over the plain cut operations.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "harvest/HarvestText.h"
#include "harvest/PageText.h"
#include "harvest/Snapshot.h"
#include "research/GridRows.h"
#include "runtime/Conversions.h"
#include "tests/common/HarvestReference.h"
#include "tests/common/RecordingTarget.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

using qbtest::RecordingTarget;

void CheckSame(const RecordingTarget& fast, const RecordingTarget& literal) {
  Check(fast.said == literal.said);
  Check(fast.grid.size() == literal.grid.size());
  for (size_t i = 0; i < fast.grid.size(); ++i) {
    const qb::ResearchRow& a = fast.grid[i];
    const qb::ResearchRow& b = literal.grid[i];
    Check(a.itemNumber == b.itemNumber && a.bids == b.bids && a.amount == b.amount &&
          a.description == b.description);
    Check(qb::IsNumericText(a.itemNumber, true) && qb::IsNumericText(a.amount, true) &&
          !a.description.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);

  {
    RecordingTarget fast, literal;
    qb::HarvestPage(page, fast);
    qbref::HarvestPage(page, literal);
    CheckSame(fast, literal);
    Check(fast.DollarNoticeCount() == literal.DollarNoticeCount());
  }
  {
    RecordingTarget fast, literal;
    qb::HarvestTableLayout(page, fast);
    qbref::WalkTable(page, qb::IsValidUtf8(page), literal);
    CheckSame(fast, literal);
  }
  {
    RecordingTarget fast, literal;
    qb::HarvestScriptLayout(page, fast);
    qbref::WalkScript(page, literal);
    CheckSame(fast, literal);
  }

  const std::string amount = qb::CleanAmount(page);
  Check(amount == "FOREIGN" || (qb::IsNumericText(amount, true) && amount.size() <= size));

  const std::string text = qb::PageTextFromBytes(page);
  Check(text.find('\0') == std::string::npos);
  Check(text.empty() || text.ends_with("\r\n"));
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') Check(i + 1 < text.size() && text[i + 1] == '\n');
    if (text[i] == '\n') Check(i > 0 && text[i - 1] == '\r');
  }
  return 0;
}
