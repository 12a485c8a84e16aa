// Painting of labels and panels, checked pixel by pixel on rendered images.

#include <QAccessible>
#include <QPainter>
#include <QtTest>
#include <functional>

#include "controls/ProCtrls.h"

using namespace qb;

Q_DECLARE_METATYPE(qb::TSides)

namespace {

const QColor kBackground(0, 128, 0);

QFont PlainFont(int pixelSize) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixelSize);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

QImage Render(QWidget& w) {
  QImage image(w.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  w.render(&image);
  return image;
}

// The text pixels of a plain (no effects) label.
QList<QPoint> TextPixels(const QImage& image, const QColor& textColor) {
  QList<QPoint> points;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == textColor) points.append({x, y});
  return points;
}

struct PixelColor {
  QPoint at;
  QColor color;
};

// The listed pixels of image that have another colour, as "x,y: actual, expected"
// joined by "; "; empty when all match.
QString WrongPixels(const QImage& image, const QList<PixelColor>& pixels) {
  QStringList wrong;
  for (const PixelColor& p : pixels) {
    const QColor actual(image.pixel(p.at));
    if (actual != p.color)
      wrong << QStringLiteral("%1,%2: %3, %4").arg(p.at.x()).arg(p.at.y()).arg(actual.name(), p.color.name());
  }
  return wrong.join(QStringLiteral("; "));
}

void Stamp(QImage& image, const QList<QPoint>& mask, int dx, int dy, const QColor& color) {
  for (const QPoint& p : mask) {
    const QPoint q = p + QPoint(dx, dy);
    if (image.rect().contains(q)) image.setPixel(q, color.rgb());
  }
}

struct LabelFixture {
  TProLabel label;
  LabelFixture() {
    label.SetAutoSize(false);
    label.setFont(PlainFont(24));
    label.SetColor(kBackground);
    label.SetFontColor(Qt::black);
    label.SetCaption(QStringLiteral("HI"));
    label.setGeometry(0, 0, 80, 50);
    label.SetOffsetX(6);
    label.SetOffsetY(6);
  }
};

struct PaintedPair {
  TProPanel* panel;
  TProLabel* label;
};
// Changes one property of the pair; returns the control changed.
using PaintedSetter = std::function<QWidget*(const PaintedPair&)>;

PaintedSetter OnPanel(const std::function<void(TProPanel&)>& set) {
  return [set](const PaintedPair& p) -> QWidget* {
    set(*p.panel);
    return p.panel;
  };
}

PaintedSetter OnLabel(const std::function<void(TProLabel&)>& set) {
  return [set](const PaintedPair& p) -> QWidget* {
    set(*p.label);
    return p.label;
  };
}

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Whether applying set to the shown pair paints its control again.
bool Repaints(const PaintedPair& pair, const PaintedSetter& set) {
  QTest::qWait(20);
  PaintCounter counter;
  QWidget* changed = set(pair);
  changed->installEventFilter(&counter);
  QTest::qWait(20);
  changed->removeEventFilter(&counter);
  return counter.paints > 0;
}

}  // namespace

Q_DECLARE_METATYPE(PaintedSetter)

