#include "app/About2.h"

#include <QLabel>

#include "app/Exever.h"
#include "controls/ProCtrls.h"
#include "controls/ProUrl.h"
#include "runtime/Application.h"

namespace qb {

namespace {

TProUrlLabel* MakeLink(QWidget* parent, const char* name, const QString& caption, const QString& url,
                       int left) {
  auto* link = new TProUrlLabel(parent);
  link->setObjectName(QString::fromLatin1(name));
  link->SetCaption(caption);
  link->SetURL(url);
  link->move(left, 143);
  link->adjustSize();
  return link;
}

}  // namespace

TfAbout::TfAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("fAbout"));
  setWindowTitle(QStringLiteral("About"));
  // 584 x 205 with the frame: the client area holds Panel1 exactly.
  setFixedSize(576, 177);
  move(262, 113);

  Panel1 = new TProPanel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 0, 576, 177);

  ProLabel1 = new TProLabel(Panel1);
  ProLabel1->setObjectName(QStringLiteral("ProLabel1"));
  QFont titleFont(QStringLiteral("MS Sans Serif"));
  titleFont.setPixelSize(32);
  ProLabel1->setFont(titleFont);
  ProLabel1->SetCaption(QStringLiteral("Quellbid"));
  ProLabel1->SetShadowStyle(ssRaisedThickShadow);
  ProLabel1->move(65, 25);
  ProLabel1->adjustSize();

  lblVersion = new QLabel(Panel1);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  {
    TExeVersion version(this);
    lblVersion->setText(QStringLiteral("VERSION : ") + version.GetFileVersion());
  }
  lblVersion->move(72, 88);
  lblVersion->adjustSize();

  ProSpeedButton2 = new TProSpeedButton(Panel1);
  ProSpeedButton2->setObjectName(QStringLiteral("ProSpeedButton2"));
  ProSpeedButton2->SetCaption(QStringLiteral("Close"));
  ProSpeedButton2->setAccessibleName(QStringLiteral("Close"));
  ProSpeedButton2->setToolButtonStyle(Qt::ToolButtonTextOnly);
  ProSpeedButton2->SetFlat(false);
  ProSpeedButton2->setGeometry(376, 72, 153, 41);
  connect(ProSpeedButton2, &QAbstractButton::clicked, this,
          [this] { Guard([this] { ProSpeedButton2Click(); }); });

  ProUrlLabel2 = MakeLink(Panel1, "ProUrlLabel2", QStringLiteral("Support, Questions, and Comments"),
                          kMakerSupportPage, 17);
  ProUrlLabel1 = MakeLink(Panel1, "ProUrlLabel1", QStringLiteral("Velmora Software"), kMakerHomePage, 410);
}

void TfAbout::ProSpeedButton2Click() { done(QDialog::Accepted); }

void TfAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

}  // namespace qb
