#pragma once

#include "link/link_controller.h"
#include "link/port_directory.h"
#include "link/qt_serial_link.h"
#include "model/memory_panel.h"
#include "model/plan_controller.h"

#include <QElapsedTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace max2870 {

// A fixed list of ports, so no test ever touches the machine's own serial devices.
class ListedPorts : public PortDirectory {
public:
    ListedPorts(PortNaming naming, std::vector<std::string> names)
        : naming_(naming), names_(std::move(names)) {}
    PortNaming Naming() const override { return naming_; }
    std::vector<PortCandidate> Candidates() const override {
        std::vector<PortCandidate> candidates;
        for (const std::string& name : names_) {
            candidates.push_back({name, {}});
        }
        return candidates;
    }

private:
    PortNaming naming_;
    std::vector<std::string> names_;
};

// A serial layer whose ports open or fail as the test says. Its answer to each line arrives
// through the event loop like a real port's, but always before any wait of the sender is over,
// so what a command makes of the replies does not hang on how busy the machine is.
class ScriptedLink : public SerialLink {
public:
    std::map<std::string, PortFault> faults; // ports not listed here open
    int opensLeft = 1000;                    // opens that succeed before every open fails
    std::vector<std::string> openAttempts;
    std::string written;
    std::string answer; // sent back after every line written

    void SetPortName(const std::string& name) override { name_ = name; }
    std::string PortName() const override { return name_; }
    OpenResult Open() override {
        openAttempts.push_back(name_);
        const auto fault = faults.find(name_);
        if (fault != faults.end()) {
            return {fault->second, "scripted"};
        }
        if (opensLeft <= 0) {
            return {PortFault::NotFound, "scripted"};
        }
        --opensLeft;
        open_ = true;
        return {};
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void Write(std::string_view text) override {
        written.append(text);
        if (!answer.empty()) {
            incoming_ += answer;
            QMetaObject::invokeMethod(this, &SerialLink::Received, Qt::QueuedConnection);
        }
    }
    std::string Read() override { return std::exchange(incoming_, {}); }

private:
    std::string name_;
    bool open_ = false;
    std::string incoming_;
};

// The real serial layer with a note of when the program handed each line to it, taken on the
// program's own clock: the pacing rule is about when lines are sent, and the far end of a
// pseudo-terminal only sees them after the kernel has passed them on.
class WatchedLink : public SerialLink {
public:
    struct SentLine {
        std::string text;
        double seconds; // from the link's creation
    };

    WatchedLink() {
        clock_.start();
        connect(&link_, &SerialLink::Received, this, &SerialLink::Received);
        connect(&link_, &SerialLink::Lost, this, &SerialLink::Lost);
    }

    std::function<void()> onWrite; // runs as each line goes out, inside the sequence
    const std::vector<SentLine>& Writes() const { return writes_; }
    double Now() const { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }
    void Forget() { writes_.clear(); }

    void SetPortName(const std::string& name) override { link_.SetPortName(name); }
    std::string PortName() const override { return link_.PortName(); }
    OpenResult Open() override {
        const OpenResult result = link_.Open();
        openedAt_ = Now();
        return result;
    }
    double OpenedAt() const { return openedAt_; } // the end of the latest open
    void Close() override { link_.Close(); }
    bool IsOpen() const override { return link_.IsOpen(); }
    void Write(std::string_view text) override {
        writes_.push_back({std::string(text), Now()});
        if (onWrite) {
            onWrite();
        }
        link_.Write(text);
    }
    std::string Read() override { return link_.Read(); }

private:
    QtSerialLink link_;
    QElapsedTimer clock_;
    std::vector<SentLine> writes_;
    double openedAt_ = 0;
};

// Panel, plan and link wired as the window wires them, over the in-memory panel.
struct LinkRig {
    LinkRig(SerialLink& link, const PortDirectory& ports, LinkOptions options)
        : plan(state, panel), controller(state, panel, plan, link, ports, std::move(options)) {
        panel.PresetValue(ControlId::OutDivCont, 1); // 2320.5 MHz from a 4641 MHz VCO
        panel.SetEventSink(&plan);
        plan.SetNextSink(&controller);
    }

    void Click(ControlId id) { plan.OnControlEvent(id, ControlEvent::Click); }
    const std::string& Log() const { return panel.Record(ControlId::Text1).text; }

    SynthState state;
    MemoryPanel panel;
    PlanController plan;
    LinkController controller;
};

inline LinkOptions FastOptions() {
    LinkOptions options;
    options.title = "MAX2870 Control";
    options.lineWait = std::chrono::milliseconds(5);
    // Long enough for a simulator on a loaded machine; the no-reply test sets its own.
    options.replyTimeout = std::chrono::milliseconds(5000);
    return options;
}

} // namespace max2870
