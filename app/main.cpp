#include <QApplication>
#include <memory>

#include "app/About2.h"
#include "app/Lifecycle.h"
#include "app/Splash.h"
#include "controls/Provcl.h"
#include "research/LVMainGrid.h"
#include "research/Price1.h"
#include "runtime/Application.h"
#include "stats/Chart1.h"
#include "stats/PriceTrends.h"

int main(int argc, char** argv) {
  qb::PrepareWebEngineEnvironment();
  qb::QbApplication application(argc, argv);
  // Each window shows its own caption only ("Quellbid", "About"); the
  // application title is the caption of the splash, the task bar's first entry.
  application.setApplicationDisplayName(QString());
  application.setQuitOnLastWindowClosed(false);

  // Every window is built once, in this order, and lives until the program
  // ends; they are destroyed in the reverse order.
  std::unique_ptr<qb::TfrmMainPrice> frmMainPrice;
  std::unique_ptr<qb::TqbidSplash> qbidSplash;
  std::unique_ptr<qb::Tch1> ch1;
  std::unique_ptr<qb::TfAbout> fAbout;
  std::unique_ptr<qb::TfrmPriceTrends> frmPriceTrends;

  return qb::RunProgram([&] {
    qb::InitializeControls();
    frmMainPrice = std::make_unique<qb::TfrmMainPrice>();
    frmMainPrice->setObjectName(QStringLiteral("frmMainPrice"));
    qbidSplash = std::make_unique<qb::TqbidSplash>(frmMainPrice.get());
    ch1 = std::make_unique<qb::Tch1>(frmMainPrice->Rows(), frmMainPrice.get());
    frmMainPrice->SetStatisticsCommand([window = ch1.get()] { window->ShowModal(); });
    // "quellbid FILE.quellbid", as a file manager starts it: Start opens the research.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString& argument : arguments)
      if (!argument.startsWith(QLatin1Char('-'))) {
        qbidSplash->SetStartCommand(
            [window = frmMainPrice.get(), argument] { qb::Guard([&] { window->OpenResearch(argument); }); });
        break;
      }
    fAbout = std::make_unique<qb::TfAbout>(frmMainPrice.get());
    frmMainPrice->SetAboutCommand([window = fAbout.get()] { window->exec(); });
    auto* grid = frmMainPrice->Grid();
    frmPriceTrends = std::make_unique<qb::TfrmPriceTrends>(
        frmMainPrice->GridModel(),
        [grid](size_t row) {
          const QModelIndex index = grid->model()->index(int(row), 0);
          grid->selectionModel()->select(index,
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
          grid->setCurrentIndex(index);
          grid->scrollTo(index);
        },
        frmMainPrice.get());
    frmMainPrice->SetPriceTrendsCommand([window = frmPriceTrends.get()] { window->ShowTrends(); });
    // The loop starts with the main window hidden; closing it ends the
    // program, even before it was ever shown.
    qb::QuitWhenClosed(frmMainPrice.get());
  });
}
