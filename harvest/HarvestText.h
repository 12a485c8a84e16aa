#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "harvest/ByteSearch.h"
#include "harvest/HarvestTarget.h"
#include "harvest/LayoutRules.h"

namespace qb {

// A page of the script layout holds this, in any letter case.
inline constexpr std::string_view kScriptLayoutMark = kMarkerText[kVarSalejs];

// False when the page holds kScriptLayoutMark in any letter case.
bool IsTableLayout(std::string_view page);

// "FOREIGN" unless the text is a plain dollar amount; otherwise the text
// without its first "$" and without commas.
std::string CleanAmount(std::string_view text);

// The table walk from the first record text on (first record at its check box).
void HarvestTableLayout(std::string_view rec, HarvestTarget& target);
// The script walk over the whole page.
void HarvestScriptLayout(std::string_view page, HarvestTarget& target);

// The whole harvest of a page text (read back from its snapshot): decides the
// layout (script, table, or a card page with a results list), shows "No Results
// Added" for a page of another kind, walks the records.
void HarvestPage(std::string_view page, HarvestTarget& target);
// The same for a page whose UTF-8 validity and layout are known (PageText::utf8,
// and IsTableLayout as PageText::holdsWatched found it for kScriptLayoutMark).
void HarvestPage(std::string_view page, HarvestTarget& target, bool utf8, bool tableLayout);

}  // namespace qb
