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
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
        if (end == std::string_view::npos) {
            return parts;
        }
        at = end + separator.size();
    }
}

// Where a row's summary "a | b | c" differs from the one wanted: the section's name and, within
// it, the first word that differs with the word before it ("D", "Reg1"), so that a failing row
// names its field and not only the whole line.
inline std::string WhereDiffers(std::string_view got, std::string_view wanted,
                                std::span<const char* const> sections) {
    const auto gotParts = Split(got, " | "), wantedParts = Split(wanted, " | ");
    std::size_t i = 0;
    for (const char* name : sections) {
        const std::string_view g = i < gotParts.size() ? gotParts[i] : "";
        const std::string_view w = i < wantedParts.size() ? wantedParts[i] : "";
        ++i;
        if (g == w) {
            continue;
        }
        const auto gw = Split(g, " "), ww = Split(w, " ");
        for (std::size_t k = 0; k < gw.size() || k < ww.size(); ++k) {
            const std::string_view a = k < gw.size() ? gw[k] : "", b = k < ww.size() ? ww[k] : "";
            if (a != b) {
                const std::string label = std::string_view(name) == "words"
                                              ? "Reg" + std::to_string(k)
                                              : std::string(k > 0 ? ww[k - 1] : name);
                return std::string(name) + ": " + label + " is '" + std::string(a) +
                       "', wanted '" + std::string(b) + "'";
            }
        }
    }
    return "more sections than wanted";
}

} // namespace max2870::test
