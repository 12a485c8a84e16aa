#include <QFile>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "app/Exever.h"
#include "runtime/VersionResource.h"
#include "tests/common/VersionBlockBuilder.h"

using namespace qb;

// This test carries the program's own generated version resource.
class TestExever : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString WriteBlock(const qbtest::BlockContents& contents) {
    static int count = 0;
    const QString path = FDir.filePath(QStringLiteral("file%1.bin").arg(++count));
    qbtest::WriteProgramFile(path.toStdString(), qbtest::Embedded(qbtest::BuildBlock(contents)));
    return path;
  }

 private slots:
  void publishedProperties() {
    const QStringList expected{
        "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments",
        "MajorVersion",    "MinorVersion",     "Release",     "Build"};
    const QMetaObject& meta = TExeVersion::staticMetaObject;
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
      QVERIFY(!meta.property(i).isWritable());
      names << QString::fromLatin1(meta.property(i).name());
    }
    QCOMPARE(names, expected);
  }

  void runningExecutable_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::newRow("CompanyName") << "CompanyName"
                                 << "Velmora Software";
    QTest::newRow("FileDescription") << "FileDescription"
                                     << "Quellbid auction price research";
    QTest::newRow("FileVersion") << "FileVersion"
                                 << "2.2.0.15";
    QTest::newRow("InternalName") << "InternalName"
                                  << "Quellbid";
    QTest::newRow("LegalCopyright") << "LegalCopyright"
                                    << "Copyright (C) Velmora Software";
    QTest::newRow("LegalTrademarks") << "LegalTrademarks"
                                     << "";
    QTest::newRow("OriginalFilename") << "OriginalFilename"
                                      << "quellbid";
    QTest::newRow("ProductName") << "ProductName"
                                 << "Quellbid";
    QTest::newRow("ProductVersion") << "ProductVersion"
                                    << "2.2.0.15";
    QTest::newRow("Comments") << "Comments"
                              << "";
    QTest::newRow("MajorVersion") << "MajorVersion"
                                  << "2";
    QTest::newRow("MinorVersion") << "MinorVersion"
                                  << "2";
    QTest::newRow("Release") << "Release"
                             << "0";
    QTest::newRow("Build") << "Build"
                           << "15";
  }
  void runningExecutable() {
    QFETCH(QString, property);
    QFETCH(QString, value);
    QObject owner;
    auto* version = new TExeVersion(&owner);
    QCOMPARE(version->parent(), &owner);
    QCOMPARE(version->property(property.toLatin1().constData()).toString(), value);
  }

  void generatedFixedInfo() {
    std::ifstream file(ExecutableFilePath().toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto location = FindVersionBlock(bytes);
    QVERIFY(location);
    QCOMPARE(location->offset % 4, size_t{0});
    const auto root = ParseVersionBlock(std::string_view(bytes).substr(location->offset, location->length));
    QVERIFY(root);
    const auto fixed = ReadFixedFileInfo(*root);
    QVERIFY(fixed);
    QCOMPARE(fixed->fileVersionMS, 0x00020002u);
    QCOMPARE(fixed->fileVersionLS, 0x0000000Fu);
    QCOMPARE(fixed->productVersionMS, 0x00020002u);
    QCOMPARE(fixed->productVersionLS, 0x0000000Fu);
    const auto* translation = FindVersionNode(*root, "\\VarFileInfo\\Translation");
    QVERIFY(translation);
    QCOMPARE(TranslationEntries(*translation), std::vector<uint32_t>{0x04E40409});
    QVERIFY(FindVersionNode(*root, "\\StringFileInfo\\040904e4\\ProductName"));
    uint32_t packed = 0;
    QCOMPARE(GetFileVersionField(ExecutableFilePath().toLocal8Bit().constData(), "FileVersion", nullptr, 0,
                                 &packed),
             8);
    QCOMPARE(packed, 0x0202000Fu);
  }

  void numbersFromFileVersion_data() {
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("four fields") << "2.2.0.15" << QStringList{"2", "2", "0", "15"};
    QTest::newRow("two fields") << "2.2" << QStringList{"2", "2", "", ""};
    QTest::newRow("run of dots") << "2..0" << QStringList{"2", "0", "", ""};
    QTest::newRow("blanks around") << "  3.1.4.1 " << QStringList{"3", "1", "4", "1"};
    QTest::newRow("one field") << "7" << QStringList{"7", "", "", ""};
  }
  void numbersFromFileVersion() {
    QFETCH(QString, fileVersion);
    QFETCH(QStringList, numbers);
    qbtest::BlockContents contents;
    contents.tables = {{"040904e4", {{"FileVersion", fileVersion.toStdString()}}}};
    TExeVersion version(nullptr, WriteBlock(contents));
    QCOMPARE(version.GetFileVersion(), fileVersion.trimmed());
    QCOMPARE((QStringList{version.GetMajorVersion(), version.GetMinorVersion(), version.GetRelease(),
                          version.GetBuild()}),
             numbers);
  }

  // No resource, no translation table, or the field missing: every property is empty.
  void emptyWhenUnreadable_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("no resource") << 0;
    QTest::newRow("no translation table") << 1;
    QTest::newRow("other language only") << 2;
    QTest::newRow("no such file") << 3;
  }
  void emptyWhenUnreadable() {
    QFETCH(int, kind);
    qbtest::BlockContents contents;
    contents.tables = {{"040904e4", {{"FileVersion", "2.2.0.15"}, {"ProductName", "Quellbid"}}}};
    QString path;
    if (kind == 0) {
      path = FDir.filePath(QStringLiteral("plain.bin"));
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(QByteArray(10000, 'q'));
    } else if (kind == 1) {
      contents.varFileInfo = false;
      path = WriteBlock(contents);
    } else if (kind == 2) {
      contents.translations = {0x04E40407};
      path = WriteBlock(contents);
    } else {
      path = FDir.filePath(QStringLiteral("missing.exe"));
    }
    TExeVersion version(nullptr, path);
    const QMetaObject& meta = TExeVersion::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
      QCOMPARE(meta.property(i).read(&version).toString(), QString());
  }

  // Every read queries the file anew.
  void readsTheFileEachTime() {
    qbtest::BlockContents contents;
    contents.tables = {{"040904e4", {{"FileVersion", "1.0"}}}};
    const QString path = WriteBlock(contents);
    TExeVersion version(nullptr, path);
    QCOMPARE(version.GetFileVersion(), QStringLiteral("1.0"));
    contents.tables = {{"040904e4", {{"FileVersion", "3.0.1"}}}};
    qbtest::WriteProgramFile(path.toStdString(), qbtest::BuildBlock(contents));
    QCOMPARE(version.GetFileVersion(), QStringLiteral("3.0.1"));
    QCOMPARE(version.GetRelease(), QStringLiteral("1"));
  }
};

QTEST_GUILESS_MAIN(TestExever)
#include "test_exever.moc"
