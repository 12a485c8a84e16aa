#include <QtTest>
#include <clocale>
#include <cstdlib>

#include "runtime/AsciiText.h"
#include "runtime/Conversions.h"
#include "runtime/Exception.h"
#include "runtime/StringTable.h"

using namespace qb;

namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

// The C library's locale for one test row; "C" again afterwards.
struct CLibraryLocale {
  bool set;
  explicit CLibraryLocale(const QString& name)
      : set(name.isEmpty() || std::setlocale(LC_ALL, qPrintable(name))) {}
  ~CLibraryLocale() { std::setlocale(LC_ALL, "C"); }
};

}  // namespace

class TestConversions : public QObject {
  Q_OBJECT
  QTemporaryDir FLocales;

 private slots:
  void initTestCase() {
    if (std::setlocale(LC_ALL, kCommaLocale) == nullptr && FLocales.isValid()) {
      // Not installed here: build it where LOCPATH points.
      const QString target = FLocales.filePath(kCommaLocale);
      const QByteArray command = "localedef -i de_DE -f UTF-8 '" + target.toLocal8Bit() + "' >/dev/null 2>&1";
      if (std::system(command.constData()) != -1) qputenv("LOCPATH", FLocales.path().toLocal8Bit());
    }
    std::setlocale(LC_ALL, "C");
  }

