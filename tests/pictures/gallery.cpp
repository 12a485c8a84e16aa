// Every control of the library and the four message dialogs in one picture.

#include <QApplication>
#include <QPainter>
#include <functional>

#include "controls/ProCursors.h"
#include "controls/ProDlgs.h"
#include "controls/ProStBar.h"
#include "controls/ProUrl.h"
#include "controls/Provcl.h"
#include "runtime/Platform.h"
#include "tests/common/ModalCloser.h"
#include "tests/pictures/Pictures.h"

using namespace qb;

namespace {

QFont FormFont() {
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setPixelSize(11);
  return f;
}

QIcon Glyph(const QColor& color, int shape) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(color);
  if (shape == 0) p.drawEllipse(3, 3, 17, 17);
  if (shape == 1) p.drawRect(3, 5, 17, 13);
  if (shape == 2) p.drawPolygon(QPolygon({QPoint(12, 2), QPoint(21, 20), QPoint(3, 20)}));
  return QIcon(pixmap);
}

// Grabs the window of a dialog while it runs, with a plain title strip above it.
QImage GrabDialog(const std::function<void()>& execute) {
  QImage shot;
  qbtest::ModalSteps<TCommonDialogForm> grab({[&](TCommonDialogForm* form) {
    const QImage client = form->grab().toImage();
    shot = QImage(client.width() + 2, client.height() + 22, QImage::Format_RGB32);
    shot.fill(QColor(0, 0, 128));
    QPainter p(&shot);
    p.drawImage(1, 21, client);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(11);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(6, 0, client.width() - 20, 21), Qt::AlignVCenter, form->windowTitle());
    p.drawText(QRect(client.width() - 16, 0, 14, 21), Qt::AlignCenter, QStringLiteral("x"));
    p.end();
    form->done(mrCancel);
  }});
  execute();
  return shot;
}

}  // namespace

