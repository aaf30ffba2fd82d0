#include "plan_output.h"

#include "core/hex_format.h"
#include "core/numbers.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace max2870 {
namespace {

// Shortest text that reads back as the same double; null for what JSON cannot hold.
void AppendNumber(std::string& out, double value, std::string_view null = "null") {
    if (!std::isfinite(value)) {
        out += null;
        return;
    }
    char buffer[32];
    out.append(buffer, WriteShortest(buffer, buffer + sizeof buffer, value));
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
void AppendString(std::string& out, std::string_view text) {
    out += '"';
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
    out += '"';
}

class JsonObject {
public:
    std::string& Key(std::string_view key) {
        text_ += text_.empty() ? "{\"" : ",\"";
        text_.append(key);
        text_ += "\":";
        return text_;
    }
    void Number(std::string_view key, double value) { AppendNumber(Key(key), value); }
    void String(std::string_view key, std::string_view value) { AppendString(Key(key), value); }
    void Bool(std::string_view key, bool value) { Key(key) += value ? "true" : "false"; }
    std::string Close() { return text_ + "}\n"; }

private:
    std::string text_;
};

} // namespace

std::string PlanJson(const PlanReport& r, const StepMark& mark) {
    const SynthState& s = r.state;
    JsonObject json;
    if (mark.step) {
        json.Number("Step", static_cast<double>(*mark.step));
    }
    const std::pair<std::string_view, double> numbers[] = {{"Fr", s.Fr},
                                                           {"R", s.R},
                                                           {"Fcomp", s.Fcomp},
                                                           {"OutDiv", s.OutDiv},
                                                           {"Fout", s.Fout},
                                                           {"VCO", s.VCO},
                                                           {"Resolution", s.Resolution},
                                                           {"N", s.N},
                                                           {"Fract", s.Fract},
                                                           {"Denom", s.Denom},
                                                           {"ErrorHz", s.ErrorHz},
                                                           {"BandSelect", r.bandSelect},
                                                           {"P", r.phaseValue},
                                                           {"MuxVal", s.MuxVal},
                                                           {"NoiseMode", s.NoiseMode}};
    for (const auto& [key, value] : numbers) {
        json.Number(key, value);
    }
    const RegisterWords& words = s.words;
    static constexpr std::string_view kRegisterKeys[] = {"Reg0", "Reg1", "Reg2",
                                                         "Reg3", "Reg4", "Reg5"};
    for (std::size_t i = 0; i < 6; ++i) {
        json.String(kRegisterKeys[i], mark.shown[i] ? HexFormat(words[i]) : "");
    }
    json.Bool("VcoInRange", VcoInRange(s.VCO));
    json.Bool("ErrorRed", r.errorRed);
    json.String("Outcome", mark.outcome.empty() ? OutcomeName(r.outcome) : mark.outcome);
    const std::pair<std::string_view, const std::string*> texts[] = {
        {"ValuesText", &r.valuesText},
        {"Rdivider", &r.rdivider},
        {"ResolutionText", &r.resolutionText},
        {"FoutText", &r.foutText},
        {"ForceD", &r.forceD},
        {"Label6", &r.label6},
        {"Fvco", &r.fvco},
        {"Listing", &r.listing}};
    for (const auto& [key, value] : texts) {
        json.String(key, *value);
    }
    std::string& rules = json.Key("ChipRules");
    if (!r.chipRules) {
        rules += "null";
    } else {
        rules += '[';
        for (std::size_t i = 0; i < r.chipRules->size(); ++i) {
            rules += i == 0 ? "\"" : ",\"";
            rules += ChipRuleCode((*r.chipRules)[i]);
            rules += '"';
        }
        rules += ']';
    }
    json.Number("BoundarySpurHz", r.boundarySpurHz.value_or(NAN));
    return json.Close();
}

const char* CsvHeader() {
    return "Fout,OutDiv,VCO,R,N,F,D,ErrorHz,BoundarySpurHz,Reg0,Reg1,Reg2,Reg3,Reg4,Reg5,"
           "Outcome\n";
}

// A sweep prints millions of these, so the line is put together in place and appended once.
void AppendCsvLine(std::string& out, const PlanReport& r, RegisterMask shown,
                   std::string_view outcome) {
    const SynthState& s = r.state;
    char line[9 * 33 + 6 * 9];
    char* end = line;
    for (const double value : {s.Fout, s.OutDiv, s.VCO, s.R, s.N, s.Fract, s.Denom, s.ErrorHz,
                               r.boundarySpurHz.value_or(NAN)}) {
        if (std::isfinite(value)) {
            end = WriteShortest(end, end + 32, value);
        }
        *end++ = ',';
    }
    for (std::size_t i = 0; i < s.words.size(); ++i) {
        if (shown[i]) {
            WriteHexDigits(end, static_cast<std::uint32_t>(s.words[i]));
            end += 8;
        }
        *end++ = ',';
    }
    out.append(line, end);
    out += outcome.empty() ? OutcomeName(r.outcome) : outcome;
    out += '\n';
}

std::string PlainResults(const std::string& valuesText) {
    std::string text;
    text.reserve(valuesText.size());
    for (std::size_t i = 0; i < valuesText.size(); ++i) {
        if (valuesText[i] == '\r' && i + 1 < valuesText.size() && valuesText[i + 1] == '\n') {
            continue;
        }
        text += valuesText[i];
    }
    return text;
}

std::string PlainOutput(const PlanReport& report) {
    std::string text = PlainResults(report.valuesText);
    if (text.empty()) {
        return "No plan: " + IncompleteReason(report) + "\n";
    }
    return text.ends_with('\n') ? text : text + '\n';
}

std::string IncompleteReason(const PlanReport& report) {
    if (!report.decodeRefusal.empty()) {
        return "the --decode set was refused: " + report.decodeRefusal;
    }
    if (report.outcome == RunOutcome::NoFcomp) {
        return "no comparison frequency (the reference and the divider must be above 0)";
    }
    std::string first = report.valuesText.substr(0, report.valuesText.find_first_of("\r\n"));
    if (report.outcome != RunOutcome::Complete && !first.empty()) {
        return first;
    }
    return std::string("the plan did not complete (") + OutcomeName(report.outcome) + ")";
}

std::string SpurWarning(const PlanReport& report, double limitHz, const std::string& stepText) {
    const double spur = report.boundarySpurHz.value_or(0);
    if (!(spur > 0 && spur < limitHz)) {
        return "";
    }
    std::string where = stepText.empty() ? "" : " at " + stepText + " MHz";
    return "warning" + where + ": the nearest integer-boundary spur is " + PlainText(spur) +
           " Hz from the carrier, inside the loop bandwidth of " + PlainText(limitHz) + " Hz";
}

} // namespace max2870
