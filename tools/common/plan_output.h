#pragma once

#include "plan_report.h"

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace max2870 {

// Which of Reg0..Reg5 a line shows; the sender leaves out the registers it did not send.
using RegisterMask = std::bitset<6>;
inline const RegisterMask kAllRegisters{0x3F};

// What a step adds to the single plan's object.
struct StepMark {
    std::optional<long long> step;      // "Step", first key, when the plan is one of a sweep
    RegisterMask shown = kAllRegisters; // the other words are ""
    std::string_view outcome;           // "Outcome" when not the run's own ("chip-rule")
};

// The plan as one JSON object on one line (LF-ended), keys in a fixed order.
std::string PlanJson(const PlanReport& report, const StepMark& mark = {});

// The CSV of a sweep: its header line, and one line per step (a null is an empty field).
const char* CsvHeader();
void AppendCsvLine(std::string& out, const PlanReport& report, RegisterMask shown = kAllRegisters,
                   std::string_view outcome = {});

// The results text as the plain output prints it: CR LF become LF, nothing added.
std::string PlainResults(const std::string& valuesText);

// The planner's plain output: the results text ending in a line end, or, when the results box
// is empty, one line saying why there is no plan.
std::string PlainOutput(const PlanReport& report);

// Why the plan did not complete (or a --decode was refused), on one line that is never empty.
std::string IncompleteReason(const PlanReport& report);

// The warning for a plan whose nearest integer-boundary spur lies closer to the carrier than
// the loop bandwidth typed; empty when it does not.
std::string SpurWarning(const PlanReport& report, double limitHz, const std::string& stepText);

} // namespace max2870
