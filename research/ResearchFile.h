#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// A research file (".quellbid"): an SQLite database that holds the grid's
// rows in grid order with every column, check mark and the harvest each came
// from, and one line per harvest. Write-ahead logging; every call that writes
// is one transaction, so a crash leaves the file as it was before the call or
// after it. Errors are messages that name the file and say why; a failed
// call leaves the file as it was.
inline constexpr int32_t kResearchApplicationId = 0x51624964;  // "QbId"
inline constexpr int kResearchSchemaVersion = 2;
inline constexpr const char* kResearchFileSuffix = ".quellbid";

// One harvest: when, from which page, its snapshot and what it did.
struct HarvestLine {
  int64_t id = 0;    // set by the file
  std::string time;  // ISO 8601 UTC, "2026-12-08T14:05:00Z"
  std::string pageUrl;
  std::string snapshotFile;  // "log0000012.sha", or empty
  std::string report;        // the status bar's line, or empty
  int64_t sold = 0, added = 0, inGrid = 0, leftOut = 0;
};

class ResearchFile {
 public:
  // Opens a research file, or with create makes a new one where none is.
  // Null with a message when the file is not a research file (another SQLite
  // database, a text file, a newer schema, a damaged file) or cannot be
  // opened or made; nothing on disk changes then.
  static std::unique_ptr<ResearchFile> Open(const std::string& path, bool create, std::string& error);
  ~ResearchFile();
  ResearchFile(const ResearchFile&) = delete;
  ResearchFile& operator=(const ResearchFile&) = delete;

  const std::string& path() const { return FPath; }

  // The file's rows into grid through its add rule, in grid order, with
  // their check marks and origins (ResearchRow::fileId, harvest).
  bool Load(GridRows& grid, std::string& error);
  // The harvest lines, oldest first.
  bool Harvests(std::vector<HarvestLine>& lines, std::string& error);

  // Rows [first, grid.size()) after the file's last row, with the harvest
  // line they came from (line.id is set), or without one when line is null.
  // Sets the rows' fileId and harvest.
  bool AddRows(GridRows& grid, size_t first, HarvestLine* line, std::string& error);
  // The rows of these fileIds are gone from the grid.
  bool RemoveRows(const std::vector<int64_t>& fileIds, std::string& error);
  // The file's order follows the grid's.
  bool Reorder(const GridRows& grid, std::string& error);
  // A row's check mark or Item Number changed.
  bool UpdateRow(const ResearchRow& row, std::string& error);
  // Every row gone; the harvest lines stay.
  bool Clear(std::string& error);

  // A consistent copy of the whole file at path (which must not exist).
  bool CopyTo(const std::string& path, std::string& error);

  // For tests: makes an empty research file of an older schema version.
  static bool MakeFileOfVersion(const std::string& path, int version, std::string& error);

 private:
  ResearchFile(std::string path, std::string connection);
  bool Migrate(int from, std::string& error);

  std::string FPath;
  std::string FConnection;  // the Qt SQL connection's name
};

// Now, as a harvest line's time: ISO 8601 UTC, "2026-12-08T14:05:00Z".
std::string HarvestTimeNow();

// "'<file name>' ..." messages name the file by its name without the folder.
std::string ResearchFileMessage(const std::string& path, const std::string& why);

}  // namespace qb
