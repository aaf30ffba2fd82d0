#include "link/link_controller.h"

#include "link/link_texts.h"
#include "link/serial_link.h"

#include <utility>

namespace max2870 {

using enum ControlId;

void LinkController::SendAll_Click() {
    if (Busy()) {
        return;
    }
    link_.Close();
    plan_.Recalculate();
    const OpenResult reopened = link_.Open();
    panel_.SetForeColour(Text1, colour::Black);
    if (!reopened.Ok()) {
        Log(ReopenFailureLog(port_, reopened));
        ReturnToPortChoice();
        return;
    }
    if (RefuseIncompleteSet()) {
        return;
    }
    Log("Send registers\r\n");
    Run(SendAllPlan(plan_.State().words));
}

void LinkController::WriteAll_Click() {
    if (Busy()) {
        return;
    }
    panel_.SetText(Text1, "");
    panel_.SetForeColour(Text1, colour::LogPurple);
    plan_.Recalculate();
    if (RefuseIncompleteSet()) {
        return;
    }
    if (!link_.IsOpen()) {
        Log(PortClosedLog(port_));
        return;
    }
    Run(WriteAllPlan(plan_.State().words));
}

void LinkController::Init_Click() {
    if (Busy()) {
        return;
    }
    plan_.AwaitReadBack(true);
    panel_.SetForeColour(Text1, colour::LogGreen);
    panel_.SetText(Text1, "Set From EE\r\n");
    if (!link_.IsOpen()) {
        plan_.AwaitReadBack(false);
        Log(PortClosedLog(port_));
        return;
    }
    replyTimer_.start(options_.replyTimeout);
    Run(InitPlan());
}

// Words that no longer match the panel are not sent. While a read-back is pending the recompute
// is held back on purpose, and the words as they last stood go out.
bool LinkController::RefuseIncompleteSet() {
    if (plan_.RecomputeHeld() || plan_.LastOutcome() == RunOutcome::Complete) {
        return false;
    }
    Log(NotSentLog(plan_.LastOutcome(), panel_.Text(ValuesText)));
    return true;
}

void LinkController::Run(TransferPlan plan) {
    SetSendButtonsEnabled(false);
    sequence_.Start(std::move(plan), [this](const TransferStep& step) { return RunStep(step); });
}

bool LinkController::RunStep(const TransferStep& step) {
    switch (step.kind) {
    case StepKind::Send:
        if (!link_.IsOpen()) {
            Log(PortClosedLog(port_));
            return false;
        }
        link_.Write(step.line);
        break;
    case StepKind::AppendSerin:
        panel_.AppendText(Text1, receive_.Serin());
        break;
    case StepKind::AppendSerinLine:
        panel_.AppendText(Text1, receive_.Serin() + "\r\n");
        break;
    case StepKind::RewriteSerinLine:
        panel_.SetText(Text1, panel_.Text(Text1) + receive_.Serin() + "\r\n");
        break;
    case StepKind::ClearSerin:
        receive_.ClearSerin();
        break;
    case StepKind::LogLine:
        LogOnItsOwnLine(step.line);
        break;
    case StepKind::Wait:
        break;
    }
    return true;
}

void LinkController::OnSequenceFinished(bool completed) {
    SetSendButtonsEnabled(!heldForInstrument_);
    emit TransferFinished(completed);
    if (closeRequested_ && !heldForInstrument_) {
        emit CloseReady();
    }
}

// The instrument's sets and the window's own transfers take turns on the port: two at once
// would interleave their lines on the wire.
void LinkController::HoldForInstrument(bool held) {
    heldForInstrument_ = held;
    if (sequence_.Running()) {
        return; // the end of the transfer sees to the buttons and a held close
    }
    SetSendButtonsEnabled(!held);
    if (!held && closeRequested_) {
        emit CloseReady();
    }
}

bool LinkController::ClickForInstrument(ControlId button) {
    const bool held = std::exchange(heldForInstrument_, false);
    button == WriteAll ? WriteAll_Click() : Init_Click();
    heldForInstrument_ = held;
    return sequence_.Running();
}

// Ending the program in the middle of "Write EE" would leave the board's EEPROM holding part of
// the new set and part of the old one: the set on the wire (at most 2.4 s) finishes first.
bool LinkController::RequestClose() {
    if (!Busy() || closeRequested_) {
        return true;
    }
    closeRequested_ = true;
    LogOnItsOwnLine(CloseDeferredLog());
    emit CloseDeferred();
    return false;
}

void LinkController::SetSendButtonsEnabled(bool enabled) {
    panel_.SetEnabled(SendAll, enabled);
    panel_.SetEnabled(WriteAll, enabled);
    panel_.SetEnabled(Init, enabled);
}

} // namespace max2870
