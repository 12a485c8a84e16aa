#include <QtTest>
#include <string>

#include "harvest/HarvestCards.h"
#include "harvest/Snapshot.h"
#include "tests/common/CardPageGenerator.h"
#include "tests/common/CardReferenceReader.h"
#include "tests/common/KernelLevels.h"

// ReadCardPage against the card rules applied to libxml2's tree of the same
// page: generated pages of every card generation and form, and the sample pages.
class TestCardsDifferential : public QObject {
  Q_OBJECT

 private slots:
  void generatedPages();
  void samplePages();
};

void TestCardsDifferential::generatedPages() {
  size_t byReason[4] = {};
  size_t withoutList = 0, fewerWordsOnly = 0, dated = 0, freeDelivery = 0, paidDelivery = 0, conditions = 0;
  for (uint64_t seed = 1; seed <= 600; ++seed) {
    qbtest::SeededChoices choices(seed);
    const std::string page = qbtest::GenerateCardPage(choices);
    const std::string difference = qbtest::CompareCardReadings(page);
    if (!difference.empty()) {
      QFile file(QString("differing-page-%1.htm").arg(seed));
      if (file.open(QIODevice::WriteOnly)) file.write(page.data(), static_cast<qint64>(page.size()));
      QFAIL(qPrintable(QString("seed %1 (page in %2): %3")
                           .arg(seed)
                           .arg(QFileInfo(file).absoluteFilePath(), QString::fromStdString(difference))));
    }
    const qb::CardPage cards = qb::ReadCardPage(page);
    withoutList += !cards.hasResultsList;
    fewerWordsOnly += cards.fewerWordsOnly;
    for (const qb::SoldCard& card : cards.sold) {
      ++byReason[static_cast<size_t>(card.leftOut)];
      dated += !card.sold.empty();
      freeDelivery += card.delivery == "0.00";
      paidDelivery += !card.delivery.empty() && card.delivery != "0.00";
      conditions += !card.condition.empty();
    }
  }
  // The pages reach every outcome, or the comparison proves little.
  QVERIFY(withoutList > 0 && fewerWordsOnly > 0);
  QVERIFY(dated > 100 && freeDelivery > 50 && paidDelivery > 100 && conditions > 100);
  QVERIFY2(byReason[0] > 200, qPrintable(QString::number(byReason[0])));
  for (size_t reason = 1; reason < 4; ++reason)
    QVERIFY2(byReason[reason] > 10, qPrintable(QString::number(reason)));
}

void TestCardsDifferential::samplePages() {
  const QDir pages(qEnvironmentVariable("QB_SOURCE_DIR") + "/pages");
  for (const QString& name : pages.entryList({"sample-cards-*.htm"}, QDir::Files, QDir::Name)) {
    const std::string page = qb::ReadSnapshotText(pages.filePath(name).toStdString());
    const std::string difference = qbtest::CompareCardReadings(page);
    QVERIFY2(difference.empty(), qPrintable(name + ": " + QString::fromStdString(difference)));
  }
}

QB_TEST_AT_EVERY_KERNEL_LEVEL(TestCardsDifferential)
#include "test_core_cards_differential.moc"
