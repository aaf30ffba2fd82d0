#pragma once

#include "link/receive_path.h"
#include "link/serial_link.h"
#include "plan_output.h"
#include "plan_report.h"
#include "step_list.h"
#include "tool_options.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace max2870 {

// Exit statuses of the sender.
enum SendStatus { kSent = 0, kLinkFailed = 3, kNotComplete = 4, kInterrupted = 130 };

// One run of the sender over an open-able port: a single set (programmed, stored or read back)
// or the steps of a sweep or list. Line j goes out at start + (j + 1/2) x gap, plus the dwells
// of the steps before it: deadlines on a monotonic clock, never a sum of sleeps, so lateness
// of one line is not carried into the next and the processor idles in between.
class SendSession : public QObject {
    Q_OBJECT
public:
    SendSession(SerialLink& link, const ToolOptions& options, std::optional<StepList> steps,
                QObject* parent = nullptr);

    void Start();
    void Interrupt(); // Ctrl-C: the line on the wire is finished, the port closed

signals:
    void Finished(int status);

private:
    using Clock = std::chrono::steady_clock;

    struct Step {
        PlanReport report;
        RegisterMask sent;
        std::string text; // the step's wanted frequency, empty for a single set
        long long index = -1;
    };

    bool PlanSingleSet();
    bool PlanNextStep();
    void QueueStep(Step step, const std::vector<int>& registers);
    void ArmTimer();
    void OnTimer();
    void OnReceived();
    void OnLost(const QString& reason);
    void StepDone();
    void Finish(int status, const std::string& message = {});
    Clock::time_point Deadline(long long line) const;
    void WarnSpur(const PlanReport& report, const std::string& stepText);
    void Progress(const std::string& line);
    void Print(const std::string& text);

    SerialLink& link_;
    const ToolOptions& options_;
    std::optional<StepList> steps_;
    std::optional<StepPlanner> planner_;
    QTimer timer_;
    Clock::time_point start_;
    std::deque<std::string> queue_; // lines of the step on the wire, in order
    std::optional<Step> current_;
    long long linesSent_ = 0;
    long long dwells_ = 0;
    long long nextIndex_ = 0;
    long long pass_ = 0;
    bool sentThisPass_ = false;
    std::optional<RegisterWords> lastSent_;
    ReceivePath receive_;
    bool awaitingReply_ = false;
    bool finishing_ = false;
    bool done_ = false;
};

} // namespace max2870
