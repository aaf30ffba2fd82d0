#include "panel/listing_command.h"

#include "core/listing.h"

namespace max2870 {

namespace {

constexpr EventRoute<ListingCommand> kListingRoutes[] = {
    {ControlId::PicEEdata, ControlEvent::Click, &ListingCommand::PicEEdata_Click},
};

} // namespace

std::span<const EventRoute<ListingCommand>> ListingCommand::Routes() {
    return kListingRoutes;
}

void ListingCommand::PicEEdata_Click() {
    plan_.Recalculate();
    panel_.SetVisible(ControlId::EEdata, true);
    // The place is worked out in single precision, in twips of the outer window edges.
    const WindowRect main = panel_.WindowPlace(ControlId::MAX2870);
    const float left = static_cast<float>(main.left) + static_cast<float>(main.width) / 3.0F;
    const float top = static_cast<float>(main.top) + static_cast<float>(main.height) / 3.0F;
    panel_.MoveWindow(ControlId::EEdata, left, top);
    const std::string frText = panel_.Text(ControlId::FrText);
    const ListingReference reference{frText, panel_.Value(ControlId::Refdiv2) == 1,
                                     panel_.Value(ControlId::RefDbl) == 1};
    panel_.SetText(ControlId::EEtext, ListingAfter(plan_.LastPlan().outcome, plan_.State(),
                                                   reference, panel_.Text(ControlId::ValuesText)));
}

} // namespace max2870
