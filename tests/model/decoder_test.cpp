// The read-back decoder: the three stored sets restored onto a panel that showed something
// else, what the panel holds before the final recomputes, codes without an option button, a
// changed reference, and the decoder's writes that must not recompute on the way.

#include "model_rig.h"

namespace max2870::test {
namespace {

using enum ControlId;

constexpr StoredSet kFractionalSet{0x00E80190, 0x20000FA1, 0x18005E42, 0x609C80FC};
constexpr StoredSet kIntegerSet{0x80E80000, 0x00000001, 0x18005F42, 0x609C80FC};
constexpr StoredSet kDoublerSet{0x001D0000, 0x207D1F41, 0xCE005E02, 0x638FF1B4};

// A panel that differs from every set in every restored control.
void ShowSomethingElse(ModelRig& rig) {
    rig.panel.PresetValue(FractN, 1);
    rig.panel.PresetValue(RefDbl, 1);
    rig.panel.PresetValue(Refdiv2, 1);
    rig.panel.PresetValue(MuxN, 1);
    rig.panel.PresetValue(NM3, 1);
    rig.panel.PresetValue(PDpol, 1);
    rig.panel.PresetValue(ChrgPump, 3);
    rig.panel.PresetValue(Aon, 0);
    rig.panel.PresetValue(Bon, 1);
    rig.panel.PresetValue(OPpwr, 0);
    rig.panel.PresetValue(OutDivCont, 4);
    rig.panel.Preset(FoutText, "1000");
    rig.panel.Preset(Rdivider, "5");
    rig.panel.Preset(ResolutionText, "777");
}

// The panel and the record as the decoder leaves them just before its recomputes: taken when
// it writes FoutText (its step 20, after the captions of steps 15 and 18).
struct BeforeRecompute {
    bool taken = false;
    bool listingShown = false;
    std::string rdivider;
    std::string resolution;
    std::string fout;
    std::string label6;
    std::string fvco;
    SynthState state;
};

// Runs the decoder the way "INIT from EE" does: guard set, INIT button shown, listing shown so
// that any recompute on the way would show.
BeforeRecompute Decode(ModelRig& rig, const StoredSet& set, bool initFlag = true,
                       bool initShown = true) {
    BeforeRecompute seen;
    rig.File(set);
    rig.state.InitFlag = initFlag;
    rig.panel.SetVisible(Init, initShown);
    rig.ShowListing();
    rig.probe.before = [&](ControlId id, ControlEvent event) {
        if (id != FoutText || event != ControlEvent::Change || seen.taken) {
            return;
        }
        seen = {true,
                rig.ListingShown(),
                rig.Text(Rdivider),
                rig.Text(ResolutionText),
                rig.Text(FoutText),
                rig.Caption(Label6),
                rig.Caption(Fvco),
                rig.state};
    };
    const DecodeResult result = rig.plan.DecodeRegisters();
    rig.probe.before = nullptr;
    EXPECT_TRUE(result.accepted) << result.reason;
    EXPECT_TRUE(seen.taken);
    return seen;
}

TEST(DecodeFractionalSet, RestoresTheControls) {
    ModelRig rig;
    ShowSomethingElse(rig);
    Decode(rig, kFractionalSet);

    EXPECT_EQ(rig.Value(FractN), 0);
    EXPECT_EQ(rig.Value(RefDbl), 0);
    EXPECT_EQ(rig.Value(Refdiv2), 0);
    EXPECT_EQ(rig.Value(MuxL), 1);
    EXPECT_EQ(rig.Value(MuxN), 0);
    EXPECT_EQ(rig.Value(NM0), 1);
    EXPECT_EQ(rig.Value(NM3), 0);
    EXPECT_EQ(rig.Value(ChrgPump), 15);
    EXPECT_EQ(rig.Value(PDpol), 0);
    EXPECT_EQ(rig.Value(Aon), 1);
    EXPECT_EQ(rig.Value(Bon), 0);
    EXPECT_EQ(rig.Value(OPpwr), 3);
    EXPECT_EQ(rig.Value(OutDivCont), 1);
    // The spinner handlers ran on the way, so their labels follow the restored values.
    EXPECT_EQ(rig.Caption(ChrgPumpLabel), "Charge Pump 15");
    EXPECT_EQ(rig.Caption(OPlabel), "Output Power 3");
    EXPECT_EQ(rig.Caption(OutDivLabel), "O/P Divider  2");
    // Unticking Integer N switched the panel back to fractional mode.
    EXPECT_EQ(rig.Caption(NMCalc), "Find Best F/D");
    EXPECT_EQ(rig.Fore(ResolutionText), colour::Black);
    EXPECT_EQ(rig.Back(Rdivider), colour::White);
}

TEST(DecodeFractionalSet, FieldsAndTextsBeforeTheRecomputes) {
    ModelRig rig;
    ShowSomethingElse(rig);
    const BeforeRecompute before = Decode(rig, kFractionalSet);

    EXPECT_TRUE(before.listingShown); // nothing recomputed on the way
    EXPECT_EQ(before.state.N, 464);
    EXPECT_EQ(before.state.Fract, 50);
    EXPECT_EQ(before.state.Denom, 500);
    EXPECT_EQ(before.state.R, 1);
    EXPECT_EQ(before.state.OutDiv, 2);
    EXPECT_EQ(before.state.Fr, 10);
    EXPECT_EQ(before.state.Fcomp, 10);
    EXPECT_EQ(before.state.VCO, 4641); // 10 * (464 + 50 / 500)
    EXPECT_EQ(before.state.Resolution, 10000);
    EXPECT_EQ(before.state.Fout, 2320.5);
    EXPECT_EQ(before.state.MuxVal, 6);
    EXPECT_EQ(before.state.NoiseMode, 0);
    EXPECT_EQ(before.rdivider, " 1");
    EXPECT_EQ(before.resolution, " 10000");
    EXPECT_EQ(before.fout, " 2320.5");
    EXPECT_EQ(before.label6, "Fcomp 10");
    EXPECT_EQ(before.fvco, "VCO  4641MHz");
    EXPECT_TRUE(before.state.InitFlag);
}

TEST(DecodeFractionalSet, RecomputesThePanelIntoTheSameWords) {
    ModelRig rig;
    ShowSomethingElse(rig);
    Decode(rig, kFractionalSet);

    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    const auto hex = rig.HexWords();
    EXPECT_EQ(hex[0], "00E80190");
    EXPECT_EQ(hex[1], "20000FA1");
    EXPECT_EQ(hex[2], "18005E42");
    EXPECT_EQ(hex[4], "609C80FC");
    EXPECT_EQ(rig.Text(Rdivider), "1");
    EXPECT_EQ(rig.Text(ResolutionText), " 10000");
    EXPECT_EQ(rig.Text(FoutText), " 2320.5");
    EXPECT_EQ(rig.Caption(Label6), "Fcomp 10.0MHz");
    EXPECT_EQ(rig.Caption(Fvco), "VCO  4641MHz");
    EXPECT_FALSE(rig.state.InitFlag);
    EXPECT_EQ(rig.Value(TrackDivider), 0);
}

TEST(DecodeIntegerSet, TicksIntegerNAndRestoresTheIntegerPlan) {
    ModelRig rig;
    const BeforeRecompute before = Decode(rig, kIntegerSet);

    EXPECT_EQ(rig.Value(FractN), 1);
    EXPECT_EQ(rig.Caption(NMCalc), "Find R");
    EXPECT_EQ(rig.Fore(ResolutionText), colour::Green);
    EXPECT_EQ(rig.Back(Rdivider), colour::Yellow);
    EXPECT_EQ(before.state.VCO, 4640); // 10 * 464
    EXPECT_EQ(before.state.Fout, 2320);
    EXPECT_EQ(before.state.Resolution, 5000000);
    EXPECT_EQ(before.resolution, " 5000000");
    EXPECT_EQ(before.fout, " 2320");
    EXPECT_EQ(before.fvco, "VCO  4640MHz");

    EXPECT_EQ(rig.state.Reg0, -2132279296); // 80E80000 held as a negative number
    const auto hex = rig.HexWords();
    EXPECT_EQ(hex[1], "00000001");
    EXPECT_EQ(hex[2], "18005F42");
    EXPECT_EQ(hex[4], "609C80FC");
}

TEST(DecodeDoublerSet, RestoresDoublerPolarityOptionsAndPower) {
    ModelRig rig;
    rig.panel.Preset(FrText, "50");
    rig.panel.Preset(OPPhasetext, "90"); // the phase is not stored; the panel's is used
    rig.panel.PresetValue(OutDivCont, 3);
    rig.panel.PresetValue(OPpwr, 0);
    const BeforeRecompute before = Decode(rig, kDoublerSet);

    EXPECT_EQ(rig.Value(RefDbl), 1);
    EXPECT_EQ(rig.Value(Refdiv2), 0);
    EXPECT_EQ(rig.Value(PDpol), 1);
    EXPECT_EQ(rig.Value(MuxR), 1);
    EXPECT_EQ(rig.Value(NM2), 1);
    EXPECT_EQ(rig.Value(Aon), 1);
    EXPECT_EQ(rig.Value(Bon), 1);
    EXPECT_EQ(rig.Value(OutDivCont), 0);
    EXPECT_EQ(rig.Value(OPpwr), 2);
    EXPECT_EQ(before.state.Fr, 100);
    EXPECT_EQ(before.state.Fcomp, 100);
    EXPECT_EQ(before.state.N, 58);
    EXPECT_EQ(before.state.Fract, 0);
    EXPECT_EQ(before.state.Denom, 1000);
    EXPECT_EQ(before.state.VCO, 5800);
    EXPECT_EQ(before.state.Fout, 5800);
    EXPECT_EQ(before.state.MuxVal, 3);
    EXPECT_EQ(before.state.NoiseMode, 2);
    EXPECT_EQ(before.label6, "Fcomp 100");
    EXPECT_EQ(before.resolution, " 100000");

    const auto hex = rig.HexWords();
    EXPECT_EQ(hex[0], "001D0000");
    EXPECT_EQ(hex[1], "207D1F41");
    EXPECT_EQ(hex[2], "CE005E02");
    EXPECT_EQ(hex[4], "638FF1B4");
}

TEST(DecodeUnrestored, ChipEnableAndPhaseKeepTheirPanelValues) {
    ModelRig rig;
    rig.panel.PresetValue(Enable, 0);
    rig.panel.Preset(OPPhasetext, "45");
    rig.state.RxReg[3] = -1; // entries 3 and 5 are not read
    rig.state.RxReg[5] = 12345;
    Decode(rig, kFractionalSet);

    EXPECT_EQ(rig.Value(Enable), 0);
    EXPECT_EQ(rig.Text(OPPhasetext), "45");
    EXPECT_EQ(rig.HexWords()[2], "18005E62"); // bit 5: chip disabled
    // P = to integer(45 / 360 * 500) = to integer(62.5) = 62.
    EXPECT_EQ(rig.HexWords()[1], "201F0FA1");
    EXPECT_EQ(rig.state.Reg3, 11);
    EXPECT_EQ(rig.state.Reg5, 0x00400005);
}

TEST(DecodeCodesWithoutAnOption, MuxFiveLeavesTheSelectedOption) {
    ModelRig rig;
    rig.panel.PresetValue(MuxN, 1);
    // The fractional set with MUX bits 28..26 = 101.
    const BeforeRecompute before =
        Decode(rig, {kFractionalSet.reg0, kFractionalSet.reg1, 0x14005E42, kFractionalSet.reg4});

    EXPECT_EQ(before.state.MuxVal, 5);
    EXPECT_EQ(rig.Value(MuxN), 1);
    EXPECT_EQ(rig.state.MuxVal, 4); // the recompute takes the option's code again
    EXPECT_EQ(rig.HexWords()[2], "10005E42");
}

TEST(DecodeCodesWithoutAnOption, NoiseOneLeavesTheSelectedOption) {
    ModelRig rig;
    rig.panel.PresetValue(NM3, 1);
    // The fractional set with noise bits 30..29 = 01.
    const BeforeRecompute before =
        Decode(rig, {kFractionalSet.reg0, kFractionalSet.reg1, 0x38005E42, kFractionalSet.reg4});

    EXPECT_EQ(before.state.NoiseMode, 1);
    EXPECT_EQ(rig.Value(NM3), 1);
    EXPECT_EQ(rig.state.NoiseMode, 3);
    EXPECT_EQ(rig.HexWords()[2], "78005E42");
}

TEST(DecodeChangedReference, ScalesEveryFrequencyAndKeepsTheDividers) {
    ModelRig rig;
    rig.panel.Preset(FrText, "20"); // the set was written with 10
    const BeforeRecompute before = Decode(rig, kFractionalSet);

    EXPECT_EQ(before.state.N, 464);
    EXPECT_EQ(before.state.Fract, 50);
    EXPECT_EQ(before.state.Denom, 500);
    EXPECT_EQ(before.state.R, 1);
    EXPECT_EQ(before.state.Fcomp, 20);
    EXPECT_EQ(before.state.VCO, 9282);
    EXPECT_EQ(before.state.Fout, 4641);
    EXPECT_EQ(before.state.Resolution, 20000);
    EXPECT_EQ(before.fout, " 4641");

    EXPECT_EQ(rig.Caption(Fvco), "VCO  9282MHz\r\nExternal VCO Only");
    const auto hex = rig.HexWords();
    EXPECT_EQ(hex[0], "00E80190");
    EXPECT_EQ(hex[1], "20000FA1");
    EXPECT_EQ(hex[2], "18005E42");
    EXPECT_EQ(hex[4], "619900FC"); // band select 400: 01 in bits 25..24, 90 in bits 19..12
}

TEST(DecodeWithoutTheGuard, StillRestoresThePanelWithoutRecomputingOnTheWay) {
    for (const bool initShown : {false, true}) {
        SCOPED_TRACE(initShown ? "INIT shown" : "INIT hidden");
        ModelRig rig;
        ShowSomethingElse(rig);
        const BeforeRecompute before = Decode(rig, kFractionalSet, false, initShown);

        EXPECT_TRUE(before.listingShown);
        EXPECT_EQ(before.state.VCO, 4641);
        EXPECT_EQ(before.rdivider, " 1");
        const auto hex = rig.HexWords();
        EXPECT_EQ(hex[0], "00E80190");
        EXPECT_EQ(hex[1], "20000FA1");
        EXPECT_EQ(hex[2], "18005E42");
        EXPECT_EQ(hex[4], "609C80FC");
        EXPECT_EQ(rig.Value(OutDivCont), 1);
        EXPECT_EQ(rig.Value(MuxL), 1);
    }
}

TEST(DecodeEnding, RecomputesOnceTrackingThenOnceNot) {
    ModelRig rig;
    ShowSomethingElse(rig); // Rdivider "5": each recompute that starts writes "1" back
    std::vector<int> trackingAtRecompute;
    rig.probe.before = [&](ControlId id, ControlEvent) {
        // Only the recomputes run after the guard is cleared; the first rewrites " 1" as "1".
        if (id == Rdivider && !rig.state.InitFlag && rig.Text(Rdivider) == "1") {
            trackingAtRecompute.push_back(rig.Value(TrackDivider));
            rig.ShowListing();
        }
    };
    rig.File(kFractionalSet);
    rig.state.InitFlag = true;
    rig.panel.SetVisible(Init, true);

    ASSERT_TRUE(rig.plan.DecodeRegisters().accepted);

    // The first recompute ran with tracking ticked; a later one hid the listing again.
    EXPECT_EQ(trackingAtRecompute, (std::vector<int>{1}));
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.Value(TrackDivider), 0);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

} // namespace
} // namespace max2870::test
