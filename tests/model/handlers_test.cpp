// The in-memory panel's starting state and event delivery, the control handlers, and the runs
// that nest inside a write: the recompute's own write-backs, the forced-modulus chain and the
// mode switch.

#include "model_rig.h"

#include <algorithm>

namespace max2870::test {
namespace {

using enum ControlId;

// The panel alone, its events recorded and handed nowhere.
struct BarePanel {
    MemoryPanel panel;
    EventProbe probe{panel, nullptr};
    BarePanel() { panel.SetEventSink(&probe); }
};

int SelectedIn(const MemoryPanel& panel, std::initializer_list<ControlId> group) {
    return static_cast<int>(std::count_if(group.begin(), group.end(),
                                          [&](ControlId id) { return panel.Value(id) == 1; }));
}

TEST(StartingPanel, HoldsTheInitialStatesOfTheControlTable) {
    const MemoryPanel panel;
    EXPECT_EQ(panel.Text(FoutText), "2320.5");
    EXPECT_EQ(panel.Text(FrText), "10");
    EXPECT_EQ(panel.Record(FrText).back, colour::Red);
    EXPECT_EQ(panel.Text(Rdivider), "1");
    EXPECT_EQ(panel.Text(ResolutionText), "10000");
    EXPECT_EQ(panel.Text(OPPhasetext), "0");
    EXPECT_EQ(panel.Text(ForceD), "");
    EXPECT_EQ(panel.Text(ValuesText), "");
    EXPECT_EQ(panel.Caption(Fvco), "");
    EXPECT_EQ(panel.Caption(Label6), "");
    EXPECT_EQ(panel.Caption(NMCalc), "Find Best F/D");
    EXPECT_EQ(panel.Caption(OutDivLabel), "O/P Divider  1");
    EXPECT_EQ(panel.Caption(ChrgPumpLabel), "Charge Pump  15");
    EXPECT_EQ(panel.Caption(OPlabel), "Output Power 3");
    EXPECT_EQ(panel.Value(OutDivCont), 0);
    EXPECT_EQ(panel.Value(ChrgPump), 15);
    EXPECT_EQ(panel.Value(OPpwr), 3);
    EXPECT_EQ(panel.Value(Aon), 1);
    EXPECT_EQ(panel.Value(Enable), 1);
    for (ControlId unticked : {Bon, PDpol, FractN, RefDbl, Refdiv2, TrackDivider}) {
        EXPECT_EQ(panel.Value(unticked), 0) << EntryOf(unticked).name;
    }
    EXPECT_EQ(panel.Value(MuxL), 1);
    EXPECT_EQ(panel.Value(NM0), 1);
    EXPECT_FALSE(panel.Record(TrackDivider).enabled);
    EXPECT_FALSE(panel.Visible(Init));
    EXPECT_FALSE(panel.Visible(EEdata));
}

TEST(EventDelivery, TextBoxReportsChangeOnlyWhenItsTextChanges) {
    BarePanel bare;
    bare.panel.SetText(FoutText, "2320.5");
    EXPECT_TRUE(bare.probe.seen.empty());

    bare.panel.SetText(FoutText, "2320");
    bare.panel.SetText(FoutText, "2320");
    bare.panel.SetText(FoutText, "");
    ASSERT_EQ(bare.probe.seen.size(), 2U);
    EXPECT_EQ(bare.probe.seen[0].event, ControlEvent::Change);
    EXPECT_EQ(bare.probe.seen[0].text, "2320"); // the new text is in place when it reports
    EXPECT_EQ(bare.probe.seen[1].text, "");

    bare.panel.SetCaption(Label6, "Fcomp 1"); // a caption reports nothing
    EXPECT_EQ(bare.probe.seen.size(), 2U);
}

TEST(EventDelivery, CheckBoxReportsClickOnlyWhenItsValueChanges) {
    BarePanel bare;
    bare.panel.SetValue(Aon, 1);
    EXPECT_TRUE(bare.probe.seen.empty());

    bare.panel.SetValue(Aon, 0);
    EXPECT_EQ(bare.probe.Count(Aon, ControlEvent::Click), 1);
    bare.panel.SetValue(Aon, 0);
    EXPECT_EQ(bare.probe.Count(Aon, ControlEvent::Click), 1);

    bare.panel.SetValue(FractN, 5); // any non-zero value ticks it
    EXPECT_EQ(bare.panel.Value(FractN), 1);
    bare.panel.SetValue(FractN, 1);
    EXPECT_EQ(bare.probe.Count(FractN, ControlEvent::Click), 1);
}

TEST(EventDelivery, SpinnerReportsChangeOnlyWhenItsValueChangesAndStopsAtItsEnds) {
    BarePanel bare;
    bare.panel.SetValue(ChrgPump, 15);
    bare.panel.SetValue(ChrgPump, 16); // up arrow at the top
    bare.panel.SetValue(OPpwr, 4);
    bare.panel.SetValue(OutDivCont, -1); // down arrow at the bottom
    EXPECT_TRUE(bare.probe.seen.empty());
    EXPECT_EQ(bare.panel.Value(ChrgPump), 15);
    EXPECT_EQ(bare.panel.Value(OPpwr), 3);
    EXPECT_EQ(bare.panel.Value(OutDivCont), 0);

    bare.panel.SetValue(ChrgPump, 14);
    EXPECT_EQ(bare.probe.Count(ChrgPump, ControlEvent::Change), 1);

    bare.panel.SetValue(OutDivCont, 9);
    EXPECT_EQ(bare.panel.Value(OutDivCont), 7);
    bare.panel.SetValue(OutDivCont, 8);
    EXPECT_EQ(bare.probe.Count(OutDivCont, ControlEvent::Change), 1);

    bare.panel.SetValue(ChrgPump, -3);
    EXPECT_EQ(bare.panel.Value(ChrgPump), 0);
    bare.panel.SetValue(ChrgPump, -4);
    EXPECT_EQ(bare.probe.Count(ChrgPump, ControlEvent::Change), 2);
}

TEST(EventDelivery, OptionGroupsKeepExactlyOneSelected) {
    BarePanel bare;
    const auto mux = {MuxNone, MuxR, MuxN, MuxL};
    const auto noise = {NM0, NM2, NM3};
    EXPECT_EQ(SelectedIn(bare.panel, mux), 1);
    EXPECT_EQ(SelectedIn(bare.panel, noise), 1);

    bare.panel.SetValue(MuxR, 1);
    EXPECT_EQ(bare.probe.Count(MuxR, ControlEvent::Click), 1);
    EXPECT_EQ(bare.panel.Value(MuxR), 1);
    EXPECT_EQ(bare.panel.Value(MuxL), 0);
    EXPECT_EQ(SelectedIn(bare.panel, mux), 1);

    bare.panel.SetValue(MuxR, 0); // only another selection clears it
    EXPECT_EQ(bare.panel.Value(MuxR), 1);
    EXPECT_EQ(SelectedIn(bare.panel, mux), 1);

    bare.panel.SetValue(NM3, 1); // the other group is untouched
    EXPECT_EQ(bare.panel.Value(MuxR), 1);
    EXPECT_EQ(bare.panel.Value(NM3), 1);
    EXPECT_EQ(SelectedIn(bare.panel, noise), 1);

    bare.panel.PresetValue(MuxN, 1); // a preset keeps the rule too
    EXPECT_EQ(SelectedIn(bare.panel, mux), 1);
    EXPECT_EQ(bare.panel.Value(MuxN), 1);
    EXPECT_EQ(bare.probe.seen.size(), 2U);
}

TEST(EventDelivery, HandlerOfAWriteRunsInsideThatWrite) {
    BarePanel bare;
    bare.probe.before = [&](ControlId id, ControlEvent) {
        if (id == Aon) {
            bare.panel.SetText(FoutText, "1000");
        }
    };
    bare.panel.SetValue(Aon, 0);
    // Both have arrived, in nesting order, by the time the outer write returns.
    ASSERT_EQ(bare.probe.seen.size(), 2U);
    EXPECT_EQ(bare.probe.seen[0].id, Aon);
    EXPECT_EQ(bare.probe.seen[1].id, FoutText);
}

TEST(SpinnerHandlers, WriteTheirLabelsAndRecompute) {
    ModelRig rig;
    rig.ShowListing();
    rig.Set(ChrgPump, 14);
    EXPECT_EQ(rig.Caption(ChrgPumpLabel), "Charge Pump 14");
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.HexWords()[2], "18005C42"); // 14 in bits 12..9

