#pragma once

#include "core/register_map.h"

#include <string>
#include <vector>

namespace max2870 {

// One step of a paced command. The waits keep at least 0.1 s before and after every line, so
// the translator has finished one line before the next arrives.
enum class StepKind {
    Wait,             // let the line wait pass while events keep flowing
    Send,             // write `line` to the port
    AppendSerin,      // insert Serin at the end of the log
    AppendSerinLine,  // insert Serin and CR LF at the end of the log
    RewriteSerinLine, // set the log to its old text, Serin and CR LF
    ClearSerin,
    LogLine, // `line` on a line of its own at the end of the log
};

struct TransferStep {
    StepKind kind = StepKind::Wait;
    std::string line; // for Send and LogLine
    friend bool operator==(const TransferStep&, const TransferStep&) = default;
};

using TransferPlan = std::vector<TransferStep>;

// The steps after the recompute, from the words as they stand: Reg5 first, Reg0 last.
TransferPlan SendAllPlan(const RegisterWords& words);
TransferPlan WriteAllPlan(const RegisterWords& words);
TransferPlan InitPlan();

} // namespace max2870
