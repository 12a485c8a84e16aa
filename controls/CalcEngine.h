#pragma once

// The pocket calculator without its window: entry, the left-to-right operator
// algorithm in 80-bit extended precision, and the display text.

#include <cstdint>
#include <string>

#include "runtime/Conversions.h"

namespace qb {

enum TCalcState : uint8_t { csNewNumber = 0, csEntering = 1, csError = 2 };

// What a typed character does on the calculator (its button and action).
enum class CalcKey : uint8_t {
  None,
  Back,
  Percent,
  Multiply,
  Plus,
  Minus,
  Divide,
  Digit,
  Equal,
  Clear,
  Negative,
  Point,
};

// Maps a typed character; `separator` is the calculator's decimal separator.
CalcKey CalcKeyForChar(char c, char separator);

// The 15-character exponent form of a long result: a blank, one digit, '.',
// six digits, 'E', the exponent's sign and four digits (" 3.333333E-0001").
std::string CalcExponentForm(long double value);

class CalcEngine {
 public:
  static constexpr size_t kMaxLength = 15;

  explicit CalcEngine(char separator = LocaleDecimalSeparator());

  void Clear();
  void Digit(char digit);  // '0' to '9'; anything else is ignored
  void Point();
  void Backspace();
  void Sign();
  // One of "%=+-*/"; other characters are ignored. Throws Exception
  // "Floating point overflow" when the result is beyond the extended range;
  // display, accumulator and pending operator then keep their values.
  void Operator(char op);

  // The text on the display: the error text, or FValueText with its sign.
  std::string DisplayText() const;
  // The number on the display with its sign; 0 in the error state.
  long double GetValue() const;

  const std::string& ValueText() const { return FValueText; }
  TCalcState State() const { return FState; }
  char PendingOperator() const { return FOperator; }
  long double Accumulator() const { return FAccumulator; }
  bool Negative() const { return FNegative; }
  char Separator() const { return FSeparator; }
  const std::string& ErrorText() const { return FErrorText; }
  void SetErrorText(std::string text) { FErrorText = std::move(text); }

 private:
  void SetDisplay(std::string text) { FValueText = std::move(text); }
  void ShowError() { FState = csError; }
  long double ValueOfText() const;

  std::string FValueText = "0";
  TCalcState FState = csNewNumber;
  char FOperator = '=';
  long double FAccumulator = 0;
  bool FNegative = false;
  std::string FErrorText = "Error";
  char FSeparator = '.';
};

}  // namespace qb
