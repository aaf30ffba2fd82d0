#pragma once

#include <string>

namespace max2870 {

// Why a port would not open, in the terms the operator can act on.
enum class PortFault { None, NotFound, Permission, Busy, Other };

struct OpenResult {
    PortFault fault = PortFault::None;
    std::string detail; // the serial layer's own wording, for the unusual cases
    bool Ok() const { return fault == PortFault::None; }
};

} // namespace max2870
