#include "app/Splash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>

#include "app/Exever.h"
#include "controls/ProCtrls.h"
#include "runtime/Application.h"

namespace qb {

namespace {

TProSpeedButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int top) {
  auto* button = new TProSpeedButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->SetFlat(true);
  button->SetCaption(caption);
  button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  font.setBold(true);
  button->setFont(font);
  button->setGeometry(0, top, 161, 49);
  return button;
}

}  // namespace

TqbidSplash::TqbidSplash(QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), FMainWindow(mainWindow) {
  setObjectName(QStringLiteral("qbidSplash"));
  setWindowTitle(kApplicationTitle);
  setAttribute(Qt::WA_QuitOnClose, false);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  const QPixmap logo(QStringLiteral(":/app/logo.jpg"));
  Image1->setPixmap(logo);
  Image1->setGeometry(0, 0, logo.width(), logo.height());
  Image1->setAccessibleName(QStringLiteral("Quellbid"));

  lblVersion = new TProLabel(this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblVersion->SetTransparent(true);
  lblVersion->move(176, 312);
  {
    TExeVersion version(this);
    lblVersion->SetCaption(QStringLiteral("Version :  ") + version.GetFileVersion());
  }

  sbGoToMain = MakeButton(this, "sbGoToMain", QStringLiteral("Start"), 144);
  sbExit = MakeButton(this, "sbExit", QStringLiteral("E&xit"), 192);
  connect(sbGoToMain, &QAbstractButton::clicked, this, [this] { Guard([this] { sbGoToMainClick(); }); });
  connect(sbExit, &QAbstractButton::clicked, this, [this] { Guard([this] { sbExitClick(); }); });

  resize(logo.isNull() ? QSize(692, 402) : logo.size());
  show();
}

void TqbidSplash::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TqbidSplash::FormShow() {
  setFixedSize(Image1->size());
  if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void TqbidSplash::sbGoToMainClick() {
  FStarted = true;
  if (FMainWindow) FMainWindow->show();
  close();
  if (FStartCommand && FMainWindow) FStartCommand();
}

void TqbidSplash::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (!FStarted) sbExitClick();
}

void TqbidSplash::sbExitClick() {
  if (FMainWindow) FMainWindow->close();
}

}  // namespace qb
