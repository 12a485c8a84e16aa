#pragma once

#include <QTableView>
#include <vector>

namespace qb {

class ResearchGridModel;

// The research grid as the user sees it: a report view with check boxes, grid
// lines, several whole rows selectable, no border, and header clicks reported.
class LVMainGridView : public QTableView {
  Q_OBJECT
 public:
  explicit LVMainGridView(ResearchGridModel* model, QWidget* parent = nullptr);

  ResearchGridModel* GridModel() const { return FModel; }

  int SelectedCount() const;
  int FirstSelected() const;  // -1 when nothing is selected
  std::vector<char> SelectedFlags() const;
  void SelectRows(const std::vector<char>& flags);

  // Removes the flagged rows; the remaining rows keep their selection.
  void RemoveFlagged(const std::vector<char>& flags);

  // The selected rows, in grid order, to the clipboard as tab-separated lines.
  void CopySelectedRows() const;

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 signals:
  void ColumnClick(int column);

 private:
  void FitItemNumberColumn();
  // The width a cell showing text needs, its grid line included.
  int CellWidth(const QString& text, bool checkBox) const;
  // Sold, Delivery and Condition at least as wide as their captions and the
  // texts of rows first..last (an even sample of them when there are many),
  // up to a cap; they never shrink here.
  void FitContentColumns(int first, int last);
  // One fit per turn of the event loop for the rows inserted meanwhile,
  // however many insertions brought them.
  void RowsArrived(int first, int last);
  // Sold, Delivery and Condition as wide as their captions.
  void FitCaptions();

  int FPendingFirst = -1, FPendingLast = -1;  // rows not fitted yet

  ResearchGridModel* FModel;
};

}  // namespace qb
