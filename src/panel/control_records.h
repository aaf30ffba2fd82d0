#pragma once

#include "panel/control_table.h"
#include "panel/panel.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace max2870 {

// What one control holds: the state both panels keep, whether or not a widget shows it.
struct ControlRecord {
    std::string text; // text box text or caption
    int value = 0;
    Rgb fore = colour::Black;
    Rgb back = colour::White;
    bool bold = false;
    std::string note;
    std::string outdated; // why the control's words are no longer current; empty while they are
    bool visible = true;
    bool enabled = true;
    std::vector<std::string> list;
    WindowRect place;
};

// Every control's record, starting as the control table says. The writes that raise an event
// tell their caller which one, so that each panel reports it its own way, once.
class ControlRecords {
public:
    ControlRecords();

    const ControlRecord& operator[](ControlId id) const { return records_[Index(id)]; }
    ControlRecord& operator[](ControlId id) { return records_[Index(id)]; }

    // True when the text changed, which a text box reports as Change.
    bool WriteText(ControlId id, std::string_view text);
    // The event a value write raises: a spinner is held to its range, a check box to 0 or 1,
    // and an option button is cleared only by selecting another of its group.
    std::optional<ControlEvent> WriteValue(ControlId id, int value);
    // The starting state: no event, and an option button's group follows.
    void PresetValue(ControlId id, int value);

private:
    std::array<ControlRecord, ControlCount> records_;
};

// What both panels, in memory and over widgets, read the same way: each control's state is its
// record, whatever shows it.
class RecordedPanel : public Panel {
public:
    std::string Text(ControlId id) const override { return records_[id].text; }
    std::string Caption(ControlId id) const override { return records_[id].text; }
    int Value(ControlId id) const override { return records_[id].value; }
    bool Visible(ControlId id) const override { return records_[id].visible; }
    int ListCount(ControlId id) const override {
        return static_cast<int>(records_[id].list.size());
    }
    std::string ListEntry(ControlId id, int index) const override; // empty past the list's end

protected:
    ControlRecords records_;
};

} // namespace max2870
