#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "GridRows.h"

namespace qb {
}  // namespace qb
