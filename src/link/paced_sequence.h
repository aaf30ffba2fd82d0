#pragma once

#include "link/transfer_plan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace max2870 {

// Runs a transfer plan on the event loop: each wait is a timer, so window and serial events
// keep flowing and the processor idles while the line settles.
class PacedSequence : public QObject {
    Q_OBJECT
public:
    // Carries out one step that is not a wait; false stops the sequence there.
    using StepRunner = std::function<bool(const TransferStep&)>;

    explicit PacedSequence(std::chrono::nanoseconds wait, QObject* parent = nullptr);

    void Start(TransferPlan plan, StepRunner runner);
    void Stop(); // abandons the rest of the plan; Finished(false) follows
    bool Running() const { return running_; }

signals:
    void Finished(bool completed);

private:
    void Advance();
    void ArmFor(std::chrono::nanoseconds remaining);
    void Finish(bool completed);

    std::chrono::nanoseconds wait_;  // one wait of the plan
    std::chrono::nanoseconds due_{}; // the timer now running: one or more waits in a row
    QTimer timer_;
    QElapsedTimer clock_;
    TransferPlan plan_;
    std::size_t next_ = 0;
    StepRunner runner_;
    bool running_ = false;
    bool waiting_ = false; // the timer runs for due_
};

} // namespace max2870
