#include <QtTest>

#include "controls/CalcEngine.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"

using namespace qb;

namespace {

// Keys as typed on the calculator's keyboard; '<' stands for backspace.
void Press(CalcEngine& calc, const QString& keys) {
  for (QChar q : keys) {
    const char c = q.toLatin1();
    if (c == '<') {
      calc.Backspace();
      continue;
    }
    switch (CalcKeyForChar(c, calc.Separator())) {
      case CalcKey::Back: calc.Backspace(); break;
      case CalcKey::Digit: calc.Digit(c); break;
      case CalcKey::Point: calc.Point(); break;
      case CalcKey::Clear: calc.Clear(); break;
      case CalcKey::Negative: calc.Sign(); break;
      case CalcKey::Percent:
      case CalcKey::Multiply:
      case CalcKey::Plus:
      case CalcKey::Minus:
      case CalcKey::Divide:
      case CalcKey::Equal: calc.Operator(c); break;
      case CalcKey::None: break;
    }
  }
}

QString Display(const CalcEngine& calc) { return QString::fromStdString(calc.DisplayText()); }

}  // namespace

class TestCoreCalc : public QObject {
  Q_OBJECT

 private slots:
  void display_data();
  void display();
  void stateAfterKeys_data();
  void stateAfterKeys();
  void value_data();
  void value();
  void exponentForm_data();
  void exponentForm();
  void keyForChar_data();
  void keyForChar();
  void defaultSeparatorIsLocales();
  void translatedErrorText();
  void overflowLeavesStateAsBefore();
  void underflowStaysUsable();
  void longChainsConvertBack_data();
  void longChainsConvertBack();
};