    rig.ShowListing();
    rig.Set(OPpwr, 2);
    EXPECT_EQ(rig.Caption(OPlabel), "Output Power 2");
    EXPECT_FALSE(rig.ListingShown());

    rig.ShowListing();
    rig.Set(OutDivCont, 3);
    EXPECT_EQ(rig.Caption(OutDivLabel), "O/P Divider  8");
    EXPECT_EQ(rig.state.OutDiv, 8);
    EXPECT_FALSE(rig.ListingShown());
}

TEST(SpinnerHandlers, ArrowAtAnEndChangesNothing) {
    ModelRig rig;
    rig.Set(OutDivCont, 7);
    rig.ShowListing();
    rig.Set(OutDivCont, 8);
    rig.Set(ChrgPump, 16);
    EXPECT_TRUE(rig.ListingShown());
    EXPECT_EQ(rig.Caption(ChrgPumpLabel), "Charge Pump  15");
}

struct RecomputingEdit {
    const char* what;
    std::function<void(ModelRig&)> edit;
};

class RecomputeOnly : public ::testing::TestWithParam<RecomputingEdit> {};

TEST_P(RecomputeOnly, EditRecomputes) {
    ModelRig rig;
    rig.ShowListing();
    GetParam().edit(rig);
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, RecomputeOnly,
    ::testing::Values(RecomputingEdit{"Aon", [](ModelRig& r) { r.Set(Aon, 0); }},
                      RecomputingEdit{"Bon", [](ModelRig& r) { r.Set(Bon, 1); }},
                      RecomputingEdit{"PDpol", [](ModelRig& r) { r.Set(PDpol, 1); }},
                      RecomputingEdit{"RefDbl", [](ModelRig& r) { r.Set(RefDbl, 1); }},
                      RecomputingEdit{"Refdiv2", [](ModelRig& r) { r.Set(Refdiv2, 1); }},
                      RecomputingEdit{"MuxNone", [](ModelRig& r) { r.Set(MuxNone, 1); }},
                      RecomputingEdit{"MuxR", [](ModelRig& r) { r.Set(MuxR, 1); }},
                      RecomputingEdit{"MuxN", [](ModelRig& r) { r.Set(MuxN, 1); }},
                      RecomputingEdit{"NM2", [](ModelRig& r) { r.Set(NM2, 1); }},
                      RecomputingEdit{"NM3", [](ModelRig& r) { r.Set(NM3, 1); }},
                      RecomputingEdit{"FoutText", [](ModelRig& r) { r.Type(FoutText, "3000"); }},
                      RecomputingEdit{"OPPhasetext", [](ModelRig& r) { r.Type(OPPhasetext, "9"); }},
                      RecomputingEdit{"Rdivider", [](ModelRig& r) { r.Type(Rdivider, "2"); }},
                      RecomputingEdit{"ResolutionText",
                                      [](ModelRig& r) { r.Type(ResolutionText, "5000"); }}),
    [](const ::testing::TestParamInfo<RecomputingEdit>& info) { return info.param.what; });

TEST(OptionHandlers, SelectedOptionGivesItsCode) {
    ModelRig rig;
    rig.Set(MuxN, 1);
    rig.Set(NM3, 1);
    EXPECT_EQ(rig.state.MuxVal, 4);
    EXPECT_EQ(rig.state.NoiseMode, 3);
    rig.Set(MuxL, 1);
    rig.Set(NM0, 1);
    EXPECT_EQ(rig.state.MuxVal, 6);
    EXPECT_EQ(rig.state.NoiseMode, 0);
}

// "Chip Enable" recomputes at once like "OP A on", so bit 5 of Reg2 follows the box without
// waiting for another change.
TEST(EnableBox, ClickRecomputesAtOnce) {
    ModelRig rig;
    rig.plan.Recalculate();
    rig.ShowListing();

    rig.Set(Enable, 0);

    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.HexWords()[2], "18005E62");
    rig.Set(Enable, 1);
    EXPECT_EQ(rig.HexWords()[2], "18005E42");
}

