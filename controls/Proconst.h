#pragma once

// Constants shared by the control library.

namespace qb {

// Cursor identifiers registered by the library (see ProCursor in Provcl.h).
constexpr int crProHandPoint = 15000;
constexpr int crProSmallHandPoint = 15001;
constexpr int crProGrabHand = 15002;
constexpr int crProGrabHandArrow = 15003;
constexpr int crProDragHand = 15004;

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

// String-table ids of the English button captions and dialog window captions.
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
constexpr int sButtonLanguageStep = 20;  // button caption id of language n: base + 20 n

constexpr int sConfirmCaption = 30507;
constexpr int sWarningCaption = 30508;
constexpr int sInfoCaption = 30509;
constexpr int sStopCaption = 30510;
constexpr int sCaptionLanguageStep = 30;  // window caption id of language n: base + 30 n

// Message-beep types.
constexpr unsigned kBeepDefault = 0;
constexpr unsigned kBeepHand = 16;
constexpr unsigned kBeepQuestion = 32;
constexpr unsigned kBeepExclamation = 48;
constexpr unsigned kBeepAsterisk = 64;

// Pixels per inch the dialog layouts are designed for.
constexpr int kDesignPixelsPerInch = 120;

}  // namespace qb
