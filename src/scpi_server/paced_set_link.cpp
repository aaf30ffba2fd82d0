#include "scpi_server/paced_set_link.h"

#include "link/transfer_plan.h"
#include "register_choice.h"

#include <algorithm>
#include <cmath>

namespace max2870 {

using scpi::LinkAnswer;

PacedSetLink::PacedSetLink(SerialLink& link, std::chrono::nanoseconds gap, bool readsAll,
                           std::chrono::milliseconds replyTimeout, QObject* parent)
    : QObject(parent), link_(link), gap_(gap), readsAll_(readsAll), replyTimeout_(replyTimeout) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    replyTimer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PacedSetLink::Pump);
    connect(&replyTimer_, &QTimer::timeout, this, &PacedSetLink::OnReplyTimeout);
    connect(&link_, &SerialLink::Received, this, &PacedSetLink::OnReceived);
    connect(&link_, &SerialLink::Lost, this, &PacedSetLink::OnLost);
}

LinkAnswer PacedSetLink::Program(const RegisterWords& words, int client) {
    return Enqueue({Kind::Program, {words}, {}, client});
}

LinkAnswer PacedSetLink::RunPass(std::vector<RegisterWords> points, double dwellSeconds,
                                 int client) {
    const auto dwell = std::chrono::nanoseconds(std::llround(dwellSeconds * 1e9));
    return Enqueue({Kind::Pass, std::move(points), dwell, client});
}

LinkAnswer PacedSetLink::Store(const RegisterWords& words, int client) {
    return Enqueue({Kind::Store, {words}, {}, client});
}

LinkAnswer PacedSetLink::Recall(int client) {
    return Enqueue({Kind::Recall, {}, {}, client});
}

void PacedSetLink::Forget() {
    Enqueue({Kind::Forget, {}, {}, 0});
}

void PacedSetLink::Abort() {
    if (current_ && current_->kind == Kind::Pass) {
        current_->points.resize(point_ + 1); // the set on the wire is the pass's last
        current_->dwell = {};
    }
}

void PacedSetLink::Shutdown() {
    shuttingDown_ = true;
    Abort();
    done_ += jobs_.size();
    jobs_.clear();
    UpdateHold();
    if (awaitingReply_) {
        awaitingReply_ = false;
        replyTimer_.stop();
        FinishJob();
    }
    Pump();
}

LinkAnswer PacedSetLink::Enqueue(Job job) {
    if (lost_) {
        return LinkAnswer::Failed;
    }
    if (!link_.IsOpen()) {
        return LinkAnswer::Missing;
    }
    if (shuttingDown_) {
        return LinkAnswer::Queued; // dropped: the program is ending
    }
    ++issued_;
    jobs_.push_back(std::move(job));
    UpdateHold();
    // Sent from here rather than from the event loop, so an idle link puts the first byte on
    // the wire while the command's line is still being handled.
    Pump();
    return LinkAnswer::Queued;
}

void PacedSetLink::Pump() {
    while (!awaitingReply_ && !awaitingPartner_) {
        if (!lines_.empty()) {
            if (!SendDueLine()) {
                return;
            }
            continue;
        }
        if (!AdvanceJob()) {
            return;
        }
    }
}

bool PacedSetLink::SendDueLine() {
    const Clock::time_point now = Clock::now();
    Clock::time_point due = now;
    if (lastDue_) {
        // Measured from when the last line was due, not when it went: lateness is not carried.
        due = std::max(now, *lastDue_ + gap_ + pause_);
    }
    if (due > now) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - now);
        timer_.start(wait);
        return false;
    }
    link_.Write(lines_.front());
    lines_.pop_front();
    lastDue_ = due;
    pause_ = {};
    return true;
}

void PacedSetLink::LoadSet(const RegisterWords& words, bool store) {
    const std::vector<int> registers =
        store ? std::vector<int>{5, 4, 3, 2, 1, 0} : RegistersToSend(lastSent_, words);
    for (const int reg : registers) {
        lines_.push_back(RegisterLine(words[static_cast<std::size_t>(reg)]));
        if (store) {
            lines_.push_back(StoreLine());
        }
    }
    lastSent_ = words;
}

