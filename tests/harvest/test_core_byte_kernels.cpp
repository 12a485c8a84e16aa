// Each SIMD level of the byte kernels against the portable reference, on
// random and adversarial input. Inputs lie in blocks of their exact size, so
// the sanitizer build catches a read past the end.
#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "harvest/ByteKernels.h"

using namespace qb;

namespace {

using Bytes = std::vector<char>;

Bytes Make(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Random(std::mt19937& random, std::string_view alphabet, size_t size) {
  Bytes bytes(size);
  for (char& c : bytes) c = alphabet[random() % alphabet.size()];
  return bytes;
}

// Every text of filler with the piece put in at each offset.
std::vector<Bytes> AtEveryOffset(std::string_view piece, size_t size, char filler = 'a') {
  std::vector<Bytes> texts;
  for (size_t at = 0; at + piece.size() <= size; ++at) {
    Bytes text(size, filler);
    std::copy(piece.begin(), piece.end(), text.begin() + static_cast<long>(at));
    texts.push_back(std::move(text));
  }
  return texts;
}

const ByteKernels& Reference() { return KernelsAt(KernelLevel::kPortable); }

QString Shown(const Bytes& text) {
  return QString::fromLatin1(QByteArray(text.data(), qsizetype(text.size())).toPercentEncoding());
}

void CheckFind(const ByteKernels& kernels, const Bytes& text, std::string_view marker) {
  if (marker.empty() || marker.size() > text.size()) return;
  const Bytes exact(marker.begin(), marker.end());  // the marker in a block of its own size too
  const std::string_view m(exact.data(), exact.size());
  const size_t want = Reference().find(text.data(), text.size(), m);
  const size_t wantFolded = Reference().findFolded(text.data(), text.size(), m);
  if (kernels.find(text.data(), text.size(), m) != want ||
      kernels.findFolded(text.data(), text.size(), m) != wantFolded)
    QFAIL(qPrintable("search for " + Shown(exact) + " in " + Shown(text)));
}

void CheckWiden(const ByteKernels& kernels, const Bytes& text) {
  Bytes want(2 * text.size()), got(2 * text.size());
  size_t wantRead = 0, gotRead = 0;
  const size_t wantSize = Reference().widenLineEnds(text.data(), text.size(), want.data(), wantRead);
  const size_t gotSize = kernels.widenLineEnds(text.data(), text.size(), got.data(), gotRead);
  if (gotSize != wantSize || gotRead != wantRead ||
      !std::equal(want.begin(), want.begin() + long(wantSize), got.begin()))
    QFAIL(qPrintable("widening " + Shown(text)));
}

void CheckUtf8(const ByteKernels& kernels, const Bytes& text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  if (kernels.isValidUtf8(s, text.size()) != Reference().isValidUtf8(s, text.size()))
    QFAIL(qPrintable("UTF-8 check of " + Shown(text)));
}

void CheckQuotes(const ByteKernels& kernels, const Bytes& text) {
  for (const char separator : {',', '\t'})
    if (kernels.needsQuotes(text.data(), text.size(), separator) !=
        Reference().needsQuotes(text.data(), text.size(), separator))
      QFAIL(qPrintable("quoting test of " + Shown(text)));
}

}  // namespace

class TestByteKernels : public QObject {
  Q_OBJECT

  // A row for each SIMD level the machine has; the portable one, against
  // itself, where there is none.
  static void LevelRows() {
    QTest::addColumn<int>("level");
    bool any = false;
    for (int l = 1; l < kKernelLevelCount; ++l) {
      if (!HasKernelLevel(KernelLevel(l))) continue;
      QTest::newRow(KernelLevelName(KernelLevel(l))) << l;
      any = true;
    }
    if (!any) QTest::newRow("portable only") << 0;
  }
  static const ByteKernels& Level() {
    QFETCH(int, level);
    return KernelsAt(KernelLevel(level));
  }

 private slots:
  void levels() {
    const KernelLevel best = ActiveKernelLevel();
    QVERIFY(HasKernelLevel(KernelLevel::kPortable));
    for (int l = static_cast<int>(best) + 1; l < kKernelLevelCount; ++l)
      QVERIFY(!HasKernelLevel(KernelLevel(l)));
#if defined(__x86_64__)
    QVERIFY(HasKernelLevel(KernelLevel::kSse2));
#endif
    for (int l = 0; l < kKernelLevelCount; ++l) {
      const auto level = KernelLevel(l);
      QCOMPARE(ForceKernelLevel(level), HasKernelLevel(level));
      if (!HasKernelLevel(level)) continue;
      QCOMPARE(ActiveKernelLevel(), level);
      QCOMPARE(&Kernels(), &KernelsAt(level));
    }
    QVERIFY(ForceKernelLevel(best));
  }

