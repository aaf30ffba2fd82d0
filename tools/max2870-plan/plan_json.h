#pragma once

#include "model/memory_panel.h"
#include "model/plan_controller.h"

#include <string>

namespace max2870 {

// One JSON object with the plan, the words and the panel texts of a planner run.
std::string PlanJson(const PlanController& plan, const MemoryPanel& panel,
                     const std::string& listing);

} // namespace max2870
