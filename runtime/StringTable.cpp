#include "runtime/StringTable.h"

#include <map>

namespace qb {

namespace {

const std::map<int, std::string>& EnglishTable() {
  static const std::map<int, std::string> table = {
      {sOkButton, "OK"},
      {sCancelButton, "Cancel"},
      {sHelpButton, "&Help"},
      {sYesButton, "&Yes"},
      {sNoButton, "&No"},
      {sCloseButton, "&Close"},
      {sAbortButton, "Abort"},
      {sRetryButton, "&Retry"},
      {sIgnoreButton, "&Ignore"},
      {sAllButton, "&All"},
      {sDoneButton, "&Done"},
      {sPrevButton, "< &Back"},
      {sNextButton, "&Next >"},
      {sFinishButton, "&Finish"},
      {sConfirmCaption, "Confirmation"},
      {sWarningCaption, "Warning"},
      {sInfoCaption, "Information"},
      {sStopCaption, "Stop"},
      {sCalculatorCaption, "Calculator"},
      {sCalculatorError, "Error"},
      {sCalculatorStayOnTop, "&Stay on top"},
      {sCalculatorHide, "&Hide"},
  };
  return table;
}

// Maps an id of another language onto its English base id.
int EnglishId(int id) {
  if (id >= ButtonCaptionId(sOkButton, 1) && id < ButtonCaptionId(sOkButton, 17)) {
    const int offset = (id - sOkButton) % sButtonLanguageStep;
    if (offset <= sFinishButton - sOkButton) return sOkButton + offset;
  }
  if (id >= WindowCaptionId(sConfirmCaption, 1) && id < WindowCaptionId(sConfirmCaption, 17)) {
    for (int base = sConfirmCaption; base <= sStopCaption; ++base)
      if ((id - base) % sCaptionLanguageStep == 0) return base;
  }
  if (id >= CalculatorTextId(sCalculatorCaption, 2) && id < CalculatorTextId(sCalculatorCaption, 16)) {
    const int k = (id - sCalculatorCaption) % sCalculatorLanguageStep;
    if (k <= sCalculatorHide - sCalculatorCaption) return sCalculatorCaption + k;
  }
  return id;
}

}  // namespace

std::string LoadStr(int id) {
  const auto& table = EnglishTable();
  auto it = table.find(id);
  if (it == table.end()) it = table.find(EnglishId(id));
  return it == table.end() ? std::string() : it->second;
}

}  // namespace qb
