#include "stats/Chart1.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "chart/PieChart.h"
#include "controls/ProCtrls.h"
#include "controls/Proconst.h"
#include "runtime/Dialogs.h"
#include "stats/StatisticsFigures.h"

namespace qb {

namespace {

constexpr int kChartHeight = 398;

TPieChartSettings ChartSettings() {
  TPieChartSettings s;
  s.view.depthPercent = 65;
  s.view.elevation = 315;
  s.rotation = 360;
  s.view.horizontalOffset = 36;
  s.view.zoomPercent = 96;
  s.view.explodePercent = 15;
  s.view.arrowLength = 8;
  s.borderWidth = 1;
  s.bevelInnerWidth = 10;
  s.bevelInnerRaised = true;
  s.backImage = QImage(QStringLiteral(":/chart/background.jpg"));
  s.titleLines = {QStringLiteral("Quellbid"), QStringLiteral("Each Pie Portion Represents 25%"),
                  QStringLiteral("of Highest Price Less Lowest Price of Grid Data")};
  s.titleFont = QFont(QStringLiteral("Arial"));
  s.titleFont.setPixelSize(15);
  s.titleColor = Qt::blue;
  s.titleBackColor = Qt::white;
  s.titleFrameWidth = 2;
  s.outlineColor = QColor(128, 128, 0);
  s.outlineStyle = Qt::DotLine;
  s.marksVisible = true;
  QFont small(QStringLiteral("Arial"));
  small.setPixelSize(11);
  s.markFont = small;
  s.legendFont = small;
  s.legendVisible = true;
  return s;
}

}  // namespace

Tch1::Tch1(const GridRows& grid, QWidget* parent) : QDialog(parent), FGrid(grid) {
  setObjectName(QStringLiteral("ch1"));
  setWindowTitle(QString());
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  resize(700, 500);

  Chart1 = new TPieChart(this);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->setSettings(ChartSettings());
  Chart1->setGeometry(0, 0, 700, kChartHeight);
  Series1 = Chart1->Series();
  Series1->setObjectName(QStringLiteral("Series1"));
  Series1->setName(QStringLiteral("Pie"));

  pleHigh = MakeFigure(QStringLiteral("Highest:"), 8, 408, QStringLiteral("pleHigh"));
  pleLow = MakeFigure(QStringLiteral("Lowest:"), 8, 440, QStringLiteral("pleLow"));
  pleAvg = MakeFigure(QStringLiteral("Average:"), 264, 408, QStringLiteral("pleAvg"));
  pleMedian = MakeFigure(QStringLiteral("Median:"), 264, 440, QStringLiteral("pleMedian"));

  ProButton1 = new TProButton(this);
  ProButton1->setObjectName(QStringLiteral("ProButton1"));
  ProButton1->SetCaption(QStringLiteral("OK"));
  ProButton1->SetModalResult(mrOk);
  ProButton1->setGeometry(569, 431, 75, 25);

  setTabOrder(Chart1, ProButton1);
  setTabOrder(ProButton1, pleHigh);
  setTabOrder(pleHigh, pleLow);
  setTabOrder(pleLow, pleAvg);
  setTabOrder(pleAvg, pleMedian);
  Chart1->setFocus();
}

TProLabelEdit* Tch1::MakeFigure(const QString& caption, int left, int top, const QString& name) {
  auto* edit = new TProLabelEdit(this);
  edit->setObjectName(name);
  edit->SetCaption(caption);
  edit->SetLabelWidth(100);
  edit->SetReadOnly(true);
  edit->SetBorderStyle(bsNone);
  edit->setGeometry(left, top, 250, 21);
  // The edit alone reads as caption and value too.
  edit->Edit()->setAccessibleName(caption);
  return edit;
}

QString Tch1::GetHighest() const { return QString::fromStdString(qb::GetHighest(FGrid)); }
QString Tch1::GetLowest() const { return QString::fromStdString(qb::GetLowest(FGrid)); }
QString Tch1::GetAverage() const { return QString::fromStdString(qb::GetAverage(FGrid)); }

void Tch1::FormShow() {
  // Everything is computed before anything is shown, so a bad Amount changes nothing.
  const PriceStatistics s = ComputeStatistics(FGrid);
  pleHigh->SetText(QString::fromStdString(s.highest));
  pleLow->SetText(QString::fromStdString(s.lowest));
  pleAvg->SetText(QString::fromStdString(s.average));
  pleMedian->SetText(QString::fromStdString(s.median));
  Series1->Clear();
  for (size_t i = 0; i < kPriceRangeCount; ++i)
    Series1->AddXY(static_cast<int>(i), s.counts[i], QString::fromLatin1(kPriceRangeLabels[i]));
}

int Tch1::ShowModal() {
  FormShow();
  CentreOnParent();
  Chart1->setFocus();
  return exec();
}

void Tch1::CentreOnParent() {
  QRect area;
  if (QWidget* p = parentWidget())
    area = p->window()->frameGeometry();
  else if (QScreen* screen = QGuiApplication::primaryScreen())
    area = screen->availableGeometry();
  if (area.isEmpty()) return;
  QRect frame = frameGeometry();
  frame.moveCenter(area.center());
  move(frame.topLeft());
}

void Tch1::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Chart1->setGeometry(0, 0, width(), kChartHeight);
}

}  // namespace qb
