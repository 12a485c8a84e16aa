#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

// Geometry of the 3-D pie, its marks and its legend: plain functions without a
// painter, so the layout can be checked number by number.
// Angles are degrees counter-clockwise from three o'clock (as QPainter's arcs),
// screen y grows downwards.

namespace qb {

struct PieSlice {
  int index = 0;  // the point's position in the series
  double value = 0;
  double percent = 0;     // of the total of all positive values
  double startAngle = 0;  // the slice covers [startAngle, startAngle + spanAngle]
  double spanAngle = 0;   // 0 for values of 0 or less: such slices draw nothing
  double midAngle = 0;
  bool exploded = false;
};

// Slices laid clockwise from firstAngle in point order; the biggest one
// (the first of equals) is flagged exploded.
std::vector<PieSlice> PieSlices(const std::vector<double>& values, double firstAngle = 90);
// Index of the biggest positive value, -1 when there is none.
int BiggestSlice(const std::vector<double>& values);

// The top face of the pie: an ellipse with a side wall `depth` high below it.
struct PieFrame {
  QPointF centre;
  double rx = 0;
  double ry = 0;
  double depth = 0;
};

QPointF EllipsePoint(const PieFrame& pie, double angle);
// How far a slice moves out from the centre: percent of the radius along its middle.
QPointF ExplodeOffset(const PieFrame& pie, double midAngle, double percent);
// True when the outer wall at this angle faces the viewer (lower half).
bool FacesViewer(double angle);
// The cut faces of a slice that face the viewer: the start face looks
// clockwise, the end face counter-clockwise. None for a whole pie.
std::vector<double> VisibleFaces(const PieSlice& slice);
// Sort key for cut faces: the face whose rim is further back paints first.
double FaceDepth(double angle);
// The parts of [start, start + span] that lie in the front half (180..360),
// as (start, span) pairs, for the visible outer wall.
std::vector<std::pair<double, double>> FrontArcs(double start, double span);

struct PieView {
  double depthPercent = 65;      // wall height as a share of the radius
  double elevation = 315;        // 270 looks straight down, 360 from the side
  double horizontalOffset = 36;  // pixels to the right of the plot's centre
  double zoomPercent = 96;
  double explodePercent = 15;  // of the radius, for the biggest slice
  double arrowLength = 8;
};

// Ratio of the ellipse's height to its width for the elevation.
double TiltRatio(double elevation);

// Biggest pie that fits into `plot` with room around it for the exploded
// slice, the arrows and marks of at most `markSize`.
PieFrame FitPie(const QRectF& plot, const PieView& view, const QSizeF& markSize);

// A mark: a box with the slice's text joined to the slice by an arrow.
struct MarkPlacement {
  QPointF anchor;    // on the slice's rim
  QPointF arrowEnd;  // anchor + arrow length outwards
  QRectF box;
};
MarkPlacement PlaceMark(const PieFrame& pie, const QPointF& sliceOffset, double midAngle,
                        const QSizeF& textSize, double arrowLength);
// Moves overlapping marks apart vertically and keeps them inside bounds.
void SeparateMarks(std::vector<MarkPlacement>& marks, const QRectF& bounds);
// The point of box closest to p (p itself when inside).
QPointF NearestPointOnBox(const QRectF& box, const QPointF& p);

struct LegendStyle {
  double colorBoxWidth = 12;
  double padding = 4;
  double spacing = 4;  // between box, value and label
  double shadow = 3;
  int maxRows = 10;
  double rightMargin = 10;
};

struct LegendLayout {
  QRectF frame;
  std::vector<QRectF> colorBoxes;
  std::vector<QRectF> valueCells;  // values right-aligned in these
  std::vector<QRectF> labelCells;
};
// Legend at the right of `area`, vertically centred; rows beyond maxRows are left out.
LegendLayout LayoutLegend(const QRectF& area, int rows, double rowHeight, double valueWidth,
                          double labelWidth, const LegendStyle& style);

// Measured sizes of the legend's texts.
struct LegendMetrics {
  int rows = 0;
  double rowHeight = 0;
  double valueWidth = 0;
  double labelWidth = 0;
};

struct ChartLayout {
  QRectF title;
  LegendLayout legend;
  QRectF plot;
  PieFrame pie;
};
// Title centred at the top, legend on the right below it, the pie in what is left.
ChartLayout LayoutChart(const QRectF& inner, const QSizeF& titleText, double titlePadding,
                        const LegendMetrics& legend, const LegendStyle& style, const PieView& view,
                        const QSizeF& markSize);

}  // namespace qb
