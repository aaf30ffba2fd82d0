#pragma once

#include "core/colours.h"
#include "panel/control_id.h"

#include <string>
#include <string_view>

namespace max2870 {

// Receives the events of the panel's controls. The panel reports an event synchronously inside
// the write that caused it: a text box's Change only when its text really changes, a check box's
// Click and a spinner's Change only when the value changes, an option button's Click when it
// becomes selected.
class PanelEvents {
public:
    virtual ~PanelEvents() = default;
    virtual void OnControlEvent(ControlId id, ControlEvent event) = 0;
};

struct WindowRect {
    double left = 0; // twips
    double top = 0;
    double width = 0;
    double height = 0;
};

// The operations the program's logic needs from a panel. Implemented over a plain in-memory
// record (tests, planner) and over the Qt widgets (the window).
class Panel {
public:
    virtual ~Panel() = default;

    virtual void SetEventSink(PanelEvents* sink) = 0;

    // Text boxes and the combo box: the editable text. Writing it reports Change if it differs.
    virtual std::string Text(ControlId id) const = 0;
    virtual void SetText(ControlId id, std::string_view text) = 0;
    // The recompute's own rewrite of a box it read: no event, as the recompute planned from the
    // box already. A box the operator is typing into keeps the typed text until the edit ends.
    virtual void WriteBack(ControlId id, std::string_view text) = 0;
    // Puts the caret at the end of a text box and inserts the text there (the box scrolls to it).
    virtual void AppendText(ControlId id, std::string_view text) = 0;

    // A program-made click, reported exactly as the operator's: a button pressed, a click in
    // a box. A control the operator could not click (hidden or greyed) reports nothing: false.
    virtual bool Press(ControlId id) = 0;

    // Labels, buttons, check boxes, option buttons, frames and windows: the caption.
    virtual std::string Caption(ControlId id) const = 0;
    virtual void SetCaption(ControlId id, std::string_view caption) = 0;

    // Check box 0 or 1, spinner value, option button 1 when selected. Writing 1 to an option
    // button selects it (and clears the others of its group).
    virtual int Value(ControlId id) const = 0;
    virtual void SetValue(ControlId id, int value) = 0;

    virtual void SetForeColour(ControlId id, Rgb colour) = 0;
    virtual void SetBackColour(ControlId id, Rgb colour) = 0;
    virtual void SetBold(ControlId id, bool bold) = 0;
    // A note on a control that no text or colour of the panel carries: the chip rules a complete
    // plan breaks, shown on the results box as a highlight and a tooltip. Empty clears it.
    virtual void SetNote(ControlId id, std::string_view note) = 0;
    // Marks the words a control shows as no longer current, and why (greyed, with the reason);
    // their texts stay as they are. Empty makes them current again.
    virtual void MarkOutdated(ControlId id, std::string_view reason) = 0;

    virtual bool Visible(ControlId id) const = 0;
    virtual void SetVisible(ControlId id, bool visible) = 0; // EEdata: creates it when first shown
    virtual void SetEnabled(ControlId id, bool enabled) = 0;

    // Outer window edges in twips.
    virtual WindowRect WindowPlace(ControlId window) const = 0;
    virtual void MoveWindow(ControlId window, double left, double top) = 0;

    // Combo box list.
    virtual void AddListEntry(ControlId id, std::string_view entry) = 0;
    virtual void ClearList(ControlId id) = 0; // the entries only; the box keeps its text
    virtual int ListCount(ControlId id) const = 0;
    virtual std::string ListEntry(ControlId id, int index) const = 0;

    // A message box with an OK button only and no icon.
    virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
};

} // namespace max2870
