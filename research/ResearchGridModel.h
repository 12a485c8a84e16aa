#pragma once

#include <QAbstractTableModel>
#include <string_view>
#include <vector>

#include "research/GridRows.h"

namespace qb {

// The research grid's rows as a Qt table model: seven text columns (Sold as
// a short date of the locale), a check box on the Item Number, in-place
// editing of the Item Number only.
class ResearchGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ResearchGridModel(QObject* parent = nullptr);

  const GridRows& Rows() const { return FRows; }
  // The rows for the research file, which sets their keys (nothing shown).
  GridRows& RowsForFile() { return FRows; }
  // Another research's rows in place of these (one model reset).
  void ReplaceRows(GridRows rows);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Appends a row unless the grid rejects it. Between BeginAdding and
  // EndAdding the view hears of all new rows at once.
  bool AddGridRow(std::string_view description, std::string_view itemNumber, std::string_view bids,
                  std::string_view amount, const SaleDetails& details = {});
  void BeginAdding();
  void EndAdding();

  // Removes the flagged rows (one model reset); the others keep their order.
  void RemoveFlagged(const std::vector<char>& flags);
  void Clear();
  // Sorts by a column with the given direction; persistent indexes (and with
  // them the selection) follow their rows.
  void SortByColumn(int column, int direction);

  static std::string_view ColumnCaption(int column);
  // The width of Item Number (at least), Bids, Amount and Description; 0 for
  // Sold, Delivery and Condition, which fit their captions and texts.
  static int ColumnWidth(int column);

 private:
  GridRows FRows;
  int FVisibleRows = 0;  // rows the view knows of
  int FAdding = 0;
};

}  // namespace qb
