#include "send_session.h"

#include "core/numbers.h"
#include "link/command_lines.h"
#include "link/link_texts.h"
#include "register_choice.h"

#include <cmath>
#include <cstdio>

namespace max2870 {
namespace {

std::string FirstLine(const std::string& text) {
    const auto end = text.find_first_of("\r\n");
    return end == std::string::npos ? text : text.substr(0, end);
}

// Why a plan is not sent, in the words of the window's log.
std::string NotSentReason(const PlanReport& report) {
    if (!report.decodeRefusal.empty()) {
        return "the --decode set was refused: " + report.decodeRefusal;
    }
    if (report.outcome == RunOutcome::NoFcomp) {
        return "no comparison frequency";
    }
    return FirstLine(report.valuesText);
}

// The window's open-failure message on one line: the reason, and for a refused permission the
// advice that names the dialout group.
std::string OpenFailure(const std::string& port, const OpenResult& result) {
    const std::string message = OpenFailureMessage(port, result);
    std::string line = FirstLine(message);
    if (result.fault == PortFault::Permission) {
        const auto second = message.find("\r\n");
        line += " " + FirstLine(message.substr(second + 2));
    }
    return line;
}

} // namespace

SendSession::SendSession(SerialLink& link, const ToolOptions& options,
                         std::optional<StepList> steps, QObject* parent)
    : QObject(parent), link_(link), options_(options), steps_(std::move(steps)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SendSession::OnTimer);
    connect(&link_, &SerialLink::Received, this, &SendSession::OnReceived);
    connect(&link_, &SerialLink::Lost, this, &SendSession::OnLost);
    if (steps_) {
        planner_.emplace(options_, options_.json ? ReportDepth::Everything : ReportDepth::Numbers);
    }
}

void SendSession::Start() {
    std::optional<PlanReport> single;
    if (!steps_ && options_.command != SendCommand::Read) {
        single = MakeReport(options_);
        if (single->outcome != RunOutcome::Complete) {
            Finish(kNotComplete, "Not sent: " + NotSentReason(*single));
            return;
        }
        WarnSpur(*single, "");
    }
    if (const OpenResult opened = link_.Open(); !opened.Ok()) {
        Finish(kLinkFailed, OpenFailure(link_.PortName(), opened));
        return;
    }
    start_ = Clock::now();
    if (options_.command == SendCommand::Read) {
        queue_.push_back(InitLine());
    } else if (single) {
        QueueStep({*single, kAllRegisters, {}, -1}, {5, 4, 3, 2, 1, 0});
    } else {
        if (!options_.json) {
            Print(CsvHeader());
        }
        if (!PlanNextStep()) {
            finishing_ = true;
        }
    }
    ArmTimer();
}

bool SendSession::PlanNextStep() {
    for (;;) {
        if (nextIndex_ >= steps_->Count()) {
            ++pass_;
            const bool endless = options_.repeat == 0;
            // An endless run whose whole pass sent nothing would only repeat its refusals.
            if ((!endless && pass_ >= options_.repeat) || steps_->Count() == 0 ||
                (endless && !sentThisPass_)) {
                return false;
            }
            nextIndex_ = 0;
            sentThisPass_ = false;
        }
        const long long index = nextIndex_++;
        const std::string text = steps_->Text(index);
        PlanReport report = planner_->Report(text);
        WarnSpur(report, text);
        if (report.outcome != RunOutcome::Complete) {
            std::fprintf(stderr, "max2870-send: step %lld (%s): Not sent: %s\n", index,
                         text.c_str(), NotSentReason(report).c_str());
            current_ = Step{std::move(report), RegisterMask{}, text, index};
            StepDone();
            continue;
        }
        const RegisterWords words = report.state.words;
        const std::vector<int> registers = RegistersToSend(lastSent_, words);
        lastSent_ = words;
        sentThisPass_ = true;
        RegisterMask sent;
        for (const int reg : registers) {
            sent.set(static_cast<std::size_t>(reg));
        }
        QueueStep({std::move(report), sent, text, index}, registers);
        return true;
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
    // Rounded up: the timer must not fire before the deadline.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(remaining);
    timer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

void SendSession::OnTimer() {
    if (done_) {
        return;
    }
    if (awaitingReply_) {
        Finish(kLinkFailed, FirstLine(NoReplyLog(options_.timeoutSeconds)));
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
    if (!steps_ || !PlanNextStep()) {
        finishing_ = true;
    }
    ArmTimer();
}

void SendSession::StepDone() {
    if (!current_ || current_->index < 0) {
        return;
    }
    if (current_->sent.any()) {
        ++dwells_; // the dwell follows the step's last line
    }
    if (options_.json) {
        Print(PlanJson(current_->report, {current_->index, current_->sent}));
    } else {
        std::string line;
        AppendCsvLine(line, current_->report, current_->sent);
        Print(line);
    }
}

void SendSession::OnReceived() {
    receive_.Take(link_.Read());
    while (const std::optional<LineOutcome> line = receive_.NextLine()) {
        if (!line->handOver || !awaitingReply_ || done_) {
            continue;
        }
        ToolOptions restored = options_;
        restored.decode = *line->handOver;
        const PlanReport report = MakeReport(restored);
        if (!report.decodeRefusal.empty()) {
            Finish(kLinkFailed, FirstLine(RefusedSetLog(report.decodeRefusal)));
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

void SendSession::Interrupt() {
    if (!done_) {
        Finish(kInterrupted, "interrupted after " + std::to_string(linesSent_) +
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
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        std::fprintf(stderr, "max2870-send: %lld lines in %.4f s\n", linesSent_, seconds);
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
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    std::fprintf(stderr, "%s  %.3f s\n", FirstLine(line).c_str(), seconds);
}

void SendSession::Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace max2870
