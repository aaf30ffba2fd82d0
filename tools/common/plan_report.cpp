#include "plan_report.h"

#include "core/listing.h"
#include "core/numbers.h"
#include "core/option_codes.h"
#include "core/plan_display.h"
#include "core/read_back.h"
#include "core/search_math.h"

namespace max2870 {
namespace {

// A report being built: the panel's inputs and the last recompute that ran, beside the report.
struct Session {
    PlanReport report;
    PlanInputs inputs;
    Plan last;
};

// The texts a fresh panel shows before any run.
// The results, ForceD and the two captions start empty.
void FreshTexts(PlanReport& report, const PlanInputs& inputs) {
    report.rdivider = inputs.rdividerText;
    report.resolutionText = inputs.resolutionText;
    report.foutText = inputs.foutText;
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

// One recompute on the session's inputs, over what the runs before it left in the record.
void Recompute(Session& session) {
    const Plan plan = MakePlan(session.inputs, CarryOf(session.report.state));
    ApplyPlan(plan, session.report.state);
    Record(session, plan, session.inputs.tracking);
}

// A box's text written as the window writes it: only a different text is a change, and a
// change of R or of the resolution recomputes.
void ChangeText(Session& session, std::string& box, const std::string& text) {
    if (box == text) {
        return;
    }
    box = text;
    Recompute(session);
}

// A new ForceD text hands on only the resolution that makes the recompute derive that D.
void ChangeForceD(Session& session, const std::string& text) {
    PlanReport& report = session.report;
    if (report.forceD == text) {
        return;
    }
    report.forceD = text;
    const SynthState& s = report.state;
    if (const auto resolution = ForcedResolution(NumberOfText(text), s.Fr, s.R, s.OutDiv)) {
        ChangeText(session, session.inputs.resolutionText, PlainText(*resolution));
    }
}

// "Find R": the found R goes to its box, ForceD is emptied, and one more recompute follows.
void ReferenceDividerSearch(Session& session) {
    SynthState& s = session.report.state;
    const auto found =
        SearchReferenceDivider(s.Fr, s.Fout, s.OutDiv, NumberOfText(session.inputs.foutText));
    if (!found) {
        return;
    }
    ChangeText(session, session.inputs.rdividerText, BlankLedText(found->R));
    s.N = found->N;
    s.R = found->R;
    ChangeForceD(session, "");
    Recompute(session);
}

// "Find Best F/D": only D is handed on. ForceD is emptied first so that the best D is always
// a change and its resolution always follows.
void FractionSearch(Session& session) {
    const SynthState& s = session.report.state;
    const std::optional<double> best = BestModulus(s.VCO, s.Fcomp);
    if (!best) {
        return;
    }
    ChangeForceD(session, "");
    ChangeForceD(session, BlankLedText(*best));
}

// The searches as a press of the search button and a typed ForceD give them, after the first
// recompute of the fresh panel.
void Search(Session& session, const ToolOptions& options) {
    if (options.findBest) {
        Recompute(session);
        if (session.inputs.integerN) {
            ReferenceDividerSearch(session);
        } else {
            FractionSearch(session);
        }
    }
    if (options.forceD) {
        ChangeForceD(session, *options.forceD);
    }
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
    if (depth == ReportDepth::Numbers && !options.HasActions()) {
        return NumbersReport(inputs);
    }
    Session session;
    session.inputs = inputs;
    FreshTexts(session.report, inputs);
    Recompute(session);
    Search(session, options);
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
