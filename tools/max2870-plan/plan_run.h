#pragma once

#include "plan_options.h"

#include <string>

namespace max2870 {

// Runs the panel of the options through the model, exactly as the window would, and returns
// the chosen output text.
std::string RunPlan(const PlanOptions& options);

} // namespace max2870
