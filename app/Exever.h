#pragma once

#include <QObject>
#include <QString>

namespace qb {

// Path of the running executable (empty when it cannot be found).
QString ExecutableFilePath();

// Reads text fields from the version resource of the running executable.
// Keeps no state: every property read queries the file anew. Fields that
// cannot be read are empty.
class TExeVersion : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString CompanyName READ GetCompanyName)
  Q_PROPERTY(QString FileDescription READ GetFileDescription)
  Q_PROPERTY(QString FileVersion READ GetFileVersion)
  Q_PROPERTY(QString InternalName READ GetInternalName)
  Q_PROPERTY(QString LegalCopyright READ GetLegalCopyright)
  Q_PROPERTY(QString LegalTrademarks READ GetLegalTrademarks)
  Q_PROPERTY(QString OriginalFilename READ GetOriginalFilename)
  Q_PROPERTY(QString ProductName READ GetProductName)
  Q_PROPERTY(QString ProductVersion READ GetProductVersion)
  Q_PROPERTY(QString Comments READ GetComments)
  Q_PROPERTY(QString MajorVersion READ GetMajorVersion)
  Q_PROPERTY(QString MinorVersion READ GetMinorVersion)
  Q_PROPERTY(QString Release READ GetRelease)
  Q_PROPERTY(QString Build READ GetBuild)

 public:
  explicit TExeVersion(QObject* owner = nullptr);
  // Reads the named file instead of the running executable.
  TExeVersion(QObject* owner, const QString& fileName);

  QString GetCompanyName() const { return Field("CompanyName"); }
  QString GetFileDescription() const { return Field("FileDescription"); }
  QString GetFileVersion() const { return Field("FileVersion"); }
  QString GetInternalName() const { return Field("InternalName"); }
  QString GetLegalCopyright() const { return Field("LegalCopyright"); }
  QString GetLegalTrademarks() const { return Field("LegalTrademarks"); }
  QString GetOriginalFilename() const { return Field("OriginalFilename"); }
  QString GetProductName() const { return Field("ProductName"); }
  QString GetProductVersion() const { return Field("ProductVersion"); }
  QString GetComments() const { return Field("Comments"); }
  QString GetMajorVersion() const { return VersionNumber(0); }
  QString GetMinorVersion() const { return VersionNumber(1); }
  QString GetRelease() const { return VersionNumber(2); }
  QString GetBuild() const { return VersionNumber(3); }

 private:
  QString Field(const char* name) const;
  QString VersionNumber(size_t index) const;

  QString FFileName;
};

}  // namespace qb
