#pragma once

#include <type_traits>

namespace qb {

// Stores value in field; true when that changed it (the property setters act only then).
template <typename T>
bool AssignIfChanged(T& field, const std::type_identity_t<T>& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace qb
