#include "chart/PieGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace qb {

namespace {

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

double Normalized(double angle) {
  double a = std::fmod(angle, 360.0);
  if (a < 0) a += 360.0;
  return a;
}

}  // namespace

int BiggestSlice(const std::vector<double>& values) {
  int best = -1;
  for (int i = 0; i < static_cast<int>(values.size()); ++i)
    if (values[i] > 0 && (best < 0 || values[i] > values[best])) best = i;
  return best;
}

std::vector<PieSlice> PieSlices(const std::vector<double>& values, double firstAngle) {
  double total = 0;
  for (double v : values)
    if (v > 0) total += v;
  const int biggest = BiggestSlice(values);
  std::vector<PieSlice> slices;
  slices.reserve(values.size());
  double cursor = firstAngle;
  for (int i = 0; i < static_cast<int>(values.size()); ++i) {
    PieSlice s;
    s.index = i;
    s.value = values[i];
    if (values[i] > 0 && total > 0) {
      s.percent = values[i] / total * 100.0;
      s.spanAngle = values[i] / total * 360.0;
    }
    cursor -= s.spanAngle;
    s.startAngle = Normalized(cursor);
    s.midAngle = Normalized(cursor + s.spanAngle / 2);
    s.exploded = i == biggest;
    slices.push_back(s);
  }
  return slices;
}

QPointF EllipsePoint(const PieFrame& pie, double angle) {
  const double a = Radians(angle);
  return {pie.centre.x() + pie.rx * std::cos(a), pie.centre.y() - pie.ry * std::sin(a)};
}

QPointF ExplodeOffset(const PieFrame& pie, double midAngle, double percent) {
  const double a = Radians(midAngle);
  return {pie.rx * percent / 100.0 * std::cos(a), -pie.ry * percent / 100.0 * std::sin(a)};
}

bool FacesViewer(double angle) { return std::sin(Radians(angle)) < 0; }

std::vector<double> VisibleFaces(const PieSlice& slice) {
  std::vector<double> faces;
  if (slice.spanAngle <= 0 || slice.spanAngle >= 360) return faces;
  const double start = slice.startAngle;
  const double end = Normalized(slice.startAngle + slice.spanAngle);
  constexpr double edgeOn = 1e-9;
  if (std::cos(Radians(start)) > edgeOn) faces.push_back(start);
  if (std::cos(Radians(end)) < -edgeOn) faces.push_back(end);
  return faces;
}

double FaceDepth(double angle) { return -std::sin(Radians(angle)); }

std::vector<std::pair<double, double>> FrontArcs(double start, double span) {
  std::vector<std::pair<double, double>> arcs;
  const double s = Normalized(start);
  const double e = s + std::min(span, 360.0);
  for (double front : {180.0, 540.0}) {
    const double lo = std::max(s, front);
    const double hi = std::min(e, front + 180.0);
    if (hi > lo) arcs.emplace_back(lo, hi - lo);
  }
  return arcs;
}

double TiltRatio(double elevation) {
  const double ratio = std::fabs(std::sin(Radians(elevation)));
  return std::clamp(ratio, 0.15, 1.0);
}

PieFrame FitPie(const QRectF& plot, const PieView& view, const QSizeF& markSize) {
  const double tilt = TiltRatio(view.elevation);
  const double depthFactor = view.depthPercent / 100.0 * std::sqrt(1.0 - tilt * tilt) * 0.5;
  const double grow = 1.0 + view.explodePercent / 100.0;
  const double markW = view.arrowLength + markSize.width();
  const double markH = view.arrowLength + markSize.height();

  PieFrame pie;
  double cx = plot.center().x() + view.horizontalOffset;
  double halfWidth = std::min(cx - plot.left(), plot.right() - cx);
  if (halfWidth < plot.width() / 4) {  // an offset that leaves no room is dropped
    cx = plot.center().x();
    halfWidth = plot.width() / 2;
  }
  const double byWidth = (halfWidth - markW) / grow;
  const double byHeight = (plot.height() - 2 * markH) / (2 * tilt * grow + depthFactor);
  const double rx = std::max(0.0, std::min(byWidth, byHeight) * view.zoomPercent / 100.0);
  pie.rx = rx;
  pie.ry = rx * tilt;
  pie.depth = rx * depthFactor;
  pie.centre = QPointF(cx, plot.center().y() - pie.depth / 2);
  return pie;
}

