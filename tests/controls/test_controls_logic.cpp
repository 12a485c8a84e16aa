// Rule tables of the control library that need no widget: button kinds, label
// presets, the URL-label state machine, sounds and the wrapping tick count.

#include <QtTest>

#include "controls/ButtonKinds.h"
#include "controls/LabelEffects.h"
#include "controls/ProDlgs.h"
#include "controls/Provcl.h"
#include "controls/UrlLabelState.h"
#include "runtime/StringTable.h"

using namespace qb;

Q_DECLARE_METATYPE(qb::TProButtonKind)
Q_DECLARE_METATYPE(qb::TShadowStyle)
Q_DECLARE_METATYPE(qb::TDirection)
Q_DECLARE_METATYPE(qb::TSoundType)

class TestControlsLogic : public QObject {
  Q_OBJECT
 private slots:
  void kinds_data() {
    QTest::addColumn<TProButtonKind>("kind");
    QTest::addColumn<int>("ordinal");
    QTest::addColumn<int>("captionId");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("modalResult");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<bool>("isCancel");
    QTest::newRow("custom") << pbkCustom << 0 << 0 << "" << 0 << false << false;
    QTest::newRow("ok") << pbkOk << 1 << 30100 << "OK" << 1 << true << false;
    QTest::newRow("cancel") << pbkCancel << 2 << 30101 << "Cancel" << 2 << false << true;
    QTest::newRow("cancelRus") << pbkCancelRus << 3 << 30121 << "Cancel" << 2 << false << true;
    QTest::newRow("cancelGer") << pbkCancelGer << 8 << 30221 << "Cancel" << 2 << false << true;
    QTest::newRow("cancelChn") << pbkCancelChn << 18 << 30421 << "Cancel" << 2 << false << true;
    QTest::newRow("help") << pbkHelp << 19 << 30102 << "&Help" << 0 << false << false;
    QTest::newRow("helpGer") << pbkHelpGer << 25 << 30222 << "&Help" << 0 << false << false;
    QTest::newRow("yes") << pbkYes << 36 << 30103 << "&Yes" << 6 << true << false;
    QTest::newRow("yesKor") << pbkYesKor << 51 << 30403 << "&Yes" << 6 << true << false;
    QTest::newRow("no") << pbkNo << 53 << 30104 << "&No" << 7 << false << true;
    QTest::newRow("noChn") << pbkNoChn << 69 << 30424 << "&No" << 7 << false << true;
    QTest::newRow("close") << pbkClose << 70 << 30105 << "&Close" << 0 << false << false;
    QTest::newRow("abort") << pbkAbort << 87 << 30106 << "Abort" << 3 << false << false;
    QTest::newRow("retry") << pbkRetry << 104 << 30107 << "&Retry" << 4 << false << false;
    QTest::newRow("ignore") << pbkIgnore << 121 << 30108 << "&Ignore" << 5 << false << false;
    QTest::newRow("all") << pbkAll << 138 << 30109 << "&All" << 8 << false << false;
    QTest::newRow("done") << pbkDone << 155 << 30110 << "&Done" << 9 << true << false;
    QTest::newRow("doneFr") << pbkDoneFr << 158 << 30170 << "&Done" << 9 << true << false;
    QTest::newRow("prev") << pbkPrev << 172 << 30111 << "< &Back" << 0 << false << false;
    QTest::newRow("next") << pbkNext << 189 << 30112 << "&Next >" << 0 << true << false;
    QTest::newRow("finish") << pbkFinish << 206 << 30113 << "&Finish" << 10 << true << false;
    QTest::newRow("finishChn") << pbkFinishChn << 222 << 30433 << "&Finish" << 10 << true << false;
  }
  void kinds() {
    QFETCH(TProButtonKind, kind);
    QFETCH(int, ordinal);
    QFETCH(int, captionId);
    QFETCH(QString, caption);
    QCOMPARE(static_cast<int>(kind), ordinal);
    const TButtonKindInfo info = ButtonKindInfo(kind);
    QCOMPARE(info.captionId, captionId);
    QCOMPARE(QString::fromStdString(LoadStr(info.captionId)), caption);
    QTEST(info.modalResult, "modalResult");
    QTEST(info.isDefault, "isDefault");
    QTEST(info.isCancel, "isCancel");
  }

  void kindCountAndRanges() {
    QCOMPARE(static_cast<int>(pbkFinishChn) + 1, kButtonKindCount);
    QCOMPARE(kButtonKindCount, 223);
    QVERIFY(!IsHelpKind(pbkCancelChn));
    QVERIFY(IsHelpKind(pbkHelp));
    QVERIFY(IsHelpKind(pbkHelpChn));
    QVERIFY(!IsHelpKind(pbkYes));
    QVERIFY(!IsCloseKind(pbkNoChn));
    QVERIFY(IsCloseKind(pbkClose));
    QVERIFY(IsCloseKind(pbkCloseChn));
    QVERIFY(!IsCloseKind(pbkAbort));
    QCOMPARE(BaseButtonKind(pbkYesGer), pbkYes);
    QCOMPARE(ButtonKindLanguage(pbkYesGer), 6);
    QCOMPARE(ButtonKindLanguage(pbkOk), 0);
  }

