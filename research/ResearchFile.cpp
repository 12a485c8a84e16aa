#include "research/ResearchFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <atomic>
#include <iterator>

namespace qb {

namespace {

constexpr char kSqliteHeader[] = "SQLite format 3";  // and its NUL: the file's first 16 bytes

// Each step takes a file from the version before it to its own; new files run
// them all. A later version adds a step, never edits one.
constexpr const char* kSteps[][4] = {
    // 1: the rows in grid order and the harvests they came from.
    {"CREATE TABLE harvests (id INTEGER PRIMARY KEY, time TEXT NOT NULL, page_url BLOB NOT NULL,"
     " snapshot_file TEXT NOT NULL, sold INTEGER NOT NULL, added INTEGER NOT NULL,"
     " in_grid INTEGER NOT NULL, left_out INTEGER NOT NULL)",
     "CREATE TABLE rows (id INTEGER PRIMARY KEY, position INTEGER NOT NULL, item_number BLOB NOT NULL,"
     " bids BLOB NOT NULL, amount BLOB NOT NULL, description BLOB NOT NULL, sold BLOB NOT NULL,"
     " delivery BLOB NOT NULL, condition BLOB NOT NULL, checked INTEGER NOT NULL,"
     " harvest INTEGER REFERENCES harvests(id))",
     "CREATE INDEX rows_by_position ON rows (position)", nullptr},
    // 2: the status bar's line of each harvest.
    {"ALTER TABLE harvests ADD COLUMN report BLOB NOT NULL DEFAULT x''", nullptr, nullptr, nullptr},
};
static_assert(std::size(kSteps) == kResearchSchemaVersion);

QString Q(const std::string& text) { return QString::fromStdString(text); }
QByteArray Blob(const std::string& text) { return QByteArray(text.data(), qsizetype(text.size())); }
std::string Text(const QVariant& value) { return value.toByteArray().toStdString(); }

std::string NewConnectionName() {
  static std::atomic<int> count{0};
  return "quellbid-research-" + std::to_string(++count);
}

// What SQLite said, without Qt's repetition of it.
std::string Reason(const QSqlError& error) {
  const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
  return text.toStdString();
}

// Runs a statement; false with the error's reason.
bool Run(QSqlDatabase& db, const QString& sql, std::string& reason) {
  QSqlQuery query(db);
  if (query.exec(sql)) return true;
  reason = Reason(query.lastError());
  return false;
}

// One value of a PRAGMA or query; false with the reason.
bool Value(QSqlDatabase& db, const QString& sql, QVariant& value, std::string& reason) {
  QSqlQuery query(db);
  if (!query.exec(sql) || !query.next()) {
    reason = query.lastError().isValid() ? Reason(query.lastError()) : "no answer";
    return false;
  }
  value = query.value(0);
  return true;
}

// A transaction around the writes of one call; rolled back unless committed.
class Transaction {
 public:
  explicit Transaction(QSqlDatabase& db) : FDb(db), FOpen(db.transaction()) {}
  ~Transaction() {
    if (FOpen) FDb.rollback();
  }
  bool Began() const { return FOpen; }
  bool Commit() {
    FOpen = false;
    return FDb.commit();
  }

 private:
  QSqlDatabase& FDb;
  bool FOpen;
};

bool RunSteps(QSqlDatabase& db, int from, int to, std::string& reason) {
  for (int version = from + 1; version <= to; ++version)
    for (const char* sql : kSteps[version - 1])
      if (sql && !Run(db, QString::fromLatin1(sql), reason)) return false;
  return Run(db, QStringLiteral("PRAGMA user_version = %1").arg(to), reason);
}

// The file's first bytes: true when it is an SQLite database at all.
bool HasSqliteHeader(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = file.read(16);
  return head.size() == 16 && head == QByteArray(kSqliteHeader, 16);
}

}  // namespace

std::string HarvestTimeNow() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString(); }

std::string ResearchFileMessage(const std::string& path, const std::string& why) {
  return "'" + QFileInfo(Q(path)).fileName().toStdString() + "' " + why;
}

ResearchFile::ResearchFile(std::string path, std::string connection)
    : FPath(std::move(path)), FConnection(std::move(connection)) {}

ResearchFile::~ResearchFile() {
  {
    QSqlDatabase db = QSqlDatabase::database(Q(FConnection), false);
    db.close();
  }
  QSqlDatabase::removeDatabase(Q(FConnection));
}

