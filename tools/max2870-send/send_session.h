#pragma once

#include "core/synth_state.h"
#include "link/receive_path.h"
#include "link/serial_link.h"
#include "plan_output.h"
#include "plan_report.h"
#include "step_source.h"
#include "tool_options.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace max2870 {

// Exit statuses of the sender; a signal ends it with 128 + the signal's number.
enum SendStatus {
    kSent = 0,
    kOutputFailed = 1, // standard output could not be written
    kBadValue = 2,     // a bad command line or list line
    kLinkFailed = 3,
    kNotComplete = 4, // a plan that did not complete or breaks a chip rule: not sent
};

// One run of the sender over an open-able port: a single set (programmed, stored or read back)
// or the steps of a sweep or list. Line j goes out at start + (j + 1/2) x gap, plus the dwells
// of the steps before it: deadlines on a monotonic clock, never a sum of sleeps, so lateness
// of one line is not carried into the next and the processor idles in between.
class SendSession : public QObject {
    Q_OBJECT
public:
    SendSession(SerialLink& link, const ToolOptions& options, std::unique_ptr<StepSource> steps,
                QObject* parent = nullptr);

    void Start();
    // A signal: the line on the wire is finished, the port closed, exit 128 + signal.
    void Interrupt(int signal);

signals:
    void Finished(int status);

private:
    using Clock = std::chrono::steady_clock;
    enum class NextStep { Queued, Waiting, End, Stopped };

    struct Step {
        PlanReport report;
        RegisterMask sent;
        std::string text; // the step's wanted frequency, empty for a single set
        long long index = -1;
        std::string outcome; // "chip-rule" for a step the rules kept back, else the run's
    };

    bool SingleSetAllowed(const PlanReport& report);
    NextStep PlanNextStep();
    bool StartPass();
    std::string WhyNotSent(const PlanReport& report, const std::string& text);
    void ContinueWith(NextStep next);
    void OnStepsArrived();
    void QueueStep(Step step, const std::vector<int>& registers);
    void ArmTimer();
    void OnTimer();
    void OnReceived();
    bool ErasedReply(const LineOutcome& line);
    void OnLost(const QString& reason);
    void StepDone();
    void Finish(int status, const std::string& message = {});
    Clock::time_point Deadline(long long line) const;
    void WarnSpur(const PlanReport& report, const std::string& stepText);
    void Progress(const std::string& line);
    void Print(const std::string& text);

    SerialLink& link_;
    const ToolOptions& options_;
    std::unique_ptr<StepSource> steps_;
    std::optional<StepPlanner> planner_;
    std::optional<StepPlanner> detailPlanner_; // the texts of a step that is not sent
    QTimer timer_;
    Clock::time_point opened_;
    Clock::time_point start_;       // moved on when a live feed kept the run waiting
    std::deque<std::string> queue_; // lines of the step on the wire, in order
    std::optional<Step> current_;
    long long linesSent_ = 0;
    long long dwells_ = 0;
    long long nextIndex_ = 0;
    long long pass_ = 0;
    long long stepsThisPass_ = 0;
    long long notSent_ = 0;
    bool sentThisPass_ = false;
    std::optional<RegisterWords> lastSent_;
    ReceivePath receive_;
    int wordsReceived_ = 0; // words of the reply to INIT
    bool onlyErasedWords_ = true;
    bool awaitingReply_ = false;
    bool waiting_ = false; // for the next line of a live feed
    bool finishing_ = false;
    bool done_ = false;
};

} // namespace max2870
