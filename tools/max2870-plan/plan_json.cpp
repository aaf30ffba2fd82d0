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

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
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
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
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
        fields.emplace_back(std::string(SpecOf(id).name), JsonString(panel.Text(id)));
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
