#include "chart/PieChart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace qb {

namespace {

constexpr double kMarkPaddingX = 4;
constexpr double kMarkPaddingY = 2;

const QColor kAutoColors[] = {
    QColor(255, 0, 0),     QColor(0, 160, 0),     QColor(255, 255, 0), QColor(0, 0, 255),
    QColor(255, 255, 255), QColor(128, 128, 128), QColor(255, 0, 255), QColor(0, 128, 128),
    QColor(0, 0, 128),     QColor(128, 0, 0),     QColor(0, 255, 0),   QColor(128, 128, 0),
    QColor(128, 0, 128),   QColor(192, 192, 192), QColor(0, 255, 255), QColor(0, 0, 0)};

std::vector<double> ValuesOf(const std::vector<TPiePoint>& points) {
  std::vector<double> values;
  values.reserve(points.size());
  for (const TPiePoint& p : points) values.push_back(p.value);
  return values;
}

QColor ColorOf(const std::vector<TPiePoint>& points, int index) {
  const QColor& c = points[static_cast<size_t>(index)].color;
  return c.isValid() ? c : AutoColor(index);
}

double FirstAngle(const TPieChartSettings& s) { return 90.0 - std::fmod(s.rotation, 360.0); }

QSizeF MarkBoxSize(const QFontMetricsF& fm, const QString& text) {
  return {fm.horizontalAdvance(text) + 2 * kMarkPaddingX, fm.height() + 2 * kMarkPaddingY};
}

QRectF EllipseRect(const PieFrame& pie, const QPointF& offset, double dy = 0) {
  return QRectF(pie.centre.x() - pie.rx + offset.x(), pie.centre.y() - pie.ry + offset.y() + dy, 2 * pie.rx,
                2 * pie.ry);
}

// A group of slices is painted back to front: cut faces (nearest last),
// then outer walls, then tops.
struct PaintedSlice {
  const PieSlice* slice;
  QPointF offset;
  QColor color;
};

void PaintFaces(QPainter& p, const PieFrame& pie, const std::vector<PaintedSlice>& group) {
  struct Face {
    double angle;
    const PaintedSlice* owner;
  };
  std::vector<Face> faces;
  for (const PaintedSlice& s : group)
    for (double angle : VisibleFaces(*s.slice)) faces.push_back({angle, &s});
  std::stable_sort(faces.begin(), faces.end(),
                   [](const Face& a, const Face& b) { return FaceDepth(a.angle) < FaceDepth(b.angle); });
  const QPointF down(0, pie.depth);
  for (const Face& f : faces) {
    PieFrame moved = pie;
    moved.centre += f.owner->offset;
    const QPointF rim = EllipsePoint(moved, f.angle);
    const QPointF quad[4] = {moved.centre, rim, rim + down, moved.centre + down};
    p.setBrush(f.owner->color.darker(130));
    p.drawPolygon(quad, 4);
  }
}

void PaintWalls(QPainter& p, const PieFrame& pie, const PieSlice& slice, const QPointF& offset,
                const QColor& color) {
  PieFrame moved = pie;
  moved.centre += offset;
  const QRectF top = EllipseRect(pie, offset);
  const QRectF bottom = EllipseRect(pie, offset, pie.depth);
  p.setBrush(color.darker(150));
  for (const auto& [a, w] : FrontArcs(slice.startAngle, slice.spanAngle)) {
    QPainterPath wall;
    wall.arcMoveTo(top, a);
    wall.arcTo(top, a, w);
    wall.lineTo(EllipsePoint(moved, a + w) + QPointF(0, pie.depth));
    wall.arcTo(bottom, a + w, -w);
    wall.closeSubpath();
    p.drawPath(wall);
  }
}

void PaintTop(QPainter& p, const PieFrame& pie, const PieSlice& slice, const QPointF& offset,
              const QColor& color) {
  const QRectF top = EllipseRect(pie, offset);
  p.setBrush(color);
  if (slice.spanAngle >= 359.999) {
    p.drawEllipse(top);
    return;
  }
  QPainterPath face;
  face.moveTo(pie.centre + offset);
  face.arcTo(top, slice.startAngle, slice.spanAngle);
  face.closeSubpath();
  p.drawPath(face);
}

void PaintPanel(QPainter& p, const QRect& rect, const TPieChartSettings& s) {
  QRect r = rect;
  for (int i = 0; i < s.borderWidth; ++i) {
    p.setPen(QColor(0, 0, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  const QColor light = s.bevelInnerRaised ? QColor(255, 255, 255) : QColor(128, 128, 128);
  const QColor dark = s.bevelInnerRaised ? QColor(128, 128, 128) : QColor(255, 255, 255);
  for (int i = 0; i < s.bevelInnerWidth; ++i) {
    p.setPen(light);
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.drawLine(r.topLeft(), r.topRight());
    p.setPen(dark);
    p.drawLine(r.topRight(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.bottomRight());
    r.adjust(1, 1, -1, -1);
  }
}

void PaintBackground(QPainter& p, const QRect& inner, const TPieChartSettings& s) {
  p.fillRect(inner, s.backColor);
  if (s.backImage.isNull()) return;
  // Scale to cover, keeping the picture's proportions; the middle shows.
  const QSizeF scaled = QSizeF(s.backImage.size()).scaled(inner.size(), Qt::KeepAspectRatioByExpanding);
  const QRectF target(inner.center().x() + 0.5 - scaled.width() / 2,
                      inner.center().y() + 0.5 - scaled.height() / 2, scaled.width(), scaled.height());
  p.save();
  p.setClipRect(inner);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(target, s.backImage);
  p.restore();
}

void PaintTitle(QPainter& p, const QRectF& box, const TPieChartSettings& s) {
  if (box.isNull()) return;
  p.setPen(Qt::NoPen);
  p.setBrush(s.titleBackColor);
  p.drawRect(box);
  if (s.titleFrameWidth > 0) {
    const double w = s.titleFrameWidth;
    p.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(w / 2, w / 2, -w / 2, -w / 2));
  }
  p.setFont(s.titleFont);
  p.setPen(s.titleColor);
  const QFontMetricsF fm(s.titleFont);
  double y = box.top() + s.titlePadding;
  for (const QString& line : s.titleLines) {
    p.drawText(QRectF(box.left(), y, box.width(), fm.height()), Qt::AlignHCenter | Qt::AlignVCenter, line);
    y += fm.height();
  }
}

void PaintLegend(QPainter& p, const LegendLayout& legend, const TPieChartSettings& s,
                 const std::vector<TPiePoint>& points) {
  if (legend.frame.isNull()) return;
  const double shadow = s.legend.shadow;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 150));
  p.drawRect(legend.frame.translated(shadow, shadow));
  p.setBrush(Qt::white);
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(legend.frame);
  p.setFont(s.legendFont);
  for (size_t i = 0; i < legend.colorBoxes.size(); ++i) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(ColorOf(points, static_cast<int>(i)));
    p.drawRect(legend.colorBoxes[i]);
    p.drawText(legend.valueCells[i], Qt::AlignRight | Qt::AlignVCenter, LegendValueText(points[i].value));
    p.drawText(legend.labelCells[i], Qt::AlignLeft | Qt::AlignVCenter, points[i].label);
  }
}

}  // namespace

