#include <QTemporaryDir>
#include <QtTest>

#include "runtime/VersionResource.h"
#include "tests/common/VersionBlockBuilder.h"

using namespace qb;
using namespace qbtest;

Q_DECLARE_METATYPE(std::string)

namespace {

std::string WriteFile(const QTemporaryDir& dir, const std::string& bytes, const char* name = "program.exe") {
  const std::string path = dir.filePath(name).toStdString();
  WriteProgramFile(path, bytes);
  return path;
}

BlockContents WithFileVersion(const std::string& text) {
  BlockContents contents;
  contents.tables = {{"040904e4", {{"CompanyName", "Velmora Software"}, {"FileVersion", text}}}};
  return contents;
}

}  // namespace

class TestVersionResource : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

 private slots:
  void fieldCopyAndPacking_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bufSize");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<uint>("packed");
    const QString long300(300, 'x');
    QTest::newRow("four fields") << "2.2.0.15" << 260 << 8 << "2.2.0.15" << 0x0202000Fu;
    QTest::newRow("two fields") << "2.2" << 260 << 3 << "2.2" << 0x02020000u;
    QTest::newRow("commas") << "1,2,3,4" << 260 << 7 << "1,2,3,4" << 0x01020304u;
    QTest::newRow("five fields stop at four") << "1.2.3.4.5" << 260 << 9 << "1.2.3.4.5" << 0x01020304u;
    QTest::newRow("hex and octal runs") << "0x10.010.3" << 260 << 10 << "0x10.010.3" << 0x10080300u;
    QTest::newRow("low eight bits") << "300.1" << 260 << 5 << "300.1" << 0x2C010000u;
    QTest::newRow("digits then text") << "2.2 beta" << 260 << 8 << "2.2 beta" << 0x02020000u;
    QTest::newRow("not a number") << "abc" << 260 << 3 << "abc" << 0u;
    QTest::newRow("trailing separator") << "2.2." << 260 << 4 << "2.2." << 0x02020000u;
    QTest::newRow("blanks kept by the function") << " 2.2 " << 260 << 5 << " 2.2 " << 0x02020000u;
    QTest::newRow("300 characters cut to 259") << long300 << 260 << 300 << long300.left(259) << 0u;
    QTest::newRow("room for the zero") << "2.2.0.15" << 10 << 8 << "2.2.0.15" << 0x0202000Fu;
    QTest::newRow("exactly fits") << "2.2.0.15" << 9 << 8 << "2.2.0.15" << 0x0202000Fu;
    QTest::newRow("one byte short") << "2.2.0.15" << 8 << 8 << "2.2.0.1" << 0x0202000Fu;
    QTest::newRow("buffer of one") << "2.2.0.15" << 1 << 8 << "" << 0x0202000Fu;
  }
  void fieldCopyAndPacking() {
    QFETCH(QString, text);
    QFETCH(int, bufSize);
    QFETCH(int, length);
    QFETCH(QString, buffer);
    QFETCH(uint, packed);
    const std::string path = WriteFile(FDir, Embedded(BuildBlock(WithFileVersion(text.toStdString()))));
    std::vector<char> out(bufSize + 8, '#');
    uint32_t version = 0xDEADBEEF;
    QCOMPARE(GetFileVersionField(path.c_str(), "FileVersion", out.data(), bufSize, &version), length);
    QCOMPARE(QString::fromLatin1(out.data()), buffer);
    QCOMPARE(out[bufSize - 1], '\0');
    QCOMPARE(out[bufSize], '#');  // nothing written past the buffer
    QCOMPARE(version, packed);
  }

  void withoutBufferOrVersion() {
    const std::string path = WriteFile(FDir, BuildBlock(WithFileVersion("2.2.0.15")));
    QCOMPARE(GetFileVersionField(path.c_str(), "FileVersion", nullptr, 0, nullptr), 8);
    QCOMPARE(GetFileVersionField(path.c_str(), "CompanyName", nullptr, 260, nullptr), 16);
  }

  // Everything that makes the field unreadable gives 0, an empty buffer and version 0.
  void unreadable_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<QString>("field");
    BlockContents noVarFileInfo = WithFileVersion("2.2.0.15");
    noVarFileInfo.varFileInfo = false;
    BlockContents emptyTranslation = WithFileVersion("2.2.0.15");
    emptyTranslation.translations = {};
    BlockContents otherLanguage = WithFileVersion("2.2.0.15");
    otherLanguage.translations = {0x04E40407};
    BlockContents secondTranslationOnly = WithFileVersion("2.2.0.15");
    secondTranslationOnly.translations = {0x04E40407, 0x04E40409};
    Node badSignature = RootNode(WithFileVersion("2.2.0.15"));
    badSignature.value = FixedInfo(0x00020002, 0x0000000F, 0xFEEF04BC);
    Node tooLong = RootNode(WithFileVersion("2.2.0.15"));
    const std::string full = BuildBlock(WithFileVersion("2.2.0.15"));
    tooLong.lengthOverride = static_cast<int>(full.size()) + 1000;

    QTest::newRow("no block") << std::string(5000, '\x01') << "FileVersion";
    QTest::newRow("empty file") << std::string() << "FileVersion";
    QTest::newRow("no VarFileInfo") << BuildBlock(noVarFileInfo) << "FileVersion";
    QTest::newRow("empty translation table") << BuildBlock(emptyTranslation) << "FileVersion";
    QTest::newRow("translation without a table") << BuildBlock(otherLanguage) << "FileVersion";
    QTest::newRow("only the first translation counts") << BuildBlock(secondTranslationOnly) << "FileVersion";
    QTest::newRow("field missing") << BuildBlock(WithFileVersion("2.2.0.15")) << "ProductName";
    QTest::newRow("field name is a prefix") << BuildBlock(WithFileVersion("2.2.0.15")) << "FileVers";
    QTest::newRow("bad signature") << Serialize(badSignature) << "FileVersion";
    QTest::newRow("length past the end of the file") << Serialize(tooLong) << "FileVersion";
    QTest::newRow("block cut short") << full.substr(0, full.size() - 20) << "FileVersion";
    QTest::newRow("empty text") << BuildBlock(WithFileVersion("")) << "FileVersion";
  }
  void unreadable() {
    QFETCH(std::string, bytes);
    QFETCH(QString, field);
    const std::string path = WriteFile(FDir, bytes);
    char buffer[260];
    std::memset(buffer, 0, sizeof buffer);
    uint32_t version = 0xDEADBEEF;
    QCOMPARE(GetFileVersionField(path.c_str(), field.toLatin1().constData(), buffer, 260, &version), 0);
    QCOMPARE(buffer[0], '\0');
    QCOMPARE(version, 0u);
    QCOMPARE(ReadVersionString(path, field.toStdString()), std::string());
  }

  void missingFile() {
    uint32_t version = 7;
    QCOMPARE(GetFileVersionField(FDir.filePath("nothing-here").toLocal8Bit().constData(), "FileVersion",
                                 nullptr, 0, &version),
             0);
    QCOMPARE(version, 0u);
    QCOMPARE(GetFileVersionField(FDir.path().toLocal8Bit().constData(), "FileVersion", nullptr, 0, nullptr),
             0);
  }

  void firstTranslationWins() {
    BlockContents contents;
    contents.translations = {0x04E40407, 0x04E40409};
    contents.tables = {{"040904e4", {{"ProductName", "English"}}},
                       {"040704e4", {{"ProductName", "Deutsch"}}}};
    const std::string path = WriteFile(FDir, Embedded(BuildBlock(contents)));
    QCOMPARE(ReadVersionString(path, "ProductName"), std::string("Deutsch"));
  }

  void keysCompareWithoutCase() {
    BlockContents contents;
    contents.tables = {{"040904E4", {{"PRODUCTNAME", "Quellbid"}}}};
    const std::string path = WriteFile(FDir, BuildBlock(contents));
    QCOMPARE(ReadVersionString(path, "ProductName"), std::string("Quellbid"));
  }

  void trimmedText_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("read");
    QTest::newRow("plain") << "Quellbid"
                           << "Quellbid";
    QTest::newRow("blanks around") << "   Quellbid  "
                                   << "Quellbid";
    QTest::newRow("control characters") << "\t\r\nQuellbid\x01\x1f"
                                        << "Quellbid";
    QTest::newRow("inner blanks kept") << " Velmora  Software "
                                       << "Velmora  Software";
    QTest::newRow("blanks only") << "   "
                                 << "";
    QTest::newRow("non-ASCII") << QString::fromUtf8(" Zürich ") << QString::fromUtf8("Zürich");
  }
  void trimmedText() {
    QFETCH(QString, stored);
    QFETCH(QString, read);
    // The builder writes Latin-1 characters as single UTF-16 units.
    BlockContents contents;
    contents.tables = {{"040904e4", {{"ProductName", stored.toLatin1().toStdString()}}}};
    const std::string path = WriteFile(FDir, BuildBlock(contents));
    QCOMPARE(QString::fromStdString(ReadVersionString(path, "ProductName")), read);
  }

  void cutInsideCharacter() {
    // 258 ASCII characters and an "é": the cut at 259 bytes splits its two UTF-8 bytes.
    BlockContents contents;
    contents.tables = {{"040904e4", {{"Comments", std::string(258, 'a') + "\xE9" + "b"}}}};
    const std::string path = WriteFile(FDir, BuildBlock(contents));
    QCOMPARE(ReadVersionString(path, "Comments"), std::string(258, 'a'));
  }

  void versionNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("four") << "2.2.0.15" << QStringList{"2", "2", "0", "15"};
    QTest::newRow("two") << "2.2" << QStringList{"2", "2", "", ""};
    QTest::newRow("double dot") << "2..0" << QStringList{"2", "0", "", ""};
    QTest::newRow("leading dots") << "..3.4" << QStringList{"3", "4", "", ""};
    QTest::newRow("trailing dot") << "7." << QStringList{"7", "", "", ""};
    QTest::newRow("five") << "1.2.3.4.5" << QStringList{"1", "2", "3", "4"};
    QTest::newRow("empty") << "" << QStringList{"", "", "", ""};
    QTest::newRow("dots only") << "..." << QStringList{"", "", "", ""};
    QTest::newRow("words") << "2.2 beta.x" << QStringList{"2", "2 beta", "x", ""};
  }
  void versionNumbers() {
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    for (int i = 0; i < 4; ++i)
      QCOMPARE(QString::fromStdString(VersionNumberField(text.toStdString(), i)), fields[i]);
  }

  void findsBlockAmongOtherBytes() {
    const std::string block = BuildBlock(WithFileVersion("2.2.0.15"));
    // A decoy key without a valid header or signature comes first.
    std::string decoy(6, '\0');
    decoy += Wide("VS_VERSION_INFO") + std::string(60, '\0');
    const std::string bytes = Embedded(decoy + "junk" + block, 1001);
    const auto location = FindVersionBlock(bytes);
    QVERIFY(location);
    QCOMPARE(bytes.substr(location->offset, location->length), block);
    const std::string path = WriteFile(FDir, bytes);
    QCOMPARE(GetFileVersionInfoSize(path), static_cast<uint32_t>(block.size()));
  }

  void parsesTheTree() {
    BlockContents contents;
    contents.translations = {0x04E40409, 0x04B00407};
    contents.fileMS = 0x00020002;
    contents.fileLS = 0x0000000F;
    const std::string block = BuildBlock(contents);
    const auto root = ParseVersionBlock(block);
    QVERIFY(root);
    const auto fixed = ReadFixedFileInfo(*root);
    QVERIFY(fixed);
    QCOMPARE(fixed->fileVersionMS, 0x00020002u);
    QCOMPARE(fixed->fileVersionLS, 0x0000000Fu);
    const VersionNode* translation = FindVersionNode(*root, "\\VarFileInfo\\Translation");
    QVERIFY(translation);
    QCOMPARE(TranslationEntries(*translation), (std::vector<uint32_t>{0x04E40409, 0x04B00407}));
    const VersionNode* field = FindVersionNode(*root, "\\StringFileInfo\\040904e4\\FileVersion");
    QVERIFY(field);
    QCOMPARE(VersionNodeText(*field), std::string("2.2.0.15"));
    QCOMPARE(FindVersionNode(*root, "\\"), &*root);
    QVERIFY(!FindVersionNode(*root, "\\StringFileInfo\\040904e4\\FileVersion\\More"));
  }

  // A child whose length runs past its parent is dropped with everything after it.
  void childPastItsParent() {
    Node root = RootNode(WithFileVersion("2.2.0.15"));
    root.children[0].children[0].children[0].lengthOverride = 4000;
    const auto parsed = ParseVersionBlock(Serialize(root));
    QVERIFY(parsed);
    QVERIFY(!FindVersionNode(*parsed, "\\StringFileInfo\\040904e4\\CompanyName"));
    QVERIFY(FindVersionNode(*parsed, "\\VarFileInfo\\Translation"));
  }

  void textWithoutTerminator() {
    Node root = RootNode(WithFileVersion("2.2.0.15"));
    Node& field = root.children[0].children[0].children[1];
    field.value = field.value.substr(0, field.value.size() - 2);  // drop the zero
    field.valueLength = 100;                                      // claims more than there is
    const std::string path = WriteFile(FDir, Serialize(root));
    QCOMPARE(ReadVersionString(path, "FileVersion"), std::string("2.2.0.15"));
  }

  void utf16Conversion_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << std::string("A\0b\0", 4) << "Ab";
    QTest::newRow("latin") << std::string("\xE9\0", 2) << QString::fromUtf8("é");
    QTest::newRow("euro") << std::string("\xAC\x20", 2) << QString::fromUtf8("€");
    QTest::newRow("surrogate pair") << std::string("\x3D\xD8\x00\xDE", 4)
                                    << QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("lone surrogate") << std::string(
                                           "\x3D\xD8"
                                           "A\0",
                                           4)
                                    << QString::fromUtf8(
                                           "\xEF\xBF\xBD"
                                           "A");
    QTest::newRow("odd byte ignored") << std::string("A\0B", 3) << "A";
  }
  void utf16Conversion() {
    QFETCH(std::string, bytes);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(Utf16LeToUtf8(bytes)), text);
  }
};

QTEST_GUILESS_MAIN(TestVersionResource)
#include "test_core_version_resource.moc"
