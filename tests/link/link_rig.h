#pragma once

// The rig of the link's window-side tests: a scripted serial layer that also lists the ports, and
// the panel, plan and link wired as the window wires them.

#include "link/link_controller.h"
#include "link/port_directory.h"
#include "link/serial_link.h"
#include "panel/memory_panel.h"

#include <QTest>

#include <functional>
#include <map>

namespace max2870 {

using namespace std::chrono_literals;

inline double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Ports open unless `faults` names them. Each line handed over is noted with its time and
// answered with `answer`, which arrives while the sender waits, like a real reply.
class TestLink : public SerialLink, public PortDirectory {
public:
    PortNaming naming = PortNaming::Paths;
    std::vector<std::string> names; // the ports the system lists
    std::map<std::string, PortFault> faults;
    std::vector<std::string> opens; // the port of every open tried, in order
    std::string wire;               // every line handed over
    std::vector<double> times;      // when each was handed over
    std::string answer;
    std::function<void()> onWrite;

    void Deliver(const std::string& text) { incoming_ += text, Received(); }
    void Lose() { open_ = false, Lost("Input/output error"); }
    PortNaming Naming() const override { return naming; }
    std::vector<PortCandidate> Candidates() const override {
        return {names.begin(), names.end()}; // a name without details
    }
    void SetPortName(const std::string& name) override { name_ = name; }
    std::string PortName() const override { return name_; }
    OpenResult Open() override {
        opens.push_back(name_);
        open_ = !faults.contains(name_);
        return open_ ? OpenResult{} : OpenResult{faults[name_], "scripted"};
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void Write(std::string_view text) override {
        wire += text;
        times.push_back(Seconds());
        onWrite ? onWrite() : void();
        incoming_ += answer;
        QMetaObject::invokeMethod(this, &SerialLink::Received, Qt::QueuedConnection);
    }
    std::string Read() override { return std::exchange(incoming_, {}); }

private:
    std::string name_, incoming_;
    bool open_ = false;
};

// Over the scripted layer, or over a real one (the scripted layer still lists the ports).
struct LinkRig {
    explicit LinkRig(LinkOptions options = {"MAX2870 Control", 10ms, 5s},
                     SerialLink* real = nullptr)
        : plan(state, panel),
          controller(panel, plan, real ? *real : static_cast<SerialLink&>(link), link, options) {
        panel.PresetValue(ControlId::OutDivCont, 1); // 2320.5 MHz out of a 4641 MHz VCO
        router.Add(PlanController::Routes(), plan);
        router.Add(LinkController::Routes(), controller);
        panel.SetEventSink(&router);
        QObject::connect(&controller, &LinkController::TransferFinished, [this](bool completed) {
            finished.push_back(completed);
            finishedAt = Seconds();
        });
    }
    void Click(ControlId id) { router.OnControlEvent(id, ControlEvent::Click); }
    void Connect(const std::string& port) {
        panel.SetText(ControlId::CPort, port);
        Click(ControlId::SetCP);
    }
    const std::string& Log() const { return panel.Record(ControlId::Text1).text; }
    bool Run(ControlId button) { // clicks and waits for the sequence: whether it completed
        const std::size_t before = finished.size();
        clickedAt = Seconds();
        Click(button);
        return QTest::qWaitFor([&] { return finished.size() > before; }, 10000) && finished.back();
    }

    TestLink link;
    SynthState state;
    MemoryPanel panel;
    PlanController plan;
    LinkController controller;
    EventRouter router;
    std::vector<bool> finished; // every TransferFinished, in order
    double clickedAt = 0;
    double finishedAt = 0;
};

} // namespace max2870
