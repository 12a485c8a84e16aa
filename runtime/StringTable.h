#pragma once

#include <string>

namespace qb {

// The compiled-in string table. Every id of another language returns the
// English text of the same base entry; an unknown id gives an empty text.
std::string LoadStr(int id);

}  // namespace qb
