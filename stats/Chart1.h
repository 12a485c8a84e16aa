#pragma once

#include <QDialog>
#include <QString>

#include "research/GridRows.h"

namespace qb {

class TPieChart;
class TPieSeries;
class TProButton;
class TProLabelEdit;

// "Graphs and Statistics": highest, lowest, average and median amount of the
// research grid and a 3-D pie of how the amounts fall into four quarter-ranges.
// Reads the grid afresh on every showing and never changes it.
class Tch1 : public QDialog {
  Q_OBJECT
 public:
  explicit Tch1(const GridRows& grid, QWidget* parent = nullptr);

  // Recomputes everything from the grid, then runs the modal loop centred on
  // the parent. A bad Amount throws Exception before the window opens.
  int ShowModal();
  // Fills the figures and the chart from the grid; throws Exception with the
  // conversion message of the first Amount that does not convert.
  void FormShow();

  QString GetHighest() const;
  QString GetLowest() const;
  QString GetAverage() const;
  const GridRows& Grid() const { return FGrid; }

  TPieChart* Chart1;
  TPieSeries* Series1;
  TProButton* ProButton1;
  TProLabelEdit* pleHigh;
  TProLabelEdit* pleLow;
  TProLabelEdit* pleAvg;
  TProLabelEdit* pleMedian;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  TProLabelEdit* MakeFigure(const QString& caption, int left, int top, const QString& name);
  void CentreOnParent();

  const GridRows& FGrid;
};

}  // namespace qb
