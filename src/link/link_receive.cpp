#include "link/link_controller.h"

#include "link/link_texts.h"
#include "link/serial_link.h"

#include <chrono>

namespace max2870 {

using enum ControlId;

void LinkController::OnComm() {
    receive_.Take(link_.Read());
    while (const std::optional<LineOutcome> line = receive_.NextLine()) {
        if (line->userData) {
            panel_.SetText(Udata, *line->userData);
        }
        if (line->logEntry) {
            Log(*line->logEntry);
        }
        if (line->handOver) {
            HandOver(*line->handOver);
        }
    }
}

// Only a set that "INIT from EE" asked for restores the panel: without the guard the decoder's
// control writes would recompute halfway and leave the panel neither old nor new.
void LinkController::HandOver(const ReadBackWords& words) {
    if (!plan_.ReadBackAwaited()) {
        Log(UnrequestedSetLog());
        return;
    }
    replyTimer_.stop();
    const DecodeResult decoded = plan_.DecodeRegisters(words);
    if (!decoded.accepted) {
        Log(RefusedSetLog(decoded.reason));
        ReleaseGuard("the stored set was refused: " + decoded.reason);
        return;
    }
    emit ReadBackSettled(true, {});
}

// Edits made while the read-back was awaited were held back; one recompute applies them, so the
// display matches the panel again.
void LinkController::ReleaseGuard(const std::string& why) {
    plan_.AwaitReadBack(false);
    plan_.Recalculate();
    emit ReadBackSettled(false, QString::fromStdString(why));
}

// The timer runs only while the guard holds: every other way of releasing it stops the timer.
void LinkController::OnReplyTimeout() {
    const double seconds = std::chrono::duration<double>(options_.replyTimeout).count();
    Log(NoReplyLog(seconds));
    ReleaseGuard("no reply to INIT within " + QString::number(seconds).toStdString() + " s");
}

void LinkController::OnPortLost(const QString& reason) {
    const bool midTransfer = Busy();
    sequence_.Stop();
    replyTimer_.stop();
    Log(PortLostLog(port_, reason.toStdString(), midTransfer));
    if (plan_.ReadBackAwaited()) {
        // No reply can come now, so the panel must not stay frozen.
        ReleaseGuard("port lost (" + reason.toStdString() + ")");
    }
    ReturnToPortChoice();
}

} // namespace max2870
