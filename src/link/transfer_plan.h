#pragma once

#include "core/register_map.h"

#include <cstdint>
#include <string>
#include <vector>

namespace max2870 {

// The lines the translator understands; each ends in CR LF and carries no register number,
// since the chip takes the register from the word's own address bits.
std::string RegisterLine(std::int32_t word); // "R" and the 8 digits of the word
std::string StoreLine();                     // "W": store the last register line in EEPROM
std::string InitLine();                      // "INIT": report the stored set

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
