// Arbitrary key sequences into the calculator engine. The first byte picks the
// decimal separator; every further byte is one typed character. Outside the
// error state the shown text must convert back and fit the display.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/CalcEngine.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Type(qb::CalcEngine& calc, char c) {
  switch (qb::CalcKeyForChar(c, calc.Separator())) {
    case qb::CalcKey::Back: calc.Backspace(); break;
    case qb::CalcKey::Digit: calc.Digit(c); break;
    case qb::CalcKey::Point: calc.Point(); break;
    case qb::CalcKey::Clear: calc.Clear(); break;
    case qb::CalcKey::Negative: calc.Sign(); break;
    case qb::CalcKey::None: break;
    default: calc.Operator(c); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char separator = (data[0] & 1) ? ',' : '.';
  qb::CalcEngine calc(separator);
  for (size_t i = 1; i < size; ++i) {
    try {
      Type(calc, static_cast<char>(data[i]));
    } catch (const qb::Exception&) {
      Check(calc.State() == qb::csNewNumber);
    }
    if (calc.State() == qb::csError) {
      Check(calc.DisplayText() == calc.ErrorText());
      Check(calc.GetValue() == 0);
      continue;
    }
    const std::string& text = calc.ValueText();
    Check(!text.empty() && text.size() <= qb::CalcEngine::kMaxLength);
    Check(text[0] != '-');
    long double value = 0;
    Check(qb::TryStrToFloat(text, value, separator));
    Check(calc.DisplayText() == (calc.Negative() ? "-" : "") + text);
  }
  return 0;
}
