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

// The white space a pasted or typed path may carry at its ends: ASCII blanks, tabs and line
// ends, and in UTF-8 the no-break, typographic and ideographic spaces and the byte-order mark.
constexpr std::string_view kWideSpaces[] = {"\u0085", "\u00A0", "\u1680", "\u2000", "\u2001",
                                            "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
                                            "\u2007", "\u2008", "\u2009", "\u200A", "\u2028",
                                            "\u2029", "\u202F", "\u205F", "\u3000", "\uFEFF"};
constexpr std::string_view kNarrowSpaces = " \t\n\v\f\r";

// The length of the white space that `text` starts with (`atEnd`: ends with), 0 when none.
std::size_t SpaceAt(std::string_view text, bool atEnd) {
    if (!text.empty() &&
        kNarrowSpaces.find(atEnd ? text.back() : text.front()) != std::string_view::npos) {
        return 1;
    }
    for (std::string_view space : kWideSpaces) {
        if (atEnd ? text.ends_with(space) : text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

std::string_view Trimmed(std::string_view text) {
    for (std::size_t n = 0; (n = SpaceAt(text, false)) > 0;) {
        text.remove_prefix(n);
    }
    for (std::size_t n = 0; (n = SpaceAt(text, true)) > 0;) {
        text.remove_suffix(n);
    }
    return text;
}

std::optional<PortChoice> ReadPath(std::string_view text) {
    const std::string path(Trimmed(text));
    if (path.empty()) {
        return std::nullopt;
    }
    return PortChoice{1, path, "   " + path};
}

} // namespace

std::optional<PortChoice> ReadPortChoice(std::string_view text, PortNaming naming) {
    return naming == PortNaming::Numbered ? ReadNumbered(text) : ReadPath(text);
}

} // namespace max2870
