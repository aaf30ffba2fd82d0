#include "core/plan.h"

#include "core/numbers.h"
#include "core/hex_format.h"

#include <cmath>
#include <cstring>

namespace max2870 {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kChooseOther = "Choose alternative values";

std::string Message(const std::string& firstLine) {
    return firstLine + kCrLf + kChooseOther;
}

// VCO caption, colours: a VCO outside 3000..6000 MHz is a warning only.
void ShowVco(Plan& p) {
    p.display.vcoInRange = !(p.VCO < 3000 || p.VCO > 6000);
    std::string caption = "VCO ";
    caption.append(BlankLedText(p.VCO)).append("MHz");
    if (!p.display.vcoInRange) {
        caption.append(kCrLf).append("External VCO Only");
    }
    p.display.fvco = std::move(caption);
}

// N, F, D and the error. False when the fractional plan has no usable modulus: a zero or
// undefined D would divide by zero in the error and leave F meaningless.
bool DividePlan(Plan& p, bool integerN) {
    if (integerN) {
        p.N = Floor(p.Fout / p.Fcomp * p.OutDiv + 0.5);
        p.Fract = 0;
        p.Denom = 0;
        p.ErrorHz = (p.Fcomp * p.N / p.OutDiv - p.Fout) * 1000000;
        return true;
    }
    const double x = p.Fout / p.Fcomp * p.OutDiv;
    p.N = Floor(x);
    if (p.Resolution > 0 && p.OutDiv > 0) {
        p.Denom = Floor(p.Fcomp * 1000000 / p.Resolution / p.OutDiv + 0.5);
    }
    if (p.Denom == 0 || !std::isfinite(p.Denom)) {
        return false;
    }
    p.Fract = Floor((x - Floor(x)) * p.Denom + 0.5);
    p.ErrorHz = (p.Fcomp * (p.N + p.Fract / p.Denom) / p.OutDiv - p.Fout) * 1000000;
    if (p.Fract == p.Denom) {
        // The chip needs F below D: carry the whole step into N (same frequency, same error).
        p.N = p.N + 1;
        p.Fract = 0;
    }
    return true;
}

// A field beyond its width would spill into its neighbour; such a word is never packed. The
// message names the field and its range as the register map has them.
std::string SpillMessage(const Plan& p) {
    const std::pair<FieldId, double> checked[] = {
        {FieldId::R, p.R}, {FieldId::N, p.N}, {FieldId::Phase, p.P}, {FieldId::Fract, p.Fract}};
    for (const auto& [id, value] : checked) {
        const RegisterField& field = FieldOf(id);
        const double lowest = id == FieldId::R ? 1 : 0;
        // F is below D, itself checked, so only its sign needs a test.
        const double highest = id == FieldId::Fract ? INFINITY : FieldMaximum(field);
        if (!(value >= lowest && value <= highest)) {
            return std::string(field.name) + " = " + PlainText(value) + " is outside its range " +
                   PlainText(lowest) + " to " + PlainText(FieldMaximum(field));
        }
    }
    return {};
}

RegisterWords PackPlan(const Plan& p, const PlanInputs& in) {
    using enum FieldId;
    const auto bit = [](bool set) { return set ? 1U : 0U; };
    const auto whole = [](double value) { return static_cast<std::uint32_t>(value); };
    const auto bandSelect = whole(p.BandSelect);
    FieldValues v{};
    const auto set = [&v](FieldId id, std::uint32_t value) {
        v[static_cast<std::size_t>(id)] = value;
    };
    set(IntegerN, bit(in.integerN));
    set(N, whole(p.N));
    set(Fract, whole(p.Fract));
    set(FractionalMode, bit(!in.integerN));
    set(Phase, whole(p.P));
    set(Denom, whole(p.Denom));
    set(Fcomp32, bit(p.Fcomp > 32));
    set(NoiseMode, static_cast<std::uint32_t>(p.NoiseMode));
    set(Mux, static_cast<std::uint32_t>(p.MuxVal));
    set(RefDoubler, bit(in.refDoubler));
    set(RefDivide2, bit(in.refDivide2));
    set(R, whole(p.R));
    set(ChargePump, static_cast<std::uint32_t>(in.chargePump));
    set(IntegerNPd, bit(in.integerN));
    set(PdPositive, bit(!in.pdNegative));
    set(PowerDown, bit(!in.chipEnable));
    set(BandSelectHigh, bandSelect / 256);
    set(OutDivider, static_cast<std::uint32_t>(in.outDivExponent));
    set(BandSelectLow, bandSelect % 256);
    set(OutputB, bit(in.outputB));
    set(PowerHigh, static_cast<std::uint32_t>(in.power));
    set(OutputA, bit(in.outputA));
    set(PowerLow, static_cast<std::uint32_t>(in.power));
    return PackRegisters(v);
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

// Steps from the whole divider to the results, once a comparison frequency exists.
void PlanFromComparison(Plan& p, const PlanInputs& in) {
    p.reached = PlanStage::Divider;
    p.R = Floor(p.Fr / p.Fcomp + 0.5);
    if (p.R > 0) {
        p.Fcomp = p.Fr / p.R;
    }
    p.display.rdivider = BlankLedText(p.R).erase(0, 1);
    std::string& label6 = p.display.label6.emplace("Fcomp ");
    static constexpr NumberPattern kFcomp("#0.0#####");
    AppendPattern(label6, p.Fcomp, kFcomp);
    label6.append("MHz");
    p.OutDiv = std::ldexp(1.0, in.outDivExponent);
    if (in.tracking) {
        p.Fout = p.VCO / p.OutDiv;
        p.display.fout = BlankLedText(p.Fout);
    } else {
        p.Fout = NumberOfText(in.foutText);
        p.VCO = p.OutDiv * p.Fout;
    }
    ShowVco(p);
    p.Resolution = NumberOfText(in.resolutionText);
    if (in.integerN) {
        p.Resolution = p.Fcomp * 1000000 / p.OutDiv;
    }
    p.display.resolution = BlankLedText(p.Resolution);
    if (!DividePlan(p, in.integerN)) {
        p.outcome = RunOutcome::Rejected;
        p.display.values =
            Message("Fractional modulus D is zero or undefined: choose a finer resolution");
        return;
    }
    p.reached = PlanStage::Modulus;
    if (p.Denom > 4095 && !in.integerN) {
        p.outcome = RunOutcome::TwelveBit;
        p.display.values = Message("More than 12 bits needed for fractional registers");
        return;
    }
    p.reached = PlanStage::Packing;
    p.P = ToInteger(NumberOfText(in.phaseText) / 360 * p.Denom);
    if (in.muxCode) {
        p.MuxVal = static_cast<std::int16_t>(*in.muxCode);
    }
    if (in.noiseCode) {
        p.NoiseMode = *in.noiseCode;
    }
    p.BandSelect = ToInteger(p.Fcomp * 1000000 / 50000);
    if (p.BandSelect > 1023) {
        p.BandSelect = 1023;
    }
    if (const std::string spill = SpillMessage(p); !spill.empty()) {
        p.outcome = RunOutcome::Rejected;
        p.display.values = Message(spill);
        return;
    }
    p.reached = PlanStage::Words;
    p.outcome = RunOutcome::Complete;
    p.words = PackPlan(p, in);
    p.display.values = ResultsText(p);
    p.display.valuesColour = std::fabs(p.ErrorHz) > 1.0 ? colour::Red : colour::Black;
}

} // namespace

const char* OutcomeName(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::NoFcomp:
        return "no-fcomp";
    case RunOutcome::TwelveBit:
        return "twelve-bit";
    case RunOutcome::Rejected:
        return "rejected";
    case RunOutcome::Complete:
        return "complete";
    case RunOutcome::None:
        break;
    }
    return "none";
}