TEST(ReferenceBox, EditTurnsItWhiteAndRecomputes) {
    ModelRig rig;
    rig.Type(FrText, "20");
    EXPECT_EQ(rig.Back(FrText), colour::White);
    EXPECT_EQ(rig.state.Fr, 20);
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

TEST(ReferenceBox, LeavingItWithoutTypingTurnsItWhiteAndRecomputes) {
    ModelRig rig;
    rig.ShowListing();
    rig.plan.OnControlEvent(FrText, ControlEvent::LostFocus);
    EXPECT_EQ(rig.Back(FrText), colour::White);
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

TEST(WantedOutputBox, ClickUnticksTrackingWithoutRecomputing) {
    ModelRig rig;
    rig.plan.Recalculate();
    rig.Set(TrackDivider, 1);
    rig.ShowListing();
    rig.state.N = 77;

    rig.Click(FoutText);

    EXPECT_EQ(rig.Value(TrackDivider), 0);
    EXPECT_TRUE(rig.ListingShown());
    EXPECT_EQ(rig.state.N, 77);
}

struct OdivCase {
    const char* fout;
    int exponent;
    const char* label;
};

class AutoDivider : public ::testing::TestWithParam<OdivCase> {};

// k is the smallest exponent that brings the wanted output to 3000 MHz or more, at most 7.
TEST_P(AutoDivider, PicksTheSmallestExponentReaching3000) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 4); // none of the cases wants 4
    rig.panel.Preset(FoutText, GetParam().fout);
    rig.ShowListing();

    rig.Click(SetOdiv);

    EXPECT_EQ(rig.Value(OutDivCont), GetParam().exponent);
    EXPECT_EQ(rig.Caption(OutDivLabel), GetParam().label);
    EXPECT_EQ(rig.state.OutDiv, 1 << GetParam().exponent);
    EXPECT_FALSE(rig.ListingShown());
}

