#include "link/port_choice.h"

#include "core/numbers.h"

namespace max2870 {

namespace {

std::optional<PortChoice> ReadNumbered(std::string_view text) {
    const double cp = NumberOfText(text.size() > 3 ? text.substr(3) : std::string_view());
    if (cp == 0) {
        return std::nullopt;
    }
    return PortChoice{cp, "COM" + PlainText(ToInteger(cp)), "   COM" + BlankLedText(cp)};
}

std::optional<PortChoice> ReadPath(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const auto last = text.find_last_not_of(" \t");
    const std::string path(text.substr(first, last - first + 1));
    return PortChoice{1, path, "   " + path};
}

} // namespace

std::optional<PortChoice> ReadPortChoice(std::string_view text, PortNaming naming) {
    return naming == PortNaming::Numbered ? ReadNumbered(text) : ReadPath(text);
}

} // namespace max2870
