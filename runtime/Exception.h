#pragma once

#include <stdexcept>
#include <string>

namespace qb {

// Base of every error the program raises. The message is UTF-8 text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The text the default exception display shows: a period is appended when the
// last character sorts after '.'.
std::string DisplayMessage(const std::string& message);

}  // namespace qb
