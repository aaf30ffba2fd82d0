#include "panel/qt_panel.h"

#include "model/control_table.h"
#include "panel/control_widgets.h"

#include <QComboBox>

namespace max2870 {

void QtPanel::AddListEntry(ControlId id, std::string_view entry) {
    ControlState& state = At(id);
    state.list.emplace_back(entry);
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (combo == nullptr) {
        return;
    }
    ProgramWrite write(*this);
    combo->addItem(QString::fromUtf8(entry.data(), entry.size()));
    // The first entry of an empty list would become the box's text; the text is the program's.
    ApplyText(EntryOf(id), combo, state.text);
}

int QtPanel::ListCount(ControlId id) const {
    return static_cast<int>(State(id).list.size());
}

std::string QtPanel::ListEntry(ControlId id, int index) const {
    const auto& list = State(id).list;
    if (index < 0 || index >= static_cast<int>(list.size())) {
        return {};
    }
    return list[static_cast<std::size_t>(index)];
}

} // namespace max2870
