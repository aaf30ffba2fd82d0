#pragma once

#include "panel/panel.h"

#include <array>
#include <functional>
#include <span>

namespace max2870 {

// One line of a routing table: the handler that owns a control's event.
template <class Owner> struct EventRoute {
    ControlId id;
    ControlEvent event;
    void (Owner::*handler)();
};

// Hands each event of the panel straight to the handler that owns it, as the owners' routing
// tables say; an event nobody owns goes nowhere.
class EventRouter : public PanelEvents {
public:
    template <class Owner> void Add(std::span<const EventRoute<Owner>> routes, Owner& owner) {
        for (const EventRoute<Owner>& route : routes) {
            handlers_[Slot(route.id, route.event)] = [&owner, handler = route.handler] {
                (owner.*handler)();
            };
        }
    }

    void OnControlEvent(ControlId id, ControlEvent event) override {
        if (const std::function<void()>& handler = handlers_[Slot(id, event)]) {
            handler();
        }
    }

private:
    static constexpr std::size_t kEvents = 3; // Change, Click, LostFocus
    static std::size_t Slot(ControlId id, ControlEvent event) {
        return Index(id) * kEvents + static_cast<std::size_t>(event);
    }

    std::array<std::function<void()>, ControlCount * kEvents> handlers_{};
};

} // namespace max2870
