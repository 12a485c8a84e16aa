#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "research/GridRows.h"
#include "research/ResearchFile.h"

class QLockFile;

namespace qb {

// The folder of untitled research files: <AppDataLocation>/research.
QString UntitledResearchFolder();
// "untitled-20261208-140512.quellbid" for a research started then (local time).
QString UntitledResearchName(const QDateTime& start);
// Whether path is a file of the untitled folder named as UntitledResearchName
// makes them (a "-2" may follow the time); start gets its time.
bool IsUntitledResearchPath(const QString& path, QDateTime* start = nullptr);
// How menus name a research file: "lamps.quellbid", or for an untitled one
// "Untitled research, 8 Dec 2026 14:05".
QString ResearchDisplayName(const QString& path);
// The path with symbolic links and "." resolved, also for a file not made yet.
QString CanonicalResearchPath(const QString& path);

// The recent research files, most recent first, at most kRecentResearchCount,
// in the program's settings (QSettings in the XDG config folder). Every call
// reads the settings afresh, so several programs share one list.
inline constexpr int kRecentResearchCount = 10;
class RecentResearch {
 public:
  QStringList Paths() const;
  void Add(const QString& path);
  void Remove(const QString& path);
  void Clear();

 private:
  void Store(const QStringList& paths);
};

// Keeps one research file to one window of one program: a QLockFile in the
// runtime folder keyed by the file's canonical path, held while it is open.
class ResearchLock {
 public:
  ~ResearchLock();
  // Null when another window or program holds the file.
  static std::unique_ptr<ResearchLock> Take(const QString& path);

 private:
  explicit ResearchLock(std::unique_ptr<QLockFile> lock);
  std::unique_ptr<QLockFile> FLock;
};

// A research as a document: the grid's rows and the research file that
// follows them, one transaction per harvest or command. A research without a
// name lives in an untitled file of the data folder, made when its first row
// arrives. A write that fails leaves the rows in the grid: the research goes
// on in a new untitled file holding them all, or, when none can be made,
// without a file until a later change makes one.
//
// The grid is the caller's; the document is told of each change after the
// grid took it. Errors are messages naming the file and why.
class ResearchDocument {
 public:
  // An untitled research started now; recent (may be null) hears of files.
  explicit ResearchDocument(RecentResearch* recent = nullptr);
  ~ResearchDocument();
  ResearchDocument(const ResearchDocument&) = delete;
  ResearchDocument& operator=(const ResearchDocument&) = delete;

  // The file, or empty (untitled without a row, or no file could be made).
  QString Path() const;
  bool IsUntitled() const { return FUntitled; }
  // "lamps.quellbid - Quellbid", or "Quellbid" for an untitled research.
  QString WindowTitle() const;

  // A new untitled research, started now; the old file is closed as it is.
  void New();

  enum class OpenResult { kOpened, kFailed, kInUse, kReadOnly };
  // Opens path and loads its rows into grid (which must be empty). Anything
  // but kOpened leaves the document and its file as they were.
  OpenResult Open(const QString& path, GridRows& grid, std::string& message);
  // A copy of path, which another window holds or which cannot be written,
  // opened as a new untitled research.
  bool OpenCopy(const QString& path, GridRows& grid, std::string& message);
  // The research under a new name (which must differ from the file's): an
  // untitled file moves there, a named one stays as it is.
  bool SaveAs(const QString& path, GridRows& grid, std::string& message);

  // Changes the grid took.
  bool Harvested(GridRows& grid, size_t first, HarvestLine line, std::string& message);
  // fileIds: those of the rows removed (FileIdsOf before the removal).
  bool Removed(GridRows& grid, const std::vector<int64_t>& fileIds, std::string& message);
  bool Cleared(GridRows& grid, std::string& message);
  bool Reordered(GridRows& grid, std::string& message);
  bool RowChanged(GridRows& grid, size_t row, std::string& message);

 private:
  bool Attach(std::unique_ptr<ResearchFile> file, std::unique_ptr<ResearchLock> lock, bool untitled);
  void Close();
  // A new untitled file holding every row of grid (the lines of harvests
  // past are left with the old file).
  bool StartUntitledFile(GridRows& grid, size_t first, HarvestLine* line, std::string& message);
  // After a failed write: the research goes on in a new untitled file.
  bool Written(bool ok, GridRows& grid, std::string& message);
  // Without a file: one is made once the grid holds a row.
  bool Started(GridRows& grid, size_t first, HarvestLine* line, std::string& message);

  RecentResearch* FRecent;
  std::unique_ptr<ResearchFile> FFile;
  std::unique_ptr<ResearchLock> FLock;
  bool FUntitled = true;
  QDateTime FStart;
};

// The file keys of the flagged rows (those a removal takes away).
std::vector<int64_t> FileIdsOf(const GridRows& grid, const std::vector<char>& flags);

}  // namespace qb