std::unique_ptr<ResearchFile> ResearchFile::Open(const std::string& path, bool create, std::string& error) {
  const QFileInfo info(Q(path));
  const bool exists = info.exists();
  if (exists && info.isDir()) {
    error = ResearchFileMessage(path, "is a folder, not a research file.");
    return nullptr;
  }
  if (!exists && !create) {
    error = ResearchFileMessage(path, "does not exist.");
    return nullptr;
  }
  if (exists && !HasSqliteHeader(info.filePath())) {
    error = ResearchFileMessage(path, "is not a research file.");
    return nullptr;
  }
  if (!exists && !QFileInfo(info.absolutePath()).isDir()) {
    error = ResearchFileMessage(path, "cannot be made: its folder does not exist.");
    return nullptr;
  }
  // Writing needs the file and, for its log, the folder.
  if (!QFileInfo(info.absolutePath()).isWritable()) {
    error = ResearchFileMessage(path, "cannot be written: its folder is read-only.");
    return nullptr;
  }
  if (exists && !info.isWritable()) {
    error = ResearchFileMessage(path, "cannot be written: the file is read-only.");
    return nullptr;
  }

  std::unique_ptr<ResearchFile> file(new ResearchFile(path, NewConnectionName()));
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Q(file->FConnection));
  db.setDatabaseName(info.absoluteFilePath());
  std::string reason;
  auto fail = [&](const std::string& why) {
    error = ResearchFileMessage(path, why);
    db.close();
    if (!exists) {
      QFile::remove(info.absoluteFilePath());
      QFile::remove(info.absoluteFilePath() + "-wal");
      QFile::remove(info.absoluteFilePath() + "-shm");
    }
    return nullptr;
  };
  if (!db.open()) return fail("cannot be opened: " + Reason(db.lastError()) + ".");
  QVariant value;
  if (exists) {
    if (!Value(db, QStringLiteral("PRAGMA application_id"), value, reason))
      return fail("is damaged and cannot be read (" + reason + ").");
    if (value.toInt() != kResearchApplicationId)
      return fail("is not a research file: it is a database of another program.");
    if (!Value(db, QStringLiteral("PRAGMA user_version"), value, reason))
      return fail("is damaged and cannot be read (" + reason + ").");
    const int version = value.toInt();
    if (version > kResearchSchemaVersion)
      return fail("was saved by a newer version of Quellbid (research file version " +
                  std::to_string(version) + "; this version reads up to " +
                  std::to_string(kResearchSchemaVersion) + ").");
    if (version < 1) return fail("is damaged and cannot be read (it has no research tables).");
    if (!Value(db, QStringLiteral("PRAGMA quick_check"), value, reason))
      return fail("is damaged and cannot be read (" + reason + ").");
    if (value.toString() != QStringLiteral("ok"))
      return fail("is damaged and cannot be read (" + value.toString().toStdString() + ").");
  }
  if (!Run(db, QStringLiteral("PRAGMA journal_mode = WAL"), reason) ||
      !Run(db, QStringLiteral("PRAGMA synchronous = FULL"), reason) ||
      !Run(db, QStringLiteral("PRAGMA busy_timeout = 2000"), reason) ||
      !Run(db, QStringLiteral("PRAGMA cache_size = -65536"), reason))
    return fail("cannot be written: " + reason + ".");
  if (!exists) {
    Transaction transaction(db);
    if (!transaction.Began() ||
        !Run(db, QStringLiteral("PRAGMA application_id = %1").arg(kResearchApplicationId), reason) ||
        !RunSteps(db, 0, kResearchSchemaVersion, reason) || !transaction.Commit())
      return fail("cannot be made: " + (reason.empty() ? Reason(db.lastError()) : reason) + ".");
  } else if (!Value(db, QStringLiteral("PRAGMA user_version"), value, reason) ||
             (value.toInt() < kResearchSchemaVersion && !file->Migrate(value.toInt(), reason))) {
    return fail("cannot be brought up to date: " + reason + ".");
  }
  // Every table the rows need must be there.
  if (!Run(db, QStringLiteral("SELECT id, position, item_number, checked, harvest FROM rows LIMIT 0"),
           reason) ||
      !Run(db, QStringLiteral("SELECT id, report, added FROM harvests LIMIT 0"), reason))
    return fail("is damaged and cannot be read (" + reason + ").");
  return file;
}