// clang-format off
void TestCoreCalc::display_data() {
  QTest::addColumn<char>("separator");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("display");

  // Worked examples.
  QTest::newRow("percent of sum") << '.' << "200+10%" << "220";
  QTest::newRow("percent of difference") << '.' << "200-10%" << "180";
  QTest::newRow("percent as factor") << '.' << "200*10%" << "20";
  QTest::newRow("percent as divisor") << '.' << "200/10%" << "2000";
  QTest::newRow("percent alone") << '.' << "50%" << "50";
  QTest::newRow("left to right") << '.' << "2+3*4=" << "20";
  QTest::newRow("equals after operator") << '.' << "5+=" << "5";
  QTest::newRow("equals does not repeat") << '.' << "5+==" << "5";
  QTest::newRow("divide by zero") << '.' << "7/0=" << "Error";

  // Entry.
  QTest::newRow("cleared") << '.' << "" << "0";
  QTest::newRow("leading zeros") << '.' << "007" << "7";
  QTest::newRow("point first") << '.' << "." << "0.";
  QTest::newRow("digits after point") << '.' << ".25" << "0.25";
  QTest::newRow("zero point") << '.' << "0.05" << "0.05";
  QTest::newRow("16 digits keep 15") << '.' << "1234567890123456" << "123456789012345";
  QTest::newRow("15 characters with point") << '.' << "1234567.89012345" << "1234567.8901234";
  QTest::newRow("point at 14 characters") << '.' << "12345678901234.5" << "12345678901234.";
  QTest::newRow("point at 15 characters") << '.' << "123456789012345.6" << "123456789012345";
  QTest::newRow("second point ignored") << '.' << "1.2.3" << "1.23";
  QTest::newRow("backspace") << '.' << "123<" << "12";
  QTest::newRow("backspace one character") << '.' << "5<" << "0";
  QTest::newRow("backspace removes point") << '.' << "4.<" << "4";
  QTest::newRow("backspace then point again") << '.' << "4.<.5" << "4.5";
  QTest::newRow("backspace on result") << '.' << "12+3=<" << "15";
  QTest::newRow("backspace after operator") << '.' << "12+<" << "12";
  QTest::newRow("backspace keeps sign") << '.' << "5_<" << "-0";
  QTest::newRow("sign first") << '.' << "_" << "-0";
  QTest::newRow("digit after sign first") << '.' << "_5" << "5";
  QTest::newRow("point after sign first") << '.' << "_." << "0.";
  QTest::newRow("sign while typing") << '.' << "5_" << "-5";
  QTest::newRow("sign twice") << '.' << "5__" << "5";
  QTest::newRow("sign then digits") << '.' << "5_6" << "-56";
  QTest::newRow("sign of result") << '.' << "2+3=_" << "-5";
  QTest::newRow("negative result") << '.' << "10-15=" << "-5";
  QTest::newRow("negative operand") << '.' << "5_+3=" << "-2";
  QTest::newRow("negative zero result") << '.' << "_+" << "0";
  QTest::newRow("digit after result") << '.' << "2+3=7" << "7";
  QTest::newRow("point after result") << '.' << "2+3=." << "0.";

  // Operators after operators or results.
  QTest::newRow("operator replaces operator") << '.' << "2+*3=" << "6";
  QTest::newRow("minus replaces plus") << '.' << "9+-4=" << "5";
  QTest::newRow("result goes on") << '.' << "2+3=*4=" << "20";
  QTest::newRow("signed result goes on") << '.' << "2+3=_+1=" << "-4";
  QTest::newRow("operator shows operand") << '.' << "12+" << "12";
  QTest::newRow("running total") << '.' << "12+3+" << "15";
  QTest::newRow("percent twice") << '.' << "200+10%%" << "220";
  QTest::newRow("after percent") << '.' << "200+10%+5=" << "225";
  QTest::newRow("percent after percent pending") << '.' << "50%20%" << "20";
  QTest::newRow("percent under equals pending") << '.' << "8=5%" << "5";
  QTest::newRow("percent of negative") << '.' << "200-10_%" << "220";
  QTest::newRow("percent to zero divisor") << '.' << "100/0%" << "Error";
  QTest::newRow("zero divided") << '.' << "0/5=" << "0";
  QTest::newRow("divide by negative zero") << '.' << "3/0_=" << "Error";
  QTest::newRow("divide by zero point") << '.' << "3/0.0=" << "Error";

  // Error state.
  QTest::newRow("error ignores digits") << '.' << "7/0=5" << "Error";
  QTest::newRow("error ignores point") << '.' << "7/0=." << "Error";
  QTest::newRow("error ignores backspace") << '.' << "7/0=<" << "Error";
  QTest::newRow("error ignores sign") << '.' << "7/0=_" << "Error";
  QTest::newRow("error ignores operators") << '.' << "7/0=+%=*" << "Error";
  QTest::newRow("clear leaves error") << '.' << "10/0=C" << "0";
  QTest::newRow("small c clears") << '.' << "10/0=c12" << "12";
  QTest::newRow("fresh after clear") << '.' << "10/0=C2+2=" << "4";

  // Formatting of results.
  QTest::newRow("one third") << '.' << "1/3=" << " 3.333333E-0001";
  QTest::newRow("minus one third") << '.' << "1_/3=" << "- 3.333333E-0001";
  QTest::newRow("two thirds") << '.' << "2/3=" << " 6.666667E-0001";
  QTest::newRow("third times three") << '.' << "1/3=*3=" << "0.9999999";
  QTest::newRow("exponent form goes on") << '.' << "1/3=+" << "0.3333333";
  QTest::newRow("1e15") << '.' << "999999999999999+1=" << "1e15";
  QTest::newRow("largest fixed") << '.' << "999999999999998+1=" << "999999999999999";
  QTest::newRow("rounded to 15 digits") << '.' << "123456789012345+0.5=" << "123456789012346";
  QTest::newRow("fraction") << '.' << "1/8=" << "0.125";
  QTest::newRow("smallest fixed") << '.' << "0.001/8=" << "0.000125";
  QTest::newRow("small scientific") << '.' << "0.0001/8=" << "1.25e-5";
  QTest::newRow("long small scientific") << '.' << "0.0001/3=" << " 3.333333E-0005";
  QTest::newRow("long fixed fraction") << '.' << "0.001/3=" << " 3.333333E-0004";
  QTest::newRow("large product") << '.' << "999999999999999*999999999999999=" << " 1.000000E+0030";
  QTest::newRow("short large product") << '.' << "100000000000000*1000=" << "1e17";
  QTest::newRow("sum of tenths") << '.' << "0.1+0.2=" << "0.3";
  QTest::newRow("trailing zeros dropped") << '.' << "2.50*2=" << "5";

  // Comma as separator.
  QTest::newRow("comma point key") << ',' << "1,5" << "1,5";
  QTest::newRow("comma period ignored") << ',' << "1.5" << "15";
  QTest::newRow("comma point first") << ',' << "," << "0,";
  QTest::newRow("comma result") << ',' << "1,5+1=" << "2,5";
  QTest::newRow("comma half") << ',' << "2/4=" << "0,5";
  QTest::newRow("comma long result") << ',' << "1/3=" << "Error";
  QTest::newRow("comma short scientific") << ',' << "0,0001/8=" << "1,25e-5";
  QTest::newRow("comma clear after error") << ',' << "1/3=C" << "0";
}
// clang-format on

