// The panel logic on the in-memory panel: handlers, nested write-backs, searches through their
// chains, the decoder under its guard and the listing button placing its window.

#include "handler_rig.h"
#include "panel/control_table.h"
#include "panel/event_router.h"
#include "panel/listing_command.h"

#include <gtest/gtest.h>

namespace max2870::test {
namespace {

using enum ControlId;

TEST(WriteBacks, OneRunPerKeystrokeOnTheFinalPanel) {
    PanelRig rig;
    rig.panel.SetValue(OutDivCont, 1);
    rig.panel.SetText(Rdivider, "2.6");
    EXPECT_EQ(rig.panel.runs, 2) << "the divider arrow and the keystroke each recompute once";
    EXPECT_EQ(rig.panel.Text(Rdivider), "3") << "divider box written back";
    EXPECT_EQ(rig.panel.Caption(OutDivLabel), "O/P Divider  2") << "divider label";
    EXPECT_EQ(rig.Words(), "02B80190 20000539 1800DE42 0000000B 609430FC 00400005")
        << "worked example words";
    EXPECT_EQ(rig.panel.Record(ValuesText).fore, colour::Red) << "998 Hz error in red";
}

TEST(Handlers, AutoDividerPicksTheSmallestExponentReaching3000) {
    const std::pair<const char*, int> cases[] = {{"2320.5", 1}, {"1500", 1},   {"1499.99", 2},
                                                 {"3000", 0},   {"46.875", 6}, {"46.87", 7},
                                                 {"abc", 7},    {"-5", 7}};
    for (const auto& [fout, exponent] : cases) {
        PanelRig rig;
        rig.panel.Preset(FoutText, fout);
        rig.plan.SetOdiv_Click();
        EXPECT_EQ(rig.At(OutDivCont).value, exponent) << "divider chosen by > > > for " << fout;
    }
    PanelRig same;
    same.panel.Preset(FoutText, "3000");
    same.plan.SetOdiv_Click();
    EXPECT_EQ(same.panel.runs, 0) << "> > > with the right divider shown recomputes nothing";
}

TEST(Handlers, LabelsColoursAndTracking) {
    PanelRig rig;
    rig.Set(ChrgPump, 14);
    rig.Set(OPpwr, 2);
    rig.Set(OutDivCont, 3);
    EXPECT_EQ(rig.At(ChrgPumpLabel).text, "Charge Pump 14") << "charge pump label";
    EXPECT_EQ(rig.At(OPlabel).text, "Output Power 2") << "power label";
    EXPECT_EQ(rig.At(OutDivLabel).text, "O/P Divider  8") << "divider label";
    rig.plan.OnControlEvent(FrText, ControlEvent::LostFocus);
    EXPECT_EQ(rig.At(FrText).back, colour::White) << "reference box after leaving it";
    rig.Set(TrackDivider, 1);
    EXPECT_FALSE(rig.panel.Press(SendAll)) << "a program pressed a hidden button";
    EXPECT_TRUE(rig.panel.Press(FoutText)) << "a program's click in the output box refused";
    EXPECT_EQ(rig.At(TrackDivider).value, 0) << "a click in the output box unticks tracking";
    rig.Type(FrText, "-10");
    EXPECT_EQ(rig.At(ValuesText).outdated.substr(0, 12), "Not current:")
        << "results of an earlier panel not marked";
    EXPECT_EQ(rig.At(ValuesText).text.substr(0, 7), "Fcomp  ") << "results text rewritten";
    rig.Type(FrText, "10");
    EXPECT_EQ(rig.At(Label6).outdated, "") << "Fcomp still marked after a plan";
    rig.Set(OutDivCont, 0);
    for (const auto& [fout, back] : {std::pair{"3000", colour::White},
                                     {"2999.99", colour::Red},
                                     {"6000", colour::White},
                                     {"6000.01", colour::Red}}) {
        rig.Type(FoutText, fout);
        EXPECT_EQ(rig.At(FoutText).back, back) << "output box colour for a VCO of " << fout;
        EXPECT_TRUE(back == colour::Red || !rig.At(Fvco).bold) << "VCO caption bold in range";
    }
    rig.Set(Enable, 0);
    EXPECT_EQ(rig.state.words[2] & 0x20, 0x20)
        << "Chip Enable cleared sets the power-down bit at once";
}

TEST(Handlers, IntegerNSwitchAndItsWayBack) {
    PanelRig rig;
    rig.Set(OutDivCont, 1);
    rig.Type(ResolutionText, "1000");
    EXPECT_EQ(rig.Text(ValuesText).substr(0, 17), "More than 12 bits") << "twelve-bit message";
    rig.Type(ForceD, "7");
    rig.Set(FractN, 1);
    EXPECT_EQ(rig.At(ResolutionText).fore, colour::Green) << "resolution in integer-N mode";
    EXPECT_EQ(rig.At(NMCalc).text, "Find R") << "search button caption";
    EXPECT_EQ(rig.At(Rdivider).back, colour::Yellow) << "divider box in integer-N mode";
    EXPECT_EQ(rig.Text(ForceD), "") << "forced modulus emptied";
    EXPECT_EQ(rig.Text(ValuesText).substr(0, 7), "Fcomp  ") << "ticking removes the message";
    rig.Type(Rdivider, "2");
    rig.Set(FractN, 0);
    EXPECT_EQ(rig.At(ResolutionText).fore, colour::Black) << "resolution back to black";
    EXPECT_EQ(rig.At(NMCalc).text, "Find Best F/D") << "search button caption";
    EXPECT_EQ(rig.At(Rdivider).back, colour::White) << "divider box back to white";
    EXPECT_EQ(rig.Text(Rdivider), "1") << "unticking writes R 1";
}

TEST(Searches, ChainsThroughForcedModulusAndDivider) {
    PanelRig best;
    best.Set(OutDivCont, 1);
    best.plan.NMCalc_Click();
    EXPECT_EQ(best.Text(ForceD), " 10") << "modulus found for ratio 464.1";
    EXPECT_EQ(best.Text(ResolutionText), " 500000") << "resolution that yields D 10";
    EXPECT_EQ(best.Words().substr(0, 17), "00E80008 20000051") << "Reg0/Reg1 with F 1, D 10";

    PanelRig forced;
    forced.plan.Recalculate();
    forced.Type(ForceD, "4000");
    EXPECT_EQ(forced.Text(ResolutionText), " 2500") << "resolution for a typed D of 4000";
    EXPECT_EQ(forced.state.Denom, 4000) << "the recompute derives D back";

    PanelRig r;
    r.Set(FractN, 1);
    r.Type(FoutText, "31.4159265358979");
    r.plan.NMCalc_Click();
    EXPECT_EQ(r.Text(Rdivider), "1001") << "Find R without an exact hit stops at R 1001";

    PanelRig none;
    none.Type(FrText, "0");
    none.plan.NMCalc_Click();
    EXPECT_EQ(none.Text(ForceD), "") << "no search without a comparison frequency";
}

TEST(Recompute, GuardListingWindowAndChipRuleNote) {
    PanelRig rig;
    rig.panel.SetVisible(Init, true);
    rig.plan.AwaitReadBack(true);
    rig.plan.Recalculate();
    EXPECT_TRUE(rig.plan.RecomputeHeld()) << "a pending read-back holds the recompute";
    EXPECT_EQ(rig.panel.runs, 0) << "no recompute while INIT from EE is pending";
    rig.panel.SetVisible(Init, false);
    rig.panel.SetVisible(EEdata, true);
    rig.plan.Recalculate();
    EXPECT_FALSE(rig.panel.Visible(EEdata)) << "a recompute hides the listing window";

    PanelRig doubled;
    doubled.Type(FrText, "50");
    doubled.Type(ResolutionText, "100000");
    doubled.Set(RefDbl, 1);
    EXPECT_EQ(doubled.At(ValuesText).note.substr(0, 28), "Comparison frequency 100 MHz")
        << "broken chip rule shown on the results";
    doubled.Type(ResolutionText, "1");
    EXPECT_EQ(doubled.At(ValuesText).note, "") << "no rule note over the twelve-bit message";
}

TEST(Decoder, RestoresThePanelUnderItsGuardThenRecomputesTwice) {
    PanelRig rig;
    rig.panel.SetText(FrText, "50");
    rig.panel.SetText(OPPhasetext, "90"); // the phase is not stored in a way the decoder reads
    // Init hidden: the decoder's own writes must start no recompute even without the link's guard.
    ReadBackWords set{0x001D0000, 0x207D1F41, static_cast<std::int32_t>(0xCE005E02), 0x638FF1B4};
    rig.plan.AwaitReadBack(true);
    const int before = rig.panel.runs;
    EXPECT_TRUE(rig.plan.DecodeRegisters(set).accepted) << "a good set is taken";
    EXPECT_EQ(rig.panel.runs - before, 2) << "only the decoder's two final recomputes run";
    EXPECT_FALSE(rig.plan.ReadBackAwaited()) << "the guard is released";
    EXPECT_EQ(rig.panel.Value(TrackDivider), 0) << "tracking off afterwards";
    EXPECT_EQ(rig.panel.Value(MuxR) + rig.panel.Value(NM2) + rig.panel.Value(RefDbl) +
                  rig.panel.Value(PDpol) + rig.panel.Value(Bon),
              5)
        << "R div, Low Spur 1, doubler, negative phase detector and output B restored";
    EXPECT_EQ(rig.panel.Caption(OPlabel), "Output Power 2") << "power label follows";
    EXPECT_EQ(rig.Words(), "001D0000 207D1F41 CE005E02 0000000B 638FF1B4 00400005")
        << "the restored panel packs the stored words again";

    set[2] = 0x24005E42; // noise code 1 and MUX code 1: no button stands for them
    rig.plan.AwaitReadBack(true);
    rig.plan.DecodeRegisters(set);
    EXPECT_EQ(rig.panel.Value(MuxR) + rig.panel.Value(NM2), 2) << "options kept for unknown codes";

    const std::string valuesBefore = rig.panel.Text(ValuesText);
    set[2] = 0x18000042; // R = 0
    rig.plan.AwaitReadBack(true);
    const DecodeResult refused = rig.plan.DecodeRegisters(set);
    EXPECT_EQ(refused.reason, "the reference divider R is 0") << "reason for the link log";
    EXPECT_EQ(rig.panel.Text(ValuesText), valuesBefore) << "a refused set changes nothing";
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Rejected) << "outcome after a refusal";
}

// Sets of R 2 and of integer-N mode: the mode box follows the set, and the panel packs the
// stored words again.
TEST(Decoder, RestoresTheModeBoxAndTheDivider) {
    const std::tuple<ReadBackWords, int, const char*> sets[] = {
        {{0x02EE00C8, 0x200003E9, 0x71009E42, 0x609320DC},
         0,
         "02EE00C8 200003E9 71009E42 0000000B 609320DC 00400005"},
        {{static_cast<std::int32_t>(0x80640000), 0x00000001, 0x1A004F02, 0x618901B4},
         1,
         "80640000 00000001 1A004F02 0000000B 618901B4 00400005"}};
    for (const auto& [words, integerN, packed] : sets) {
        PanelRig rig;
        rig.plan.AwaitReadBack(true);
        EXPECT_TRUE(rig.plan.DecodeRegisters(words).accepted) << packed;
        EXPECT_EQ(rig.panel.Value(FractN), integerN) << "Integer N box after reading " << packed;
        EXPECT_EQ(rig.Words(), packed) << "words packed again from the restored panel";
    }
}

TEST(ListingButton, ShowsTheWindowAThirdIntoTheMainWindow) {
    SynthState state;
    MemoryPanel panel;
    PlanController plan(state, panel);
    ListingCommand listing(plan, panel);
    EventRouter router;
    router.Add(PlanController::Routes(), plan);
    router.Add(ListingCommand::Routes(), listing);
    panel.SetEventSink(&router);
    panel.MoveWindow(MAX2870, 1500, 900);
    panel.SetValue(OutDivCont, 1);
    router.OnControlEvent(PicEEdata, ControlEvent::Click);
    EXPECT_TRUE(panel.Visible(EEdata)) << "listing window shown";
    EXPECT_EQ(panel.WindowPlace(EEdata).left, 1500 + 6360 / 3) << "left edge a third in";
    EXPECT_EQ(panel.WindowPlace(EEdata).top, 900 + 7530 / 3) << "top edge a third down";
    EXPECT_EQ(panel.Text(EEtext).substr(0, 57),
              ";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\r\n")
        << "listing of the recomputed panel";
    panel.MoveWindow(MAX2870, 16777217, 0); // the place is worked out in single precision
    router.OnControlEvent(PicEEdata, ControlEvent::Click);
    EXPECT_EQ(panel.WindowPlace(EEdata).left, 16777216 + 2120) << "left edge in single precision";
    panel.SetValue(RefDbl, 1);
    panel.SetValue(Refdiv2, 1);
    router.OnControlEvent(PicEEdata, ControlEvent::Click);
    EXPECT_NE(panel.Text(EEtext).find("Ref = 10MHz /2 X2\r\n"), std::string::npos)
        << "reference line names the divide-by-2 and the doubler";
    panel.SetText(ResolutionText, "1000");
    router.OnControlEvent(PicEEdata, ControlEvent::Click);
    EXPECT_EQ(panel.Text(EEtext).substr(0, 4), ";  M") << "twelve-bit listing holds the message";
}

// The panel as it starts, before any recompute: the fonts, selections and greyed box laid out.
TEST(ControlTable, StartingStatesAsLaidOut) {
    const MemoryPanel panel;
    EXPECT_FALSE(panel.Record(TrackDivider).enabled) << "Track Fout greyed until a recompute";
    EXPECT_TRUE(panel.Record(FoutText).bold && panel.Record(SetOdiv).bold) << "bold fonts";
    EXPECT_FALSE(panel.Record(FrText).bold) << "reference box in the plain font";
    for (const auto& [button, value] :
         {std::pair{NM0, 1}, {NM2, 0}, {NM3, 0}, {MuxL, 1}, {MuxR, 0}}) {
        EXPECT_EQ(panel.Value(button), value)
            << "option button selected at start: " << EntryOf(button).name;
    }
    EXPECT_EQ(panel.ListEntry(CPort, 0) + panel.ListEntry(CPort, -1), "") << "entry of no list";
}

// Every caption, starting text and tooltip as the layout fixes them, blanks counted.
TEST(ControlTable, CaptionsTextsAndTooltipsAsLaidOut) {
    constexpr std::string_view kTexts =
        "MAX2870=QUELN        SYNTARA Control |EEdata=EE Data|EEtext=|Label5=MAX2870 Control|"
        "Label1=Wanted Fout   MHz      Set divider|FoutText=2320.5|SetOdiv=> > >|OutDivCont=|"
        "OutDivLabel=O/P Divider  1|PicEEdata=PIC EE Data|Fvco=|TrackDivider=Track Fout with "
        "Divider|Label3=Ref In  MHz|FrText=10|RefDbl=Ref Doubler|Refdiv2=Ref Divide/2|Label2=Ref "
        "Divider   R|Rdivider=1|Label6=|Label4=Output Frequency resolution  Hz|ResolutionText="
        "10000|NMCalc=Find Best F/D|Label8=<  Force Denom or enter value >|ForceD=|PDpol=-Ve Ph "
        "Det.|FractN=Integer N|Aon=OP A on|Bon=OP B on|Label7=Output Phase 0 - 360|OPPhasetext=0|"
        "ChrgPump=|ChrgPumpLabel=Charge Pump  15|OPpwr=|OPlabel=Output Power 3|Enable=Chip Enable|"
        "Frame1=MUX O/P|MuxNone=None|MuxR=R div|MuxN=N/2 div|MuxL=Lock Det|NoiseModeFrame=Noise "
        "Mode|NM0=Low Noise|NM2=Low Spur 1|NM3=Low Spur 2|ValuesText=|Text1=|ClrText=|Init=INIT "
        "from EE|SendAll=Set all Registers|WriteAll=Write EE|CPort=COM Port|SetCP=Set COM Port|"
        "Udata=|Label10=User Data";
    constexpr std::string_view kTips =
        "FoutText=Wanted Output Frequency|SetOdiv=Auto set OP Divider|TrackDivider=Change Fout as "
        "Output divider is changed|ResolutionText=Manually set tuning grid resolution|NMCalc=Tests "
        "for F/D ratio closest to wanted Fout|ForceD=Manually enter a D value|PicEEdata=Generate "
        "register listing compatible with PIC .ASM files";
    const auto wanted = [](std::string_view list, std::string_view name) {
        std::optional<std::string_view> text;
        for (const std::string_view item : Split(list, "|")) {
            text = item.substr(0, item.find('=')) == name ? item.substr(name.size() + 1) : text;
        }
        return text;
    };
    std::size_t checked = 0;
    for (const ControlEntry& e : ControlTable()) {
        const auto text = wanted(kTexts, e.name);
        checked += text ? 1 : 0;
        EXPECT_EQ(e.text, text.value_or(e.text)) << e.name << " caption or starting text";
        EXPECT_EQ(e.tooltip, wanted(kTips, e.name).value_or("")) << e.name << " tooltip";
    }
    EXPECT_EQ(checked, Split(kTexts, "|").size()) << "a control of the layout is missing";
}

} // namespace
} // namespace max2870::test
