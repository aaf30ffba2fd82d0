#pragma once

// The instrument's one door to the plan: everything it asks of the core and of the planner's
// printed forms goes through here.

#include "core/plan.h"
#include "core/register_map.h"
#include "scpi/instrument_settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace max2870::scpi {

struct SettingPlan {
    Plan plan;
    std::string refusal; // why the plan may not go to the chip; empty when it may
};

// The plan of a fresh panel holding these inputs, refused when it does not complete or breaks a
// chip rule the gate applies.
SettingPlan PlanOfSetting(const PlanInputs& inputs, const RuleGate& gate);

// The object `max2870-plan --json` prints for this panel, without its line end.
std::string PlanJsonOf(const PlanInputs& inputs);

// The output divider exponent "> > >" picks for a wanted output in MHz.
int DividerExponentForMhz(double mhz);

// The box text of a number, as the panel shows a typed value ("2400", "2320.5").
std::string BoxText(double value);

// The panel a read-back set (Reg0, Reg1, Reg2, Reg4) restores on top of the given one, as the
// window's decoder leaves it (its texts as the decoder's recomputes write them back), or the
// reason it is refused.
std::optional<PlanInputs> RestoredPanel(const PlanInputs& panel,
                                        const std::array<std::int32_t, 4>& words,
                                        std::string& refusal);

} // namespace max2870::scpi
