#pragma once

#include "core/plan.h"
#include "link/port_fault.h"

#include <string>

namespace max2870 {

// The texts the link shows: the port message box and the lines it adds to the link log. Each
// log line ends in CR LF like the rest of the log.
std::string PortOpenMessage(const std::string& portText);
std::string OpenFailureMessage(const std::string& port, const OpenResult& result);
// "Set COM Port" with nothing in the box that names a port. Where serial devices belong to a
// group (Linux), an empty list most often means the user may not open any of them.
std::string NoPortChosenMessage(bool suggestDialout);
// Why a send command sent nothing: the recompute it ran did not make a complete set.
std::string NotSentLog(RunOutcome outcome, const std::string& valuesText);
std::string ReopenFailureLog(const std::string& port, const OpenResult& result);
std::string PortClosedLog(const std::string& port);
std::string PortLostLog(const std::string& port, const std::string& reason, bool midTransfer);
std::string UnrequestedSetLog();
std::string RefusedSetLog(const std::string& reason);
std::string NoReplyLog(double seconds);
std::string CloseDeferredLog();

} // namespace max2870