bool ResearchFile::Migrate(int from, std::string& error) {
  QSqlDatabase db = QSqlDatabase::database(Q(FConnection), false);
  Transaction transaction(db);
  if (!transaction.Began()) {
    error = Reason(db.lastError());
    return false;
  }
  if (!RunSteps(db, from, kResearchSchemaVersion, error)) return false;
  if (transaction.Commit()) return true;
  error = Reason(db.lastError());
  return false;
}

bool ResearchFile::MakeFileOfVersion(const std::string& path, int version, std::string& error) {
  const std::string connection = NewConnectionName();
  bool made = false;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Q(connection));
    db.setDatabaseName(Q(path));
    made = db.open() &&
           Run(db, QStringLiteral("PRAGMA application_id = %1").arg(kResearchApplicationId), error) &&
           RunSteps(db, 0, version, error);
    if (!made && error.empty()) error = Reason(db.lastError());
    db.close();
  }
  QSqlDatabase::removeDatabase(Q(connection));
  return made;
}

namespace {

// The calls' shared shape: a transaction, the work, a commit; a failure names
// the file and leaves it as it was.
template <class Work>
bool Write(const std::string& connection, const std::string& path, std::string& error, Work work) {
  QSqlDatabase db = QSqlDatabase::database(Q(connection), false);
  std::string reason;
  Transaction transaction(db);
  if (transaction.Began() && work(db, reason) && transaction.Commit()) return true;
  if (reason.empty()) reason = Reason(db.lastError());
  error = ResearchFileMessage(path, "could not be saved: " + reason + ".");
  return false;
}

bool Exec(QSqlQuery& query, std::string& reason) {
  if (query.exec()) return true;
  reason = Reason(query.lastError());
  return false;
}

}  // namespace

bool ResearchFile::Load(GridRows& grid, std::string& error) {
  QSqlDatabase db = QSqlDatabase::database(Q(FConnection), false);
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(
          QStringLiteral("SELECT id, item_number, bids, amount, description, sold, delivery, condition,"
                         " checked, harvest FROM rows ORDER BY position, id"))) {
    error = ResearchFileMessage(FPath, "cannot be read: " + Reason(query.lastError()) + ".");
    return false;
  }
  while (query.next()) {
    const std::string item = Text(query.value(1)), sold = Text(query.value(5)),
                      delivery = Text(query.value(6)), condition = Text(query.value(7));
    if (!grid.AddGridRow(Text(query.value(4)), item, Text(query.value(2)), Text(query.value(3)),
                         {sold, delivery, condition}))
      continue;
    grid.SetChecked(grid.size() - 1, query.value(8).toInt() != 0);
    grid.SetOrigin(grid.size() - 1, query.value(0).toLongLong(), query.value(9).toLongLong());
  }
  if (query.lastError().isValid()) {
    error = ResearchFileMessage(FPath, "cannot be read: " + Reason(query.lastError()) + ".");
    return false;
  }
  return true;
}

bool ResearchFile::Harvests(std::vector<HarvestLine>& lines, std::string& error) {
  QSqlDatabase db = QSqlDatabase::database(Q(FConnection), false);
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT id, time, page_url, snapshot_file, report, sold, added, in_grid,"
                                 " left_out FROM harvests ORDER BY id"))) {
    error = ResearchFileMessage(FPath, "cannot be read: " + Reason(query.lastError()) + ".");
    return false;
  }
  while (query.next()) {
    HarvestLine line;
    line.id = query.value(0).toLongLong();
    line.time = query.value(1).toString().toStdString();
    line.pageUrl = Text(query.value(2));
    line.snapshotFile = query.value(3).toString().toStdString();
    line.report = Text(query.value(4));
    line.sold = query.value(5).toLongLong();
    line.added = query.value(6).toLongLong();
    line.inGrid = query.value(7).toLongLong();
    line.leftOut = query.value(8).toLongLong();
    lines.push_back(std::move(line));
  }
  return true;
}