class TestPainting : public QObject {
  Q_OBJECT
 private slots:
  // A property setter repaints on a change only; a repeated value paints nothing.
  // The panel draws Ctl3D bevels, which hold the bevel width at 2.
  void settersRepaintOnChange_data() {
    QTest::addColumn<PaintedSetter>("set");
    QTest::addColumn<bool>("firstRepaints");
    const auto row = [](const char* name, const PaintedSetter& set, bool firstRepaints) {
      QTest::newRow(name) << set << firstRepaints;
    };
    row("panel caption", OnPanel([](TProPanel& w) { w.SetCaption(QStringLiteral("Total")); }), true);
    row("panel alignment", OnPanel([](TProPanel& w) { w.SetAlignment(taLeftJustify); }), true);
    row("panel border colour", OnPanel([](TProPanel& w) { w.SetBorderColor(Qt::red); }), true);
    row("panel bevel sides", OnPanel([](TProPanel& w) { w.SetBevelSides(SideBit(sdTop)); }), true);
    row("panel sides beyond the four", OnPanel([](TProPanel& w) { w.SetBevelSides(kAllSides | 0x10); }),
        false);
    row("panel bevel width under Ctl3D", OnPanel([](TProPanel& w) { w.SetBevelWidth(5); }), false);
    row("label transparent", OnLabel([](TProLabel& w) { w.SetTransparent(true); }), true);
    row("label offset", OnLabel([](TProLabel& w) { w.SetOffsetY(3); }), true);
    row("label vertical alignment", OnLabel([](TProLabel& w) { w.SetVerticalAlignment(vaBottom); }), true);
    row("label highlight depth", OnLabel([](TProLabel& w) { w.SetHighlightDepth(2); }), true);
  }
  void settersRepaintOnChange() {
    QFETCH(PaintedSetter, set);
    QFETCH(bool, firstRepaints);
    QWidget window;
    window.resize(300, 100);
    TProPanel panel(&window);
    panel.SetBevelCtl3D(true);
    TProLabel label(&window);
    label.SetAutoSize(false);
    label.setGeometry(200, 0, 80, 30);
    label.SetCaption(QStringLiteral("HI"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const PaintedPair pair{&panel, &label};
    QCOMPARE(Repaints(pair, set), firstRepaints);
    QVERIFY(!Repaints(pair, set));
  }

  void raisedThickShadowCopies() {
    LabelFixture plain;
    const QImage reference = Render(plain.label);
    const QList<QPoint> mask = TextPixels(reference, Qt::black);
    QVERIFY(mask.size() > 50);

    LabelFixture styled;
    styled.label.SetShadowStyle(ssRaisedThickShadow);
    QCOMPARE(styled.label.ShadowColor(), SystemColor(clBtnShadow));
    const QImage actual = Render(styled.label);

    QImage expected(reference.size(), QImage::Format_RGB32);
    expected.fill(kBackground);
    for (int k = 1; k <= 4; ++k) Stamp(expected, mask, k, k, SystemColor(clBtnShadow));
    Stamp(expected, mask, -1, -1, SystemColor(clBtnHighlight));
    Stamp(expected, mask, 0, 0, Qt::black);
    QCOMPARE(actual, expected);
    // A fifth copy would show here: the pixel 5 down-right of the text's lowest-rightmost point.
    QPoint last = mask.last();
    QCOMPARE(QColor(actual.pixel(last + QPoint(5, 5))), kBackground);
    QCOMPARE(QColor(actual.pixel(last + QPoint(4, 4))), SystemColor(clBtnShadow));
  }

  void disabledLookIgnoresStyle() {
    LabelFixture plain;
    const QList<QPoint> mask = TextPixels(Render(plain.label), Qt::black);
    LabelFixture styled;
    styled.label.SetShadowStyle(ssRaisedThickShadow);
    styled.label.setEnabled(false);
    QImage expected(styled.label.size(), QImage::Format_RGB32);
    expected.fill(kBackground);
    Stamp(expected, mask, 1, 1, SystemColor(clBtnHighlight));
    Stamp(expected, mask, 0, 0, SystemColor(clBtnShadow));
    QCOMPARE(Render(styled.label), expected);
  }

  void transparentLabelKeepsBackground() {
    QWidget parent;
    parent.resize(80, 50);
    parent.setAutoFillBackground(true);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, Qt::yellow);
    parent.setPalette(p);
    auto* label = new TProLabel(&parent);
    label->SetCaption(QString());
    label->SetAutoSize(false);
    label->setGeometry(0, 0, 80, 50);
    label->SetColor(Qt::blue);
    QCOMPARE(QColor(Render(parent).pixel(10, 10)), QColor(Qt::blue));
    label->SetTransparent(true);
    QCOMPARE(QColor(Render(parent).pixel(10, 10)), QColor(Qt::yellow));
  }

  // Text taller than the control, centred: the middle of the text shows.
  void centredTextTallerThanLabel() {
    const QString text = QStringLiteral("ONE TWO THREE FOUR FIVE SIX SEVEN");
    auto make = [&](int height, TVerticalAlignment va) {
      auto* label = new TProLabel;
      label->SetAutoSize(false);
      label->SetWordWrap(true);
      label->setFont(PlainFont(16));
      label->SetColor(Qt::white);
      label->SetFontColor(Qt::black);
      label->SetCaption(text);
      label->SetVerticalAlignment(va);
      label->setGeometry(0, 0, 70, height);
      return label;
    };
    std::unique_ptr<TProLabel> tall(make(400, vaTop));
    const int textHeight =
        QFontMetrics(tall->font()).boundingRect(QRect(0, 0, 70, 10000), Qt::TextWordWrap, text).height();
    QVERIFY(textHeight > 60);
    tall->resize(70, textHeight);
    const QImage full = Render(*tall);
    const int height = 30;
    std::unique_ptr<TProLabel> small(make(height, vaCenter));
    const QImage cut = Render(*small);
    const int shift = (textHeight - height) / 2;
    QCOMPARE(cut, full.copy(0, shift, 70, height));
    std::unique_ptr<TProLabel> bottom(make(height, vaBottom));
    QCOMPARE(Render(*bottom), full.copy(0, textHeight - height, 70, height));
  }

  void centredTextTallerThanPanel() {
    const QString text = QStringLiteral("ONE TWO THREE FOUR FIVE SIX SEVEN");
    auto make = [&](int height, TVerticalAlignment va) {
      auto* panel = new TProPanel;
      panel->SetBevelOuter(bvNone);
      panel->setFont(PlainFont(16));
      panel->SetColor(Qt::white);
      panel->SetFontColor(Qt::black);
      panel->SetAlignment(taLeftJustify);
      panel->SetCaption(text);
      panel->SetVerticalAlignment(va);
      panel->setGeometry(0, 0, 70, height);
      return panel;
    };
    const int textHeight =
        QFontMetrics(PlainFont(16)).boundingRect(QRect(0, 0, 70, 10000), Qt::TextWordWrap, text).height();
    std::unique_ptr<TProPanel> tall(make(textHeight, vaTop));
    const QImage full = Render(*tall);
    std::unique_ptr<TProPanel> small(make(30, vaCenter));
    QCOMPARE(Render(*small), full.copy(0, (textHeight - 30) / 2, 70, 30));
  }

  void panelBevelSides_data() {
    QTest::addColumn<TSides>("sides");
    QTest::newRow("bottom only") << SideBit(sdBottom);
    QTest::newRow("left and top") << (SideBit(sdLeft) | SideBit(sdTop));
    QTest::newRow("all") << kAllSides;
  }
  void panelBevelSides() {
    QFETCH(TSides, sides);
    TProPanel panel;
    panel.setGeometry(0, 0, 40, 20);
    panel.SetBevelSides(sides);
    panel.SetBevelOuter(bvRaised);
    panel.SetBorderWidth(2);
    panel.SetBorderColor(Qt::red);
    panel.SetBevelInner(bvLowered);
    panel.SetColor(kBackground);
    const QImage image = Render(panel);
    // Expected: rings of outer bevel, two border rings, inner bevel on the selected sides.
    QImage expected(40, 20, QImage::Format_RGB32);
    expected.fill(Qt::magenta);
    QPainter painter(&expected);
    QRect r(0, 0, 40, 20);
    auto ring = [&](const QColor& tl, const QColor& br) {
      const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
      for (int y = t; y <= b; ++y)
        for (int x = l; x <= rt; ++x) {
          QColor c;
          if ((sides & SideBit(sdLeft)) && x == l) c = tl;
          if ((sides & SideBit(sdTop)) && y == t) c = tl;
          if ((sides & SideBit(sdRight)) && x == rt) c = br;
          if ((sides & SideBit(sdBottom)) && y == b) c = br;
          if (c.isValid()) expected.setPixel(x, y, c.rgb());
        }
      if (sides & SideBit(sdLeft)) r.setLeft(l + 1);
      if (sides & SideBit(sdTop)) r.setTop(t + 1);
      if (sides & SideBit(sdRight)) r.setRight(rt - 1);
      if (sides & SideBit(sdBottom)) r.setBottom(b - 1);
    };
    ring(SystemColor(clBtnHighlight), SystemColor(clBtnShadow));
    ring(Qt::red, Qt::red);
    ring(Qt::red, Qt::red);
    ring(SystemColor(clBtnShadow), SystemColor(clBtnHighlight));
    painter.fillRect(r, kBackground);
    painter.end();
    QCOMPARE(image, expected);
    if (sides == SideBit(sdBottom)) {
      // Spelled out for the bottom-only case: the top row is plain fill.
      for (int x = 0; x < 40; ++x) QCOMPARE(QColor(image.pixel(x, 0)), kBackground);
      QCOMPARE(QColor(image.pixel(0, 19)), SystemColor(clBtnShadow));
      QCOMPARE(QColor(image.pixel(20, 18)), QColor(Qt::red));
      QCOMPARE(QColor(image.pixel(20, 17)), QColor(Qt::red));
      QCOMPARE(QColor(image.pixel(20, 16)), SystemColor(clBtnHighlight));
      QCOMPARE(QColor(image.pixel(0, 15)), kBackground);
    }
  }

  void panelCtl3DRings() {
    TProPanel panel;
    panel.setGeometry(0, 0, 30, 20);
    panel.SetBevelCtl3D(true);
    QCOMPARE(panel.BevelWidth(), 2);
    panel.SetBevelWidth(5);
    QCOMPARE(panel.BevelWidth(), 2);
    panel.SetBevelOuter(bvLowered);
    panel.SetColor(kBackground);
    QCOMPARE(WrongPixels(Render(panel), {{{0, 10}, SystemColor(clBtnShadow)},
                                         {{1, 10}, SystemColor(clBtnText)},
                                         {{29, 10}, SystemColor(clBtnHighlight)},
                                         {{28, 10}, SystemColor(cl3DLight)},
                                         {{2, 10}, kBackground}}),
             QString());
    panel.SetBevelOuter(bvRaised);
    QCOMPARE(WrongPixels(Render(panel), {{{10, 0}, SystemColor(clBtnHighlight)},
                                         {{10, 1}, SystemColor(cl3DLight)},
                                         {{10, 19}, SystemColor(clBtnText)},
                                         {{10, 18}, SystemColor(clBtnShadow)}}),
             QString());
    panel.SetBevelCtl3D(false);
    QCOMPARE(panel.BevelWidth(), 1);
  }

  void panelSingleBorder() {
    TProPanel panel;
    panel.setGeometry(0, 0, 30, 20);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(kBackground);
    panel.SetBorderStyle(bsSingle);
    const QImage image = Render(panel);
    QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::black));
    QCOMPARE(QColor(image.pixel(29, 19)), QColor(Qt::black));
    QCOMPARE(QColor(image.pixel(1, 1)), kBackground);
  }

  void labelDefaultsAndAutoSize() {
    TProLabel label;
    QCOMPARE(label.ShadowStyle(), ssNone);
    QCOMPARE(label.VerticalAlignment(), vaTop);
    QCOMPARE(label.HighlightColor(), SystemColor(clBtnHighlight));
    QCOMPARE(label.ShadowColor(), SystemColor(clBtnShadow));
    QVERIFY(label.AutoSize());
    label.SetCaption(QStringLiteral("A much longer caption"));
    const int wide = label.width();
    label.SetCaption(QStringLiteral("A"));
    QVERIFY(label.width() < wide);
    label.SetAngle(90);
    QVERIFY(!label.AutoSize());
    TProLabel second;
    second.SetOffsetY(-2);
    QVERIFY(!second.AutoSize());
    QCOMPARE(second.Layout(), Qt::AlignTop);
    second.SetLayout(Qt::AlignVCenter);
    QCOMPARE(second.VerticalAlignment(), vaCenter);
  }

  void rotatedLabelDrawsUpwards() {
    TProLabel label;
    label.SetAutoSize(false);
    label.setGeometry(0, 0, 40, 120);
    label.setFont(PlainFont(16));
    label.SetColor(Qt::white);
    label.SetFontColor(Qt::black);
    label.SetCaption(QStringLiteral("ROTATED"));
    label.SetAngle(90);
    const QImage image = Render(label);
    const QList<QPoint> ink = TextPixels(image, Qt::black);
    QVERIFY(!ink.isEmpty());
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (const QPoint& p : ink) {
      minX = std::min(minX, p.x());
      maxX = std::max(maxX, p.x());
      minY = std::min(minY, p.y());
      maxY = std::max(maxY, p.y());
    }
    QVERIFY2(maxY - minY > 2 * (maxX - minX), "text runs vertically");
    QVERIFY(minY < 20);  // aligned to the top
  }

  void accessibleLabelAndPanel() {
    TProLabel label;
    label.SetCaption(QStringLiteral("&Price:"));
    QAccessibleInterface* li = QAccessible::queryAccessibleInterface(&label);
    QVERIFY(li);
    QCOMPARE(li->role(), QAccessible::StaticText);
    QCOMPARE(li->text(QAccessible::Name), QString("Price:"));
    QCOMPARE(li->text(QAccessible::Value), QString("Price:"));
    label.SetCaption(QStringLiteral("Changed"));
    QCOMPARE(li->text(QAccessible::Name), QString("Changed"));

    TProPanel panel;
    panel.SetCaption(QStringLiteral("3.14159"));
    QAccessibleInterface* pi = QAccessible::queryAccessibleInterface(&panel);
    QVERIFY(pi);
    QCOMPARE(pi->text(QAccessible::Name), QString("3.14159"));
    QCOMPARE(pi->text(QAccessible::Value), QString("3.14159"));
    QCOMPARE(pi->role(), QAccessible::StaticText);
    panel.SetCaption(QString());
    QCOMPARE(pi->role(), QAccessible::Pane);
  }
};

QTEST_MAIN(TestPainting)
#include "test_painting.moc"
