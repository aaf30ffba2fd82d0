#include "core/plan_display.h"

#include "core/hex_format.h"
#include "core/numbers.h"

#include <cmath>
#include <cstring>

namespace max2870 {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kChooseOther = "Choose alternative values";

std::string Message(const std::string& firstLine) {
    return firstLine + kCrLf + kChooseOther;
}

// VCO caption, colours: a VCO outside the range is a warning only.
void ShowVco(const Plan& p, PlanDisplay& shown) {
    shown.vcoInRange = VcoInRange(p.VCO);
    std::string caption = "VCO ";
    caption.append(BlankLedText(p.VCO)).append("MHz");
    if (!shown.vcoInRange) {
        caption.append(kCrLf).append("External VCO Only");
    }
    shown.fvco = std::move(caption);
}

// The message names the field and its range as the register map has them.
std::string SpillMessage(FieldId id, double value) {
    const RegisterField& field = FieldOf(id);
    return std::string(field.name) + " = " + PlainText(value) + " is outside its range " +
           PlainText(FieldLowest(id)) + " to " + PlainText(FieldMaximum(field));
}

std::string ResultsText(const Plan& p) {
    std::string text;
    text.reserve(256); // one allocation: the whole text is about 180 characters
    const auto line = [&text](const char* label, double value, const NumberPattern& pattern,
                              const char* tail) {
        text.append(label);
        AppendPattern(text, value, pattern);
        text.append(tail).append(kCrLf);
    };
    static constexpr NumberPattern kMhz("#0.00####MHz");
    static constexpr NumberPattern kWhole("###0");
    static constexpr NumberPattern kN("####0");
    static constexpr NumberPattern kHz("###0.0#Hz");
    line("Fcomp  ", p.Fcomp, kMhz, "");
    line("R  ", p.R, kWhole, "");
    line("N  ", p.N, kN, "");
    line("F  ", p.Fract, kWhole, "");
    line("D  ", p.Denom, kWhole, "     ");
    line("Error =  ", p.ErrorHz, kHz, "");
    text.append(kCrLf);
    // The six register lines in one piece: "Reg k   0x " and the word's 8 digits.
    constexpr std::size_t kLine = 21;
    char lines[6 * kLine];
    for (std::size_t i = 0; i < p.words.size(); ++i) {
        char* line = lines + i * kLine;
        std::memcpy(line, "Reg 0   0x ", 11);
        line[4] = static_cast<char>('0' + i);
        WriteHexDigits(line + 11, static_cast<std::uint32_t>(p.words[i]));
        line[19] = '\r';
        line[20] = '\n';
    }
    text.append(lines, sizeof lines);
    return text;
}

// The results box: the table, or the message of the stage the run stopped at.
std::string ValuesText(const Plan& p) {
    if (p.outcome == RunOutcome::Complete) {
        return ResultsText(p);
    }
    if (p.outcome == RunOutcome::TwelveBit) {
        return Message("More than 12 bits needed for fractional registers");
    }
    if (p.reached == PlanStage::Divider) {
        return Message("Fractional modulus D is zero or undefined: choose a finer resolution");
    }
    const auto [id, value] = *SpilledField(p);
    return Message(SpillMessage(id, value));
}

} // namespace

PlanDisplay DisplayOf(const Plan& p, bool tracking) {
    PlanDisplay shown;
    if (p.reached == PlanStage::Reference) {
        return shown;
    }
    shown.rdivider = BlankLedText(p.R).erase(0, 1);
    std::string& label6 = shown.label6.emplace("Fcomp ");
    static constexpr NumberPattern kFcomp("#0.0#####");
    AppendPattern(label6, p.Fcomp, kFcomp);
    label6.append("MHz");
    if (tracking) {
        shown.fout = BlankLedText(p.Fout);
    }
    ShowVco(p, shown);
    shown.resolution = BlankLedText(p.Resolution);
    shown.values = ValuesText(p);
    if (p.outcome == RunOutcome::Complete) {
        shown.valuesColour = ErrorShownRed(p) ? colour::Red : colour::Black;
    }
    return shown;
}

void WriteBack(const PlanDisplay& shown, PlanInputs& inputs) {
    if (shown.rdivider) {
        inputs.rdividerText = *shown.rdivider;
    }
    if (shown.fout) {
        inputs.foutText = *shown.fout;
    }
    if (shown.resolution) {
        inputs.resolutionText = *shown.resolution;
    }
}

} // namespace max2870
