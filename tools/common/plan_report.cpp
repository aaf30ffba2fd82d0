#include "plan_report.h"

#include "core/listing.h"
#include "core/numbers.h"
#include "core/option_codes.h"
#include "core/plan_display.h"
#include "core/read_back.h"
#include "panel/control_table.h"
#include "panel/memory_panel.h"
#include "panel/option_codes.h"
#include "panel/plan_controller.h"

namespace max2870 {
namespace {

using enum ControlId;

// A report being built: the panel's inputs and the last recompute that ran, beside the report.
struct Session {
    PlanReport report;
    PlanInputs inputs;
    Plan last;
};

// The texts a fresh panel shows before any run.
void FreshTexts(PlanReport& report, const PlanInputs& inputs) {
    report.valuesText = EntryOf(ValuesText).text;
    report.rdivider = inputs.rdividerText;
    report.resolutionText = inputs.resolutionText;
    report.foutText = inputs.foutText;
    report.forceD = EntryOf(ForceD).text;
    report.label6 = EntryOf(Label6).text;
    report.fvco = EntryOf(Fvco).text;
}

// A run's figures and its display over the panel's texts as the window writes them.
void Record(Session& session, const Plan& plan, bool tracking) {
    PlanReport& report = session.report;
    session.last = plan;
    report.outcome = plan.outcome;
    if (plan.reached >= PlanStage::Packing) {
        report.bandSelect = plan.BandSelect;
        report.phaseValue = plan.P;
    }
    if (plan.outcome == RunOutcome::Complete) {
        report.errorRed = ErrorShownRed(plan);
    }
    const PlanDisplay shown = DisplayOf(plan, tracking);
    WriteBack(shown, session.inputs);
    report.rdivider = session.inputs.rdividerText;
    report.resolutionText = session.inputs.resolutionText;
    report.foutText = session.inputs.foutText;
    const auto write = [](std::string& text, const std::optional<std::string>& written) {
        if (written) {
            text = *written;
        }
    };
    write(report.label6, shown.label6);
    write(report.fvco, shown.fvco);
    write(report.valuesText, shown.values);
}

void PresetInputs(MemoryPanel& panel, const PlanInputs& in) {
    const auto box = [](bool ticked) { return ticked ? 1 : 0; };
    panel.Preset(FrText, in.frText);
    panel.PresetValue(RefDbl, box(in.refDoubler));
    panel.PresetValue(Refdiv2, box(in.refDivide2));
    panel.Preset(Rdivider, in.rdividerText);
    panel.PresetValue(OutDivCont, in.outDivExponent);
    panel.Preset(FoutText, in.foutText);
    panel.Preset(ResolutionText, in.resolutionText);
    panel.PresetValue(FractN, box(in.integerN));
    panel.Preset(OPPhasetext, in.phaseText);
    panel.PresetValue(*ButtonForCode(kMuxCodes, kMuxButtons, *in.muxCode), 1);
    panel.PresetValue(*ButtonForCode(kNoiseCodes, kNoiseButtons, *in.noiseCode), 1);
    panel.PresetValue(Enable, box(in.chipEnable));
    panel.PresetValue(ChrgPump, in.chargePump);
    panel.PresetValue(PDpol, box(in.pdNegative));
    panel.PresetValue(Aon, box(in.outputA));
    panel.PresetValue(Bon, box(in.outputB));
    panel.PresetValue(OPpwr, in.power);
}

// The searches run through the panel's own handlers: their chains of text changes are the
// window's behaviour.
Session SearchedSession(const ToolOptions& options, const PlanInputs& inputs) {
    Session session;
    MemoryPanel panel;
    PlanController plan(session.report.state, panel);
    PresetInputs(panel, inputs);
    panel.SetEventSink(&plan);
    plan.Recalculate();
    if (options.findBest) {
        plan.NMCalc_Click();
    }
    if (options.forceD) {
        panel.SetText(ForceD, *options.forceD);
    }
    PlanReport& report = session.report;
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
    session.inputs = plan.ReadInputs();
    session.last = plan.LastPlan();
    return session;
}

void RestoreDecodedSet(Session& session, const ReadBackWords& words) {
    PlanReport& report = session.report;
    auto restoredSet = RestoreSet(words, session.inputs, report.state);
    if (const auto* refusal = std::get_if<DecodeRefusal>(&restoredSet)) {
        report.outcome = RunOutcome::Rejected;
        report.decodeRefusal = refusal->reason;
        return;
    }
    const RestoredSet& r = std::get<RestoredSet>(restoredSet);
    report.label6 = r.restored.label6Caption;
    report.fvco = r.restored.fvcoCaption;
    if (r.forceDCleared) {
        report.forceD.clear();
    }
    session.inputs = RestoredInputs(r.settings, r.restored, session.inputs);
    Record(session, r.tracked, true);
    session.inputs.tracking = false;
    Record(session, r.plan, false);
    report.state = r.record;
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

PlanReport Finished(Session& session) {
    PlanReport& report = session.report;
    const Plan& last = session.last;
    const PlanInputs& in = session.inputs;
    DescribeLastPlan(last, in.integerN, report);
    report.listing = ListingAfter(last.outcome, report.state,
                                  {in.frText, in.refDivide2, in.refDoubler}, report.valuesText);
    return std::move(report);
}

// A sweep step's figures: one recompute on a fresh panel, and no text.
PlanReport NumbersReport(const PlanInputs& inputs) {
    const Plan plan = MakePlan(inputs, PlanCarry{});
    PlanReport report;
    ApplyPlan(plan, report.state);
    report.outcome = plan.outcome;
    report.bandSelect = plan.BandSelect;
    report.phaseValue = plan.P;
    report.errorRed = ErrorShownRed(plan);
    DescribeLastPlan(plan, inputs.integerN, report);
    return report;
}

PlanReport ReportOf(const ToolOptions& options, const PlanInputs& inputs, ReportDepth depth) {
    if (depth == ReportDepth::Numbers && !options.NeedsPanel()) {
        return NumbersReport(inputs);
    }
    Session session;
    if (options.findBest || options.forceD) {
        session = SearchedSession(options, inputs);
    } else {
        session.inputs = inputs;
        FreshTexts(session.report, inputs);
        const Plan plan = MakePlan(inputs, PlanCarry{});
        ApplyPlan(plan, session.report.state);
        Record(session, plan, inputs.tracking);
    }
    if (options.decode) {
        RestoreDecodedSet(session, *options.decode);
    }
    return Finished(session);
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
    inputs.outDivExponent = o.odiv.value_or(kStart.outDivExponent);
    inputs.chargePump = o.chargePump;
    inputs.power = o.power;
    inputs.muxCode = OptionForName(kMuxCodes, o.mux)->code;
    inputs.noiseCode = OptionForName(kNoiseCodes, o.noise)->code;
    return inputs;
}

PlanReport PureReport(const PlanInputs& inputs, ReportDepth depth) {
    return ReportOf(ToolOptions{}, inputs, depth);
}

PlanReport MakeReport(const ToolOptions& options, ReportDepth depth) {
    return ReportOf(options, InputsOf(options), depth);
}

StepPlanner::StepPlanner(const ToolOptions& options, ReportDepth depth)
    : options_(options), inputs_(InputsOf(options)), depth_(depth) {}

PlanReport StepPlanner::Report(const std::string& stepText) {
    inputs_.foutText = stepText;
    inputs_.outDivExponent =
        options_.odiv ? *options_.odiv : DividerExponentFor(NumberOfText(stepText));
    return ReportOf(options_, inputs_, depth_);
}

} // namespace max2870
