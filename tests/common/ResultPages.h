#pragma once

// Result pages of the two described layouts, built from their records.

#include <string>
#include <string_view>

namespace qbtest {

// One table-layout row: check box, picture link (when picture is set), title
// link, bold price, bids cell, end time; each cell on its own line.
std::string TableRecord(std::string_view item, std::string_view title, std::string_view price,
                        std::string_view bids, bool picture = true);
// The rows in a table behind a head that holds the record-list marker.
std::string TablePage(std::string_view records);

// One script record: bids the 13th, item the 15th, description the 16th
// argument, the price after the first two adjacent single-quoted arguments.
std::string ScriptRecord(std::string_view item, std::string_view title, std::string_view price,
                         std::string_view bids);
std::string ScriptPage(std::string_view records);

}  // namespace qbtest
