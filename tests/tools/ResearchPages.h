#pragma once
// Card pages and research files for the harvester's research-file tests.

#include <QByteArray>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <map>
#include <string>
#include <vector>

#include "research/ResearchFile.h"

// A card page of count sold listings with the item numbers first, first + 1, ...
inline QByteArray CardPage(qint64 first, int count) {
  QByteArray page = "<html><body><ul class=\"srp-results srp-list clearfix\">\n";
  for (int i = 0; i < count; ++i) {
    const QByteArray item = QByteArray::number(first + i);
    page +=
        "<li class=\"su-grid__item\"><div class=\"su-item-card s-item-card\" data-listingid=\"" + item +
        "\"><div class=\"su-item-card__body\"><span class=\"signal signal--recent\">Sold  3 Jul 2026</span>"
        "<a class=\"su-link su-item-card__title\" href=\"https://www.gavelton.example/itm/" +
        item + "\"><span role=\"heading\">Teapot number " + item +
        ", cobalt</span></a><div class=\"su-item-card__subtitle\"><span>Pre-Owned</span></div>"
        "<div class=\"su-item-card__row\"><span class=\"su-item-card__price\">$" +
        QByteArray::number(10 + i % 90) +
        ".50</span></div><div class=\"su-item-card__row\"><span>3 bids</span></div>"
        "<div class=\"su-item-card__row\"><span>+$5.25 delivery</span></div></div></div></li>\n";
  }
  return page + "</ul></body></html>\n";
}

inline QByteArray FileBytes(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

inline bool WriteBytes(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs statements on an SQLite file through Qt SQL, then closes it; the
// answer to the last one's first column, or "(error: ...)".
inline QString Sql(const QString& file, const QStringList& statements) {
  const QString name = QUuid::createUuid().toString();
  QString answer;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(file);
    if (!db.open()) return "(error: " + db.lastError().text() + ")";
    for (const QString& statement : statements) {
      QSqlQuery query(db);
      if (!query.exec(statement)) {
        answer = "(error: " + query.lastError().text() + ")";
        break;
      }
      answer = query.next() ? query.value(0).toString() : QString();
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return answer;
}

// What a research file holds, read through its own interface.
struct ResearchContents {
  std::string error;  // empty when it opened and read
  std::vector<qb::HarvestLine> lines;
  qb::GridRows grid;
  // Rows per harvest line id.
  std::map<int64_t, int64_t> RowsOf() const {
    std::map<int64_t, int64_t> counts;
    for (const qb::ResearchRow& row : grid.rows()) ++counts[row.harvest];
    return counts;
  }
};

inline ResearchContents ReadResearch(const QString& file) {
  ResearchContents c;
  const auto research = qb::ResearchFile::Open(file.toStdString(), false, c.error);
  if (research && research->Harvests(c.lines, c.error)) research->Load(c.grid, c.error);
  return c;
}