  void find_data() { LevelRows(); }
  void find() {
    const ByteKernels& kernels = Level();
    // A marker, or one that differs from it only inside, at every offset of
    // texts across the block widths; in either letter case.
    for (const std::string_view marker : {"ab", "aab", "rd=1\">", "input type=\"checkbox\"", "Var SaleJS",
                                          "a-long-marker-of-forty-bytes-for-search"}) {
      std::string near(marker);
      if (near.size() > 2) near[1] = near[1] == '#' ? '%' : '#';
      for (const size_t size : {size_t(1), size_t(17), size_t(63), size_t(64), size_t(65), size_t(150)}) {
        for (const Bytes& text : AtEveryOffset(marker, size)) CheckFind(kernels, text, marker);
        for (const Bytes& text : AtEveryOffset(near, size)) CheckFind(kernels, text, marker);
      }
      std::string upper(marker);
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      for (const Bytes& text : AtEveryOffset(upper, 130)) CheckFind(kernels, text, marker);
    }
    // Bytes one case bit away from letters and signs.
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
      const Bytes text = Random(random, "aAbB@`[{\0\x80\xe1\xc1", random() % 200 + 1);
      const size_t from = random() % text.size(),
                   size = std::min<size_t>(random() % 12 + 1, text.size() - from);
      CheckFind(kernels, text, std::string_view(text.data() + from, size));
      const Bytes marker = Random(random, "aAbB@`", random() % 4 + 1);
      CheckFind(kernels, text, std::string_view(marker.data(), marker.size()));
    }
  }

  void widen_data() { LevelRows(); }
  void widen() {
    const ByteKernels& kernels = Level();
    for (const std::string_view piece :
         {std::string_view("\r"), std::string_view("\n"), std::string_view("\r\n"), std::string_view("\n\r"),
          std::string_view("\0", 1), std::string_view("\r\0", 2), std::string_view("\r\r\n\n")})
      for (const size_t size : {size_t(1), size_t(33), size_t(65), size_t(140)})
        for (const Bytes& text : AtEveryOffset(piece, size)) CheckWiden(kernels, text);
    std::mt19937 random(12);
    for (int round = 0; round < 20000; ++round) {
      const std::string_view alphabet =
          round % 3 ? std::string_view("aaaaaab\r\n") : std::string_view("a\r\n\0", 4);
      CheckWiden(kernels, Random(random, alphabet, random() % 300));
    }
  }

  void utf8_data() { LevelRows(); }
  void utf8() {
    const ByteKernels& kernels = Level();
    // One character, well or badly formed, at every offset of ASCII text
    // long enough for the 64-byte steps.
    for (const std::string_view piece : {"\x80", "\xff", "\xc0\xaf", "\xc3", "\xe2\x82", "\xed\xa0\x80",
                                         "\xf4\x90\x80\x80", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80"})
      for (const Bytes& text : AtEveryOffset(piece, 600)) CheckUtf8(kernels, text);
    std::mt19937 random(13);
    const std::string_view characters[] = {"a",        "bcdefghijklmnopq", "\xc3\xa9",
                                           "\xd0\x96", "\xe2\x82\xac",     "\xf0\x9f\x98\x80"};
    for (int round = 0; round < 5000; ++round) {
      std::string text;
      while (text.size() < random() % 400) text += characters[random() % std::size(characters)];
      Bytes bytes = Make(text);
      if (round % 2 && !bytes.empty()) bytes[random() % bytes.size()] = static_cast<char>(random());
      CheckUtf8(kernels, bytes);
    }
  }

  void quotes_data() { LevelRows(); }
  void quotes() {
    const ByteKernels& kernels = Level();
    for (size_t size = 0; size <= 70; ++size) {
      CheckQuotes(kernels, Bytes(size, 'a'));
      for (const char c : {',', '\t', '"', '\r', '\n', ';', 'l', '\xac'})
        for (const Bytes& text : AtEveryOffset(std::string_view(&c, 1), size)) CheckQuotes(kernels, text);
    }
  }
};

QTEST_APPLESS_MAIN(TestByteKernels)
#include "test_core_byte_kernels.moc"
