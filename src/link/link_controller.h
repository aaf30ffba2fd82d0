#pragma once

#include "core/synth_state.h"
#include "link/paced_sequence.h"
#include "link/port_choice.h"
#include "link/receive_path.h"
#include "panel/event_router.h"
#include "panel/panel.h"
#include "panel/plan_controller.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <string>

namespace max2870 {

class PortDirectory;
class SerialLink;

struct LinkOptions {
    std::string title = "MAX2870 Control";        // the title of the port message boxes
    std::chrono::milliseconds lineWait{100};      // before and after every line sent
    std::chrono::milliseconds replyTimeout{5000}; // for the set asked for by "INIT from EE"
};

// The serial link's side of the panel: port choice, the three paced send commands, and the
// replies, which it files and hands to the decoder.
class LinkController : public QObject {
    Q_OBJECT
public:
    LinkController(Panel& panel, PlanController& plan, SerialLink& link, const PortDirectory& ports,
                   LinkOptions options = {}, QObject* parent = nullptr);
    ~LinkController() override;

    // The link's buttons and their handlers.
    static std::span<const EventRoute<LinkController>> Routes();

    void Form_Load();
    void ProbePorts();
    void SetCP_Click();
    void CPort_Click();
    void ClrText_Click();
    void SendAll_Click();
    void WriteAll_Click();
    void Init_Click();

    // A transfer runs, or the instrument holds the port: the send commands do nothing.
    bool Busy() const { return sequence_.Running() || heldForInstrument_; }
    // The window's own use of the port: a transfer, or the reply "INIT from EE" waits for.
    bool OwnTransferPending() const { return sequence_.Running() || plan_.ReadBackAwaited(); }
    // The SCPI instrument has sets waiting for or on the port: the send buttons are greyed as
    // during a transfer, and a held close waits for the release.
    void HoldForInstrument(bool held);
    // "Write EE" or "INIT from EE" on the instrument's behalf, while it holds the port; whether
    // the transfer started (the log says why not).
    bool ClickForInstrument(ControlId button);
    // Whether the program may end now. During a transfer the first request is held until the
    // set on the wire is complete (CloseReady then follows); a second one may end it at once.
    bool RequestClose();
    int RxCount() const { return receive_.RxCount(); }
    const std::string& Serin() const { return receive_.Serin(); }

signals:
    void TransferFinished(bool completed);
    void CloseReady();    // a held close request may go ahead
    void CloseDeferred(); // a close waits for the set on the wire
    // The read-back "INIT from EE" asked for ended: the panel restored, or why not.
    void ReadBackSettled(bool restored, const QString& why);

private:
    void OnComm();
    void HandOver(const ReadBackWords& words);
    void OnReplyTimeout();
    void OnPortLost(const QString& reason);
    void ReleaseGuard(const std::string& why);
    void ReturnToPortChoice();
    void ShowLinkCommands(bool shown);
    bool RefuseIncompleteSet();

    void Run(TransferPlan plan);
    bool RunStep(const TransferStep& step);
    void OnSequenceFinished(bool completed);
    void SetSendButtonsEnabled(bool enabled);
    void Log(const std::string& text);
    void LogOnItsOwnLine(const std::string& text);

    Panel& panel_;
    PlanController& plan_;
    SerialLink& link_;
    const PortDirectory& ports_;
    LinkOptions options_;
    ReceivePath receive_;
    PacedSequence sequence_;
    QTimer replyTimer_;
    std::string port_;              // the port chosen by "Set COM Port"
    std::string captionBeforePort_; // the window caption before the port was added to it
    bool closeRequested_ = false;
    bool heldForInstrument_ = false;
};

} // namespace max2870
