#pragma once

#include <string>

namespace qb {

// Ids of the English entries. Entries of language n (0 = English) sit at fixed
// steps from them; the ...Id functions below give their ids.
constexpr int sOkButton = 30100;
constexpr int sCancelButton = 30101;
constexpr int sHelpButton = 30102;
constexpr int sYesButton = 30103;
constexpr int sNoButton = 30104;
constexpr int sCloseButton = 30105;
constexpr int sAbortButton = 30106;
constexpr int sRetryButton = 30107;
constexpr int sIgnoreButton = 30108;
constexpr int sAllButton = 30109;
constexpr int sDoneButton = 30110;
constexpr int sPrevButton = 30111;
constexpr int sNextButton = 30112;
constexpr int sFinishButton = 30113;
constexpr int sButtonLanguageStep = 20;

// Message dialog window captions.
constexpr int sConfirmCaption = 30507;
constexpr int sWarningCaption = 30508;
constexpr int sInfoCaption = 30509;
constexpr int sStopCaption = 30510;
constexpr int sCaptionLanguageStep = 30;

// Calculator window texts; language 1 shares the English entries.
constexpr int sCalculatorCaption = 31800;
constexpr int sCalculatorError = 31801;
constexpr int sCalculatorStayOnTop = 31802;
constexpr int sCalculatorHide = 31803;
constexpr int sCalculatorLanguageStep = 10;

constexpr int ButtonCaptionId(int englishId, int language) {
  return englishId + sButtonLanguageStep * language;
}
constexpr int WindowCaptionId(int englishId, int language) {
  return englishId + sCaptionLanguageStep * language;
}
constexpr int CalculatorTextId(int englishId, int language) {
  return englishId + sCalculatorLanguageStep * (language - 1);
}

// The compiled-in string table. Every id of another language returns the
// English text of the same base entry; an unknown id gives an empty text.
std::string LoadStr(int id);

}  // namespace qb
