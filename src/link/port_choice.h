#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace max2870 {

// How the system names its serial ports: by number (COM1 to COM32) or by device path.
enum class PortNaming { Numbered, Paths };

struct PortChoice {
    double cp = 0;             // the port number kept in the record (1 for a device path)
    std::string port;          // the name the serial layer opens
    std::string captionSuffix; // what the main window's caption gains once it is open
};

// The port that the text of the port box names, or none: a numbered text without a number after
// its third character ("COM Port", say), or an empty one.
std::optional<PortChoice> ReadPortChoice(std::string_view text, PortNaming naming);

} // namespace max2870
