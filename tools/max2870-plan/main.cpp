// max2870-plan: the panel's model without a window, for scripts. One plan, or one line per
// step of a sweep or a list of frequencies.

#include "core/numbers.h"
#include "list_reader.h"
#include "output_check.h"
#include "plan_run.h"
#include "step_list.h"
#include "strict_number.h"
#include "tool_options.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifndef MAX2870_VERSION
#define MAX2870_VERSION "unknown"
#endif

namespace {

using namespace max2870;

// Exit statuses beyond 0, 1 (output not written) and 2 (bad command line).
constexpr int kBadValue = 2;
constexpr int kNotComplete = 4; // --strict only

int BadCommandLine(const std::string& error) {
    std::cerr << "max2870-plan: " << error << " (see --help)\n";
    return 2;
}

void Warn(const std::string& line) {
    std::cerr << "max2870-plan: " << line << '\n';
}

// The window reads a box that is not wholly a finite number as the number it begins with; say so.
std::string LooseWarning(const std::string& where, const std::string& text) {
    return where + ": '" + text + "' is not wholly a finite number; read as " +
           PlainText(NumberOfText(text)) + ", as the window reads it";
}

int PrintOnePlan(const ToolOptions& options) {
    const PlanReport report = MakeReport(options);
    const std::string out = options.json      ? PlanJson(report)
                            : options.listing ? report.listing
                                              : PlainOutput(report);
    const bool written = WriteOut(out);
    if (options.warnSpurHz) {
        const std::string warning = SpurWarning(report, *options.warnSpurHz, "");
        if (!warning.empty()) {
            Warn(warning);
        }
    }
    if (!report.decodeRefusal.empty()) {
        Warn("the --decode words were refused (" + report.decodeRefusal +
             "); the plan shown is the one before them");
    } else if (report.outcome != RunOutcome::Complete) {
        Warn("no complete plan: " + IncompleteReason(report));
    }
    if (!written || !FlushOut()) {
        return OutputFailed("max2870-plan");
    }
    const bool complete = report.outcome == RunOutcome::Complete && report.decodeRefusal.empty();
    return options.strict && !complete ? kNotComplete : 0;
}

// A block of steps first..last-1 to plan: a sweep's texts are made by the worker, a list's
// are read here in order.
struct Job {
    long long first = 0;
    long long last = 0;
    std::vector<std::string> texts;
};

// The lines and warnings of a block, in order.
struct Block {
    std::string out;
    std::string warnings;
    bool allComplete = true;
};

Block RenderSteps(const ToolOptions& options, const StepList* sweep, const Job& job) {
    StepPlanner planner(options, options.json ? ReportDepth::Everything : ReportDepth::Numbers);
    Block block;
    if (!options.json) {
        // A CSV line is about 100 bytes: one allocation for the block, not a dozen regrowths.
        block.out.reserve(static_cast<std::size_t>(job.last - job.first) * 128);
    }
    for (long long i = job.first; i < job.last; ++i) {
        const std::string text =
            sweep ? sweep->Text(i) : job.texts[static_cast<std::size_t>(i - job.first)];
        const PlanReport report = planner.Report(text);
        block.allComplete = block.allComplete && report.outcome == RunOutcome::Complete;
        if (options.json) {
            block.out += PlanJson(report, {i, kAllRegisters, {}});
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

constexpr long long kBlockSteps = 4096;

// The next block of a list: the texts of its steps, a warning for each loose one. An error
// (a strict run, or a line too long to be a box) ends the list after the steps before it.
class ListJobs {
public:
    ListJobs(std::istream& in, std::string name, bool strict)
        : steps_(in), name_(std::move(name)), strict_(strict) {}

    bool Next(Job& job, long long first) {
        job = Job{first, first, {}};
        while (error_.empty() && job.last - job.first < kBlockSteps) {
            const std::optional<ListEntry> entry = steps_.Next();
            if (!entry) {
                break;
            }
            const std::string problem = ListEntryProblem(name_, *entry);
            if (!problem.empty() && (strict_ || entry->tooLong)) {
                error_ = problem;
                break;
            }
            if (!problem.empty()) {
                Warn(LooseWarning(name_ + ":" + std::to_string(entry->line), entry->text));
            }
            job.texts.push_back(entry->text);
            ++job.last;
        }
        if (error_.empty() && steps_.Failed()) {
            error_ = "cannot read " + name_ + ": input/output error";
        }
        return job.last > job.first;
    }
    const std::string& Error() const { return error_; }

private:
    ListStream steps_;
    std::string name_;
    bool strict_;
    std::string error_;
};

// Steps are independent, so blocks of them are planned on every core at once and printed in
// order: a sweep of a million steps takes a fraction of a second.
int PrintSteps(const ToolOptions& options, const StepList* sweep, ListJobs* list) {
    const long long workers = std::max(1U, std::thread::hardware_concurrency());
    bool written = options.json || WriteOut(CsvHeader());
    bool allComplete = true;
    std::deque<std::future<Block>> pending;
    long long next = 0;
    bool more = true;
    while (written && (more || !pending.empty())) {
        while (more && static_cast<long long>(pending.size()) < workers + 1) {
            Job job;
            if (sweep) {
                job = {next, std::min(sweep->Count(), next + kBlockSteps), {}};
                more = job.last < sweep->Count();
            } else {
                more = list->Next(job, next) && list->Error().empty();
            }
            next = std::max(next, job.last);
            if (job.last > job.first) {
                pending.push_back(std::async(std::launch::async, RenderSteps, std::cref(options),
                                             sweep, std::move(job)));
            }
        }
        if (pending.empty()) {
            break;
        }
        const Block block = pending.front().get();
        pending.pop_front();
        std::fputs(block.warnings.c_str(), stderr);
        allComplete = allComplete && block.allComplete;
        written = WriteOut(block.out);
    }
    if (!written || !FlushOut()) {
        return OutputFailed("max2870-plan");
    }
    if (list && !list->Error().empty()) {
        std::cerr << "max2870-plan: " << list->Error() << '\n';
        return kBadValue;
    }
    return options.strict && !allComplete ? kNotComplete : 0;
}

int PrintList(const ToolOptions& options) {
    const std::string& path = *options.listFile;
    if (path == "-") {
        std::ios::sync_with_stdio(false); // read in large pieces
        ListJobs list(std::cin, "-", options.strict);
        return PrintSteps(options, nullptr, &list);
    }
    // A strict run refuses a bad list before it prints anything.
    if (const std::string problem = options.strict ? CheckListFile(path) : ""; !problem.empty()) {
        return BadCommandLine(problem);
    }
    std::string error;
    const std::unique_ptr<std::istream> file = OpenListFile(path, error);
    if (!file) {
        return BadCommandLine("--list: " + error);
    }
    ListJobs list(*file, path, options.strict);
    return PrintSteps(options, nullptr, &list);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseToolOptions(arguments, ToolProgram::Plan);
    if (!parsed.error.empty()) {
        return BadCommandLine(parsed.error);
    }
    const ToolOptions& options = parsed.options;
    if (options.help || options.version) {
        const bool written = WriteOut(options.help ? std::string(PlanUsage())
                                                   : "max2870-plan " MAX2870_VERSION "\n");
        return written && FlushOut() ? 0 : OutputFailed("max2870-plan");
    }
    for (const LooseValue& loose : LooseValues(options)) {
        Warn(LooseWarning(loose.option, loose.text));
    }
    if (!options.Stepped()) {
        return PrintOnePlan(options);
    }
    if (options.listFile) {
        return PrintList(options);
    }
    std::string error;
    const std::optional<StepList> sweep = StepList::Sweep(*options.sweep, error);
    if (!sweep) {
        return BadCommandLine(error);
    }
    return PrintSteps(options, &*sweep, nullptr);
}
