#include "link/transfer_plan.h"

#include "core/hex_format.h"

namespace max2870 {

std::string RegisterLine(std::int32_t word) {
    return "R" + HexFormat(word) + "\r\n";
}

std::string StoreLine() {
    return "W\r\n";
}

std::string InitLine() {
    return "INIT\r\n";
}

namespace {

void AddPacedLine(TransferPlan& plan, std::string line) {
    plan.push_back({StepKind::Wait, {}});
    plan.push_back({StepKind::Send, std::move(line)});
    plan.push_back({StepKind::Wait, {}});
}

// What went out, said once the set is complete: a panel changed right after the click no longer
// shows what the board holds.
TransferStep WordsSentStep(const char* what, const RegisterWords& words) {
    std::string line = std::string(what) + ", Reg5 to Reg0:";
    for (const std::int32_t word : SendOrder(words)) {
        line += " " + HexFormat(word);
    }
    return {StepKind::LogLine, line + "\r\n"};
}

} // namespace

TransferPlan SendAllPlan(const RegisterWords& words) {
    TransferPlan plan;
    for (const std::int32_t word : SendOrder(words)) {
        AddPacedLine(plan, RegisterLine(word));
    }
    plan.push_back({StepKind::AppendSerin, {}});
    plan.push_back({StepKind::ClearSerin, {}});
    plan.push_back(WordsSentStep("Registers set", words));
    return plan;
}

TransferPlan WriteAllPlan(const RegisterWords& words) {
    TransferPlan plan;
    bool first = true;
    for (const std::int32_t word : SendOrder(words)) {
        AddPacedLine(plan, RegisterLine(word));
        AddPacedLine(plan, StoreLine());
        // Serin is not emptied between registers, so a word-less reply shows after each later one.
        plan.push_back({first ? StepKind::AppendSerinLine : StepKind::RewriteSerinLine, {}});
        first = false;
    }
    plan.push_back({StepKind::ClearSerin, {}});
    plan.push_back(WordsSentStep("Stored in EE", words));
    return plan;
}

TransferPlan InitPlan() {
    TransferPlan plan;
    AddPacedLine(plan, InitLine());
    return plan;
}

} // namespace max2870
