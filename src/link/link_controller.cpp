#include "link/link_controller.h"

#include "link/link_texts.h"
#include "link/port_directory.h"
#include "link/serial_link.h"

namespace max2870 {

using enum ControlId;

namespace {

// Serial devices belong to a group (dialout) that a new user is often not in.
#ifdef __linux__
constexpr bool kPortsBelongToAGroup = true;
#else
constexpr bool kPortsBelongToAGroup = false;
#endif

} // namespace

LinkController::LinkController(Panel& panel, PlanController& plan, SerialLink& link,
                               const PortDirectory& ports, LinkOptions options, QObject* parent)
    : QObject(parent), panel_(panel), plan_(plan), link_(link), ports_(ports),
      options_(std::move(options)), sequence_(options_.lineWait) {
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

std::span<const EventRoute<LinkController>> LinkController::Routes() {
    using Route = EventRoute<LinkController>;
    static constexpr Route kLinkRoutes[] = {
        {SetCP, ControlEvent::Click, &LinkController::SetCP_Click},
        {CPort, ControlEvent::Click, &LinkController::CPort_Click},
        {ClrText, ControlEvent::Click, &LinkController::ClrText_Click},
        {SendAll, ControlEvent::Click, &LinkController::SendAll_Click},
        {WriteAll, ControlEvent::Click, &LinkController::WriteAll_Click},
        {Init, ControlEvent::Click, &LinkController::Init_Click},
    };
    return kLinkRoutes;
}

void LinkController::Form_Load() {
    plan_.AwaitReadBack(false);
    ProbePorts();
}

// Lists the ports that open now, in the directory's order; also after a lost port, on an
// emptied list.
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

// The port is opened before anything claims it is open; a box that names no port, or a port
// that will not open, leaves the choice on screen with a message that says what to do.
void LinkController::SetCP_Click() {
    panel_.SetBackColour(CPort, colour::White);
    const std::string text = panel_.Text(CPort);
    const std::optional<PortChoice> choice = ReadPortChoice(text, ports_.Naming());
    if (!choice) {
        const bool suggestDialout = kPortsBelongToAGroup && panel_.ListCount(CPort) == 0;
        panel_.ShowMessage(options_.title, NoPortChosenMessage(suggestDialout));
        return;
    }
    link_.SetPortName(choice->port);
    const OpenResult opened = link_.Open();
    if (!opened.Ok()) {
        link_.Close();
        panel_.ShowMessage(options_.title, OpenFailureMessage(choice->port, opened));
        return;
    }
    port_ = choice->port;
    panel_.SetVisible(CPort, false);
    panel_.SetVisible(SetCP, false);
    // A path is named as opened, without the white space or line end it may have been pasted with.
    const bool paths = ports_.Naming() == PortNaming::Paths;
    panel_.ShowMessage(options_.title, PortOpenMessage(paths ? choice->port : text));
    captionBeforePort_ = panel_.Caption(MAX2870);
    panel_.SetCaption(MAX2870, captionBeforePort_ + choice->captionSuffix);
    ShowLinkCommands(true);
}

// The port is gone: the commands go, the choice comes back with the ports as they are now.
void LinkController::ReturnToPortChoice() {
    link_.Close();
    ShowLinkCommands(false);
    panel_.SetCaption(MAX2870, captionBeforePort_);
    panel_.ClearList(CPort); // a port that went away leaves the list
    ProbePorts();
    panel_.SetBackColour(CPort, colour::Red);
    panel_.SetVisible(CPort, true);
    panel_.SetVisible(SetCP, true);
}

void LinkController::ShowLinkCommands(bool shown) {
    panel_.SetVisible(SendAll, shown);
    panel_.SetVisible(Init, shown);
    panel_.SetVisible(WriteAll, shown);
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

// After the translator's replies, which need not end their last line.
void LinkController::LogOnItsOwnLine(const std::string& text) {
    const std::string log = panel_.Text(Text1);
    Log((log.empty() || log.ends_with('\n') ? "" : "\r\n") + text);
}

} // namespace max2870
