#include "link/link_controller.h"

#include "link/link_texts.h"
#include "link/port_directory.h"
#include "link/serial_link.h"

namespace max2870 {

using enum ControlId;

LinkController::LinkController(SynthState& state, Panel& panel, PlanController& plan,
                               SerialLink& link, const PortDirectory& ports, LinkOptions options,
                               QObject* parent)
    : QObject(parent), s_(state), panel_(panel), plan_(plan), link_(link), ports_(ports),
      options_(std::move(options)), receive_(state), sequence_(options_.lineWait) {
    replyTimer_.setSingleShot(true);
    connect(&replyTimer_, &QTimer::timeout, this, &LinkController::OnReplyTimeout);
    connect(&link_, &SerialLink::Received, this, &LinkController::OnComm);
    connect(&link_, &SerialLink::Lost, this, &LinkController::OnPortLost);
    connect(&sequence_, &PacedSequence::Finished, this, &LinkController::OnSequenceFinished);
}

LinkController::~LinkController() {
    sequence_.Stop();
    link_.Close(); // closing the window releases the port
}

void LinkController::OnControlEvent(ControlId id, ControlEvent event) {
    if (event != ControlEvent::Click) {
        return;
    }
    switch (id) {
    case SetCP:
        SetCP_Click();
        break;
    case CPort:
        CPort_Click();
        break;
    case ClrText:
        ClrText_Click();
        break;
    case SendAll:
        SendAll_Click();
        break;
    case WriteAll:
        WriteAll_Click();
        break;
    case Init:
        Init_Click();
        break;
    default:
        break;
    }
}

void LinkController::Form_Load() {
    s_.CP = 0;
    s_.InitFlag = false;
    ProbePorts();
}

void LinkController::ProbePorts() {
    for (const PortCandidate& candidate : ports_.Candidates()) {
        link_.SetPortName(candidate.name);
        if (link_.Open().Ok()) {
            panel_.AddListEntry(CPort, candidate.name);
        }
        link_.Close();
    }
    panel_.SetText(CPort, panel_.ListCount(CPort) > 0 ? panel_.ListEntry(CPort, 0) : "");
}

void LinkController::SetCP_Click() {
    panel_.SetBackColour(CPort, colour::White);
    panel_.SetVisible(CPort, false);
    panel_.SetVisible(SetCP, false);
    const std::string text = panel_.Text(CPort);
    const std::optional<PortChoice> choice = ReadPortChoice(text, ports_.Naming());
    if (!choice) {
        return; // no port named: the link stays unavailable until the next start
    }
    s_.CP = choice->cp;
    panel_.ShowMessage(options_.title, PortOpenMessage(text));
    link_.SetPortName(choice->port);
    const OpenResult opened = link_.Open();
    if (!opened.Ok()) {
        panel_.ShowMessage(options_.title, OpenFailureMessage(choice->port, opened));
        ReturnToPortChoice();
        return;
    }
    port_ = choice->port;
    panel_.SetCaption(MAX2870, panel_.Caption(MAX2870) + choice->captionSuffix);
    panel_.SetVisible(SendAll, true);
    panel_.SetVisible(Init, true);
    panel_.SetVisible(WriteAll, true);
}

// A failed open leaves nothing half done: the port is closed and the choice is offered again.
void LinkController::ReturnToPortChoice() {
    link_.Close();
    s_.CP = 0;
    panel_.SetVisible(CPort, true);
    panel_.SetVisible(SetCP, true);
}

void LinkController::CPort_Click() {
    panel_.SetBackColour(CPort, colour::White);
}

void LinkController::ClrText_Click() {
    panel_.SetText(Text1, "");
}

void LinkController::Log(const std::string& text) {
    panel_.AppendText(Text1, text);
}

} // namespace max2870
