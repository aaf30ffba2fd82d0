#pragma once

#include "core/register_map.h"

#include <optional>
#include <vector>

namespace max2870 {

// The registers a step sends, in the order they go out: all six, Reg5 first, when nothing has
// been sent yet; afterwards Reg5 down to Reg1 where the word differs from the one last sent,
// and then always Reg0, since writing Reg0 is what makes the chip retune.
std::vector<int> RegistersToSend(const std::optional<RegisterWords>& lastSent,
                                 const RegisterWords& words);

} // namespace max2870
