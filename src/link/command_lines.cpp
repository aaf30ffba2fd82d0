#include "link/command_lines.h"

#include "core/hex_format.h"

namespace max2870 {

std::string RegisterLine(std::int32_t word) {
    return "R" + HexFormat(word) + "\r\n";
}

std::string StoreLine() {
    return "W\r\n";
}

std::string InitLine() {
    return "INIT\r\n";
}

} // namespace max2870
