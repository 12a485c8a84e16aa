// Text-to-number and text-to-integer conversions on arbitrary text: they either
// convert or throw the conversion message, and a converted value written back
// in the general format converts again to the same value (to 15 digits).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/Conversions.h"
#include "runtime/Exception.h"

namespace {
// what() ends at a NUL byte of the text, as every display of the message does.
bool SameMessage(const qb::Exception& e, const std::string& expected) {
  return std::string(e.what()) == std::string(expected.c_str());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char separator = (data[0] & 1) ? ',' : '.';
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  long double value = 0;
  const bool ok = qb::TryStrToFloat(text, value, separator);
  try {
    const long double thrown = qb::StrToFloat(text, separator);
    if (!ok || thrown != value) std::abort();
  } catch (const qb::Exception& e) {
    if (ok || !SameMessage(e, qb::FloatErrorMessage(text))) std::abort();
  }
  if (ok) {
    if (!std::isfinite(value)) std::abort();
    // Plain digits with the period read exactly as the C library reads them.
    if (separator == '.' && qb::IsNumericText(text, true)) {
      const std::string plain(text);
      if (value != std::strtold(plain.c_str(), nullptr)) std::abort();
      long double quotient = 0;
      if (qb::TryExactDecimal(text, quotient) && quotient != value) std::abort();
    }
    const std::string shown = qb::FloatToStr(value, separator);
    long double again = 0;
    if (!qb::TryStrToFloat(shown, again, separator)) std::abort();
    if (qb::FloatToStr(again, separator) != shown) std::abort();
  }

  int32_t integer = 0;
  const bool intOk = qb::TryStrToInt(text, integer);
  try {
    if (qb::StrToInt(text) != integer || !intOk) std::abort();
  } catch (const qb::Exception& e) {
    if (intOk || !SameMessage(e, qb::IntErrorMessage(text))) std::abort();
  }
  if (intOk && qb::IsNumericText(text, false) && std::to_string(integer).size() > text.size()) std::abort();
  return 0;
}
