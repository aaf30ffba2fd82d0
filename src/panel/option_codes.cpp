#include "panel/option_codes.h"

namespace max2870 {

std::optional<ControlId> ButtonForCode(std::span<const OptionCode> codes,
                                       std::span<const ControlId> buttons, std::int32_t code) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (codes[i].code == code) {
            return buttons[i];
        }
    }
    return std::nullopt;
}

} // namespace max2870
