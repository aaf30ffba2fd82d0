#include "plan_json.h"

#include "model/hex_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace max2870 {
namespace {

using enum ControlId;

// Shortest text that reads back as the same double; null for what JSON cannot hold.
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, result.ptr};
}

// Length of the well-formed UTF-8 sequence at the start of the text, 0 when it is not one
// (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// A JSON string of a panel text. Texts are bytes as typed; a byte that is not part of valid
// UTF-8 becomes U+FFFD, so the object always parses.
std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text.substr(i));
            if (length == 0) {
                out += "\\ufffd";
            } else {
                out.append(text.substr(i, length));
                i += length - 1;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (code < 0x20 || code == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(code));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

} // namespace

std::string PlanJson(const PlanController& plan, const MemoryPanel& panel,
                     const std::string& listing) {
    const SynthState& s = plan.State();
    std::vector<std::pair<std::string, std::string>> fields{
        {"Fr", JsonNumber(s.Fr)},
        {"R", JsonNumber(s.R)},
        {"Fcomp", JsonNumber(s.Fcomp)},
        {"OutDiv", JsonNumber(s.OutDiv)},
        {"Fout", JsonNumber(s.Fout)},
        {"VCO", JsonNumber(s.VCO)},
        {"Resolution", JsonNumber(s.Resolution)},
        {"N", JsonNumber(s.N)},
        {"Fract", JsonNumber(s.Fract)},
        {"Denom", JsonNumber(s.Denom)},
        {"ErrorHz", JsonNumber(s.ErrorHz)},
        {"BandSelect", JsonNumber(plan.LastBandSelect())},
        {"P", JsonNumber(plan.LastPhaseValue())},
        {"MuxVal", JsonNumber(s.MuxVal)},
        {"NoiseMode", JsonNumber(s.NoiseMode)},
    };
    const std::int32_t words[] = {s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5};
    for (int i = 0; i < 6; ++i) {
        fields.emplace_back("Reg" + std::to_string(i), JsonString(HexFormat(words[i])));
    }
    const bool vcoInRange = !(s.VCO < 3000 || s.VCO > 6000);
    fields.emplace_back("VcoInRange", vcoInRange ? "true" : "false");
    const bool errorRed = panel.Record(ValuesText).fore == colour::Red;
    fields.emplace_back("ErrorRed", errorRed ? "true" : "false");
    fields.emplace_back("Outcome", JsonString(OutcomeName(plan.LastOutcome())));
    for (const ControlId id : {ValuesText, Rdivider, ResolutionText, FoutText, ForceD}) {
        fields.emplace_back(std::string(EntryOf(id).name), JsonString(panel.Text(id)));
    }
    fields.emplace_back("Label6", JsonString(panel.Caption(Label6)));
    fields.emplace_back("Fvco", JsonString(panel.Caption(Fvco)));
    fields.emplace_back("Listing", JsonString(listing));

    std::string json = "{";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        json += (i == 0 ? "\"" : ",\"") + fields[i].first + "\":" + fields[i].second;
    }
    return json + "}\n";
}

} // namespace max2870
