#pragma once

#include "plan_output.h"
#include "plan_report.h"
#include "tool_options.h"

#include <string>

namespace max2870 {

// What max2870-plan prints on stdout for one plan of these options.
inline std::string RunPlan(const ToolOptions& options) {
    const PlanReport report = MakeReport(options);
    if (options.json) {
        return PlanJson(report);
    }
    return options.listing ? report.listing : PlainOutput(report);
}

} // namespace max2870