MarkPlacement PlaceMark(const PieFrame& pie, const QPointF& sliceOffset, double midAngle,
                        const QSizeF& textSize, double arrowLength) {
  const double a = Radians(midAngle);
  const double c = std::cos(a);
  const double s = std::sin(a);
  PieFrame moved = pie;
  moved.centre += sliceOffset;
  MarkPlacement m;
  // On the front half the rim seen is the wall's lower edge.
  m.anchor = EllipsePoint(moved, midAngle) + QPointF(0, pie.depth * std::max(0.0, -s));
  m.arrowEnd = m.anchor + QPointF(c, -s) * arrowLength;
  // Scale the direction onto the box's edge so that the arrow ends on the box.
  const double k = std::max(std::fabs(c), std::fabs(s));
  const QPointF centre = m.arrowEnd + QPointF(c / k * textSize.width() / 2, -s / k * textSize.height() / 2);
  m.box = QRectF(centre.x() - textSize.width() / 2, centre.y() - textSize.height() / 2, textSize.width(),
                 textSize.height());
  return m;
}

void SeparateMarks(std::vector<MarkPlacement>& marks, const QRectF& bounds) {
  const auto overlap = [](const QRectF& a, const QRectF& b) {
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
  };
  for (MarkPlacement& m : marks) {
    if (m.box.left() < bounds.left()) m.box.moveLeft(bounds.left());
    if (m.box.right() > bounds.right()) m.box.moveRight(bounds.right());
    if (m.box.top() < bounds.top()) m.box.moveTop(bounds.top());
  }
  std::vector<size_t> order(marks.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return marks[a].box.top() < marks[b].box.top(); });
  // Downwards: each mark goes below the ones above it that it touches.
  for (size_t i = 0; i < order.size(); ++i)
    for (size_t j = 0; j < i; ++j) {
      QRectF& box = marks[order[i]].box;
      const QRectF& above = marks[order[j]].box;
      if (overlap(box, above)) box.moveTop(above.bottom() + 1);
    }
  // Upwards from the bottom edge, for marks pushed out of bounds.
  for (size_t i = order.size(); i-- > 0;) {
    QRectF& box = marks[order[i]].box;
    if (box.bottom() > bounds.bottom()) box.moveBottom(bounds.bottom());
    for (size_t j = order.size(); j-- > i + 1;) {
      const QRectF& below = marks[order[j]].box;
      if (overlap(box, below)) box.moveBottom(below.top() - 1);
    }
  }
}

QPointF NearestPointOnBox(const QRectF& box, const QPointF& p) {
  return {std::clamp(p.x(), box.left(), box.right()), std::clamp(p.y(), box.top(), box.bottom())};
}

LegendLayout LayoutLegend(const QRectF& area, int rows, double rowHeight, double valueWidth,
                          double labelWidth, const LegendStyle& style) {
  LegendLayout legend;
  rows = std::min(rows, style.maxRows);
  if (rows <= 0) return legend;
  const double width = style.padding * 2 + style.colorBoxWidth + style.spacing * 2 + valueWidth + labelWidth;
  const double height = style.padding * 2 + rows * rowHeight;
  const double left = area.right() - style.rightMargin - style.shadow - width;
  const double top = area.center().y() - height / 2;
  legend.frame = QRectF(left, top, width, height);
  const double boxHeight = std::max(4.0, std::min(style.colorBoxWidth, rowHeight - 4));
  for (int i = 0; i < rows; ++i) {
    const double rowTop = top + style.padding + i * rowHeight;
    const double x = left + style.padding;
    legend.colorBoxes.emplace_back(x, rowTop + (rowHeight - boxHeight) / 2, style.colorBoxWidth, boxHeight);
    const double valueLeft = x + style.colorBoxWidth + style.spacing;
    legend.valueCells.emplace_back(valueLeft, rowTop, valueWidth, rowHeight);
    legend.labelCells.emplace_back(valueLeft + valueWidth + style.spacing, rowTop, labelWidth, rowHeight);
  }
  return legend;
}

ChartLayout LayoutChart(const QRectF& inner, const QSizeF& titleText, double titlePadding,
                        const LegendMetrics& legend, const LegendStyle& style, const PieView& view,
                        const QSizeF& markSize) {
  ChartLayout layout;
  double top = inner.top() + 4;
  if (!titleText.isEmpty()) {
    const double w = std::min(inner.width() - 8, titleText.width() + 2 * titlePadding);
    const double h = titleText.height() + 2 * titlePadding;
    layout.title = QRectF(inner.center().x() - w / 2, inner.top() + 6, w, h);
    top = layout.title.bottom() + 4;
  }
  const QRectF below(QPointF(inner.left(), top), inner.bottomRight());
  layout.legend =
      LayoutLegend(below, legend.rows, legend.rowHeight, legend.valueWidth, legend.labelWidth, style);
  const QRectF& frame = layout.legend.frame;
  const double right = frame.isNull() ? inner.right() - 4 : frame.left() - 8;
  layout.plot = QRectF(QPointF(inner.left() + 4, top), QPointF(right, inner.bottom() - 4));
  layout.pie = FitPie(layout.plot, view, markSize);
  return layout;
}

}  // namespace qb