  void numericText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowPeriod");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("digits") << "0123456789" << true << true;
    QTest::newRow("empty") << "" << true << false;
    QTest::newRow("lone period") << "." << true << true;
    QTest::newRow("two periods") << "1.2.3" << true << true;
    QTest::newRow("period not allowed") << "1.5" << false << false;
    QTest::newRow("blank") << " 1" << true << false;
    QTest::newRow("minus") << "-1" << true << false;
    QTest::newRow("comma") << "1,000" << true << false;
    QTest::newRow("dollar") << "$5" << true << false;
  }
  void numericText() {
    QFETCH(QString, text);
    QFETCH(bool, allowPeriod);
    QFETCH(bool, numeric);
    QCOMPARE(IsNumericText(text.toStdString(), allowPeriod), numeric);
  }

  void strToFloat_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("cLocale");  // empty: "C"
    QTest::newRow("plain") << "12.5"
                           << "." << true << 12.5 << QString();
    QTest::newRow("blanks around") << " 12 "
                                   << "." << true << 12.0 << QString();
    QTest::newRow("plus point five") << "+.5"
                                     << "." << true << 0.5 << QString();
    QTest::newRow("lone period") << "."
                                 << "." << true << 0.0 << QString();
    QTest::newRow("negative") << "-3.25"
                              << "." << true << -3.25 << QString();
    QTest::newRow("exponent") << "1e5"
                              << "." << true << 100000.0 << QString();
    QTest::newRow("exponent signed") << "2.5E-7"
                                     << "." << true << 2.5e-7 << QString();
    QTest::newRow("exponent no digits") << "1e"
                                        << "." << false << 0.0 << QString();
    QTest::newRow("lone minus") << "-"
                                << "." << false << 0.0 << QString();
    QTest::newRow("empty") << ""
                           << "." << false << 0.0 << QString();
    QTest::newRow("blanks only") << "   "
                                 << "." << false << 0.0 << QString();
    QTest::newRow("two periods") << "1.2.3"
                                 << "." << false << 0.0 << QString();
    QTest::newRow("letters") << "abc"
                             << "." << false << 0.0 << QString();
    QTest::newRow("dollar") << "$5"
                            << "." << false << 0.0 << QString();
    QTest::newRow("comma under period") << "1,5"
                                        << "." << false << 0.0 << QString();
    QTest::newRow("comma locale") << "1,5"
                                  << "," << true << 1.5 << QString();
    QTest::newRow("period under comma") << "1.5"
                                        << "," << false << 0.0 << QString();
    QTest::newRow("inner blank") << "1 5"
                                 << "." << false << 0.0 << QString();
    QTest::newRow("overflow") << "1e99999"
                              << "." << false << 0.0 << QString();
    QTest::newRow("underflow reads zero") << "1e-99999"
                                          << "." << true << 0.0 << QString();
    QTest::newRow("hex is not decimal") << "0x10"
                                        << "." << false << 0.0 << QString();
    QTest::newRow("comma locale beyond range") << "1,5e5000"
                                               << "," << false << 0.0 << kCommaLocale;
    QTest::newRow("comma locale below range") << "-1,5e-5000"
                                              << "," << true << 0.0 << kCommaLocale;
    QTest::newRow("comma locale exponent") << "2,5E-7"
                                           << "," << true << 2.5e-7 << kCommaLocale;
  }
  void strToFloat() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QFETCH(QString, cLocale);
    const CLibraryLocale locale(cLocale);
    if (!locale.set) QSKIP("the de_DE.UTF-8 locale is neither installed nor could be built with localedef");
    const std::string t = text.toStdString();
    const char sep = separator.toLatin1().at(0);
    if (ok) {
      QCOMPARE(static_cast<double>(StrToFloat(t, sep)), value);
    } else {
      try {
        StrToFloat(t, sep);
        QFAIL("no exception");
      } catch (const Exception& e) {
        QCOMPARE(QString::fromStdString(e.what()), "'" + text + "' is not a valid floating point value");
      }
    }
  }

  // Plain decimals at the edges of the exact-quotient path read exactly like
  // the C library's conversion, in extended and in double precision.
  // "exact": the text takes the one-division fast path.
  void plainDecimalsMatchTheCLibrary_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("exact");
    QTest::newRow("price") << "1299.99" << true;
    QTest::newRow("19 digits") << "9999999999999999999" << true;
    QTest::newRow("20 digits") << "99999999999999999999" << false;
    QTest::newRow("2^64 - 1") << "18446744073709551615" << true;
    QTest::newRow("2^64") << "18446744073709551616" << false;
    QTest::newRow("2^53 + 1") << "9007199254740993" << true;
    QTest::newRow("27 decimals") << "0.123456789012345678901234567" << false;
    QTest::newRow("27 decimals, one digit") << "0.000000000000000000000000003" << true;
    QTest::newRow("28 decimals, one digit") << "0.0000000000000000000000000003" << false;
    QTest::newRow("28 decimals") << "0.1234567890123456789012345678" << false;
    QTest::newRow("23 decimals") << "1.00000000000000000000001" << false;
    QTest::newRow("float midpoint") << "1.000000059604644775390625" << false;
    QTest::newRow("near a float midpoint") << "1.000000059604644776390625" << false;
    QTest::newRow("leading zeros") << "000000000000000000000012.5" << true;
    QTest::newRow("signed") << "-2.5" << false;
    QTest::newRow("exponent") << "1e3" << false;
  }
  void plainDecimalsMatchTheCLibrary() {
    QFETCH(QString, text);
    const std::string t = text.toStdString();
    // Exact comparisons: QCOMPARE would compare doubles fuzzily.
    QVERIFY(StrToFloat(t, '.') == std::strtold(t.c_str(), nullptr));
    long double quotient = -1;
    QTEST(TryExactDecimal(t, quotient), "exact");
    QVERIFY(quotient == -1 || quotient == std::strtold(t.c_str(), nullptr));
  }

  void strToInt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("double zero") << "00" << true << 0;
    QTest::newRow("twelve") << "12" << true << 12;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("beyond max") << "2147483648" << false << 0;
    QTest::newRow("huge") << "99999999999" << false << 0;
    QTest::newRow("fraction") << "1.5" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("lone minus") << "-" << false << 0;
    QTest::newRow("letters") << "1a" << false << 0;
  }
  void strToInt() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::string t = text.toStdString();
    if (ok) {
      QCOMPARE(StrToInt(t), value);
    } else {
      try {
        StrToInt(t);
        QFAIL("no exception");
      } catch (const Exception& e) {
        QCOMPARE(QString::fromStdString(e.what()), "'" + text + "' is not a valid integer value");
      }
    }
  }

  void floatToStr_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 25.0 << "25";
    QTest::newRow("half") << 12.5 << "12.5";
    QTest::newRow("seven sixths") << 7.0 / 6.0 << "1.16666666666667";
    QTest::newRow("1E15") << 1e15 << "1E15";
    QTest::newRow("just below 1E15") << 123456789012345.0 << "123456789012345";
    QTest::newRow("rounds up to 1E15") << 999999999999999.9 << "1E15";
    QTest::newRow("small scientific") << 2.5e-7 << "2.5E-7";
    QTest::newRow("1E-4 fixed") << 0.0001 << "0.0001";
    QTest::newRow("below 1E-4") << 0.00009 << "9E-5";
    QTest::newRow("negative") << -26.5 << "-26.5";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("big scientific") << 1.5e300 << "1.5E300";
  }
  void floatToStr() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FloatToStr(value, '.')), text);
  }

  void floatToStrUsesSeparator() { QCOMPARE(QString::fromStdString(FloatToStr(12.5, ',')), QString("12,5")); }

  void asciiFolding_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("folded");
    QTest::newRow("letters") << QByteArray("AbZz") << QByteArray("abzz");
    QTest::newRow("bytes next to the letter ranges") << QByteArray("@[`{") << QByteArray("@[`{");
    QTest::newRow("UTF-8 letters stay") << QByteArray("\xC3\x84X") << QByteArray("\xC3\x84x");
  }
  void asciiFolding() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, folded);
    QCOMPARE(QByteArray::fromStdString(AsciiFolded(text.toStdString())), folded);
    QVERIFY(EqualsAsciiFolded(text.toStdString(), folded.toStdString()));
    QVERIFY(!EqualsAsciiFolded(text.toStdString(), folded.toStdString() + "a"));
  }

  void displayMessage_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Bad value"
                            << "Bad value.";
    QTest::newRow("digit") << "Code 7"
                           << "Code 7.";
    QTest::newRow("period") << "Done."
                            << "Done.";
    QTest::newRow("quote sorts before period") << "'x' is not a valid integer value'"
                                               << "'x' is not a valid integer value'";
    QTest::newRow("empty") << ""
                           << "";
  }
  void displayMessage() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(QString::fromStdString(DisplayMessage(message.toStdString())), shown);
  }

  void stringTable_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("OK") << 30100 << "OK";
    QTest::newRow("Finish") << 30113 << "&Finish";
    QTest::newRow("Cancel German falls back") << 30100 + 20 * 6 + 1 << "Cancel";
    QTest::newRow("Help Korean falls back") << 30100 + 20 * 15 + 2 << "&Help";
    QTest::newRow("Warning caption") << 30508 << "Warning";
    QTest::newRow("Warning caption Russian") << 30508 + 30 << "Warning";
    QTest::newRow("Confirmation caption Korean") << 30507 + 30 * 15 << "Confirmation";
    QTest::newRow("Calculator Russian") << 31800 << "Calculator";
    QTest::newRow("Calculator error Korean") << 31941 << "Error";
    QTest::newRow("unknown") << 12345 << "";
  }
  void stringTable() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(LoadStr(id)), text);
  }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "test_conversions.moc"
