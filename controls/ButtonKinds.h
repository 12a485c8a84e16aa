#pragma once

// Push-button kinds: caption string ids, modal results and default/cancel flags.
// Plain logic, no widgets.

namespace qb {

#define QB_BUTTON_KIND_LANGUAGES(base)                                                                    \
  base, base##Rus, base##Ukr, base##Fr, base##Por, base##Esp, base##Ger, base##Dan, base##Ita, base##Swe, \
      base##Dut, base##Pol, base##Hun, base##Tur, base##Slk, base##Kor, base##Chn

// 223 kinds: pbkCustom, pbkOk, then 13 base kinds each followed by 16 language variants.
enum TProButtonKind : int {
  pbkCustom,
  pbkOk,
  QB_BUTTON_KIND_LANGUAGES(pbkCancel),
  QB_BUTTON_KIND_LANGUAGES(pbkHelp),
  QB_BUTTON_KIND_LANGUAGES(pbkYes),
  QB_BUTTON_KIND_LANGUAGES(pbkNo),
  QB_BUTTON_KIND_LANGUAGES(pbkClose),
  QB_BUTTON_KIND_LANGUAGES(pbkAbort),
  QB_BUTTON_KIND_LANGUAGES(pbkRetry),
  QB_BUTTON_KIND_LANGUAGES(pbkIgnore),
  QB_BUTTON_KIND_LANGUAGES(pbkAll),
  QB_BUTTON_KIND_LANGUAGES(pbkDone),
  QB_BUTTON_KIND_LANGUAGES(pbkPrev),
  QB_BUTTON_KIND_LANGUAGES(pbkNext),
  QB_BUTTON_KIND_LANGUAGES(pbkFinish),
};

#undef QB_BUTTON_KIND_LANGUAGES

constexpr int kButtonKindCount = 223;
constexpr int kKindLanguageVariants = 16;

struct TButtonKindInfo {
  int captionId = 0;    // string-table id of the caption; 0 for pbkCustom
  int modalResult = 0;  // mrNone ... mrYesToAll
  bool isDefault = false;
  bool isCancel = false;
};

// Values that setting the kind gives a button.
TButtonKindInfo ButtonKindInfo(TProButtonKind kind);

// The base kind (pbkOk, pbkCancel, pbkHelp, ...) of a kind, and its language number (0 = English).
TProButtonKind BaseButtonKind(TProButtonKind kind);
int ButtonKindLanguage(TProButtonKind kind);

bool IsHelpKind(TProButtonKind kind);   // ordinals 19 to 35
bool IsCloseKind(TProButtonKind kind);  // ordinals 70 to 86

}  // namespace qb
