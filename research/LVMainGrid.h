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

  ResearchGridModel* FModel;
};

}  // namespace qb
