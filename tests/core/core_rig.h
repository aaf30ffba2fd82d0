#pragma once

#include "core/register_map.h"

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace max2870::test {

// The six words as the results box shows them, Reg0 first.
inline std::string Hex(const RegisterWords& words) {
    std::string text;
    for (const std::int32_t word : words) {
        char digits[12];
        std::snprintf(digits, sizeof digits, "%s%08X", text.empty() ? "" : " ",
                      static_cast<unsigned>(word));
        text += digits;
    }
    return text;
}

inline std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

inline std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find(separator, at)) != text.npos;
         at = end + separator.size()) {
        parts.push_back(text.substr(at, end - at));
    }
    parts.push_back(text.substr(at));
    return parts;
}

// Where a row's summary "a | b | c" differs from the one wanted: the section's name and, within
// it, the first word that differs with the word before it ("D", "Reg1"), so that a failing row
// names its field and not only the whole line.
inline std::string WhereDiffers(std::string_view got, std::string_view wanted,
                                std::span<const char* const> sections) {
    const auto gotParts = Split(got, " | "), wantedParts = Split(wanted, " | ");
    for (std::size_t i = 0; i < sections.size() && i < gotParts.size(); ++i) {
        const auto g = Split(gotParts[i], " ");
        const auto w = Split(i < wantedParts.size() ? wantedParts[i] : "", " ");
        for (std::size_t k = 0; k < g.size(); ++k) {
            if (k >= w.size() || g[k] != w[k]) {
                const std::string name = sections[i];
                const std::string label = name == "words" ? "Reg" + std::to_string(k)
                                          : k > 0         ? std::string(g[k - 1])
                                                          : name;
                return name + ": " + label + " is '" + std::string(g[k]) + "'";
            }
        }
    }
    return "the sections wanted differ in length";
}

} // namespace max2870::test
