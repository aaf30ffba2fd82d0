#include "panel/memory_panel.h"

#include <algorithm>

namespace max2870 {

MemoryPanel::MemoryPanel() {
    for (const ControlEntry& entry : ControlTable()) {
        ControlRecord& record = At(entry.id);
        record.text = std::string(entry.text);
        record.value = entry.value;
        record.fore = entry.fore.value_or(colour::Black);
        record.back = entry.back.value_or(colour::White);
        record.bold = entry.font != FontStyle::Default;
        record.visible = entry.visible;
        record.enabled = entry.enabled;
        record.place = {static_cast<double>(entry.place.left), static_cast<double>(entry.place.top),
                        static_cast<double>(entry.place.width),
                        static_cast<double>(entry.place.height)};
    }
}

void MemoryPanel::Preset(ControlId id, std::string_view text) {
    At(id).text = std::string(text);
}

void MemoryPanel::PresetValue(ControlId id, int value) {
    const ControlEntry& entry = EntryOf(id);
    if (entry.kind == ControlKind::OptionButton && value != 0) {
        for (ControlId member : OptionGroupOf(id)) {
            At(member).value = 0;
        }
    }
    At(id).value = value;
}

void MemoryPanel::Report(ControlId id, ControlEvent event) {
    if (sink_ != nullptr) {
        sink_->OnControlEvent(id, event);
    }
}

std::string MemoryPanel::Text(ControlId id) const {
    return Record(id).text;
}

void MemoryPanel::SetText(ControlId id, std::string_view text) {
    if (At(id).text == text) {
        return;
    }
    At(id).text = std::string(text);
    Report(id, ControlEvent::Change);
}

void MemoryPanel::AppendText(ControlId id, std::string_view text) {
    if (!text.empty()) {
        At(id).text.append(text);
        Report(id, ControlEvent::Change);
    }
}

std::string MemoryPanel::Caption(ControlId id) const {
    return Record(id).text;
}

void MemoryPanel::SetCaption(ControlId id, std::string_view caption) {
    At(id).text = std::string(caption);
}

int MemoryPanel::Value(ControlId id) const {
    return Record(id).value;
}

void MemoryPanel::SetValue(ControlId id, int value) {
    const ControlEntry& entry = EntryOf(id);
    switch (entry.kind) {
    case ControlKind::Spinner:
        value = std::clamp(value, entry.minimum, entry.maximum);
        break;
    case ControlKind::CheckBox:
        value = value != 0 ? 1 : 0;
        break;
    case ControlKind::OptionButton:
        if (value == 0 || At(id).value != 0) {
            return; // an option is cleared only by selecting another of its group
        }
        PresetValue(id, 1);
        Report(id, ControlEvent::Click);
        return;
    default:
        break;
    }
    if (At(id).value == value) {
        return;
    }
    At(id).value = value;
    Report(id, entry.kind == ControlKind::Spinner ? ControlEvent::Change : ControlEvent::Click);
}

void MemoryPanel::SetForeColour(ControlId id, Rgb colour) {
    At(id).fore = colour;
}
void MemoryPanel::SetBackColour(ControlId id, Rgb colour) {
    At(id).back = colour;
}
void MemoryPanel::SetBold(ControlId id, bool bold) {
    At(id).bold = bold;
}
void MemoryPanel::SetNote(ControlId id, std::string_view note) {
    At(id).note = std::string(note);
}
bool MemoryPanel::Visible(ControlId id) const {
    return Record(id).visible;
}
void MemoryPanel::SetVisible(ControlId id, bool visible) {
    At(id).visible = visible;
}
void MemoryPanel::SetEnabled(ControlId id, bool enabled) {
    At(id).enabled = enabled;
}

WindowRect MemoryPanel::WindowPlace(ControlId window) const {
    return Record(window).place;
}

void MemoryPanel::MoveWindow(ControlId window, double left, double top) {
    At(window).place.left = left;
    At(window).place.top = top;
}

void MemoryPanel::AddListEntry(ControlId id, std::string_view entry) {
    At(id).list.emplace_back(entry);
}

int MemoryPanel::ListCount(ControlId id) const {
    return static_cast<int>(Record(id).list.size());
}

std::string MemoryPanel::ListEntry(ControlId id, int index) const {
    const auto& list = Record(id).list;
    if (index < 0 || index >= static_cast<int>(list.size())) {
        return {};
    }
    return list[static_cast<std::size_t>(index)];
}

void MemoryPanel::ShowMessage(std::string_view title, std::string_view text) {
    messages_.push_back(std::string(title) + "|" + std::string(text));
}

} // namespace max2870
