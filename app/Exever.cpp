#include "app/Exever.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "runtime/VersionResource.h"

namespace qb {

QString ExecutableFilePath() {
  if (QCoreApplication::instance()) {
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty()) return path;
  }
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

TExeVersion::TExeVersion(QObject* owner) : TExeVersion(owner, ExecutableFilePath()) {}

TExeVersion::TExeVersion(QObject* owner, const QString& fileName) : QObject(owner), FFileName(fileName) {}

QString TExeVersion::Field(const char* name) const {
  return QString::fromStdString(ReadVersionString(FFileName.toStdString(), name));
}

QString TExeVersion::VersionNumber(size_t index) const {
  return QString::fromStdString(VersionNumberField(GetFileVersion().toStdString(), index));
}

}  // namespace qb