void TestCoreCalc::display() {
  QFETCH(char, separator);
  QFETCH(QString, keys);
  QFETCH(QString, display);
  CalcEngine calc(separator);
  Press(calc, keys);
  QCOMPARE(Display(calc), display);
}

void TestCoreCalc::stateAfterKeys_data() {
  QTest::addColumn<QString>("keys");
  QTest::addColumn<int>("state");
  QTest::addColumn<QString>("valueText");
  QTest::addColumn<char>("pending");
  QTest::addColumn<double>("accumulator");

  QTest::newRow("cleared") << "" << int(csNewNumber) << "0" << '=' << 0.0;
  QTest::newRow("typing") << "12" << int(csEntering) << "12" << '=' << 0.0;
  QTest::newRow("first operator") << "12+" << int(csNewNumber) << "12" << '+' << 12.0;
  QTest::newRow("typing second") << "12+3" << int(csEntering) << "3" << '+' << 12.0;
  QTest::newRow("operator changed") << "12+*" << int(csNewNumber) << "12" << '*' << 12.0;
  QTest::newRow("equals") << "12+3=" << int(csNewNumber) << "15" << '=' << 15.0;
  QTest::newRow("percent pending") << "200+10%" << int(csNewNumber) << "220" << '%' << 220.0;
  QTest::newRow("sign keeps state") << "12+_" << int(csNewNumber) << "12" << '+' << 12.0;
  QTest::newRow("division by zero keeps operands") << "7/0=" << int(csError) << "0" << '/' << 7.0;
  QTest::newRow("error then clear") << "7/0=C" << int(csNewNumber) << "0" << '=' << 0.0;
  QTest::newRow("exponent form") << "1/3=" << int(csNewNumber) << " 3.333333E-0001" << '='
                                 << double(1.0L / 3);
}

void TestCoreCalc::stateAfterKeys() {
  QFETCH(QString, keys);
  QFETCH(int, state);
  QFETCH(QString, valueText);
  QFETCH(char, pending);
  QFETCH(double, accumulator);
  CalcEngine calc('.');
  Press(calc, keys);
  QCOMPARE(int(calc.State()), state);
  QCOMPARE(QString::fromStdString(calc.ValueText()), valueText);
  QCOMPARE(calc.PendingOperator(), pending);
  QCOMPARE(double(calc.Accumulator()), accumulator);
}

