#pragma once

#include "core/plan.h"
#include "core_rig.h"
#include "panel/memory_panel.h"
#include "panel/plan_controller.h"

#include <string>

namespace max2870::test {

// Every recompute that runs hides the listing window: counting the hides counts the runs.
struct CountingPanel : MemoryPanel {
    int runs = 0;
    void SetVisible(ControlId id, bool visible) override {
        runs += id == ControlId::EEdata && !visible ? 1 : 0;
        MemoryPanel::SetVisible(id, visible);
    }
};

// The in-memory panel at its starting state with the model listening, as in the window.
struct PanelRig {
    SynthState state;
    CountingPanel panel;
    PlanController plan{state, panel};

    PanelRig() { panel.SetEventSink(&plan); }
    void Type(ControlId id, std::string_view text) { panel.SetText(id, text); }
    void Set(ControlId id, int value) { panel.SetValue(id, value); }
    std::string Text(ControlId id) const { return panel.Text(id); }
    const MemoryPanel::ControlRecord& At(ControlId id) const { return panel.Record(id); }
    std::string Words() const { return Hex(state.words); }
};

} // namespace max2870::test
