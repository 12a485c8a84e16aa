#include "runtime/Conversions.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "runtime/Exception.h"

namespace qb {

namespace {

char g_separator = 0;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string DisplayMessage(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
    return message + ".";
  return message;
}

char LocaleDecimalSeparator() {
  if (g_separator == 0) {
    const std::lconv* conv = std::localeconv();
    g_separator = (conv && conv->decimal_point && conv->decimal_point[0] && !conv->decimal_point[1])
                      ? conv->decimal_point[0]
                      : '.';
  }
  return g_separator;
}

void SetLocaleDecimalSeparator(char separator) { g_separator = separator; }

bool IsNumericText(std::string_view text, bool allowPeriod) {
  if (text.empty()) return false;
  for (char c : text)
    if (!IsDigit(c) && !(allowPeriod && c == '.')) return false;
  return true;
}

std::string FloatErrorMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid floating point value";
}

std::string IntErrorMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

bool TryExactDecimal(std::string_view text, long double& value) {
  // 10^k = 2^k * 5^k is exact while 5^k fits the 64-bit mantissa.
  constexpr int kMaxPower = 27;
  static_assert(std::numeric_limits<long double>::digits >= 64);
  uint64_t mantissa = 0;
  bool digits = false;
  int decimals = 0;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (!IsDigit(c)) return false;
    const uint64_t digit = uint64_t(c - '0');
    if (mantissa > (UINT64_MAX - digit) / 10) return false;
    mantissa = mantissa * 10 + digit;
    digits = true;
    if (point && ++decimals > kMaxPower) return false;
  }
  if (!digits) return false;
  long double power = 1;
  for (int i = 0; i < decimals; ++i) power *= 10;
  value = static_cast<long double>(mantissa) / power;
  return true;
}

namespace {

// Checks the number grammar and writes the plain C form ('.' separator, no
// '+' sign) of text into plain; sets negative for a leading '-'.
bool PlainNumber(std::string_view text, char separator, std::string& plain, bool& negative) {
  std::string_view t = TrimBlanks(text);
  plain.clear();
  size_t i = 0;
  negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      plain += t[i];
      ++digits;
    } else if (t[i] == separator && !point) {
      point = true;
      plain += '.';
    } else {
      break;
    }
  }
  if (digits == 0 && !point) return false;
  if (digits == 0) plain = "0";  // a lone separator reads as 0
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
    size_t expDigits = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i, ++expDigits) plain += t[i];
    if (expDigits == 0) return false;
  }
  return i == t.size();
}

// True when the non-zero number in plain is at least 1 in magnitude: the
// decimal exponent of its first significant digit is not negative. Read from
// the text alone, so it holds under any C library locale.
bool MagnitudeAtLeastOne(const std::string& plain) {
  const size_t mark = plain.find('e');
  const std::string_view mantissa = std::string_view(plain).substr(0, mark);
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return false;  // zero
  // 12.5 leads at 1, 0.5 at -1, 0.001 at -3.
  const int64_t lead = first < point ? int64_t(point - first) - 1 : -int64_t(first - point);
  int64_t exponent = 0;
  size_t i = mark == std::string::npos ? plain.size() : mark + 1;
  bool negativeExponent = false;
  if (i < plain.size() && (plain[i] == '+' || plain[i] == '-')) negativeExponent = plain[i++] == '-';
  // Saturated: far beyond every range already.
  for (; i < plain.size(); ++i) exponent = std::min<int64_t>(exponent * 10 + (plain[i] - '0'), 1000000000);
  return lead + (negativeExponent ? -exponent : exponent) >= 0;
}

bool ConvertPlain(const std::string& plain, bool negative, long double& value) {
  long double result = 0;
  if (TryExactDecimal(plain, result)) {
    value = negative ? -result : result;
    return true;
  }
  auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow does not convert.
    if (MagnitudeAtLeastOne(plain)) return false;
    result = 0;
  } else if (ec != std::errc() || end != plain.data() + plain.size()) {
    return false;
  }
  if (!std::isfinite(result)) return false;
  value = negative ? -result : result;
  return true;
}

}  // namespace

bool TryStrToFloat(std::string_view text, long double& value, char separator) {
  std::string plain;
  bool negative = false;
  return PlainNumber(text, separator, plain, negative) && ConvertPlain(plain, negative, value);
}

long double StrToFloat(std::string_view text, char separator) {
  long double value = 0;
  if (!TryStrToFloat(text, value, separator)) throw Exception(FloatErrorMessage(text));
  return value;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  std::string_view t = TrimBlanks(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  int64_t result = 0;
  for (char c : t) {
    if (!IsDigit(c)) return false;
    result = result * 10 + (c - '0');
    if (result > 2147483648LL) return false;
  }
  if (negative) result = -result;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  value = static_cast<int32_t>(result);
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t value = 0;
  if (!TryStrToInt(text, value)) throw Exception(IntErrorMessage(text));
  return value;
}

DecimalDigits RoundToSignificant(long double value, int digits) {
  DecimalDigits out;
  out.negative = std::signbit(value);
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%.*Le", digits - 1, std::fabs(value));
  // buffer: d.ddddde[+-]xx
  const char* p = buffer;
  for (; *p && *p != 'e'; ++p)
    if (IsDigit(*p)) out.digits += *p;
  out.exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
  return out;
}

std::string FloatToStr(long double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  DecimalDigits d = RoundToSignificant(value, 15);
  std::string out = d.negative ? "-" : "";
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent >= -4 && d.exponent < 15) {
    if (d.exponent < 0) {
      out += '0';
      out += separator;
      out.append(static_cast<size_t>(-d.exponent - 1), '0');
      out += d.digits;
    } else if (n <= d.exponent + 1) {
      out += d.digits;
      out.append(static_cast<size_t>(d.exponent + 1 - n), '0');
    } else {
      out += d.digits.substr(0, d.exponent + 1);
      out += separator;
      out += d.digits.substr(d.exponent + 1);
    }
  } else {
    out += d.digits[0];
    if (n > 1) {
      out += separator;
      out += d.digits.substr(1);
    }
    out += 'E';
    out += std::to_string(d.exponent);
  }
  return out;
}

}  // namespace qb