void TestCoreCalc::value_data() {
  QTest::addColumn<char>("separator");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<double>("value");

  QTest::newRow("typed") << '.' << "12.5" << 12.5;
  QTest::newRow("typed negative") << '.' << "12.5_" << -12.5;
  QTest::newRow("result") << '.' << "2+3=" << 5.0;
  QTest::newRow("negated result") << '.' << "2+3=_" << -5.0;
  QTest::newRow("exponent form") << '.' << "1/3=" << 0.3333333;
  QTest::newRow("error") << '.' << "7/0=" << 0.0;
  QTest::newRow("comma error") << ',' << "1/3=" << 0.0;
  QTest::newRow("minus zero") << '.' << "_" << 0.0;
  QTest::newRow("trailing point") << '.' << "3." << 3.0;
  QTest::newRow("comma") << ',' << "1,5_" << -1.5;
}

void TestCoreCalc::value() {
  QFETCH(char, separator);
  QFETCH(QString, keys);
  QFETCH(double, value);
  CalcEngine calc(separator);
  Press(calc, keys);
  QCOMPARE(double(calc.GetValue()), value);
}

void TestCoreCalc::exponentForm_data() {
  QTest::addColumn<long double>("value");
  QTest::addColumn<QString>("text");

  QTest::newRow("third") << 1.0L / 3 << " 3.333333E-0001";
  QTest::newRow("rounds up") << 6.6666666L << " 6.666667E+0000";
  QTest::newRow("rounds into next decade") << 99999999.5L << " 1.000000E+0008";
  QTest::newRow("whole digits padded") << 1e30L << " 1.000000E+0030";
  QTest::newRow("negative exponent") << 2.5e-7L << " 2.500000E-0007";
  QTest::newRow("largest extended") << 1.18973149535723e4932L << " 1.189731E+4932";
  QTest::newRow("beyond double") << 4.5e400L << " 4.500000E+0400";
  QTest::newRow("tiny extended") << 1.5e-4000L << " 1.500000E-4000";
}

void TestCoreCalc::exponentForm() {
  QFETCH(long double, value);
  QFETCH(QString, text);
  const std::string form = CalcExponentForm(value);
  QCOMPARE(QString::fromStdString(form), text);
  QCOMPARE(form.size(), size_t(15));
  long double back = 0;
  QVERIFY(TryStrToFloat(form, back, '.'));
}

void TestCoreCalc::keyForChar_data() {
  QTest::addColumn<char>("c");
  QTest::addColumn<char>("separator");
  QTest::addColumn<int>("key");

  QTest::newRow("backspace") << '\b' << '.' << int(CalcKey::Back);
  QTest::newRow("percent") << '%' << '.' << int(CalcKey::Percent);
  QTest::newRow("times") << '*' << '.' << int(CalcKey::Multiply);
  QTest::newRow("plus") << '+' << '.' << int(CalcKey::Plus);
  QTest::newRow("minus") << '-' << '.' << int(CalcKey::Minus);
  QTest::newRow("divide") << '/' << '.' << int(CalcKey::Divide);
  QTest::newRow("zero") << '0' << '.' << int(CalcKey::Digit);
  QTest::newRow("nine") << '9' << '.' << int(CalcKey::Digit);
  QTest::newRow("equals") << '=' << '.' << int(CalcKey::Equal);
  QTest::newRow("capital c") << 'C' << '.' << int(CalcKey::Clear);
  QTest::newRow("small c") << 'c' << '.' << int(CalcKey::Clear);
  QTest::newRow("underscore") << '_' << '.' << int(CalcKey::Negative);
  QTest::newRow("period") << '.' << '.' << int(CalcKey::Point);
  QTest::newRow("period under comma") << '.' << ',' << int(CalcKey::None);
  QTest::newRow("comma under comma") << ',' << ',' << int(CalcKey::Point);
  QTest::newRow("comma under period") << ',' << '.' << int(CalcKey::None);
  QTest::newRow("carriage return") << '\r' << '.' << int(CalcKey::None);
  QTest::newRow("escape") << '\x1b' << '.' << int(CalcKey::None);
  QTest::newRow("letter") << 'x' << '.' << int(CalcKey::None);
  QTest::newRow("exponent letter") << 'e' << '.' << int(CalcKey::None);
  QTest::newRow("blank") << ' ' << '.' << int(CalcKey::None);
}

