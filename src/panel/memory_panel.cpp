#include "panel/memory_panel.h"

namespace max2870 {

void MemoryPanel::Report(ControlId id, ControlEvent event) {
    if (sink_ != nullptr) {
        sink_->OnControlEvent(id, event);
    }
}

void MemoryPanel::SetText(ControlId id, std::string_view text) {
    if (records_.WriteText(id, text)) {
        Report(id, ControlEvent::Change);
    }
}

void MemoryPanel::AppendText(ControlId id, std::string_view text) {
    if (!text.empty()) {
        records_[id].text.append(text);
        Report(id, ControlEvent::Change);
    }
}

bool MemoryPanel::Press(ControlId id) {
    if (!records_[id].visible || !records_[id].enabled) {
        return false;
    }
    Report(id, ControlEvent::Click);
    return true;
}

void MemoryPanel::SetCaption(ControlId id, std::string_view caption) {
    records_[id].text = std::string(caption);
}

void MemoryPanel::SetValue(ControlId id, int value) {
    if (const std::optional<ControlEvent> event = records_.WriteValue(id, value)) {
        Report(id, *event);
    }
}

void MemoryPanel::SetNote(ControlId id, std::string_view note) {
    records_[id].note = std::string(note);
}

void MemoryPanel::MarkOutdated(ControlId id, std::string_view reason) {
    records_[id].outdated = std::string(reason);
}

void MemoryPanel::MoveWindow(ControlId window, double left, double top) {
    records_[window].place.left = left;
    records_[window].place.top = top;
}

void MemoryPanel::AddListEntry(ControlId id, std::string_view entry) {
    records_[id].list.emplace_back(entry);
}

void MemoryPanel::ShowMessage(std::string_view title, std::string_view text) {
    messages_.push_back(std::string(title) + "|" + std::string(text));
}

} // namespace max2870
