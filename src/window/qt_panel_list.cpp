#include "window/qt_panel.h"

#include "panel/control_table.h"
#include "window/control_widgets.h"
#include "window/port_box.h"

#include <QComboBox>

namespace max2870 {

void QtPanel::AddListEntry(ControlId id, std::string_view entry) {
    record_.AddListEntry(id, entry);
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (combo == nullptr) {
        return;
    }
    Mirroring mirroring(*this);
    combo->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    // The first entry of an empty list would become the box's text; the text is the record's.
    ApplyText(EntryOf(id), combo, record_.Text(id), *fonts_);
    WidenPortList(combo);
}

void QtPanel::ClearList(ControlId id) {
    record_.ClearList(id);
    if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) {
        Mirroring mirroring(*this);
        combo->clear();
        ApplyText(EntryOf(id), combo, record_.Text(id), *fonts_);
    }
}

} // namespace max2870
