#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

// The user's decimal separator, read once at start-up (SetLocaleDecimalSeparator)
// or, when nobody set it, from the C library's current locale.
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparator(char separator);

// True when text is non-empty and every character is an ASCII digit or, with
// allowPeriod, a period (any number of periods).
bool IsNumericText(std::string_view text, bool allowPeriod = true);

// Blanks around the text are ignored; optional sign, digits with at most one
// decimal separator (a lone separator reads as 0), optional exponent.
// Throws Exception "'%s' is not a valid floating point value".
long double StrToFloat(std::string_view text, char separator = LocaleDecimalSeparator());
bool TryStrToFloat(std::string_view text, long double& value, char separator = LocaleDecimalSeparator());

// Fast path for plain decimals such as prices: digits with at most one period
// and nothing else. When the digits as an integer and the power of ten the
// period stands for are both exact in long double, one division gives the
// correctly rounded value, the one StrToFloat returns. False when the text is
// not of that kind (value untouched).
bool TryExactDecimal(std::string_view text, long double& value);

// Decimal 32-bit signed integer; throws "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int32_t& value);

// General format: at most 15 significant digits, rounded; fixed notation for 0
// and magnitudes in [1e-4, 1e15), scientific otherwise (1E15, 2.5E-7).
std::string FloatToStr(long double value, char separator = LocaleDecimalSeparator());

// Digits of v rounded to `digits` significant digits, without trailing zeros,
// and the decimal exponent of the first digit. v must be finite and non-zero.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
  bool negative = false;
};
DecimalDigits RoundToSignificant(long double value, int digits);

std::string FloatErrorMessage(std::string_view text);
std::string IntErrorMessage(std::string_view text);

}  // namespace qb
