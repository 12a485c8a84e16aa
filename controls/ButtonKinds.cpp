#include "controls/ButtonKinds.h"

#include "controls/Proconst.h"

namespace qb {

namespace {

struct BaseKind {
  TProButtonKind kind;
  int offset;  // caption id offset in the English block
  int modalResult;
  bool isDefault;
  bool isCancel;
};

constexpr BaseKind kBaseKinds[] = {
    {pbkCancel, 1, mrCancel, false, true},    {pbkHelp, 2, mrNone, false, false},
    {pbkYes, 3, mrYes, true, false},          {pbkNo, 4, mrNo, false, true},
    {pbkClose, 5, mrNone, false, false},      {pbkAbort, 6, mrAbort, false, false},
    {pbkRetry, 7, mrRetry, false, false},     {pbkIgnore, 8, mrIgnore, false, false},
    {pbkAll, 9, mrAll, false, false},         {pbkDone, 10, mrNoToAll, true, false},
    {pbkPrev, 11, mrNone, false, false},      {pbkNext, 12, mrNone, true, false},
    {pbkFinish, 13, mrYesToAll, true, false},
};

constexpr int kVariantBlock = kKindLanguageVariants + 1;

// Index into kBaseKinds, or -1 for pbkCustom, pbkOk and values out of range.
int BaseIndex(TProButtonKind kind) {
  const int ordinal = static_cast<int>(kind);
  if (ordinal < pbkCancel || ordinal >= kButtonKindCount) return -1;
  return (ordinal - pbkCancel) / kVariantBlock;
}

}  // namespace

TButtonKindInfo ButtonKindInfo(TProButtonKind kind) {
  if (kind == pbkOk) return {sOkButton, mrOk, true, false};
  const int index = BaseIndex(kind);
  if (index < 0) return {};
  const BaseKind& base = kBaseKinds[index];
  const int language = static_cast<int>(kind) - static_cast<int>(base.kind);
  return {ButtonCaptionId(sOkButton + base.offset, language), base.modalResult, base.isDefault,
          base.isCancel};
}

TProButtonKind BaseButtonKind(TProButtonKind kind) {
  const int index = BaseIndex(kind);
  return index < 0 ? kind : kBaseKinds[index].kind;
}

int ButtonKindLanguage(TProButtonKind kind) {
  const int index = BaseIndex(kind);
  return index < 0 ? 0 : static_cast<int>(kind) - static_cast<int>(kBaseKinds[index].kind);
}

bool IsHelpKind(TProButtonKind kind) { return kind >= pbkHelp && kind <= pbkHelpChn; }
bool IsCloseKind(TProButtonKind kind) { return kind >= pbkClose && kind <= pbkCloseChn; }

}  // namespace qb
