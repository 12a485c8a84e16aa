#include "research/ResearchDocument.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace qb {

namespace {

const QString kProgramName = QStringLiteral("Quellbid");
const QString kRecentKey = QStringLiteral("Research/Recent");

std::string Local8(const QString& path) { return QFile::encodeName(path).toStdString(); }

QSettings ProgramSettings() {
  return QSettings(
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/quellbid.conf"),
      QSettings::IniFormat);
}

// The file and what SQLite keeps beside it.
void RemoveResearchFile(const QString& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(path + QLatin1String(suffix));
}

// Why path cannot be written, or empty.
std::string WhyNotWritable(const QString& path) {
  const QFileInfo file(path);
  if (file.exists() && !file.isWritable()) return "the file is read-only";
  // The journal goes beside the file.
  if (!QFileInfo(file.absolutePath()).isWritable()) return "its folder is read-only";
  return {};
}

}  // namespace

QString UntitledResearchFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/research");
}

QString UntitledResearchName(const QDateTime& start) {
  return QStringLiteral("untitled-") + start.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
         QString::fromLatin1(kResearchFileSuffix);
}

bool IsUntitledResearchPath(const QString& path, QDateTime* start) {
  static const QRegularExpression name(QStringLiteral("^untitled-(\\d{8}-\\d{6})(-\\d+)?\\.quellbid$"));
  const QFileInfo file(path);
  const QRegularExpressionMatch match = name.match(file.fileName());
  if (!match.hasMatch()) return false;
  if (CanonicalResearchPath(file.absolutePath()) != CanonicalResearchPath(UntitledResearchFolder()))
    return false;
  const QDateTime time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
  if (!time.isValid()) return false;
  if (start) *start = time;
  return true;
}

QString ResearchDisplayName(const QString& path) {
  QDateTime start;
  if (!IsUntitledResearchPath(path, &start)) return QFileInfo(path).fileName();
  return QStringLiteral("Untitled research, ") +
         QLocale::c().toString(start, QStringLiteral("d MMM yyyy HH:mm"));
}

QString CanonicalResearchPath(const QString& path) {
  const QFileInfo file(path);
  if (file.exists()) return file.canonicalFilePath();
  const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
  return (folder.isEmpty() ? file.absolutePath() : folder) + QLatin1Char('/') + file.fileName();
}

// RecentResearch

QStringList RecentResearch::Paths() const {
  return ProgramSettings().value(kRecentKey).toStringList().mid(0, kRecentResearchCount);
}

void RecentResearch::Add(const QString& path) {
  const QString canonical = CanonicalResearchPath(path);
  QStringList paths = Paths();
  paths.removeAll(canonical);
  paths.prepend(canonical);
  Store(paths.mid(0, kRecentResearchCount));
}

void RecentResearch::Remove(const QString& path) {
  QStringList paths = Paths();
  paths.removeAll(path);
  paths.removeAll(CanonicalResearchPath(path));
  Store(paths);
}

void RecentResearch::Clear() { Store({}); }

void RecentResearch::Store(const QStringList& paths) {
  QSettings settings = ProgramSettings();
  settings.setValue(kRecentKey, paths);
}

// ResearchLock

ResearchLock::ResearchLock(std::unique_ptr<QLockFile> lock) : FLock(std::move(lock)) {}

ResearchLock::~ResearchLock() = default;

std::unique_ptr<ResearchLock> ResearchLock::Take(const QString& path) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  QDir().mkpath(folder);
  const QByteArray key =
      QCryptographicHash::hash(CanonicalResearchPath(path).toUtf8(), QCryptographicHash::Sha1).toHex();
  auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/quellbid-") + QString::fromLatin1(key) +
                                          QStringLiteral(".lock"));
  // Held for hours by a running program; only a dead owner's lock is stale.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) return std::unique_ptr<ResearchLock>(new ResearchLock(std::move(lock)));
  if (lock->error() == QLockFile::LockFailedError) return nullptr;
  // No runtime folder to lock in: the file opens unguarded rather than not at all.
  return std::unique_ptr<ResearchLock>(new ResearchLock(nullptr));
}

namespace {

// A path for a new untitled file of a research started then, locked for this
// window (another program may pick a name in the same second); empty with a
// message when the folder cannot be made.
QString NewUntitledPath(const QDateTime& start, std::unique_ptr<ResearchLock>& lock, std::string& message) {
  const QString folder = UntitledResearchFolder();
  if (!QDir().mkpath(folder)) {
    message = ResearchFileMessage(Local8(folder), "cannot be made.");
    return {};
  }
  const QString name = UntitledResearchName(start);
  for (int n = 1;; ++n) {
    const QString path =
        QDir(folder).filePath(n == 1 ? name
                                     : QString(name).replace(QLatin1String(kResearchFileSuffix),
                                                             QStringLiteral("-%1.quellbid").arg(n)));
    if (QFileInfo::exists(path)) continue;
    lock = ResearchLock::Take(path);
    if (lock && !QFileInfo::exists(path)) return path;
  }
}

}  // namespace