INSTANTIATE_TEST_SUITE_P(WantedOutputs, AutoDivider,
                         ::testing::Values(OdivCase{"2320.5", 1, "O/P Divider  2"},
                                           OdivCase{"1500", 1, "O/P Divider  2"},
                                           OdivCase{"1499.9", 2, "O/P Divider  4"},
                                           OdivCase{"3000", 0, "O/P Divider  1"},
                                           OdivCase{"93.75", 5, "O/P Divider  32"},
                                           OdivCase{"46.875", 6, "O/P Divider  64"},
                                           OdivCase{"46.8", 7, "O/P Divider  128"},
                                           OdivCase{"0", 7, "O/P Divider  128"},
                                           OdivCase{"-5", 7, "O/P Divider  128"},
                                           OdivCase{"abc", 7, "O/P Divider  128"}));

TEST(AutoDivider, RightExponentAlreadyShownChangesNothing) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.plan.Recalculate();
    const std::string results = rig.Text(ValuesText);
    rig.ShowListing();
    rig.state.N = 77;
    rig.probe.seen.clear();

    rig.Click(SetOdiv); // 2320.5 wants exponent 1

    EXPECT_EQ(rig.Value(OutDivCont), 1);
    EXPECT_TRUE(rig.probe.seen.empty());
    EXPECT_TRUE(rig.ListingShown());
    EXPECT_EQ(rig.state.N, 77);
    EXPECT_EQ(rig.Text(ValuesText), results);
    EXPECT_EQ(rig.Caption(OutDivLabel), "O/P Divider  1"); // the starting text stays
}

TEST(NestedRuns, RoundedDividerIsWrittenBackWithoutANestedRun) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    // A nested run would hide the listing again after the write-back showed it.
    rig.probe.before = [&](ControlId id, ControlEvent) {
        if (id == Rdivider) {
            rig.ShowListing();
        }
    };

    rig.Type(Rdivider, "2.6");

    EXPECT_EQ(rig.probe.TextsOf(Rdivider), (std::vector<std::string>{"2.6", "3"}));
    EXPECT_TRUE(rig.ListingShown());
    EXPECT_EQ(rig.Text(Rdivider), "3");
    EXPECT_EQ(rig.state.R, 3);
    EXPECT_EQ(rig.state.Denom, 167);
    EXPECT_EQ(rig.HexWords()[0], "02B80190");

    // The written text stays for the next action, which reads it as typed.
    rig.probe.before = nullptr;
    rig.Set(Bon, 1);
    EXPECT_EQ(rig.state.R, 3);
    EXPECT_EQ(rig.HexWords()[0], "02B80190");
}

