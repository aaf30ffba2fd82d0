#pragma once

#include "panel/control_table.h"
#include "panel/panel.h"

#include <array>
#include <string>
#include <vector>

namespace max2870 {

// The panel as a plain record, built from the control table. It reports events exactly as the
// window does, so the tests and the planner run the very same handlers.
class MemoryPanel : public Panel {
public:
    struct ControlRecord {
        std::string text; // text box text or caption
        int value = 0;
        Rgb fore = colour::Black;
        Rgb back = colour::White;
        bool bold = false;
        std::string note;
        bool visible = true;
        bool enabled = true;
        std::vector<std::string> list;
        WindowRect place;
    };

    MemoryPanel();

    // Sets a control's text or value as the panel's starting state, without any event.
    void Preset(ControlId id, std::string_view text);
    void PresetValue(ControlId id, int value);

    const ControlRecord& Record(ControlId id) const { return records_[Index(id)]; }
    const std::vector<std::string>& Messages() const { return messages_; }

    void SetEventSink(PanelEvents* sink) override { sink_ = sink; }
    std::string Text(ControlId id) const override;
    void SetText(ControlId id, std::string_view text) override;
    void AppendText(ControlId id, std::string_view text) override;
    std::string Caption(ControlId id) const override;
    void SetCaption(ControlId id, std::string_view caption) override;
    int Value(ControlId id) const override;
    void SetValue(ControlId id, int value) override;
    void SetForeColour(ControlId id, Rgb colour) override;
    void SetBackColour(ControlId id, Rgb colour) override;
    void SetBold(ControlId id, bool bold) override;
    void SetNote(ControlId id, std::string_view note) override;
    bool Visible(ControlId id) const override;
    void SetVisible(ControlId id, bool visible) override;
    void SetEnabled(ControlId id, bool enabled) override;
    WindowRect WindowPlace(ControlId window) const override;
    void MoveWindow(ControlId window, double left, double top) override;
    void AddListEntry(ControlId id, std::string_view entry) override;
    void ClearList(ControlId id) override { At(id).list.clear(); }
    int ListCount(ControlId id) const override;
    std::string ListEntry(ControlId id, int index) const override;
    void ShowMessage(std::string_view title, std::string_view text) override;

private:
    ControlRecord& At(ControlId id) { return records_[Index(id)]; }
    void Report(ControlId id, ControlEvent event);

    std::array<ControlRecord, ControlCount> records_;
    std::vector<std::string> messages_;
    PanelEvents* sink_ = nullptr;
};

} // namespace max2870