// ResearchDocument

ResearchDocument::ResearchDocument(RecentResearch* recent)
    : FRecent(recent), FStart(QDateTime::currentDateTime()) {}

ResearchDocument::~ResearchDocument() { Close(); }

QString ResearchDocument::Path() const {
  return FFile ? QFile::decodeName(QByteArray::fromStdString(FFile->path())) : QString();
}

QString ResearchDocument::WindowTitle() const {
  if (FUntitled || !FFile) return kProgramName;
  return QFileInfo(Path()).fileName() + QStringLiteral(" - ") + kProgramName;
}

void ResearchDocument::Close() {
  FFile.reset();
  FLock.reset();
}

void ResearchDocument::New() {
  Close();
  FUntitled = true;
  FStart = QDateTime::currentDateTime();
}

bool ResearchDocument::Attach(std::unique_ptr<ResearchFile> file, std::unique_ptr<ResearchLock> lock,
                              bool untitled) {
  Close();
  FFile = std::move(file);
  FLock = std::move(lock);
  FUntitled = untitled;
  if (FRecent) FRecent->Add(Path());
  return true;
}

ResearchDocument::OpenResult ResearchDocument::Open(const QString& path, GridRows& grid,
                                                    std::string& message) {
  const std::string file = Local8(path);
  if (!QFileInfo::exists(path)) {
    message = ResearchFileMessage(file, "does not exist.");
    return OpenResult::kFailed;
  }
  std::unique_ptr<ResearchLock> lock = ResearchLock::Take(path);
  if (!lock) {
    message = ResearchFileMessage(file, "is open in another Quellbid window.");
    return OpenResult::kInUse;
  }
  if (const std::string why = WhyNotWritable(path); !why.empty()) {
    message = ResearchFileMessage(file, "cannot be written: " + why + ".");
    return OpenResult::kReadOnly;
  }
  std::unique_ptr<ResearchFile> opened = ResearchFile::Open(file, false, message);
  if (!opened) return OpenResult::kFailed;
  GridRows rows;
  if (!opened->Load(rows, message)) return OpenResult::kFailed;
  grid = std::move(rows);
  Attach(std::move(opened), std::move(lock), IsUntitledResearchPath(path));
  if (FUntitled) IsUntitledResearchPath(path, &FStart);
  return OpenResult::kOpened;
}

