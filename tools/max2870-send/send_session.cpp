#include "send_session.h"

#include "core/numbers.h"
#include "link/link_texts.h"
#include "link/transfer_plan.h"
#include "output_check.h"
#include "port_access.h"
#include "register_choice.h"
#include "strict_number.h"

#include <cmath>
#include <csignal>
#include <cstdio>

namespace max2870 {
namespace {

std::string FirstLine(const std::string& text) {
    const auto end = text.find_first_of("\r\n");
    return end == std::string::npos ? text : text.substr(0, end);
}

// The window's open-failure reason on one line; a refused permission gets advice that fits the
// device: its group where joining that group helps, else its owner and mode.
std::string OpenFailure(const std::string& port, const OpenResult& result) {
    std::string line = FirstLine(OpenFailureMessage(port, result));
    if (result.fault == PortFault::Permission) {
        const std::optional<DeviceAccess> access = AccessOf(port);
        line += " " + (access ? PermissionAdvice(*access) : std::string("ask for access to it"));
    }
    return line;
}

std::string SignalName(int signal) {
    switch (signal) {
    case SIGINT:
        return "Ctrl-C (SIGINT)";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal " + std::to_string(signal);
    }
}

constexpr std::string_view kErasedWordEntry = " - FFFFFFFF\r\n";

} // namespace

SendSession::SendSession(SerialLink& link, const ToolOptions& options,
                         std::unique_ptr<StepSource> steps, QObject* parent)
    : QObject(parent), link_(link), options_(options), steps_(std::move(steps)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SendSession::OnTimer);
    connect(&link_, &SerialLink::Received, this, &SendSession::OnReceived);
    connect(&link_, &SerialLink::Lost, this, &SendSession::OnLost);
    if (steps_) {
        planner_.emplace(options_, options_.json ? ReportDepth::Everything : ReportDepth::Numbers);
        detailPlanner_.emplace(options_, ReportDepth::Everything);
        steps_->OnArrival([this] { OnStepsArrived(); });
    }
}

// A single set goes out only complete and within the chip's rules, unless told otherwise.
bool SendSession::SingleSetAllowed(const PlanReport& report) {
    if (report.outcome != RunOutcome::Complete || !report.decodeRefusal.empty()) {
        Finish(kNotComplete, "Not sent: " + IncompleteReason(report));
        return false;
    }
    const std::vector<RuleBreak> blocking = BlockingBreaks(report.ruleBreaks, options_.externalVco);
    if (!blocking.empty() && !options_.allowRuleBreaks) {
        Finish(kNotComplete, "Not sent: it breaks the chip's rules: " + RuleBreakList(blocking) +
                                 " (--allow-rule-breaks sends it anyway)");
        return false;
    }
    if (!blocking.empty()) {
        std::fprintf(stderr, "max2870-send: sent although it breaks the chip's rules: %s\n",
                     RuleBreakList(blocking).c_str());
    }
    WarnSpur(report, "");
    return true;
}

void SendSession::Start() {
    std::optional<PlanReport> single;
    if (!steps_ && options_.command != SendCommand::Read) {
        single = MakeReport(options_);
        if (!SingleSetAllowed(*single)) {
            return;
        }
    }
    if (const OpenResult opened = link_.Open(); !opened.Ok()) {
        Finish(kLinkFailed, OpenFailure(link_.PortName(), opened));
        return;
    }
    opened_ = start_ = Clock::now();
    if (options_.command == SendCommand::Read) {
        queue_.push_back(InitLine());
    } else if (single) {
        QueueStep({*single, kAllRegisters, {}, -1, {}}, {5, 4, 3, 2, 1, 0});
    } else {
        if (!options_.json) {
            Print(CsvHeader());
        }
        if (!done_) {
            ContinueWith(PlanNextStep());
        }
        return;
    }
    ArmTimer();
}

// Acts on what the next step turned out to be.
void SendSession::ContinueWith(NextStep next) {
    switch (next) {
    case NextStep::Waiting:
        waiting_ = true;
        return;
    case NextStep::Stopped:
        return;
    case NextStep::End:
        finishing_ = true;
        break;
    case NextStep::Queued:
        break;
    }
    ArmTimer();
}

void SendSession::OnStepsArrived() {
    if (!waiting_ || done_) {
        return;
    }
    waiting_ = false;
    // The feed kept the run waiting: the pacing starts again from now, so the next line still
    // keeps a whole gap from the one before it.
    if (const auto late = Clock::now() - Deadline(linesSent_); late > Clock::duration::zero()) {
        start_ += late;
    }
    ContinueWith(PlanNextStep());
}