TEST(NestedRuns, ForcedModulusWritesTheResolutionWhichRecomputes) {
    ModelRig rig;
    rig.plan.Recalculate(); // Fr 10, R 1, OutDiv 1
    rig.probe.seen.clear();

    rig.Type(ForceD, "4000"); // 10 MHz / 1 / 4000 / 1 = 2500 Hz

    const auto written = rig.probe.TextsOf(ResolutionText);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.front(), "2500");
    EXPECT_EQ(rig.Text(ResolutionText), " 2500"); // the recompute's own form
    EXPECT_EQ(rig.state.Resolution, 2500);
    EXPECT_EQ(rig.state.Denom, 4000);
    EXPECT_EQ(rig.state.Fract, 200); // floor(0.05 * 4000 + 0.5)
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    EXPECT_EQ(rig.Text(ForceD), "4000");
}

TEST(NestedRuns, ForcedModulusDividesByTheOutputDivider) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.panel.Preset(Rdivider, "2");
    rig.plan.Recalculate(); // Fr 10, R 2, OutDiv 2
    rig.probe.seen.clear();

    rig.Type(ForceD, " 1000"); // 10e6 / 2 / 1000 / 2 = 2500

    EXPECT_EQ(rig.probe.FirstTextOf(ResolutionText), "2500");
    EXPECT_EQ(rig.state.Denom, 1000);
}

TEST(ModeSwitch, TickingIntegerNSetsThePanelThenRecomputes) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.plan.Recalculate();
    ASSERT_EQ(rig.state.Fract, 50);
    rig.panel.Preset(ForceD, " 10");
    rig.ShowListing();
    bool checkedInside = false;
    // Emptying ForceD is the switch's last step, before its recompute.
    rig.probe.before = [&](ControlId id, ControlEvent) {
        if (id != ForceD) {
            return;
        }
        checkedInside = true;
        EXPECT_EQ(rig.state.Fract, 0);
        EXPECT_EQ(rig.Fore(ResolutionText), colour::Green);
        EXPECT_EQ(rig.Caption(NMCalc), "Find R");
        EXPECT_EQ(rig.Back(Rdivider), colour::Yellow);
        EXPECT_TRUE(rig.ListingShown());
    };

    rig.Set(FractN, 1);

    EXPECT_TRUE(checkedInside);
    EXPECT_EQ(rig.Text(ForceD), "");
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.Text(ResolutionText), " 5000000");
    EXPECT_EQ(rig.HexWords()[0], "80E80000");
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
}

TEST(ModeSwitch, UntickingIntegerNRestoresThePanelAndDividerOne) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.Set(FractN, 1);
    rig.Type(Rdivider, "2");
    ASSERT_EQ(rig.state.R, 2);
    bool checkedInside = false;
    rig.probe.before = [&](ControlId id, ControlEvent) {
        if (id == Rdivider && rig.Text(Rdivider) == "1") {
            checkedInside = true;
            EXPECT_EQ(rig.Fore(ResolutionText), colour::Black);
            EXPECT_EQ(rig.Caption(NMCalc), "Find Best F/D");
            EXPECT_EQ(rig.Back(Rdivider), colour::White);
        }
    };

    rig.Set(FractN, 0);

    EXPECT_TRUE(checkedInside);
    EXPECT_EQ(rig.Text(Rdivider), "1");
    EXPECT_EQ(rig.state.R, 1);
    EXPECT_EQ(rig.HexWords()[0].substr(0, 1), "0"); // bit 31 clear again
}

TEST(ModeSwitch, UntickingWithDividerOneAlreadyShownStillRecomputes) {
    ModelRig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    rig.Set(FractN, 1);
    ASSERT_EQ(rig.Text(Rdivider), "1");
    rig.ShowListing();
    rig.probe.seen.clear();

    rig.Set(FractN, 0);

    EXPECT_EQ(rig.probe.Count(Rdivider, ControlEvent::Change), 0);
    EXPECT_FALSE(rig.ListingShown());
    EXPECT_EQ(rig.plan.LastOutcome(), RunOutcome::Complete);
    // The resolution left by integer-N mode, 5000000 Hz, now gives D = 1.
    EXPECT_EQ(rig.state.Denom, 1);
}

} // namespace
} // namespace max2870::test
