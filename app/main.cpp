#include <QApplication>
#include <exception>
#include <memory>

#include "About2.h"
#include "Application.h"
#include "Lifecycle.h"
#include "Price1.h"
#include "Provcl.h"
#include "Splash.h"
#if __has_include("Chart1.h")
#include "Chart1.h"
#define QB_HAVE_STATISTICS_WINDOW 1
#endif

int main(int argc, char** argv) {
  qb::PrepareWebEngineEnvironment();
  qb::QbApplication application(argc, argv);
  try {
    // Each window shows its own caption only ("Quellbid", "About"); the
    // application title is the caption of the splash, the task bar's first entry.
    application.setApplicationDisplayName(QString());
    qb::InitializeControls();
    application.setQuitOnLastWindowClosed(false);

    // Every window is built once, in this order, and lives until the program ends.
    auto frmMainPrice = std::make_unique<qb::TfrmMainPrice>();
    frmMainPrice->setObjectName(QStringLiteral("frmMainPrice"));
    auto qbidSplash = std::make_unique<qb::TqbidSplash>(frmMainPrice.get());
#ifdef QB_HAVE_STATISTICS_WINDOW
    auto ch1 = std::make_unique<qb::Tch1>(frmMainPrice->Rows(), frmMainPrice.get());
    frmMainPrice->SetStatisticsCommand([window = ch1.get()] { window->ShowModal(); });
#endif
    auto fAbout = std::make_unique<qb::TfAbout>(frmMainPrice.get());
    frmMainPrice->SetAboutCommand([window = fAbout.get()] { window->exec(); });

    // Closing the research window ends the program, even before it was shown.
    qb::QuitWhenClosed(frmMainPrice.get());
    const int code = application.exec();
    fAbout.reset();
#ifdef QB_HAVE_STATISTICS_WINDOW
    ch1.reset();
#endif
    qbidSplash.reset();
    frmMainPrice.reset();
    return code;
  } catch (const std::exception& error) {
    qb::ShowException(error);
  } catch (...) {
    qb::ShowUnknownException();
  }
  return 0;
}
