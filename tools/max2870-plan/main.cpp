#include "plan_options.h"
#include "plan_run.h"

#include <iostream>
#include <string>
#include <vector>

#ifndef MAX2870_VERSION
#define MAX2870_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const max2870::ParsedOptions parsed = max2870::ParsePlanOptions(arguments);
    if (!parsed.error.empty()) {
        std::cerr << "max2870-plan: " << parsed.error << " (see --help)\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << max2870::PlanUsage();
        return 0;
    }
    if (parsed.options.version) {
        std::cout << "max2870-plan " << MAX2870_VERSION << '\n';
        return 0;
    }
    std::cout << max2870::RunPlan(parsed.options);
    return std::cout ? 0 : 1;
}
