#pragma once

#include <QDialog>

class QLabel;

namespace qb {

class TProPanel;
class TProLabel;
class TProSpeedButton;
class TProUrlLabel;

inline const QString kMakerHomePage = QStringLiteral("https://www.velmora-software.com/");
inline const QString kMakerSupportPage = QStringLiteral("https://www.velmora-software.com/support/");

// The About window: product name, the file version read once when it is
// built, two links to the maker's site and "Close". Shown modally.
class TfAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfAbout(QWidget* parent = nullptr);

  TProPanel* Panel1 = nullptr;
  TProLabel* ProLabel1 = nullptr;
  QLabel* lblVersion = nullptr;
  TProSpeedButton* ProSpeedButton2 = nullptr;
  TProUrlLabel* ProUrlLabel2 = nullptr;
  TProUrlLabel* ProUrlLabel1 = nullptr;

  void ProSpeedButton2Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow() {}
};

}  // namespace qb
