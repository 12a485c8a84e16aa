#pragma once

// Constants shared by the control library. The string-table ids (sOkButton,
// sConfirmCaption, ...) come with the table from StringTable.h.

#include "runtime/StringTable.h"

namespace qb {

// Cursor identifiers registered by the library (see ProCursor in Provcl.h),
// consecutive from crProHandPoint to crProDragHand.
enum : int {
  crProHandPoint = 15000,
  crProSmallHandPoint,
  crProGrabHand,
  crProGrabHandArrow,
  crProDragHand,
};

// Modal results of buttons and modal windows.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;
constexpr int mrAll = 8;
constexpr int mrNoToAll = 9;
constexpr int mrYesToAll = 10;

// Message-beep types.
constexpr unsigned kBeepDefault = 0;
constexpr unsigned kBeepHand = 16;
constexpr unsigned kBeepQuestion = 32;
constexpr unsigned kBeepExclamation = 48;
constexpr unsigned kBeepAsterisk = 64;

// Pixels per inch the dialog layouts are designed for.
constexpr int kDesignPixelsPerInch = 120;

}  // namespace qb