QColor AutoColor(int index) {
  constexpr int n = static_cast<int>(std::size(kAutoColors));
  return kAutoColors[((index % n) + n) % n];
}

QString PercentText(double percent) {
  QString text = QString::number(percent, 'f', 2);
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text + QLatin1Char('%');
}

QString MarkText(const QString& label, double percent) {
  return label + QLatin1Char(' ') + PercentText(percent);
}

QString LegendValueText(double value) { return QString::number(value, 'g', 15); }

TPieSeries::TPieSeries(QObject* parent) : QObject(parent) {}

void TPieSeries::Clear() {
  FPoints.clear();
  emit changed();
}

void TPieSeries::AddXY(double x, double value, const QString& label, const QColor& color) {
  FPoints.push_back({x, value, label, color.isValid() ? color : AutoColor(static_cast<int>(FPoints.size()))});
  emit changed();
}

QRect ChartInnerRect(const QRect& rect, const TPieChartSettings& s) {
  const int m = s.borderWidth + s.bevelInnerWidth;
  return rect.adjusted(m, m, -m, -m);
}

ChartLayout MeasurePieChart(const QRect& rect, const TPieChartSettings& s,
                            const std::vector<TPiePoint>& points) {
  const QRect inner = ChartInnerRect(rect, s);
  const QFontMetricsF titleMetrics(s.titleFont);
  QSizeF titleText;
  for (const QString& line : s.titleLines)
    titleText = QSizeF(std::max(titleText.width(), titleMetrics.horizontalAdvance(line)),
                       titleText.height() + titleMetrics.height());

  LegendMetrics legend;
  if (s.legendVisible) {
    const QFontMetricsF fm(s.legendFont);
    legend.rows = std::min(static_cast<int>(points.size()), s.legend.maxRows);
    legend.rowHeight = fm.height() + 2;
    for (int i = 0; i < legend.rows; ++i) {
      legend.valueWidth = std::max(legend.valueWidth, fm.horizontalAdvance(LegendValueText(points[i].value)));
      legend.labelWidth = std::max(legend.labelWidth, fm.horizontalAdvance(points[i].label));
    }
  }

  QSizeF markSize;
  if (s.marksVisible) {
    const QFontMetricsF fm(s.markFont);
    for (const PieSlice& slice : PieSlices(ValuesOf(points), FirstAngle(s)))
      if (slice.spanAngle > 0) {
        const QSizeF size = MarkBoxSize(fm, MarkText(points[slice.index].label, slice.percent));
        markSize =
            QSizeF(std::max(markSize.width(), size.width()), std::max(markSize.height(), size.height()));
      }
  }
  return LayoutChart(inner, titleText, s.titlePadding, legend, s.legend, s.view, markSize);
}

