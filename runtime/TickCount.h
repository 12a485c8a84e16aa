#pragma once

#include <cstdint>

namespace qb {

// Milliseconds on a monotonic clock, wrapping at 2^32 like the system tick count.
uint32_t TickCount();

}  // namespace qb
