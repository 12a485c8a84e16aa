#include "controls/CalcEngine.h"

#include <cmath>

#include "runtime/AsciiText.h"
#include "runtime/Exception.h"

namespace qb {

namespace {

bool IsOperatorChar(char c) { return c == '%' || c == '=' || c == '+' || c == '-' || c == '*' || c == '/'; }

}  // namespace

CalcKey CalcKeyForChar(char c, char separator) {
  switch (FoldAscii(c)) {
    case '\b': return CalcKey::Back;
    case '%': return CalcKey::Percent;
    case '*': return CalcKey::Multiply;
    case '+': return CalcKey::Plus;
    case '-': return CalcKey::Minus;
    case '/': return CalcKey::Divide;
    case '=': return CalcKey::Equal;
    case 'c': return CalcKey::Clear;
    case '_': return CalcKey::Negative;
    default: break;
  }
  if (c >= '0' && c <= '9') return CalcKey::Digit;
  if (c == separator) return CalcKey::Point;
  return CalcKey::None;
}

std::string CalcExponentForm(long double value) {
  if (value == 0 || !std::isfinite(value)) return " 0.000000E+0000";
  DecimalDigits d = RoundToSignificant(value, 7);
  d.digits.resize(7, '0');
  const int exponent = d.exponent < 0 ? -d.exponent : d.exponent;
  std::string e = std::to_string(exponent);
  if (e.size() < 4) e.insert(0, 4 - e.size(), '0');
  std::string out = d.negative ? "-" : " ";
  out += d.digits[0];
  out += '.';
  out += d.digits.substr(1);
  out += 'E';
  out += d.exponent < 0 ? '-' : '+';
  out += e;
  return out;
}

CalcEngine::CalcEngine(char separator) : FSeparator(separator) { Clear(); }

void CalcEngine::Clear() {
  FState = csNewNumber;
  FAccumulator = 0;
  FOperator = '=';
  FNegative = false;
  SetDisplay("0");
}

void CalcEngine::Digit(char digit) {
  if (digit < '0' || digit > '9') return;
  switch (FState) {
    case csError: return;
    case csNewNumber:
      FState = csEntering;
      FNegative = false;
      SetDisplay(std::string(1, digit));
      return;
    case csEntering:
      if (FValueText.size() >= kMaxLength) return;
      if (FValueText == "0")
        SetDisplay(std::string(1, digit));
      else
        SetDisplay(FValueText + digit);
      return;
  }
}

void CalcEngine::Point() {
  if (FState == csError) return;
  if (FState == csNewNumber) {
    FState = csEntering;
    FNegative = false;
    SetDisplay("0");
  }
  if (FValueText.find(FSeparator) == std::string::npos && FValueText.size() < kMaxLength)
    SetDisplay(FValueText + FSeparator);
}

void CalcEngine::Backspace() {
  if (FState != csEntering) return;
  std::string text = FValueText;
  if (!text.empty()) text.pop_back();
  SetDisplay(text.empty() ? "0" : text);
}

void CalcEngine::Sign() {
  if (FState == csError) return;
  FNegative = !FNegative;
}

long double CalcEngine::ValueOfText() const { return StrToFloat(FValueText, FSeparator); }

void CalcEngine::Operator(char c) {
  if (!IsOperatorChar(c) || FState == csError) return;
  long double v = ValueOfText();
  if (FNegative) v = -v;

  if (FState == csEntering) {
    FState = csNewNumber;
    if (c == '%') {
      if (FOperator == '*' || FOperator == '/')
        v = v / 100;
      else if (FOperator == '+' || FOperator == '-')
        v = FAccumulator * v / 100;
    }
    switch (FOperator) {
      case '+': v = FAccumulator + v; break;
      case '-': v = FAccumulator - v; break;
      case '*': v = FAccumulator * v; break;
      case '/':
        if (v == 0) {
          ShowError();
          return;
        }
        v = FAccumulator / v;
        break;
      default: break;
    }
    if (!std::isfinite(v)) throw Exception("Floating point overflow");
  }

  FAccumulator = v;
  FOperator = c;
  FNegative = v < 0;
  const long double m = std::fabs(v);
  SetDisplay(AsciiFolded(FloatToStr(m, FSeparator)));

  if (FValueText.size() > kMaxLength) {
    if (FValueText.find('.') == std::string::npos) {
      ShowError();
      return;
    }
    // The shown number rounded to double; the extended value where double
    // cannot hold it.
    long double x = StrToFloat(FValueText, '.');
    const double rounded = static_cast<double>(x);
    if (std::fpclassify(rounded) == FP_NORMAL) x = rounded;
    if (x == 0) x = m;
    SetDisplay(CalcExponentForm(x));
  }
}

std::string CalcEngine::DisplayText() const {
  if (FState == csError) return FErrorText;
  return FNegative ? "-" + FValueText : FValueText;
}

long double CalcEngine::GetValue() const {
  if (FState == csError) return 0;
  const long double v = ValueOfText();
  return FNegative ? -v : v;
}

}  // namespace qb
