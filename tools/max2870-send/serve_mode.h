#pragma once

#include "tool_options.h"

#include <string>

namespace max2870 {

// max2870-send PORT --serve [ADDRESS:]TCPPORT: the board as a SCPI instrument until SIGINT or
// SIGTERM. Returns the exit status.
int ServeInstrument(const std::string& port, const ToolOptions& options, int argc, char** argv);

} // namespace max2870
