// quellbid-pictures <folder>: writes the documentation pictures that need no
// running program (the control gallery, the calculator, the statistics
// window) as PNG files into the folder. Run by `make pictures`.

#include "tests/pictures/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QtTest>
#include <cstdio>

#include "controls/ProCalc.h"
#include "harvest/HarvestText.h"
#include "harvest/Snapshot.h"
#include "research/GridRows.h"
#include "research/ResearchGridModel.h"
#include "stats/Chart1.h"
#include "stats/PriceTrends.h"

using namespace qb;

QImage RenderCalculator() {
  TCalcForm form;
  form.show();
  for (const char key : {'1', '/', '3'}) QTest::keyClick(&form, key);
  QTest::keyClick(&form, Qt::Key_Return);
  QTest::qWait(100);  // the "=" button's flash is over
  return form.grab().toImage();
}

QImage RenderStatistics() {
  // A realistic grid of fourteen amounts.
  GridRows grid;
  int item = 2000;
  for (const char* amount : {"12.50", "15.00", "18.75", "22.00", "24.99", "31.00", "35.50", "41.00", "9.99",
                             "27.50", "19.95", "16.25", "13.00", "21.50"}) {
    const std::string number = std::to_string(item++);
    grid.AddGridRow("Lot " + number, number, "2", amount);
  }
  Tch1 window(grid);
  window.FormShow();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return {};
  return window.grab().toImage();
}

// The card sample pages harvested into a grid, then Price Trends over them.
QImage RenderPriceTrends() {
  class Target : public HarvestTarget {
   public:
    explicit Target(ResearchGridModel& model) : FModel(model) {}
    bool AddGridRow(std::string_view d, std::string_view i, std::string_view b, std::string_view a,
                    const SaleDetails& details) override {
      return FModel.AddGridRow(d, i, b, a, details);
    }
    void ShowDollarNotice() override {}
    void ShowNoResults() override {}

   private:
    ResearchGridModel& FModel;
  };
  ResearchGridModel model;
  Target target(model);
  for (const char* page : {"sample-cards-2026.htm", "sample-cards-2025.htm", "sample-cards-2024.htm"})
    HarvestPage(ReadSnapshotText(QB_SOURCE_DIR "/pages/" + std::string(page)), target);
  TfrmPriceTrends window(&model, {});
  window.ShowTrends();
  if (!QTest::qWaitForWindowExposed(&window)) return {};
  QTest::qWait(200);
  return window.grab().toImage();
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: quellbid-pictures <folder>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const struct {
    const char* file;
    QImage (*render)();
  } pictures[] = {
      {"controls-gallery.png", RenderGallery},
      {"calculator.png", RenderCalculator},
      {"statistics.png", RenderStatistics},
      {"price-trends.png", RenderPriceTrends},
  };
  int status = 0;
  for (const auto& picture : pictures) {
    const QString path = folder.filePath(QString::fromLatin1(picture.file));
    const QImage image = picture.render();
    if (image.isNull() || !image.save(path)) {
      std::fprintf(stderr, "quellbid-pictures: cannot write %s\n",
                   qPrintable(QDir::toNativeSeparators(path)));
      status = 1;
      continue;
    }
    std::printf("%s (%dx%d)\n", qPrintable(QDir::toNativeSeparators(path)), image.width(), image.height());
  }
  return status;
}
