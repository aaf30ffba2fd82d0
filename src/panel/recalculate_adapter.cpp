#include "core/chip_rules.h"
#include "core/numbers.h"
#include "panel/option_codes.h"
#include "panel/plan_controller.h"

namespace max2870 {

using enum ControlId;

namespace {

// The code of the selected button of a group; the last selected one wins, as the recompute
// tests the buttons in the group's order.
std::optional<std::int32_t> SelectedCode(const Panel& panel, std::span<const OptionCode> codes,
                                         std::span<const ControlId> buttons) {
    std::optional<std::int32_t> code;
    std::size_t i = 0;
    for (const ControlId button : buttons) {
        if (panel.Value(button) == 1) {
            code = codes[i].code;
        }
        ++i;
    }
    return code;
}

constexpr const char* kNoComparison =
    "Not current: the reference and R give no comparison frequency above 0 MHz";

std::string ChipRulesNote(const Plan& plan, bool integerN) {
    std::string note;
    for (const ChipRule rule : BrokenChipRules(plan, integerN)) {
        note.append(note.empty() ? "" : "\n").append(ChipRuleText(rule, plan, integerN));
    }
    return note;
}

} // namespace

bool PlanController::RecomputeHeld() const {
    return decoding_ || (readBackAwaited_ && panel_.Visible(Init));
}

PlanInputs PlanController::ReadInputs() const {
    PlanInputs in;
    in.frText = panel_.Text(FrText);
    in.rdividerText = panel_.Text(Rdivider);
    in.foutText = panel_.Text(FoutText);
    in.resolutionText = panel_.Text(ResolutionText);
    in.phaseText = panel_.Text(OPPhasetext);
    in.refDoubler = Ticked(RefDbl);
    in.refDivide2 = Ticked(Refdiv2);
    in.tracking = panel_.Value(TrackDivider) != 0;
    in.integerN = Ticked(FractN);
    in.chipEnable = Ticked(Enable);
    in.pdNegative = Ticked(PDpol);
    in.outputA = Ticked(Aon);
    in.outputB = Ticked(Bon);
    in.outDivExponent = panel_.Value(OutDivCont);
    in.chargePump = panel_.Value(ChrgPump);
    in.power = panel_.Value(OPpwr);
    in.muxCode = SelectedCode(panel_, kMuxCodes, kMuxButtons);
    in.noiseCode = SelectedCode(panel_, kNoiseCodes, kNoiseButtons);
    return in;
}

void PlanController::Recalculate() {
    if (RecomputeHeld()) {
        return;
    }
    const PlanInputs inputs = ReadInputs();
    Show(MakePlan(inputs, CarryOf(s_)), inputs.tracking, inputs.integerN);
}

void PlanController::Show(const Plan& plan, bool tracking, bool integerN) {
    plan_ = plan;
    ApplyPlan(plan_, s_);
    outcome_ = plan_.outcome;
    if (plan_.reached >= PlanStage::Packing) {
        bandSelect_ = plan_.BandSelect;
        phaseValue_ = plan_.P;
    }
    ShowPlan(DisplayOf(plan_, tracking), integerN);
}

// The texts, captions and colours of the run, in the order the window shows them. The
// write-backs raise no nested run: one pass on the panel as given.
void PlanController::ShowPlan(const PlanDisplay& d, bool integerN) {
    panel_.SetVisible(EEdata, false);
    panel_.SetEnabled(TrackDivider, true);
    // A run that stops before a comparison frequency writes nothing: what the results show is
    // from an earlier panel, and says so.
    const bool stopped = plan_.reached == PlanStage::Reference;
    for (ControlId shown : {Label6, ValuesText}) {
        panel_.MarkOutdated(shown, stopped ? kNoComparison : "");
    }
    if (stopped) {
        return;
    }
    panel_.WriteBack(Rdivider, *d.rdivider);
    panel_.SetCaption(Label6, *d.label6);
    if (d.fout) {
        panel_.WriteBack(FoutText, *d.fout);
    }
    panel_.SetCaption(Fvco, *d.fvco);
    panel_.SetForeColour(Fvco, d.vcoInRange ? colour::Black : colour::Red);
    if (d.vcoInRange) {
        panel_.SetBold(Fvco, false);
    }
    panel_.SetBackColour(FoutText, d.vcoInRange ? colour::White : colour::Red);
    panel_.WriteBack(ResolutionText, *d.resolution);
    if (d.values) {
        panel_.SetText(ValuesText, *d.values);
        panel_.SetNote(ValuesText, ChipRulesNote(plan_, integerN));
    }
    if (d.valuesColour) {
        panel_.SetForeColour(ValuesText, *d.valuesColour);
    }
}

} // namespace max2870
