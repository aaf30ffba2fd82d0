#include "plan_report.h"

#include "core/listing.h"
#include "core/numbers.h"
#include "panel/control_table.h"
#include "panel/memory_panel.h"
#include "panel/option_codes.h"
#include "panel/plan_controller.h"

namespace max2870 {
namespace {

using enum ControlId;

void PresetPanel(MemoryPanel& panel, const ToolOptions& o) {
    panel.Preset(FrText, o.ref);
    panel.PresetValue(RefDbl, o.doubler ? 1 : 0);
    panel.PresetValue(Refdiv2, o.divideBy2 ? 1 : 0);
    panel.Preset(Rdivider, o.r);
    panel.PresetValue(OutDivCont, o.odiv.value_or(0));
    panel.Preset(FoutText, o.fout);
    panel.Preset(ResolutionText, o.resolution);
    panel.PresetValue(FractN, o.integerN ? 1 : 0);
    panel.Preset(OPPhasetext, o.phase);
    panel.PresetValue(OptionForName(kMuxCodes, o.mux)->option, 1);
    panel.PresetValue(OptionForName(kNoiseCodes, o.noise)->option, 1);
    panel.PresetValue(Enable, o.chipEnable ? 1 : 0);
    panel.PresetValue(ChrgPump, o.chargePump);
    panel.PresetValue(PDpol, o.pdNegative ? 1 : 0);
    panel.PresetValue(Aon, o.outputA ? 1 : 0);
    panel.PresetValue(Bon, o.outputB ? 1 : 0);
    panel.PresetValue(OPpwr, o.power);
}

// The figures that describe the last recompute that ran.
void DescribeLastPlan(const Plan& plan, bool integerN, PlanReport& report) {
    report.boundarySpurHz = BoundarySpurHz(plan, integerN);
    if (plan.outcome == RunOutcome::Complete) {
        report.chipRules = BrokenChipRules(plan, integerN);
        if (!report.chipRules->empty()) {
            report.ruleBreaks = RuleBreaks(plan, integerN);
        }
    }
}

PlanReport PanelReport(const ToolOptions& options) {
    PlanReport report;
    MemoryPanel panel;
    PlanController plan(report.state, panel);
    PresetPanel(panel, options);
    panel.SetEventSink(&plan);

    plan.Recalculate();
    if (options.findBest) {
        plan.NMCalc_Click();
    }
    if (options.forceD) {
        panel.SetText(ForceD, *options.forceD);
    }
    if (options.decode) {
        const auto& words = *options.decode;
        report.state.RxReg[0] = words[0];
        report.state.RxReg[1] = words[1];
        report.state.RxReg[2] = words[2];
        report.state.RxReg[4] = words[3];
        report.state.InitFlag = true;
        const DecodeResult decoded = plan.DecodeRegisters();
        if (!decoded.accepted) {
            report.decodeRefusal = decoded.reason;
        }
    }
    report.bandSelect = plan.LastBandSelect();
    report.phaseValue = plan.LastPhaseValue();
    report.errorRed = panel.Record(ValuesText).fore == colour::Red;
    report.outcome = plan.LastOutcome();
    report.valuesText = panel.Text(ValuesText);
    report.rdivider = panel.Text(Rdivider);
    report.resolutionText = panel.Text(ResolutionText);
    report.foutText = panel.Text(FoutText);
    report.forceD = panel.Text(ForceD);
    report.label6 = panel.Caption(Label6);
    report.fvco = panel.Caption(Fvco);
    DescribeLastPlan(plan.LastPlan(), panel.Value(FractN) == 1, report);
    const std::string frText = panel.Text(FrText); // the reference below only views it
    const ListingReference reference{frText, panel.Value(Refdiv2) == 1, panel.Value(RefDbl) == 1};
    report.listing =
        ListingAfter(plan.LastPlan().outcome, report.state, reference, report.valuesText);
    return report;
}

} // namespace

PlanInputs InputsOf(const ToolOptions& o) {
    PlanInputs inputs;
    inputs.frText = o.ref;
    inputs.rdividerText = o.r;
    inputs.foutText = o.fout;
    inputs.resolutionText = o.resolution;
    inputs.phaseText = o.phase;
    inputs.refDoubler = o.doubler;
    inputs.refDivide2 = o.divideBy2;
    inputs.integerN = o.integerN;
    inputs.chipEnable = o.chipEnable;
    inputs.pdNegative = o.pdNegative;
    inputs.outputA = o.outputA;
    inputs.outputB = o.outputB;
    inputs.outDivExponent = o.odiv.value_or(0);
    inputs.chargePump = o.chargePump;
    inputs.power = o.power;
    inputs.muxCode = OptionForName(kMuxCodes, o.mux)->code;
    inputs.noiseCode = OptionForName(kNoiseCodes, o.noise)->code;
    return inputs;
}

namespace {

std::string Written(const std::optional<std::string>& written, std::string_view before) {
    return written ? *written : std::string(before);
}

} // namespace

PlanReport PureReport(const PlanInputs& inputs, ReportDepth depth) {
    const Plan plan = MakePlan(inputs, PlanCarry{});
    PlanReport report;
    ApplyPlan(plan, report.state);
    report.bandSelect = plan.BandSelect;
    report.phaseValue = plan.P;
    report.errorRed = plan.display.valuesColour == colour::Red;
    report.outcome = plan.outcome;
    DescribeLastPlan(plan, inputs.integerN, report);
    if (depth == ReportDepth::Numbers) {
        return report;
    }
    const PlanDisplay& shown = plan.display;
    report.valuesText = Written(shown.values, EntryOf(ValuesText).text);
    report.rdivider = Written(shown.rdivider, inputs.rdividerText);
    report.resolutionText = Written(shown.resolution, inputs.resolutionText);
    report.foutText = Written(shown.fout, inputs.foutText);
    report.forceD = std::string(EntryOf(ForceD).text);
    report.label6 = Written(shown.label6, EntryOf(Label6).text);
    report.fvco = Written(shown.fvco, EntryOf(Fvco).text);
    report.listing =
        ListingAfter(plan.outcome, report.state,
                     {inputs.frText, inputs.refDivide2, inputs.refDoubler}, report.valuesText);
    return report;
}

PlanReport MakeReport(const ToolOptions& options, ReportDepth depth) {
    return options.NeedsPanel() ? PanelReport(options) : PureReport(InputsOf(options), depth);
}

StepPlanner::StepPlanner(const ToolOptions& options, ReportDepth depth)
    : options_(options), inputs_(InputsOf(options)), depth_(depth) {}

PlanReport StepPlanner::Report(const std::string& stepText) {
    const int exponent = options_.odiv ? *options_.odiv : DividerExponentFor(stepText);
    if (options_.NeedsPanel()) {
        ToolOptions step = options_;
        step.fout = stepText;
        step.odiv = exponent;
        return PanelReport(step);
    }
    inputs_.foutText = stepText;
    inputs_.outDivExponent = exponent;
    return PureReport(inputs_, depth_);
}

int DividerExponentFor(const std::string& foutText) {
    // The same doubling as the button's, so a frequency just short of a power of two lands
    // where the button puts it.
    double vco = NumberOfText(foutText);
    int k = 0;
    while (vco < 3000 && k < 7) {
        vco = vco * 2;
        ++k;
    }
    return k;
}

} // namespace max2870
