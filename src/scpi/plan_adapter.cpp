#include "scpi/plan_adapter.h"

#include "chip_gate.h"
#include "core/decode.h"
#include "core/numbers.h"
#include "core/plan_display.h"
#include "core/read_back.h"
#include "plan_output.h"
#include "plan_report.h"

namespace max2870::scpi {

SettingPlan PlanOfSetting(const PlanInputs& inputs, const RuleGate& gate) {
    SettingPlan result{MakePlan(inputs, PlanCarry{}), {}};
    const Plan& plan = result.plan;
    if (plan.outcome == RunOutcome::NoFcomp) {
        result.refusal = "no comparison frequency";
    } else if (plan.outcome != RunOutcome::Complete) {
        const std::string message =
            DisplayOf(plan, inputs.tracking).values.value_or(OutcomeName(plan.outcome));
        result.refusal = message.substr(0, message.find_first_of("\r\n"));
    } else if (!gate.allowRuleBreaks) {
        const auto blocking = BlockingBreaks(RuleBreaks(plan, inputs.integerN), gate.externalVco);
        if (!blocking.empty()) {
            result.refusal = RuleBreakList(blocking);
        }
    }
    return result;
}

std::string PlanJsonOf(const PlanInputs& inputs) {
    std::string json = PlanJson(PureReport(inputs, ReportDepth::Everything));
    while (!json.empty() && (json.back() == '\n' || json.back() == '\r')) {
        json.pop_back();
    }
    return json;
}

int DividerExponentForMhz(double mhz) {
    return DividerExponentFor(NumberOfText(BoxText(mhz)));
}

std::string BoxText(double value) {
    return PlainText(value);
}

std::optional<PlanInputs> RestoredPanel(const PlanInputs& panel,
                                        const std::array<std::int32_t, 4>& words,
                                        std::string& refusal) {
    // The set lands on the record a fresh panel with these inputs holds after its first
    // recompute, as it does for the planner's --decode.
    SynthState record;
    ApplyPlan(MakePlan(panel, PlanCarry{}), record);
    auto restored = RestoreSet(words, panel, record);
    if (const auto* refused = std::get_if<DecodeRefusal>(&restored)) {
        refusal = refused->reason;
        return std::nullopt;
    }
    return std::get<RestoredSet>(restored).inputs;
}

} // namespace max2870::scpi
