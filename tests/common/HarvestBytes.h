#pragma once

// A harvest of a page with its outcome in QtTest's bytes, as the harvest tests
// compare it.

#include <QByteArray>
#include <QByteArrayList>
#include <string_view>

#include "harvest/HarvestText.h"
#include "tests/common/QtBytes.h"
#include "tests/common/RecordingTarget.h"

namespace qbtest {

// The grid's rows after the harvest ("item|bids|amount|description") and
// every message and report line, in the order shown.
struct HarvestedBytes {
  QByteArrayList rows;
  QByteArrayList said;
};

inline HarvestedBytes HarvestBytes(std::string_view page) {
  RecordingTarget target;
  ++target.DollarNoticeCount();  // the notice is tested on its own
  qb::HarvestPage(page, target);
  return {ByteList(target.Rows()), ByteList(target.said)};
}

}  // namespace qbtest