  void windowCaptionsByLanguage() {
    for (int n = 0; n <= 15; ++n) {
      QCOMPARE(QString::fromStdString(LoadStr(30507 + 30 * n)), QString("Confirmation"));
      QCOMPARE(QString::fromStdString(LoadStr(30508 + 30 * n)), QString("Warning"));
      QCOMPARE(QString::fromStdString(LoadStr(30509 + 30 * n)), QString("Information"));
      QCOMPARE(QString::fromStdString(LoadStr(30510 + 30 * n)), QString("Stop"));
    }
  }

  void presets_data() {
    QTest::addColumn<TShadowStyle>("style");
    QTest::addColumn<TDirection>("highlight");
    QTest::addColumn<int>("highlightDepth");
    QTest::addColumn<TDirection>("shadow");
    QTest::addColumn<unsigned>("shadowDepth");
    QTest::addColumn<unsigned>("shadowSize");
    QTest::addColumn<bool>("faceColoured");
    QTest::newRow("raised") << ssRaised << drUpLeft << 1 << drNone << 0u << 0u << false;
    QTest::newRow("raisedColor") << ssRaisedColor << drUpLeft << 1 << drDownRight << 1u << 1u << true;
    QTest::newRow("raisedShadow") << ssRaisedShadow << drUpLeft << 1 << drDownRight << 1u << 1u << false;
    QTest::newRow("raisedThickShadow")
        << ssRaisedThickShadow << drUpLeft << 1 << drDownRight << 1u << 4u << false;
    QTest::newRow("recessed") << ssRecessed << drDownRight << 1 << drNone << 0u << 0u << false;
    QTest::newRow("recessedColor") << ssRecessedColor << drDownRight << 1 << drUpLeft << 1u << 1u << true;
    QTest::newRow("recessedShadow") << ssRecessedShadow << drDownRight << 1 << drUpLeft << 1u << 1u << false;
    QTest::newRow("shadow") << ssShadow << drNone << 0 << drDownRight << 2u << 1u << false;
    QTest::newRow("thickShadow") << ssThickShadow << drNone << 0 << drDownRight << 1u << 4u << false;
  }
  void presets() {
    QFETCH(TShadowStyle, style);
    TLabelEffects e;
    // Start from custom values, so the preset has to overwrite each of them.
    e.SetHighlightColor(Qt::red);
    e.SetShadowColor(Qt::green);
    e.SetShadowDepth(7);
    e.SetShadowSize(9);
    e.SetHighlightDepth(5);
    QCOMPARE(e.ShadowStyle(), ssCustom);
    QColor fontColor;
    QVERIFY(e.SetShadowStyle(style, &fontColor));
    QCOMPARE(e.ShadowStyle(), style);
    QTEST(e.HighlightDirection(), "highlight");
    QTEST(e.HighlightDepth(), "highlightDepth");
    QTEST(e.ShadowDirection(), "shadow");
    QTEST(e.ShadowDepth(), "shadowDepth");
    QTEST(e.ShadowSize(), "shadowSize");
    QCOMPARE(e.HighlightColor(), SystemColor(clBtnHighlight));
    QCOMPARE(e.ShadowColor(), SystemColor(clBtnShadow));
    QTEST(fontColor.isValid(), "faceColoured");
    if (fontColor.isValid()) QCOMPARE(fontColor, SystemColor(clBtnFace));
  }

  void changedValueSwitchesToCustom_data() {
    QTest::addColumn<int>("property");
    QTest::addColumn<bool>("sameValue");
    for (int p = 0; p < 7; ++p) {
      QTest::addRow("property %d changed", p) << p << false;
      QTest::addRow("property %d same", p) << p << true;
    }
  }
  void changedValueSwitchesToCustom() {
    QFETCH(int, property);
    QFETCH(bool, sameValue);
    TLabelEffects e;
    e.SetShadowStyle(ssRaised);
    bool changed = false;
    switch (property) {
      case 0: changed = e.SetHighlightDirection(sameValue ? drUpLeft : drDown); break;
      case 1: changed = e.SetHighlightDepth(sameValue ? 1 : 2); break;
      case 2:
        changed = e.SetHighlightColor(sameValue ? SystemColor(clBtnHighlight) : QColor(Qt::yellow));
        break;
      case 3: changed = e.SetShadowDirection(sameValue ? drNone : drDown); break;
      case 4: changed = e.SetShadowDepth(sameValue ? 0 : 1); break;
      case 5: changed = e.SetShadowSize(sameValue ? 0 : 3); break;
      case 6: changed = e.SetShadowColor(sameValue ? SystemColor(clBtnShadow) : QColor(Qt::blue)); break;
    }
    QCOMPARE(changed, !sameValue);
    QCOMPARE(e.ShadowStyle(), sameValue ? ssRaised : ssCustom);
  }

