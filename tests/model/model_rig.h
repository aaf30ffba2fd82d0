#pragma once

// A settings record, the in-memory panel in its starting state and the controller that handles
// its events, wired as the window and the planner wire them. Every event the panel reports
// passes through a probe first, so a test can see what was written and act inside a handler.

#include "model/control_table.h"
#include "model/hex_format.h"
#include "model/memory_panel.h"
#include "model/plan_controller.h"
#include "model/synth_state.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace max2870 {
inline void PrintTo(Rgb colour, std::ostream* out) {
    *out << "RGB(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
         << ")";
}
} // namespace max2870

namespace max2870::test {

inline constexpr const char* kCrLf = "\r\n";

// One reported event with the control's text as it stood when the event arrived.
struct SeenEvent {
    ControlId id;
    ControlEvent event;
    std::string text;
};

// Records every event, runs an optional hook, then hands the event on (to the controller, or
// nowhere when the test checks the panel alone).
class EventProbe : public PanelEvents {
public:
    EventProbe(const Panel& panel, PanelEvents* next) : panel_(panel), next_(next) {}

    void OnControlEvent(ControlId id, ControlEvent event) override {
        seen.push_back({id, event, panel_.Text(id)});
        if (before) {
            before(id, event);
        }
        if (next_ != nullptr) {
            next_->OnControlEvent(id, event);
        }
    }

    int Count(ControlId id, ControlEvent event) const {
        int count = 0;
        for (const SeenEvent& e : seen) {
            count += (e.id == id && e.event == event) ? 1 : 0;
        }
        return count;
    }

    std::vector<std::string> TextsOf(ControlId id) const {
        std::vector<std::string> texts;
        for (const SeenEvent& e : seen) {
            if (e.id == id && e.event == ControlEvent::Change) {
                texts.push_back(e.text);
            }
        }
        return texts;
    }

    // The text of the first Change the control reported, or "(none)".
    std::string FirstTextOf(ControlId id) const {
        const auto texts = TextsOf(id);
        return texts.empty() ? "(none)" : texts.front();
    }

    std::vector<SeenEvent> seen;
    std::function<void(ControlId, ControlEvent)> before;

private:
    const Panel& panel_;
    PanelEvents* next_;
};

// The four words a decode reads, as the receive path files them (RxReg entries 0, 1, 2, 4).
struct StoredSet {
    std::uint32_t reg0;
    std::uint32_t reg1;
    std::uint32_t reg2;
    std::uint32_t reg4;
};

class ModelRig {
public:
    SynthState state;
    MemoryPanel panel;
    PlanController plan{state, panel};
    EventProbe probe{panel, &plan};

    ModelRig() { panel.SetEventSink(&probe); }

    std::string Text(ControlId id) const { return panel.Text(id); }
    std::string Caption(ControlId id) const { return panel.Caption(id); }
    int Value(ControlId id) const { return panel.Value(id); }
    Rgb Fore(ControlId id) const { return panel.Record(id).fore; }
    Rgb Back(ControlId id) const { return panel.Record(id).back; }

    // The operator's edits and clicks, with their events.
    void Type(ControlId id, const std::string& text) { panel.SetText(id, text); }
    void Set(ControlId id, int value) { panel.SetValue(id, value); }
    void Click(ControlId id) { plan.OnControlEvent(id, ControlEvent::Click); }

    // Any recompute that gets past its guard hides the listing window; one that has not run
    // leaves it shown.
    void ShowListing() { panel.SetVisible(ControlId::EEdata, true); }
    bool ListingShown() const { return panel.Visible(ControlId::EEdata); }

    std::array<std::int32_t, 6> Words() const {
        return {state.Reg0, state.Reg1, state.Reg2, state.Reg3, state.Reg4, state.Reg5};
    }
    std::array<std::string, 6> HexWords() const {
        std::array<std::string, 6> hex;
        const auto words = Words();
        for (std::size_t i = 0; i < words.size(); ++i) {
            hex[i] = HexFormat(words[i]);
        }
        return hex;
    }

    void File(const StoredSet& set) {
        state.RxReg[0] = static_cast<std::int32_t>(set.reg0);
        state.RxReg[1] = static_cast<std::int32_t>(set.reg1);
        state.RxReg[2] = static_cast<std::int32_t>(set.reg2);
        state.RxReg[4] = static_cast<std::int32_t>(set.reg4);
    }

    // The words as "Reg k   0x XXXXXXXX" lines of the results text, Reg0 first.
    static std::string WordLines(const std::array<const char*, 6>& hex) {
        std::string lines;
        for (std::size_t i = 0; i < hex.size(); ++i) {
            lines += "Reg " + std::to_string(i) + "   0x " + hex[i] + kCrLf;
        }
        return lines;
    }
};

// Every property of every control, for checking that something left the panel alone.
inline void ExpectSamePanel(const MemoryPanel& before, const MemoryPanel& after) {
    for (const ControlEntry& entry : ControlTable()) {
        const auto& a = before.Record(entry.id);
        const auto& b = after.Record(entry.id);
        SCOPED_TRACE(std::string(entry.name));
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.value, b.value);
        EXPECT_EQ(a.fore, b.fore);
        EXPECT_EQ(a.back, b.back);
        EXPECT_EQ(a.bold, b.bold);
        EXPECT_EQ(a.visible, b.visible);
        EXPECT_EQ(a.enabled, b.enabled);
    }
}

// Every field of the record; doubles compared by value, so a changed plan value shows.
inline void ExpectSameState(const SynthState& a, const SynthState& b) {
    EXPECT_EQ(a.Fr, b.Fr);
    EXPECT_EQ(a.R, b.R);
    EXPECT_EQ(a.Fcomp, b.Fcomp);
    EXPECT_EQ(a.OutDiv, b.OutDiv);
    EXPECT_EQ(a.Fout, b.Fout);
    EXPECT_EQ(a.VCO, b.VCO);
    EXPECT_EQ(a.Resolution, b.Resolution);
    EXPECT_EQ(a.N, b.N);
    EXPECT_EQ(a.Fract, b.Fract);
    EXPECT_EQ(a.Denom, b.Denom);
    EXPECT_EQ(a.ErrorHz, b.ErrorHz);
    EXPECT_EQ(a.MuxVal, b.MuxVal);
    EXPECT_EQ(a.NoiseMode, b.NoiseMode);
    EXPECT_EQ(a.Reg0, b.Reg0);
    EXPECT_EQ(a.Reg1, b.Reg1);
    EXPECT_EQ(a.Reg2, b.Reg2);
    EXPECT_EQ(a.Reg3, b.Reg3);
    EXPECT_EQ(a.Reg4, b.Reg4);
    EXPECT_EQ(a.Reg5, b.Reg5);
    EXPECT_EQ(a.InitFlag, b.InitFlag);
    EXPECT_EQ(a.RxReg, b.RxReg);
}

} // namespace max2870::test
