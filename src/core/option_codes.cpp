#include "core/option_codes.h"

namespace max2870 {

const OptionCode* OptionForCode(std::span<const OptionCode> group, std::int32_t code) {
    for (const OptionCode& entry : group) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

const OptionCode* OptionForName(std::span<const OptionCode> group, std::string_view name) {
    for (const OptionCode& entry : group) {
        if (entry.commandName == name) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace max2870
