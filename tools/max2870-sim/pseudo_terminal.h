#pragma once

#include <optional>
#include <string>

namespace max2870sim {

// A raw pseudo-terminal pair. The simulator keeps the slave side open itself, so the master
// never reports a hang-up while no program has the port open.
struct PseudoTerminal {
    int master = -1;
    int slave = -1;
    std::string slavePath;
};

std::optional<PseudoTerminal> OpenRawPseudoTerminal(std::string& error);
void ClosePseudoTerminal(PseudoTerminal& terminal);

} // namespace max2870sim
