#include "register_choice.h"

namespace max2870 {

std::vector<int> RegistersToSend(const std::optional<RegisterWords>& lastSent,
                                 const RegisterWords& words) {
    std::vector<int> order;
    for (int reg = 5; reg >= 1; --reg) {
        const auto index = static_cast<std::size_t>(reg);
        if (!lastSent || (*lastSent)[index] != words[index]) {
            order.push_back(reg);
        }
    }
    order.push_back(0);
    return order;
}

} // namespace max2870