bool ResearchDocument::OpenCopy(const QString& path, GridRows& grid, std::string& message) {
  const QDateTime start = QDateTime::currentDateTime();
  std::unique_ptr<ResearchLock> lock;
  const QString copy = NewUntitledPath(start, lock, message);
  if (copy.isEmpty()) return false;
  // Through SQLite while another program writes to it; a file that cannot be
  // opened for writing (with its journal) byte for byte.
  bool copied = false;
  std::string why;
  if (std::unique_ptr<ResearchFile> source = ResearchFile::Open(Local8(path), false, why))
    copied = source->CopyTo(Local8(copy), why);
  if (!copied && !QFileInfo::exists(path + QStringLiteral("-wal"))) {
    QFile::remove(copy);
    copied = QFile::copy(path, copy);
    if (copied) QFile(copy).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
  if (!copied) {
    message = why.empty() ? ResearchFileMessage(Local8(path), "cannot be copied.") : why;
    RemoveResearchFile(copy);
    return false;
  }
  std::unique_ptr<ResearchFile> opened = ResearchFile::Open(Local8(copy), false, message);
  GridRows rows;
  if (!opened || !opened->Load(rows, message)) {
    opened.reset();
    RemoveResearchFile(copy);
    return false;
  }
  grid = std::move(rows);
  Attach(std::move(opened), std::move(lock), true);
  FStart = start;
  return true;
}

bool ResearchDocument::SaveAs(const QString& path, GridRows& grid, std::string& message) {
  const std::string target = Local8(path);
  if (FFile && CanonicalResearchPath(path) == CanonicalResearchPath(Path())) {
    message = ResearchFileMessage(target, "is this research's file already.");
    return false;
  }
  std::unique_ptr<ResearchLock> lock = ResearchLock::Take(path);
  if (!lock) {
    message = ResearchFileMessage(target, "is open in another Quellbid window.");
    return false;
  }
  if (const std::string why = WhyNotWritable(path); !why.empty()) {
    message = ResearchFileMessage(target, "cannot be written: " + why + ".");
    return false;
  }
  // Made beside the target under a passing name, then put in its place, so
  // a file the user chose to replace stays whole until the new one is.
  const QString part = path + QStringLiteral(".part");
  RemoveResearchFile(part);
  std::unique_ptr<ResearchFile> made;
  bool ok = false;
  if (FFile) {
    ok = FFile->CopyTo(Local8(part), message);
  } else {
    made = ResearchFile::Open(Local8(part), true, message);
    ok = made && (grid.empty() || made->AddRows(grid, 0, nullptr, message));
    made.reset();
  }
  // A message on the passing file names the file the user chose.
  const std::string passing = ResearchFileMessage(Local8(part), "");
  if (!ok && message.rfind(passing, 0) == 0)
    message = ResearchFileMessage(target, message.substr(passing.size()));
  if (ok) {
    RemoveResearchFile(path);
    ok = QFile::rename(part, path);
    if (!ok) message = ResearchFileMessage(target, "cannot be written there.");
  }
  std::unique_ptr<ResearchFile> opened;
  if (ok) opened = ResearchFile::Open(target, false, message);
  if (!opened) {
    RemoveResearchFile(part);
    return false;
  }
  // A copy keeps the rows' keys.
  const QString untitled = FFile && FUntitled ? Path() : QString();
  Attach(std::move(opened), std::move(lock), false);
  if (!untitled.isEmpty()) {
    RemoveResearchFile(untitled);
    if (FRecent) FRecent->Remove(untitled);
  }
  return true;
}

bool ResearchDocument::StartUntitledFile(GridRows& grid, size_t first, HarvestLine* line,
                                         std::string& message) {
  std::unique_ptr<ResearchLock> lock;
  const QString path = NewUntitledPath(FStart, lock, message);
  if (path.isEmpty()) return false;
  std::unique_ptr<ResearchFile> file = ResearchFile::Open(Local8(path), true, message);
  // Rows from before this change came from elsewhere: not from this line.
  if (!file || !file->AddRows(grid, 0, first == 0 ? line : nullptr, message)) {
    file.reset();
    RemoveResearchFile(path);
    return false;
  }
  return Attach(std::move(file), std::move(lock), true);
}

bool ResearchDocument::Written(bool ok, GridRows& grid, std::string& message) {
  if (ok) return true;
  Close();
  FStart = QDateTime::currentDateTime();
  std::string why;
  if (StartUntitledFile(grid, 0, nullptr, why)) {
    message += " The rows stay in the window and are kept in an untitled research file.";
  } else {
    message += " The rows stay in the window, but no research file keeps them: " + why;
  }
  return false;
}

bool ResearchDocument::Started(GridRows& grid, size_t first, HarvestLine* line, std::string& message) {
  if (grid.empty() || StartUntitledFile(grid, first, line, message)) return true;
  message += " The rows stay in the window, but no research file keeps them.";
  return false;
}

bool ResearchDocument::Harvested(GridRows& grid, size_t first, HarvestLine line, std::string& message) {
  // A harvest that adds nothing is a line of its own, once there is a file.
  if (!FFile) return first >= grid.size() || Started(grid, first, &line, message);
  return Written(FFile->AddRows(grid, first, &line, message), grid, message);
}

bool ResearchDocument::Removed(GridRows& grid, const std::vector<int64_t>& fileIds, std::string& message) {
  if (!FFile) return Started(grid, 0, nullptr, message);
  if (fileIds.empty()) return true;
  return Written(FFile->RemoveRows(fileIds, message), grid, message);
}

bool ResearchDocument::Cleared(GridRows& grid, std::string& message) {
  if (!FFile) return Started(grid, 0, nullptr, message);
  return Written(FFile->Clear(message), grid, message);
}

bool ResearchDocument::Reordered(GridRows& grid, std::string& message) {
  if (!FFile) return Started(grid, 0, nullptr, message);
  return Written(FFile->Reorder(grid, message), grid, message);
}

bool ResearchDocument::RowChanged(GridRows& grid, size_t row, std::string& message) {
  if (!FFile) return Started(grid, 0, nullptr, message);
  if (row >= grid.size()) return true;
  return Written(FFile->UpdateRow(grid[row], message), grid, message);
}

std::vector<int64_t> FileIdsOf(const GridRows& grid, const std::vector<char>& flags) {
  std::vector<int64_t> ids;
  for (size_t i = 0; i < grid.size() && i < flags.size(); ++i)
    if (flags[i] && grid[i].fileId != 0) ids.push_back(grid[i].fileId);
  return ids;
}

}  // namespace qb
