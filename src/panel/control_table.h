#pragma once

#include "core/colours.h"
#include "panel/control_id.h"

#include <optional>
#include <span>
#include <string_view>

namespace max2870 {

enum class ControlKind {
    Window,
    Label,
    TextBox,
    MultiLineText,
    CheckBox,
    OptionButton,
    Frame,
    CommandButton,
    ComboBox,
    Spinner,
};

enum class FontStyle { Default, Bold, Bold12 };
enum class Alignment { Left, Centre, Right };

// Place in twips (15 to a logical pixel), relative to the window's client area or, for an
// option button, to its frame. A window's place gives its client size only.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One control as the panel starts: both the in-memory panel and the window are built from it.
struct ControlEntry {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    std::string_view text{}; // caption or initial text
    TwipRect place{};
    ControlId parent = ControlId::MAX2870;
    int value = 0; // check box 0/1, option button selected 0/1, spinner value
    int minimum = 0;
    int maximum = 0;
    FontStyle font = FontStyle::Default;
    Alignment align = Alignment::Left;
    std::optional<Rgb> fore{};
    std::optional<Rgb> back{};
    std::string_view tooltip{};
    bool visible = true;
    bool enabled = true;
    bool verticalScrollBar = false;
};

// All controls, windows first, then in tab order (FoutText is the first control that takes focus).
std::span<const ControlEntry> ControlTable();

const ControlEntry& EntryOf(ControlId id);

// The option buttons that form one group with the given button (itself included).
std::span<const ControlId> OptionGroupOf(ControlId id);

} // namespace max2870