void PaintPieChart(QPainter& p, const QRect& rect, const TPieChartSettings& s,
                   const std::vector<TPiePoint>& points) {
  p.save();
  PaintPanel(p, rect, s);
  const QRect inner = ChartInnerRect(rect, s);
  PaintBackground(p, inner, s);
  p.setClipRect(inner);
  p.setRenderHint(QPainter::Antialiasing);
  const ChartLayout layout = MeasurePieChart(rect, s, points);

  const std::vector<PieSlice> slices = PieSlices(ValuesOf(points), FirstAngle(s));
  const PieFrame& pie = layout.pie;
  QPen outline(s.outlineColor, 1, s.outlineStyle);
  outline.setCosmetic(true);
  const PieSlice* exploded = nullptr;
  for (const PieSlice& slice : slices)
    if (slice.exploded && slice.spanAngle > 0) exploded = &slice;
  const QPointF explodeOffset =
      exploded ? ExplodeOffset(pie, exploded->midAngle, s.view.explodePercent) : QPointF();
  std::vector<PaintedSlice> rest;
  std::vector<PaintedSlice> pulled;
  for (const PieSlice& slice : slices)
    if (slice.spanAngle > 0) {
      if (&slice == exploded)
        pulled.push_back({&slice, explodeOffset, ColorOf(points, slice.index)});
      else
        rest.push_back({&slice, QPointF(), ColorOf(points, slice.index)});
    }
  const auto paintGroup = [&](const std::vector<PaintedSlice>& group) {
    p.setPen(outline);
    PaintFaces(p, pie, group);
    for (const PaintedSlice& s : group) PaintWalls(p, pie, *s.slice, s.offset, s.color);
    for (const PaintedSlice& s : group) PaintTop(p, pie, *s.slice, s.offset, s.color);
  };
  // A slice pulled out towards the back is behind the rest of the pie.
  const bool explodedBehind = exploded && FaceDepth(exploded->midAngle) < 0;
  if (explodedBehind) paintGroup(pulled);
  paintGroup(rest);
  if (!explodedBehind) paintGroup(pulled);

  if (s.marksVisible) {
    const QFontMetricsF fm(s.markFont);
    std::vector<MarkPlacement> marks;
    std::vector<QString> texts;
    for (const PieSlice& slice : slices) {
      if (slice.spanAngle <= 0) continue;
      texts.push_back(MarkText(points[slice.index].label, slice.percent));
      const QPointF offset = &slice == exploded ? explodeOffset : QPointF();
      marks.push_back(
          PlaceMark(pie, offset, slice.midAngle, MarkBoxSize(fm, texts.back()), s.view.arrowLength));
    }
    SeparateMarks(marks, QRectF(inner).adjusted(2, 2, -2, -2));
    p.setFont(s.markFont);
    for (size_t i = 0; i < marks.size(); ++i) {
      const MarkPlacement& m = marks[i];
      p.setPen(QPen(Qt::black, 1));
      p.drawLine(m.anchor, NearestPointOnBox(m.box, m.arrowEnd));
      p.setBrush(QColor(255, 255, 225));
      p.drawRect(m.box);
      p.drawText(m.box, Qt::AlignCenter, texts[i]);
    }
  }

  p.setRenderHint(QPainter::Antialiasing, false);
  PaintTitle(p, layout.title, s);
  PaintLegend(p, layout.legend, s, points);
  p.restore();
}

namespace {

class TPieChartAccessible : public QAccessibleWidget {
 public:
  explicit TPieChartAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Chart) {}
  QString text(QAccessible::Text t) const override {
    auto* chart = static_cast<TPieChart*>(widget());
    if (t == QAccessible::Description) return chart->DescriptionText();
    if (t == QAccessible::Name && chart->accessibleName().isEmpty())
      return chart->settings().titleLines.join(QLatin1Char(' '));
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* ChartAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("qb::TPieChart") && object && object->isWidgetType())
    return new TPieChartAccessible(static_cast<QWidget*>(object));
  return nullptr;
}

}  // namespace

TPieChart::TPieChart(QWidget* parent) : QWidget(parent), FSeries(new TPieSeries(this)) {
  static const bool installed = (QAccessible::installFactory(ChartAccessibleFactory), true);
  Q_UNUSED(installed);
  QFont small(QStringLiteral("Arial"));
  small.setPixelSize(11);
  FSettings.markFont = small;
  FSettings.legendFont = small;
  FSettings.titleFont = QFont(QStringLiteral("Arial"));
  FSettings.titleFont.setPixelSize(15);
  setFocusPolicy(Qt::StrongFocus);
  connect(FSeries, &TPieSeries::changed, this, [this] { SeriesChanged(); });
}

void TPieChart::setSettings(const TPieChartSettings& settings) {
  FSettings = settings;
  update();
}

QString TPieChart::DescriptionText() const {
  QStringList parts;
  for (const TPiePoint& p : FSeries->points())
    parts << p.label + QStringLiteral(": ") + LegendValueText(p.value);
  return parts.join(QStringLiteral(", "));
}

QImage TPieChart::Render() const {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  PaintPieChart(p, QRect(QPoint(0, 0), size()), FSettings, FSeries->points());
  return image;
}

void TPieChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintPieChart(p, rect(), FSettings, FSeries->points());
}

void TPieChart::SeriesChanged() {
  update();
  if (QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace qb
