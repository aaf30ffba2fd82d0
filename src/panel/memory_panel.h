#pragma once

#include "panel/control_records.h"

#include <string>
#include <vector>

namespace max2870 {

// The panel as a plain record, built from the control table. It reports events exactly as the
// window does, so the tests and the planner run the very same handlers.
class MemoryPanel : public RecordedPanel {
public:
    using ControlRecord = max2870::ControlRecord;

    // Sets a control's text or value as the panel's starting state, without any event.
    void Preset(ControlId id, std::string_view text) { records_[id].text = std::string(text); }
    void PresetValue(ControlId id, int value) { records_.PresetValue(id, value); }

    const ControlRecord& Record(ControlId id) const { return records_[id]; }
    const std::vector<std::string>& Messages() const { return messages_; }

    void SetEventSink(PanelEvents* sink) override { sink_ = sink; }
    void SetText(ControlId id, std::string_view text) override;
    void WriteBack(ControlId id, std::string_view text) override { records_.WriteText(id, text); }
    void AppendText(ControlId id, std::string_view text) override;
    bool Press(ControlId id) override;
    void SetCaption(ControlId id, std::string_view caption) override;
    void SetValue(ControlId id, int value) override;
    void SetForeColour(ControlId id, Rgb colour) override { records_[id].fore = colour; }
    void SetBackColour(ControlId id, Rgb colour) override { records_[id].back = colour; }
    void SetBold(ControlId id, bool bold) override { records_[id].bold = bold; }
    void SetNote(ControlId id, std::string_view note) override;
    void MarkOutdated(ControlId id, std::string_view reason) override;
    void SetVisible(ControlId id, bool visible) override { records_[id].visible = visible; }
    void SetEnabled(ControlId id, bool enabled) override { records_[id].enabled = enabled; }
    WindowRect WindowPlace(ControlId window) const override { return records_[window].place; }
    void MoveWindow(ControlId window, double left, double top) override;
    void AddListEntry(ControlId id, std::string_view entry) override;
    void ClearList(ControlId id) override { records_[id].list.clear(); }
    void ShowMessage(std::string_view title, std::string_view text) override;

private:
    void Report(ControlId id, ControlEvent event);

    std::vector<std::string> messages_;
    PanelEvents* sink_ = nullptr;
};

} // namespace max2870