bool ResearchFile::AddRows(GridRows& grid, size_t first, HarvestLine* line, std::string& error) {
  std::vector<int64_t> ids;
  int64_t harvest = 0;
  const bool written = Write(FConnection, FPath, error, [&](QSqlDatabase& db, std::string& reason) {
    QSqlQuery query(db);
    if (line) {
      query.prepare(
          QStringLiteral("INSERT INTO harvests (time, page_url, snapshot_file, report, sold, added,"
                         " in_grid, left_out) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
      for (const QVariant& v :
           {QVariant(Q(line->time)), QVariant(Blob(line->pageUrl)), QVariant(Q(line->snapshotFile)),
            QVariant(Blob(line->report)), QVariant(qlonglong(line->sold)), QVariant(qlonglong(line->added)),
            QVariant(qlonglong(line->inGrid)), QVariant(qlonglong(line->leftOut))})
        query.addBindValue(v);
      if (!Exec(query, reason)) return false;
      harvest = query.lastInsertId().toLongLong();
    }
    QVariant last;
    if (!Value(db, QStringLiteral("SELECT COALESCE(MAX(position), -1) FROM rows"), last, reason))
      return false;
    qlonglong position = last.toLongLong();
    query.prepare(
        QStringLiteral("INSERT INTO rows (position, item_number, bids, amount, description, sold,"
                       " delivery, condition, checked, harvest) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (size_t i = first; i < grid.size(); ++i) {
      const ResearchRow& row = grid[i];
      query.addBindValue(++position);
      for (const std::string* text : {&row.itemNumber, &row.bids, &row.amount, &row.description, &row.sold,
                                      &row.delivery, &row.condition})
        query.addBindValue(Blob(*text));
      query.addBindValue(int(row.checked));
      query.addBindValue(harvest ? QVariant(qlonglong(harvest)) : QVariant(QMetaType(QMetaType::LongLong)));
      if (!Exec(query, reason)) return false;
      ids.push_back(query.lastInsertId().toLongLong());
    }
    return true;
  });
  if (!written) return false;
  if (line) line->id = harvest;
  for (size_t i = first; i < grid.size(); ++i) grid.SetOrigin(i, ids[i - first], harvest);
  return true;
}

bool ResearchFile::RemoveRows(const std::vector<int64_t>& fileIds, std::string& error) {
  return Write(FConnection, FPath, error, [&](QSqlDatabase& db, std::string& reason) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM rows WHERE id = ?"));
    for (const int64_t id : fileIds) {
      query.addBindValue(qlonglong(id));
      if (!Exec(query, reason)) return false;
    }
    return true;
  });
}

bool ResearchFile::Reorder(const GridRows& grid, std::string& error) {
  return Write(FConnection, FPath, error, [&](QSqlDatabase& db, std::string& reason) {
    // One statement over the grid's ids in their new order (0 for a row the
    // file does not hold): SQLite moves the rows without a round trip each.
    std::string ids = "[";
    for (size_t i = 0; i < grid.size(); ++i) ids += std::to_string(grid[i].fileId) + ',';
    ids.back() = ']';
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("UPDATE rows SET position = order_.key FROM json_each(?) AS order_"
                       " WHERE rows.id = order_.value AND rows.position <> order_.key"));
    query.addBindValue(QString::fromStdString(ids));
    return grid.empty() || Exec(query, reason);
  });
}

bool ResearchFile::UpdateRow(const ResearchRow& row, std::string& error) {
  return Write(FConnection, FPath, error, [&](QSqlDatabase& db, std::string& reason) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE rows SET item_number = ?, checked = ? WHERE id = ?"));
    query.addBindValue(Blob(row.itemNumber));
    query.addBindValue(int(row.checked));
    query.addBindValue(qlonglong(row.fileId));
    return Exec(query, reason);
  });
}

bool ResearchFile::Clear(std::string& error) {
  return Write(FConnection, FPath, error, [&](QSqlDatabase& db, std::string& reason) {
    return Run(db, QStringLiteral("DELETE FROM rows"), reason);
  });
}

bool ResearchFile::CopyTo(const std::string& path, std::string& error) {
  const QFileInfo target(Q(path));
  if (target.exists()) {
    error = ResearchFileMessage(path, "already exists.");
    return false;
  }
  QSqlDatabase db = QSqlDatabase::database(Q(FConnection), false);
  QString quoted = target.absoluteFilePath();
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  std::string reason;
  if (Run(db, QStringLiteral("VACUUM INTO '%1'").arg(quoted), reason)) return true;
  QFile::remove(target.absoluteFilePath());
  error = ResearchFileMessage(path, "could not be saved: " + reason + ".");
  return false;
}

}  // namespace qb