// Moves the operation on once its lines are out; false when there is nothing to do now.
bool PacedSetLink::AdvanceJob() {
    if (!current_) {
        if (jobs_.empty()) {
            if (shuttingDown_) {
                emit Drained();
            }
            return false;
        }
        current_ = std::move(jobs_.front());
        jobs_.pop_front();
        point_ = 0;
        switch (current_->kind) {
        case Kind::Program:
        case Kind::Pass:
            LoadSet(current_->points.front(), false);
            return true;
        case Kind::Store:
            if (partner_) {
                return HandOver();
            }
            LoadSet(current_->points.front(), true);
            return true;
        case Kind::Recall:
            if (partner_) {
                return HandOver();
            }
            lines_.push_back(InitLine());
            return true;
        case Kind::Forget:
            lastSent_.reset();
            FinishJob();
            return true;
        }
    }
    if (current_->kind == Kind::Recall) {
        awaitingReply_ = true;
        replyTimer_.start(replyTimeout_);
        return false;
    }
    if (current_->kind == Kind::Pass) {
        if (point_ + 1 < current_->points.size()) {
            pause_ = current_->dwell;
            LoadSet(current_->points[++point_], false);
            return true;
        }
        // The last point holds for its dwell before the pass counts as done.
        const Clock::time_point end = *lastDue_ + current_->dwell;
        if (Clock::now() < end) {
            timer_.start(std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()));
            return false;
        }
    }
    FinishJob();
    return true;
}

void PacedSetLink::FinishJob() {
    current_.reset();
    ++done_;
    UpdateHold();
    emit Progressed();
}

// The partner's transfer is the operation; false while it runs.
bool PacedSetLink::HandOver() {
    QString why;
    if (!partner_->TakeOver(current_->kind == Kind::Store, why)) {
        emit Failed(current_->client, why);
        FinishJob();
        return true;
    }
    awaitingPartner_ = true;
    return false;
}

void PacedSetLink::HandedOffDone(bool ok, const QString& why) {
    if (!awaitingPartner_) {
        return; // already failed with the port
    }
    awaitingPartner_ = false;
    if (!ok) {
        emit Failed(current_->client, why);
    }
    FinishJob();
    Pump();
}

bool PacedSetLink::HandOffPending() const {
    const auto handedOff = [](const Job& job) {
        return job.kind == Kind::Store || job.kind == Kind::Recall;
    };
    return partner_ != nullptr && (awaitingPartner_ || std::ranges::any_of(jobs_, handedOff));
}

void PacedSetLink::UpdateHold() {
    const bool held = issued_ != done_;
    if (partner_ != nullptr && held != held_) {
        held_ = held;
        partner_->Hold(held);
    }
}

void PacedSetLink::OnReceived() {
    if (!awaitingReply_ && !readsAll_) {
        return;
    }
    receive_.Take(link_.Read());
    while (const std::optional<LineOutcome> line = receive_.NextLine()) {
        if (!line->handOver || !awaitingReply_) {
            continue;
        }
        awaitingReply_ = false;
        replyTimer_.stop();
        // A recalled set is what the chip now holds: the next set sends all six.
        lastSent_.reset();
        emit ReadBack(current_->client, *line->handOver);
        FinishJob();
        Pump();
        return;
    }
}

void PacedSetLink::OnReplyTimeout() {
    if (!awaitingReply_) {
        return;
    }
    awaitingReply_ = false;
    emit Failed(current_->client, QStringLiteral("no reply to INIT within %1 s")
                                      .arg(static_cast<double>(replyTimeout_.count()) / 1000));
    FinishJob();
    Pump();
}

void PacedSetLink::OnLost(const QString& reason) {
    lost_ = true;
    timer_.stop();
    replyTimer_.stop();
    awaitingReply_ = false;
    awaitingPartner_ = false;
    lines_.clear();
    lastSent_.reset();
    const QString why = QStringLiteral("port lost (%1)").arg(reason);
    if (current_) {
        emit Failed(current_->client, why);
        FinishJob();
    }
    while (!jobs_.empty()) {
        emit Failed(jobs_.front().client, why);
        jobs_.pop_front();
        ++done_;
    }
    UpdateHold();
    emit Progressed();
    if (shuttingDown_) {
        emit Drained();
    }
}

} // namespace max2870