  void sameStyleAndCustomChangeNothing() {
    TLabelEffects e;
    e.SetShadowStyle(ssShadow);
    e.SetShadowSize(3);  // now custom
    QCOMPARE(e.ShadowStyle(), ssCustom);
    QVERIFY(!e.SetShadowStyle(ssCustom));
    QCOMPARE(e.ShadowSize(), 3u);
    QCOMPARE(e.ShadowDepth(), 2u);
    e.SetShadowStyle(ssThickShadow);
    QVERIFY(!e.SetShadowStyle(ssThickShadow));
    QCOMPARE(e.ShadowSize(), 4u);
  }

  void thickShadowOffsets() {
    TLabelEffects e;
    e.SetShadowStyle(ssRaisedThickShadow);
    const QList<TEffectOffset> offsets = ShadowOffsets(e);
    QCOMPARE(offsets.size(), 4);
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(offsets[i].dx, i + 1);
      QCOMPARE(offsets[i].dy, i + 1);
    }
    QCOMPARE(HighlightOffset(e).dx, -1);
    QCOMPARE(HighlightOffset(e).dy, -1);
    e.SetShadowStyle(ssRecessedShadow);
    QCOMPARE(ShadowOffsets(e).size(), 1);
    QCOMPARE(ShadowOffsets(e)[0].dx, -1);
    QCOMPARE(HighlightOffset(e).dy, 1);
  }

  void directionSteps_data() {
    QTest::addColumn<TDirection>("direction");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::newRow("none") << drNone << 0 << 0;
    QTest::newRow("up") << drUp << 0 << -1;
    QTest::newRow("down") << drDown << 0 << 1;
    QTest::newRow("left") << drLeft << -1 << 0;
    QTest::newRow("right") << drRight << 1 << 0;
    QTest::newRow("upLeft") << drUpLeft << -1 << -1;
    QTest::newRow("upRight") << drUpRight << 1 << -1;
    QTest::newRow("downLeft") << drDownLeft << -1 << 1;
    QTest::newRow("downRight") << drDownRight << 1 << 1;
  }
  void directionSteps() {
    QFETCH(TDirection, direction);
    QTEST(DirectionStep(direction).dx, "dx");
    QTEST(DirectionStep(direction).dy, "dy");
  }

  void angles_data() {
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("normalized");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("full turn") << 360 << 0;
    QTest::newRow("negative") << -30 << 330;
    QTest::newRow("negative full") << -360 << 0;
    QTest::newRow("two turns") << 725 << 5;
    QTest::newRow("359") << 359 << 359;
  }
  void angles() {
    QFETCH(int, angle);
    QTEST(NormalizeAngle(angle), "normalized");
  }

  void sounds_data() {
    QTest::addColumn<TSoundType>("sound");
    QTest::addColumn<bool>("plays");
    QTest::addColumn<unsigned>("beep");
    QTest::newRow("none") << stNoSound << false << 0u;
    QTest::newRow("standart") << stStandart << true << 0u;
    QTest::newRow("asterisk") << stAsterisk << true << 64u;
    QTest::newRow("exclamation") << stExclamation << true << 48u;
    QTest::newRow("hand") << stSystemHand << true << 16u;
    QTest::newRow("question") << stQuestion << true << 32u;
    QTest::newRow("default") << stDefault << true << 0u;
  }
  void sounds() {
    QFETCH(TSoundType, sound);
    unsigned beep = 12345;
    QTEST(SoundBeepType(sound, &beep), "plays");
    if (beep != 12345) QTEST(beep, "beep");
  }

  void wrappingTicks_data() {
    QTest::addColumn<uint>("start");
    QTest::addColumn<uint>("now");
    QTest::addColumn<uint>("ms");
    QTest::addColumn<uint>("left");
    QTest::newRow("plain, short") << 1000u << 1049u << 50u << 1u;
    QTest::newRow("plain, exact") << 1000u << 1050u << 50u << 0u;
    QTest::newRow("plain, over") << 1000u << 1090u << 50u << 0u;
    QTest::newRow("wrapped, exact") << 0xFFFFFFF0u << 0x10u << 0x20u << 0u;
    QTest::newRow("wrapped, short") << 0xFFFFFFF0u << 0x10u << 0x21u << 1u;
    QTest::newRow("zero wait") << 5u << 5u << 0u << 0u;
  }
  void wrappingTicks() {
    QFETCH(uint, start);
    QFETCH(uint, now);
    QFETCH(uint, ms);
    QTEST(uint(TicksLeft(start, now, ms)), "left");
  }

  // URL label rules.
  void urlPressMoveOffRelease() {
    TUrlLabelState s;
    QCOMPARE(*s.MouseDown(true).fontColor, QColor(255, 0, 0));
    QVERIFY(s.Pressed());
    const TUrlLabelReaction up = s.MouseUp(true, false);
    QVERIFY(!up.open);
    QCOMPARE(*up.fontColor, QColor(0, 0, 255));
    QVERIFY(!s.Pressed());
    QVERIFY(!s.Visited());
  }

  void urlVisitedAfterClicks() {
    TUrlLabelState s;
    s.MouseDown(true);
    TUrlLabelReaction up = s.MouseUp(true, true);
    QVERIFY(up.open);
    QCOMPARE(*up.fontColor, QColor(0, 0, 128));
    s.MouseDown(true);
    up = s.MouseUp(true, true);
    QVERIFY(up.open);
    QCOMPARE(*up.fontColor, QColor(0, 0, 128));
    // Released outside after a visit: back to the visited colour.
    s.MouseDown(true);
    up = s.MouseUp(true, false);
    QVERIFY(!up.open);
    QCOMPARE(*up.fontColor, QColor(0, 0, 128));
  }

  void urlRightButtonIgnored() {
    TUrlLabelState s;
    QVERIFY(!s.MouseDown(false).fontColor);
    QVERIFY(!s.Pressed());
    const TUrlLabelReaction up = s.MouseUp(false, true);
    QVERIFY(!up.open && !up.fontColor);
    // A right release while the left is held changes nothing either.
    s.MouseDown(true);
    QVERIFY(!s.MouseUp(false, true).fontColor);
    QVERIFY(s.Pressed());
  }

  void urlReleaseWithoutPress() {
    TUrlLabelState s;
    const TUrlLabelReaction up = s.MouseUp(true, true);
    QVERIFY(!up.open);
    QVERIFY(!s.Visited());
  }

  void urlHover() {
    TUrlLabelState s;
    QCOMPARE(*s.SetCanHover(true).underline, false);
    TUrlLabelReaction enter = s.MouseEnter();
    QCOMPARE(*enter.underline, true);
    QCOMPARE(*enter.fontColor, QColor(255, 255, 255));
    s.MouseDown(true);
    const TUrlLabelReaction up = s.MouseUp(true, true);
    QCOMPARE(*up.fontColor, QColor(255, 255, 255));
    const TUrlLabelReaction leave = s.MouseLeave();
    QCOMPARE(*leave.underline, false);
    QCOMPARE(*leave.fontColor, QColor(0, 0, 128));
    QCOMPARE(*s.SetCanHover(false).underline, true);
    // Without hover, entering keeps the colour; entering while pressed shows the activated colour.
    QVERIFY(!s.MouseEnter().fontColor);
    s.MouseDown(true);
    QCOMPARE(*s.MouseEnter().fontColor, QColor(255, 0, 0));
  }

  void urlFontColourRule() {
    TUrlLabelState s;
    s.FontColorChanged(QColor(0, 128, 0));
    QCOMPARE(s.UnvisitedColor(), QColor(0, 128, 0));
    s.MouseDown(true);
    s.FontColorChanged(QColor(1, 2, 3));  // while pressed: ignored
    QCOMPARE(s.UnvisitedColor(), QColor(0, 128, 0));
    s.MouseUp(true, true);
    s.FontColorChanged(QColor(9, 9, 9));
    QCOMPARE(s.VisitedColor(), QColor(9, 9, 9));
    QCOMPARE(s.UnvisitedColor(), QColor(0, 128, 0));
    s.SetCanHover(true);
    s.FontColorChanged(QColor(7, 7, 7));  // with hover: ignored
    QCOMPARE(s.VisitedColor(), QColor(9, 9, 9));
  }

  void urlColourSetters() {
    TUrlLabelState s;
    QCOMPARE(*s.SetUnvisitedColor(Qt::green).fontColor, QColor(Qt::green));
    QVERIFY(!s.SetUnvisitedColor(Qt::green).fontColor);  // same value
    QVERIFY(!s.SetVisitedColor(Qt::cyan).fontColor);     // not the current state
    QCOMPARE(s.VisitedColor(), QColor(Qt::cyan));
    s.MouseDown(true);
    s.MouseUp(true, true);
    QCOMPARE(*s.SetVisitedColor(Qt::magenta).fontColor, QColor(Qt::magenta));
    QVERIFY(!s.SetUnvisitedColor(Qt::yellow).fontColor);
  }
};

QTEST_APPLESS_MAIN(TestControlsLogic)
#include "test_controls_logic.moc"
