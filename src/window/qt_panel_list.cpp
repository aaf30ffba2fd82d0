#include "window/qt_panel.h"

#include "panel/control_table.h"
#include "window/control_widgets.h"
#include "window/port_box.h"

#include <QComboBox>

namespace max2870 {

void QtPanel::AddListEntry(ControlId id, std::string_view entry) {
    records_[id].list.emplace_back(entry);
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (combo == nullptr) {
        return;
    }
    Mirroring mirroring(*this);
    combo->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    // The first entry of an empty list would become the box's text; the text is the record's.
    ApplyText(EntryOf(id), combo, records_[id].text, *fonts_);
    WidenPortList(combo);
}

void QtPanel::ClearList(ControlId id) {
    records_[id].list.clear();
    if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) {
        Mirroring mirroring(*this);
        combo->clear();
        ApplyText(EntryOf(id), combo, records_[id].text, *fonts_);
    }
}

} // namespace max2870
