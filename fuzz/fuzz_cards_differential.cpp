// The fuzzer's bytes choose a generated card page; ReadCardPage and the card
// rules over libxml2's tree of the page must read the same sold cards.

#include <libxml/parser.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/common/CardPageGenerator.h"
#include "tests/common/CardReferenceReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  xmlInitParser();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qbtest::ByteChoices choices(data, size);
  const std::string page = qbtest::GenerateCardPage(choices);
  const std::string difference = qbtest::CompareCardReadings(page);
  if (!difference.empty()) {
    std::fprintf(stderr, "%s\n--- page ---\n%s\n", difference.c_str(), page.c_str());
    std::abort();
  }
  return 0;
}