QImage RenderGallery() {
  QWidget page;
  page.setFont(FormFont());
  QPalette pal = page.palette();
  pal.setColor(QPalette::Window, SystemColor(clBtnFace));
  page.setPalette(pal);
  page.setAutoFillBackground(true);
  page.resize(1000, 460);

  // Labels: every shadow style, disabled, rotated.
  const TShadowStyle styles[] = {
      ssNone,     ssRaised,        ssRaisedColor,    ssRaisedShadow, ssRaisedThickShadow,
      ssRecessed, ssRecessedColor, ssRecessedShadow, ssShadow,       ssThickShadow};
  const char* names[] = {
      "ssNone",     "ssRaised",        "ssRaisedColor",    "ssRaisedShadow", "ssRaisedThickShadow",
      "ssRecessed", "ssRecessedColor", "ssRecessedShadow", "ssShadow",       "ssThickShadow"};
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(20);
  titleFont.setBold(true);
  for (int i = 0; i < 10; ++i) {
    auto* label = new TProLabel(&page);
    label->setFont(titleFont);
    label->SetCaption(QString::fromLatin1(names[i]));
    label->SetShadowStyle(styles[i]);
    label->move(10 + (i / 5) * 230, 10 + (i % 5) * 30);
  }
  auto* disabled = new TProLabel(&page);
  disabled->setFont(titleFont);
  disabled->SetCaption(QStringLiteral("Disabled"));
  disabled->SetShadowStyle(ssRaisedThickShadow);
  disabled->setEnabled(false);
  disabled->move(10, 165);
  auto* rotated = new TProLabel(&page);
  rotated->setFont(titleFont);
  rotated->SetAutoSize(false);
  rotated->setGeometry(280, 200, 40, 120);
  rotated->SetCaption(QStringLiteral("Angle 90"));
  rotated->SetAngle(90);
  rotated->SetColor(Qt::white);

  // Label-edits as on the statistics window.
  const char* captions[] = {"Highest:", "Lowest:", "Average:", "Median:"};
  const char* values[] = {"152.5", "3.99", "41.2875", "78.245"};
  for (int i = 0; i < 4; ++i) {
    auto* edit = new TProLabelEdit(&page);
    edit->SetCaption(QString::fromLatin1(captions[i]));
    edit->SetText(QString::fromLatin1(values[i]));
    edit->SetReadOnly(true);
    edit->move(10, 205 + i * 26);
  }

  // Speed buttons: plain, hovered look needs a mouse, down, latched in a group, disabled.
  for (int i = 0; i < 5; ++i) {
    auto* b = new TProSpeedButton(&page);
    b->setGeometry(10 + i * 36, 320, 32, 32);
    b->SetGlyph(Glyph(i % 2 ? QColor(220, 0, 0) : QColor(0, 120, 220), i % 3));
    b->SetHint(QStringLiteral("Button %1").arg(i));
    if (i == 1) b->SetDown(true);
    if (i == 2 || i == 3) b->SetGroupIndex(1);
    if (i == 3) b->SetDown(true);
    if (i == 4) b->setEnabled(false);
  }
  auto* captioned = new TProSpeedButton(&page);
  captioned->setGeometry(190, 320, 50, 32);
  captioned->SetCaption(QStringLiteral("ADD"));

  // Push buttons with kinds.
  const TProButtonKind kinds[] = {pbkOk, pbkCancel, pbkHelp, pbkYes, pbkNo, pbkPrev, pbkNext};
  for (int i = 0; i < 7; ++i) {
    auto* b = new TProButton(&page);
    b->SetKind(kinds[i]);
    b->setGeometry(10 + i * 66, 365, 62, 25);
  }

  // Panels.
  struct PanelSpec {
    const char* caption;
    TBevelCut outer, inner;
    bool ctl3d;
    TSides sides;
    int border;
    TBorderStyle style;
    TAlignment align;
  };
  const PanelSpec panels[] = {
      {"Raised", bvRaised, bvNone, false, kAllSides, 0, bsNone, taCenter},
      {"Lowered", bvLowered, bvNone, false, kAllSides, 0, bsNone, taCenter},
      {"Raised + lowered inner, border 3", bvRaised, bvLowered, false, kAllSides, 3, bsNone, taCenter},
      {"0.333333333333333", bvLowered, bvNone, true, kAllSides, 0, bsNone, taRightJustify},
      {"Ctl3D raised", bvRaised, bvNone, true, kAllSides, 0, bsNone, taCenter},
      {"Bottom side only, border 2", bvRaised, bvLowered, false, SideBit(sdBottom), 2, bsNone, taCenter},
      {"Single border", bvNone, bvNone, false, kAllSides, 0, bsSingle, taLeftJustify},
      {"A long caption that wraps onto several lines in the panel", bvRaised, bvNone, false, kAllSides, 0,
       bsNone, taCenter},
  };
  for (int i = 0; i < 8; ++i) {
    auto* panel = new TProPanel(&page);
    const PanelSpec& s = panels[i];
    panel->SetCaption(QString::fromLatin1(s.caption));
    panel->SetBevelOuter(s.outer);
    panel->SetBevelInner(s.inner);
    panel->SetBevelCtl3D(s.ctl3d);
    panel->SetBevelSides(s.sides);
    panel->SetBorderWidth(s.border);
    panel->SetBorderColor(QColor(200, 60, 60));
    panel->SetBorderStyle(s.style);
    panel->SetAlignment(s.align);
    if (i == 3) {
      panel->SetColor(Qt::white);
      QFont display(QStringLiteral("Arial"));
      display.setPixelSize(16);
      panel->setFont(display);
    }
    panel->setGeometry(480 + (i % 2) * 205, 10 + (i / 2) * 52, 195, 44);
  }

  // URL labels: unvisited, visited, hover mode.
  auto* link = new TProUrlLabel(&page);
  link->SetCaption(QStringLiteral("http://www.quellbid.example/"));
  link->move(480, 225);
  auto* visited = new TProUrlLabel(&page);
  visited->SetCaption(QStringLiteral("Visited link"));
  visited->move(480, 245);
  SetShellOpenHook([](const QString&) {});
  visited->Click();
  auto* hover = new TProUrlLabel(&page);
  hover->SetCaption(QStringLiteral("Hover link (at rest)"));
  hover->SetCanHover(true);
  hover->move(480, 265);

  // Status bar with a child panel.
  auto* bar = new TProStatusBar(&page);
  bar->setGeometry(0, 430, 1000, 30);
  bar->showMessage(QStringLiteral("Status bar with a child panel"));
  auto* child = new TProPanel(bar);
  child->SetCaption(QStringLiteral("42 rows"));
  child->SetBevelOuter(bvLowered);
  child->setGeometry(700, 4, 120, 22);

  page.show();
  QImage controls = page.grab().toImage();
  {
    // The five cursors, enlarged three times.
    QPainter p(&controls);
    for (int id = crProHandPoint; id <= crProDragHand; ++id) {
      const TCursorPicture pic = ProCursorPicture(id);
      const QRect target(480 + (id - crProHandPoint) * 100, 300, 96, 96);
      p.fillRect(target, QColor(255, 255, 200));
      p.drawImage(target, pic.image);
      p.setPen(Qt::red);
      p.drawRect(target.x() + pic.hotSpot.x() * 3, target.y() + pic.hotSpot.y() * 3, 2, 2);
      p.setPen(Qt::black);
      p.drawText(target.x(), target.bottom() + 14, QString::number(id));
    }
  }
  SetShellOpenHook({});

  // The four dialogs at the screen's dpi.
  QList<QImage> dialogs;
  dialogs.append(GrabDialog([] {
    TProWarningDialog d;
    d.SetCaption(QStringLiteral("No Results Added"));
    d.SetWarningMessage(QStringLiteral("No Results Added"));
    d.SetHelpContext(0);
    d.Execute();
  }));
  dialogs.append(GrabDialog([] {
    TProInfoDialog d;
    d.SetInfoMessage(
        QStringLiteral("The information dialog shows a message next to its icon; this one also "
                       "has a Help button."));
    d.SetHelpContext(1);
    d.Execute();
  }));
  dialogs.append(GrabDialog([] {
    TProStopDialog d;
    d.SetStopMessage(QStringLiteral("The operation cannot go on."));
    d.SetAlignment(taCenter);
    d.Execute();
  }));
  dialogs.append(GrabDialog([] {
    TProConfirmDialog d;
    d.SetCondition(QStringLiteral("This directory does not exist:"));
    d.SetDescription(QStringLiteral("/home/user/auctions"));
    d.SetQuestion(QStringLiteral("Do you wish to create this directory?"));
    d.SetHelpContext(2);
    d.Execute();
  }));
  int dialogsWidth = 10, dialogsHeight = 0;
  for (const QImage& d : dialogs) {
    if (d.isNull()) return {};
    dialogsWidth += d.width() + 10;
    dialogsHeight = std::max(dialogsHeight, d.height());
  }

  QImage gallery(std::max(controls.width(), dialogsWidth), controls.height() + dialogsHeight + 20,
                 QImage::Format_RGB32);
  gallery.fill(QColor(90, 90, 90));
  QPainter p(&gallery);
  p.drawImage(0, 0, controls);
  int x = 10;
  for (const QImage& d : dialogs) {
    p.drawImage(x, controls.height() + 10, d);
    x += d.width() + 10;
  }
  p.end();
  return gallery;
}
