#include "panel/listing_command.h"

#include "core/listing.h"

namespace max2870 {

void ListingCommand::OnControlEvent(ControlId id, ControlEvent event) {
    if (id == ControlId::PicEEdata && event == ControlEvent::Click) {
        PicEEdata_Click();
    } else if (next_ != nullptr) {
        next_->OnControlEvent(id, event);
    }
}

void ListingCommand::PicEEdata_Click() {
    plan_.Recalculate();
    Panel& panel = plan_.PanelRef();
    panel.SetVisible(ControlId::EEdata, true);
    // The place is worked out in single precision, in twips of the outer window edges.
    const WindowRect main = panel.WindowPlace(ControlId::MAX2870);
    const float left = static_cast<float>(main.left) + static_cast<float>(main.width) / 3.0F;
    const float top = static_cast<float>(main.top) + static_cast<float>(main.height) / 3.0F;
    panel.MoveWindow(ControlId::EEdata, left, top);
    const std::string frText = panel.Text(ControlId::FrText);
    const ListingReference reference{frText, panel.Value(ControlId::Refdiv2) == 1,
                                     panel.Value(ControlId::RefDbl) == 1};
    panel.SetText(ControlId::EEtext, ListingAfter(plan_.LastPlan().outcome, plan_.State(),
                                                  reference, panel.Text(ControlId::ValuesText)));
}

} // namespace max2870
