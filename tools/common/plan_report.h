#pragma once

#include "chip_gate.h"
#include "core/chip_rules.h"
#include "core/plan.h"
#include "core/synth_state.h"
#include "tool_options.h"

#include <optional>
#include <string>
#include <vector>

namespace max2870 {

// Everything the planner and the sender print about one plan: the record's values, the words,
// how the run ended and the panel's texts as they stand afterwards.
struct PlanReport {
    SynthState state;
    double bandSelect = 0;
    double phaseValue = 0;
    bool errorRed = false;
    RunOutcome outcome = RunOutcome::None; // the last run, or "rejected" after a refused decode
    std::string valuesText;
    std::string rdivider;
    std::string resolutionText;
    std::string foutText;
    std::string forceD;
    std::string label6;
    std::string fvco;
    std::string listing;
    // Of the last recompute that ran: none when it did not complete.
    std::optional<std::vector<ChipRule>> chipRules;
    std::vector<RuleBreak> ruleBreaks; // the same rules with their numbers
    std::optional<double> boundarySpurHz;
    std::string decodeRefusal; // why a --decode was refused, else empty
};

// What the report must hold: the texts cost time a CSV sweep does not spend.
enum class ReportDepth { Numbers, Everything };

// The plan of the options as one run of the panel gives it: one pure recompute on a fresh
// panel; --find-best and --force-d follow the window's chain of text changes and recomputes, and
// --decode then restores its set on top.
PlanReport MakeReport(const ToolOptions& options, ReportDepth depth = ReportDepth::Everything);

// One recompute on a fresh panel holding these inputs, made without the panel.
PlanReport PureReport(const PlanInputs& inputs, ReportDepth depth);

// The inputs a fresh panel with these options hands to its first recompute.
PlanInputs InputsOf(const ToolOptions& options);

// The plans of a sweep or list: each step is the options with the step's text as the wanted
// frequency and, unless the command line gave one, the divider "> > >" chooses for it.
class StepPlanner {
public:
    StepPlanner(const ToolOptions& options, ReportDepth depth);
    PlanReport Report(const std::string& stepText);

private:
    const ToolOptions& options_;
    PlanInputs inputs_;
    ReportDepth depth_;
};

} // namespace max2870