// Another pass over the steps, when one is due; false when the run is over.
bool SendSession::StartPass() {
    ++pass_;
    const bool endless = options_.repeat == 0;
    // An endless run whose whole pass sent nothing would only repeat its refusals.
    if ((!endless && pass_ >= options_.repeat) || stepsThisPass_ == 0 ||
        (endless && !sentThisPass_) || !steps_->Restart()) {
        return false;
    }
    nextIndex_ = 0;
    stepsThisPass_ = 0;
    sentThisPass_ = false;
    return true;
}

// Why a step is kept back, never empty; empty when it goes out.
std::string SendSession::WhyNotSent(const PlanReport& report, const std::string& text) {
    if (report.outcome != RunOutcome::Complete) {
        return IncompleteReason(detailPlanner_->Report(text)); // with the results text
    }
    const std::vector<RuleBreak> blocking = BlockingBreaks(report.ruleBreaks, options_.externalVco);
    if (blocking.empty() || options_.allowRuleBreaks) {
        return "";
    }
    return "it breaks the chip's rules: " + RuleBreakList(blocking);
}

SendSession::NextStep SendSession::PlanNextStep() {
    for (;;) {
        StepSource::Taken taken = steps_->Take();
        if (taken.status == StepSource::Status::Wait) {
            return NextStep::Waiting;
        }
        if (taken.status == StepSource::Status::Bad) {
            Finish(kBadValue, taken.error);
            return NextStep::Stopped;
        }
        if (taken.status == StepSource::Status::End) {
            if (!StartPass()) {
                return NextStep::End;
            }
            continue;
        }
        const long long index = nextIndex_++;
        ++stepsThisPass_;
        const std::string& text = taken.text;
        PlanReport report = planner_->Report(text);
        WarnSpur(report, text);
        if (const std::string reason = WhyNotSent(report, text); !reason.empty()) {
            std::fprintf(stderr, "max2870-send: step %lld (%s): Not sent: %s\n", index,
                         text.c_str(), reason.c_str());
            ++notSent_;
            const bool rules = report.outcome == RunOutcome::Complete;
            report.state.Fout = StrictNumber(text).value_or(NAN); // the step's own frequency
            current_ =
                Step{std::move(report), RegisterMask{}, text, index, rules ? "chip-rule" : ""};
            StepDone();
            if (done_) {
                return NextStep::Stopped;
            }
            continue;
        }
        if (const auto blocking = BlockingBreaks(report.ruleBreaks, options_.externalVco);
            !blocking.empty()) {
            std::fprintf(stderr, "max2870-send: step %lld (%s): sent although it breaks: %s\n",
                         index, text.c_str(), RuleBreakList(blocking).c_str());
        }
        const RegisterWords words = report.state.words;
        const std::vector<int> registers = RegistersToSend(lastSent_, words);
        lastSent_ = words;
        sentThisPass_ = true;
        RegisterMask sent;
        for (const int reg : registers) {
            sent.set(static_cast<std::size_t>(reg));
        }
        QueueStep({std::move(report), sent, text, index, {}}, registers);
        return NextStep::Queued;
    }
}

void SendSession::QueueStep(Step step, const std::vector<int>& registers) {
    const RegisterWords words = step.report.state.words;
    for (const int reg : registers) {
        queue_.push_back(RegisterLine(words[static_cast<std::size_t>(reg)]));
        if (options_.command == SendCommand::Store) {
            queue_.push_back(StoreLine());
        }
    }
    current_ = std::move(step);
}

SendSession::Clock::time_point SendSession::Deadline(long long line) const {
    // Each line sits in the middle of its own gap; the end of the run is the half gap after
    // the last line.
    const double seconds =
        (static_cast<double>(line) + (finishing_ ? 0.0 : 0.5)) * options_.gapSeconds +
        static_cast<double>(dwells_) * options_.dwellSeconds;
    return start_ + std::chrono::nanoseconds(std::llround(seconds * 1e9));
}

void SendSession::ArmTimer() {
    if (done_) {
        return;
    }
    const auto remaining = Deadline(linesSent_) - Clock::now();
    // Rounded up: the timer must not fire before the deadline. Long dwells are waited in
    // pieces of an hour, well inside what a timer holds.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(remaining);
    timer_.start(std::clamp<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0),
                                                       std::chrono::hours(1)));
}