void TestCoreCalc::keyForChar() {
  QFETCH(char, c);
  QFETCH(char, separator);
  QFETCH(int, key);
  QCOMPARE(int(CalcKeyForChar(c, separator)), key);
}

void TestCoreCalc::defaultSeparatorIsLocales() {
  const char saved = LocaleDecimalSeparator();
  SetLocaleDecimalSeparator(',');
  CalcEngine calc;
  SetLocaleDecimalSeparator(saved);
  QCOMPARE(calc.Separator(), ',');
  Press(calc, "1,5*2=");
  QCOMPARE(Display(calc), QString("3"));
}

void TestCoreCalc::translatedErrorText() {
  CalcEngine calc('.');
  calc.SetErrorText("Fehler");
  Press(calc, "1/0=");
  QCOMPARE(Display(calc), QString("Fehler"));
  calc.Clear();
  QCOMPARE(Display(calc), QString("0"));
}

void TestCoreCalc::overflowLeavesStateAsBefore() {
  CalcEngine calc('.');
  Press(calc, "999999999999999");
  QString before;
  long double accumulator = 0;
  bool thrown = false;
  for (int step = 0; step < 1000 && !thrown; ++step) {
    Press(calc, "*999999999999999");
    before = Display(calc);
    accumulator = calc.Accumulator();
    try {
      calc.Operator('*');
    } catch (const Exception& error) {
      QCOMPARE(QString(error.what()), QString("Floating point overflow"));
      thrown = true;
    }
  }
  QVERIFY(thrown);
  QCOMPARE(Display(calc), before);
  QVERIFY(calc.Accumulator() == accumulator);
  QCOMPARE(calc.PendingOperator(), '*');
  QCOMPARE(int(calc.State()), int(csNewNumber));
  // The calculator goes on from the shown number.
  Press(calc, "=");
  QCOMPARE(Display(calc), QString("999999999999999"));
}

void TestCoreCalc::underflowStaysUsable() {
  CalcEngine calc('.');
  Press(calc, "1");
  for (int step = 0; step < 400; ++step) {
    Press(calc, "/999999999999999");
    calc.Operator('=');
    QVERIFY2(calc.State() != csError, qPrintable(Display(calc)));
    long double back = 0;
    QVERIFY2(TryStrToFloat(calc.ValueText(), back, '.'), calc.ValueText().c_str());
    Press(calc, "*");
  }
  QCOMPARE(Display(calc), QString("0"));
}

void TestCoreCalc::longChainsConvertBack_data() {
  QTest::addColumn<char>("separator");
  QTest::addColumn<QString>("step");
  QTest::newRow("thirds") << '.' << "/3=";
  QTest::newRow("sevenths") << '.' << "*7/11=";
  QTest::newRow("growing") << '.' << "*123456789.12345=";
  QTest::newRow("shrinking") << '.' << "/98765.4321=";
  QTest::newRow("percent") << '.' << "+33%";
  QTest::newRow("comma sevenths") << ',' << "*7/11=";
  QTest::newRow("comma growing") << ',' << "*123456789,12345=";
}

void TestCoreCalc::longChainsConvertBack() {
  QFETCH(char, separator);
  QFETCH(QString, step);
  CalcEngine calc(separator);
  Press(calc, "1");
  for (int i = 0; i < 200 && calc.State() != csError; ++i) {
    try {
      Press(calc, step);
    } catch (const Exception&) {
      break;
    }
    long double back = 0;
    if (calc.State() == csError) break;
    QVERIFY2(TryStrToFloat(calc.ValueText(), back, separator), calc.ValueText().c_str());
    QVERIFY(calc.ValueText().size() <= CalcEngine::kMaxLength);
  }
}

QTEST_APPLESS_MAIN(TestCoreCalc)
#include "test_core_calc.moc"
