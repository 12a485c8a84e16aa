// Draws resources/app/logo.jpg (692 x 402). Run once, offscreen:
//   g++ -std=c++17 -fPIC make_logo.cpp -o make_logo $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen ./make_logo logo.jpg

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QImage img(692, 402, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  // Background: soft white to pale blue.
  QLinearGradient bg(0, 0, 0, 402);
  bg.setColorAt(0, QColor("#ffffff"));
  bg.setColorAt(1, QColor("#e6edf7"));
  p.fillRect(img.rect(), bg);

  // Large faint circle accents at the right.
  QRadialGradient glow(600, 120, 260);
  glow.setColorAt(0, QColor(70, 150, 220, 60));
  glow.setColorAt(1, QColor(70, 150, 220, 0));
  p.fillRect(img.rect(), glow);

  // Header band.
  QLinearGradient band(0, 0, 692, 0);
  band.setColorAt(0, QColor("#12284a"));
  band.setColorAt(1, QColor("#1e4f86"));
  p.fillRect(QRect(0, 0, 692, 10), band);
  // Footer band.
  p.fillRect(QRect(0, 362, 692, 40), band);
  QFont small("Liberation Sans");
  small.setPixelSize(13);
  p.setFont(small);
  p.setPen(QColor("#cfe0f5"));
  p.drawText(QRect(176, 362, 492, 40), Qt::AlignVCenter | Qt::AlignRight, "Velmora Software");
  p.drawText(QRect(24, 362, 300, 40), Qt::AlignVCenter | Qt::AlignLeft, "Completed-auction price research");

  // Left rail for the buttons: a light card with an accent edge.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 235));
  p.drawRoundedRect(QRectF(-8, 136, 172, 114), 10, 10);
  p.setBrush(QColor("#f28c28"));
  p.drawRect(QRectF(0, 136, 4, 114));
  p.setPen(QPen(QColor("#c9d6e8"), 1));
  p.drawLine(QPointF(8, 192.5), QPointF(152, 192.5));

  // Emblem: a price tag with a rising chart, at the top left of the name.
  p.save();
  p.translate(196, 52);
  QPainterPath tag;
  tag.moveTo(0, 18);
  tag.lineTo(18, 0);
  tag.lineTo(66, 0);
  tag.quadTo(72, 0, 72, 6);
  tag.lineTo(72, 66);
  tag.quadTo(72, 72, 66, 72);
  tag.lineTo(18, 72);
  tag.lineTo(0, 54);
  tag.closeSubpath();
  QLinearGradient tg(0, 0, 72, 72);
  tg.setColorAt(0, QColor("#2b7bd0"));
  tg.setColorAt(1, QColor("#15406f"));
  p.setPen(Qt::NoPen);
  p.setBrush(tg);
  p.drawPath(tag);
  p.setBrush(QColor("#ffffff"));
  p.drawEllipse(QPointF(14, 36), 5, 5);
  // bars
  p.setBrush(QColor(255, 255, 255, 220));
  p.drawRoundedRect(QRectF(28, 44, 8, 18), 2, 2);
  p.drawRoundedRect(QRectF(40, 34, 8, 28), 2, 2);
  p.drawRoundedRect(QRectF(52, 22, 8, 40), 2, 2);
  QPen line(QColor("#f28c28"), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(line);
  p.setBrush(Qt::NoBrush);
  QPainterPath trend;
  trend.moveTo(26, 40);
  trend.lineTo(38, 30);
  trend.lineTo(48, 33);
  trend.lineTo(62, 14);
  p.drawPath(trend);
  p.restore();

  // Product name.
  QFont title("Liberation Sans");
  title.setPixelSize(74);
  title.setBold(true);
  title.setLetterSpacing(QFont::AbsoluteSpacing, -1.5);
  p.setFont(title);
  p.setPen(QColor("#12284a"));
  p.drawText(QPointF(284, 114), "Quell");
  QFontMetricsF fm(title);
  p.setPen(QColor("#2b7bd0"));
  p.drawText(QPointF(284 + fm.horizontalAdvance("Quell") - 1.5, 114), "bid");

  // Tagline.
  QFont tagline("Liberation Sans");
  tagline.setPixelSize(19);
  p.setFont(tagline);
  p.setPen(QColor("#4a5d78"));
  p.drawText(QPointF(288, 150), "What did it really sell for?");

  // Chart motif at the lower right: soft bars and a trend line.
  p.save();
  p.translate(420, 200);
  const int heights[] = {38, 62, 50, 84, 72, 110, 96, 132};
  for (int i = 0; i < 8; ++i) {
    QLinearGradient bar(0, 140 - heights[i], 0, 140);
    bar.setColorAt(0, QColor(43, 123, 208, 150));
    bar.setColorAt(1, QColor(43, 123, 208, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(bar);
    p.drawRoundedRect(QRectF(i * 30, 150 - heights[i], 20, heights[i]), 3, 3);
  }
  QPen tl(QColor("#f28c28"), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(tl);
  QPainterPath t;
  for (int i = 0; i < 8; ++i) {
    QPointF pt(i * 30 + 10, 150 - heights[i] - 14);
    if (i == 0)
      t.moveTo(pt);
    else
      t.lineTo(pt);
  }
  p.drawPath(t);
  p.setBrush(QColor("#ffffff"));
  for (int i = 0; i < 8; ++i) p.drawEllipse(QPointF(i * 30 + 10, 150 - heights[i] - 14), 3.5, 3.5);
  p.restore();

  // Thin rule above the version line.
  p.setPen(QPen(QColor("#c9d6e8"), 1));
  p.drawLine(QPointF(176, 300.5), QPointF(400, 300.5));

  p.end();
  img.save(argv[1], "JPEG", 92);
  return 0;
}
