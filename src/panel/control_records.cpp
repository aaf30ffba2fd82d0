#include "panel/control_records.h"

#include <algorithm>

namespace max2870 {

ControlRecords::ControlRecords() {
    for (const ControlEntry& entry : ControlTable()) {
        ControlRecord& record = (*this)[entry.id];
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

bool ControlRecords::WriteText(ControlId id, std::string_view text) {
    std::string& held = (*this)[id].text;
    if (held == text) {
        return false;
    }
    held = std::string(text);
    return true;
}

std::optional<ControlEvent> ControlRecords::WriteValue(ControlId id, int value) {
    const ControlEntry& entry = EntryOf(id);
    switch (entry.kind) {
    case ControlKind::Spinner:
        value = std::clamp(value, entry.minimum, entry.maximum);
        break;
    case ControlKind::CheckBox:
        value = value != 0 ? 1 : 0;
        break;
    case ControlKind::OptionButton:
        if (value == 0 || (*this)[id].value != 0) {
            return std::nullopt;
        }
        PresetValue(id, 1);
        return ControlEvent::Click;
    default:
        break;
    }
    if ((*this)[id].value == value) {
        return std::nullopt;
    }
    (*this)[id].value = value;
    return entry.kind == ControlKind::Spinner ? ControlEvent::Change : ControlEvent::Click;
}

void ControlRecords::PresetValue(ControlId id, int value) {
    if (EntryOf(id).kind == ControlKind::OptionButton && value != 0) {
        for (ControlId member : OptionGroupOf(id)) {
            (*this)[member].value = 0;
        }
    }
    (*this)[id].value = value;
}

std::string RecordedPanel::ListEntry(ControlId id, int index) const {
    const std::vector<std::string>& list = records_[id].list;
    if (index < 0 || index >= static_cast<int>(list.size())) {
        return {};
    }
    return list[static_cast<std::size_t>(index)];
}

} // namespace max2870