void SendSession::OnTimer() {
    if (done_) {
        return;
    }
    if (awaitingReply_) {
        Finish(kLinkFailed,
               wordsReceived_ == 0
                   ? "No reply to INIT from EE within " + PlainText(options_.timeoutSeconds) + " s"
                   : "the reply to INIT from EE (" + std::to_string(wordsReceived_) +
                         " words) did not make a full set of registers within " +
                         PlainText(options_.timeoutSeconds) + " s");
        return;
    }
    if (Clock::now() < Deadline(linesSent_)) {
        ArmTimer();
        return;
    }
    if (finishing_) {
        if (current_ && current_->index < 0) {
            Print(PlanJson(current_->report));
        }
        Finish(kSent);
        return;
    }
    const std::string line = queue_.front();
    queue_.pop_front();
    link_.Write(line);
    ++linesSent_;
    Progress(line);
    if (!queue_.empty()) {
        ArmTimer();
        return;
    }
    if (options_.command == SendCommand::Read) {
        awaitingReply_ = true;
        timer_.start(std::chrono::milliseconds(std::llround(options_.timeoutSeconds * 1000)));
        return;
    }
    StepDone();
    if (done_) {
        return;
    }
    ContinueWith(steps_ ? PlanNextStep() : NextStep::End);
}

void SendSession::StepDone() {
    if (!current_ || current_->index < 0) {
        return;
    }
    if (current_->sent.any()) {
        ++dwells_; // the dwell follows the step's last line
    }
    if (options_.json) {
        Print(PlanJson(current_->report, {current_->index, current_->sent, current_->outcome}));
    } else {
        std::string line;
        AppendCsvLine(line, current_->report, current_->sent, current_->outcome);
        Print(line);
    }
}

// An erased EEPROM answers INIT with six words of all ones, which name no register 0 and so
// never make a set.
bool SendSession::ErasedReply(const LineOutcome& line) {
    if (!line.logEntry) {
        return false;
    }
    ++wordsReceived_;
    onlyErasedWords_ = onlyErasedWords_ && line.logEntry->ends_with(kErasedWordEntry);
    return wordsReceived_ >= 6 && onlyErasedWords_;
}

void SendSession::OnReceived() {
    receive_.Take(link_.Read());
    while (const std::optional<LineOutcome> line = receive_.NextLine()) {
        if (!awaitingReply_ || done_) {
            continue;
        }
        if (ErasedReply(*line)) {
            Finish(kLinkFailed, "the EEPROM holds no stored set (all words FFFFFFFF)");
            return;
        }
        if (!line->handOver) {
            continue;
        }
        ToolOptions restored = options_;
        restored.decode = *line->handOver;
        const PlanReport report = MakeReport(restored);
        if (!report.decodeRefusal.empty()) {
            Finish(kLinkFailed, "Stored register set refused: " + report.decodeRefusal);
            return;
        }
        Print(PlanJson(report));
        Finish(kSent);
        return;
    }
}

void SendSession::OnLost(const QString& reason) {
    // The window's log line advises on its port box; a script needs only what happened.
    Finish(kLinkFailed, "port " + link_.PortName() + " went away (" + reason.toStdString() +
                            ") after " + std::to_string(linesSent_) +
                            " lines; the transfer stopped");
}

void SendSession::Interrupt(int signal) {
    if (!done_) {
        Finish(128 + signal, "interrupted by " + SignalName(signal) + " after " +
                                 std::to_string(linesSent_) +
                                 " lines; the last line went out whole and the port is closed");
    }
}

void SendSession::Finish(int status, const std::string& message) {
    if (done_) {
        return;
    }
    done_ = true;
    timer_.stop();
    link_.Close();
    if (!message.empty()) {
        std::fprintf(stderr, "max2870-send: %s\n", message.c_str());
    }
    if (status == kSent && !options_.quiet && linesSent_ > 0) {
        const double seconds = std::chrono::duration<double>(Clock::now() - opened_).count();
        std::fprintf(stderr, "max2870-send: %lld lines in %.4f s\n", linesSent_, seconds);
    }
    if (status == kSent && notSent_ > 0) {
        status = kNotComplete;
        std::fprintf(stderr, "max2870-send: %lld step%s not sent\n", notSent_,
                     notSent_ == 1 ? "" : "s");
    }
    emit Finished(status);
}

void SendSession::WarnSpur(const PlanReport& report, const std::string& stepText) {
    const std::string warning =
        options_.warnSpurHz ? SpurWarning(report, *options_.warnSpurHz, stepText) : "";
    if (!warning.empty()) {
        std::fprintf(stderr, "max2870-send: %s\n", warning.c_str());
    }
}

void SendSession::Progress(const std::string& line) {
    if (options_.quiet) {
        return;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - opened_).count();
    std::fprintf(stderr, "%s  %.3f s\n", FirstLine(line).c_str(), seconds);
}

void SendSession::Print(const std::string& text) {
    if (!WriteOut(text) || !FlushOut()) {
        OutputFailed("max2870-send");
        Finish(kOutputFailed);
    }
}

} // namespace max2870
