// max2870-plan: the panel's model without a window, for scripts. One plan, or one line per
// step of a sweep or a list of frequencies.

#include "plan_run.h"
#include "step_list.h"
#include "tool_options.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <future>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#ifndef MAX2870_VERSION
#define MAX2870_VERSION "unknown"
#endif

namespace {

using namespace max2870;

int BadCommandLine(const std::string& error) {
    std::cerr << "max2870-plan: " << error << " (see --help)\n";
    return 2;
}

int PrintOnePlan(const ToolOptions& options) {
    std::cout << RunPlan(options);
    if (options.warnSpurHz) {
        const PlanReport report = MakeReport(options, ReportDepth::Numbers);
        const std::string warning = SpurWarning(report, *options.warnSpurHz, "");
        if (!warning.empty()) {
            std::cerr << "max2870-plan: " << warning << '\n';
        }
    }
    return std::cout.flush() ? 0 : 1;
}

// The lines and warnings of the steps first..last-1, in order.
struct Block {
    std::string out;
    std::string warnings;
};

Block RenderSteps(const ToolOptions& options, const StepList& steps, long long first,
                  long long last) {
    StepPlanner planner(options, options.json ? ReportDepth::Everything : ReportDepth::Numbers);
    Block block;
    for (long long i = first; i < last; ++i) {
        const std::string text = steps.Text(i);
        const PlanReport report = planner.Report(text);
        if (options.json) {
            block.out += PlanJson(report, {i, kAllRegisters});
        } else {
            AppendCsvLine(block.out, report);
        }
        if (options.warnSpurHz) {
            const std::string warning = SpurWarning(report, *options.warnSpurHz, text);
            if (!warning.empty()) {
                block.warnings += "max2870-plan: " + warning + "\n";
            }
        }
    }
    return block;
}

// Steps are independent, so blocks of them are planned on every core at once and printed in
// order: a sweep of a million steps takes a fraction of a second.
int PrintSteps(const ToolOptions& options, const StepList& steps) {
    constexpr long long kBlockSteps = 4096;
    const long long workers = std::max(1U, std::thread::hardware_concurrency());
    if (!options.json && std::fputs(CsvHeader(), stdout) < 0) {
        return 1;
    }
    std::deque<std::future<Block>> pending;
    long long next = 0;
    bool written = true;
    while (written && (next < steps.Count() || !pending.empty())) {
        while (next < steps.Count() && static_cast<long long>(pending.size()) < workers + 1) {
            const long long last = std::min(steps.Count(), next + kBlockSteps);
            pending.push_back(std::async(std::launch::async, RenderSteps, std::cref(options),
                                         std::cref(steps), next, last));
            next = last;
        }
        const Block block = pending.front().get();
        pending.pop_front();
        std::fputs(block.warnings.c_str(), stderr);
        written = std::fwrite(block.out.data(), 1, block.out.size(), stdout) == block.out.size();
    }
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseToolOptions(arguments, ToolProgram::Plan);
    if (!parsed.error.empty()) {
        return BadCommandLine(parsed.error);
    }
    const ToolOptions& options = parsed.options;
    if (options.help) {
        std::cout << PlanUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "max2870-plan " << MAX2870_VERSION << '\n';
        return 0;
    }
    if (!options.Stepped()) {
        return PrintOnePlan(options);
    }
    std::string error;
    const std::optional<StepList> steps = options.sweep ? StepList::Sweep(*options.sweep, error)
                                                        : ReadStepList(*options.listFile, error);
    if (!steps) {
        return BadCommandLine(error);
    }
    return PrintSteps(options, *steps);
}