double EffectiveReference(double typed, bool doubler, bool divide2) {
    double fr = typed;
    if (doubler) {
        fr = fr * 2;
    }
    if (divide2) {
        fr = fr / 2;
    }
    return fr;
}

Plan MakePlan(const PlanInputs& in, const PlanCarry& carry) {
    Plan p;
    p.Fcomp = carry.Fcomp;
    p.VCO = carry.VCO;
    p.Denom = carry.Denom;
    p.MuxVal = carry.MuxVal;
    p.NoiseMode = carry.NoiseMode;
    p.words = carry.words;
    p.Fr = EffectiveReference(NumberOfText(in.frText), in.refDoubler, in.refDivide2);
    const double typedDivider = NumberOfText(in.rdividerText);
    if (typedDivider > 0) {
        p.Fcomp = p.Fr / typedDivider;
    }
    if (!(p.Fcomp > 0)) {
        p.outcome = RunOutcome::NoFcomp;
        return p;
    }
    PlanFromComparison(p, in);
    return p;
}

PlanCarry CarryOf(const SynthState& s) {
    return {s.Fcomp, s.VCO, s.Denom, s.MuxVal, s.NoiseMode, WordsReg0First(s)};
}

void ApplyPlan(const Plan& p, SynthState& s) {
    s.Fr = p.Fr;
    s.Fcomp = p.Fcomp;
    s.N = p.N;
    if (p.reached >= PlanStage::Divider) {
        s.R = p.R;
        s.OutDiv = p.OutDiv;
        s.Fout = p.Fout;
        s.VCO = p.VCO;
        s.Resolution = p.Resolution;
        s.Denom = p.Denom;
    }
    if (p.reached >= PlanStage::Modulus) {
        s.Fract = p.Fract;
        s.ErrorHz = p.ErrorHz;
    }
    if (p.reached >= PlanStage::Packing) {
        s.MuxVal = p.MuxVal;
        s.NoiseMode = p.NoiseMode;
    }
    if (p.reached == PlanStage::Words) {
        s.Reg0 = p.words[0];
        s.Reg1 = p.words[1];
        s.Reg2 = p.words[2];
        s.Reg3 = p.words[3];
        s.Reg4 = p.words[4];
        s.Reg5 = p.words[5];
    }
}

} // namespace max2870
