#include "link/paced_sequence.h"

namespace max2870 {

using std::chrono::nanoseconds;

PacedSequence::PacedSequence(nanoseconds wait, QObject* parent) : QObject(parent), wait_(wait) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &PacedSequence::Advance);
}

void PacedSequence::Start(TransferPlan plan, StepRunner runner) {
    plan_ = std::move(plan);
    runner_ = std::move(runner);
    next_ = 0;
    waiting_ = false;
    running_ = true;
    Advance();
}

void PacedSequence::Stop() {
    if (running_) {
        Finish(false);
    }
}

// Runs the steps up to the next wait and arms the timer, which calls back here. A wait ends only
// once strictly more than its time has passed on a monotonic clock, which also makes it immune to
// the wall clock passing midnight or being set.
void PacedSequence::Advance() {
    if (waiting_) {
        const nanoseconds remaining = due_ - nanoseconds(clock_.nsecsElapsed());
        if (remaining >= nanoseconds::zero()) {
            ArmFor(remaining);
            return;
        }
        waiting_ = false;
    }
    while (running_ && next_ < plan_.size()) {
        if (plan_[next_].kind == StepKind::Wait) {
            // Back-to-back waits (after one line and before the next) become one timer: each
            // timer wakes a little late, and that lateness would otherwise add up over a
            // transfer.
            due_ = nanoseconds::zero();
            for (; next_ < plan_.size() && plan_[next_].kind == StepKind::Wait; ++next_) {
                due_ += wait_;
            }
            waiting_ = true;
            clock_.start();
            ArmFor(due_);
            return;
        }
        const TransferStep step = plan_[next_++]; // a copy: the runner may stop the plan
        if (!runner_(step)) {
            Stop();
            return;
        }
    }
    if (running_) {
        Finish(true);
    }
}

void PacedSequence::ArmFor(nanoseconds remaining) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining);
    timer_.start(std::max<std::chrono::milliseconds>(ms, std::chrono::milliseconds(1)));
}

void PacedSequence::Finish(bool completed) {
    timer_.stop();
    running_ = false;
    waiting_ = false;
    plan_.clear();
    next_ = 0;
    emit Finished(completed);
}

} // namespace max2870
