#include "core/plan.h"

#include "core/numbers.h"

#include <cmath>

namespace max2870 {
namespace {

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
    // BandSelect spans two fields: its low bits in Reg4 19..12, the rest in Reg4 25..24.
    const int lowWidth = FieldOf(BandSelectLow).width;
    set(BandSelectHigh, bandSelect >> lowWidth);
    set(OutDivider, static_cast<std::uint32_t>(in.outDivExponent));
    set(BandSelectLow, bandSelect & FieldMaximum(FieldOf(BandSelectLow)));
    set(OutputB, bit(in.outputB));
    set(PowerHigh, static_cast<std::uint32_t>(in.power));
    set(OutputA, bit(in.outputA));
    set(PowerLow, static_cast<std::uint32_t>(in.power));
    return PackRegisters(v);
}

// Steps from the whole divider to the words, once a comparison frequency exists.
void PlanFromComparison(Plan& p, const PlanInputs& in) {
    p.reached = PlanStage::Divider;
    p.R = Floor(p.Fr / p.Fcomp + 0.5);
    if (p.R > 0) {
        p.Fcomp = p.Fr / p.R;
    }
    p.OutDiv = std::ldexp(1.0, in.outDivExponent);
    if (in.tracking) {
        p.Fout = p.VCO / p.OutDiv;
    } else {
        p.Fout = NumberOfText(in.foutText);
        p.VCO = p.OutDiv * p.Fout;
    }
    p.Resolution = NumberOfText(in.resolutionText);
    if (in.integerN) {
        p.Resolution = p.Fcomp * 1000000 / p.OutDiv;
    }
    if (!DividePlan(p, in.integerN)) {
        p.outcome = RunOutcome::Rejected;
        return;
    }
    p.reached = PlanStage::Modulus;
    if (p.Denom > FieldMaximum(FieldOf(FieldId::Denom)) && !in.integerN) {
        p.outcome = RunOutcome::TwelveBit;
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
    const int bandSelectWidth =
        FieldOf(FieldId::BandSelectHigh).width + FieldOf(FieldId::BandSelectLow).width;
    const double bandSelectMaximum = std::ldexp(1.0, bandSelectWidth) - 1;
    if (p.BandSelect > bandSelectMaximum) {
        p.BandSelect = bandSelectMaximum;
    }
    if (SpilledField(p)) {
        p.outcome = RunOutcome::Rejected;
        return;
    }
    p.reached = PlanStage::Words;
    p.outcome = RunOutcome::Complete;
    p.words = PackPlan(p, in);
}

} // namespace

double FieldLowest(FieldId id) {
    return id == FieldId::R ? 1 : 0;
}

// A field beyond its width would spill into its neighbour; such a word is never packed.
std::optional<std::pair<FieldId, double>> SpilledField(const Plan& p) {
    const std::pair<FieldId, double> checked[] = {
        {FieldId::R, p.R}, {FieldId::N, p.N}, {FieldId::Phase, p.P}, {FieldId::Fract, p.Fract}};
    for (const auto& [id, value] : checked) {
        // F is below D, itself checked, so only its sign needs a test.
        const double highest = id == FieldId::Fract ? INFINITY : FieldMaximum(FieldOf(id));
        if (!(value >= FieldLowest(id) && value <= highest)) {
            return std::pair{id, value};
        }
    }
    return std::nullopt;
}

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

bool ErrorShownRed(const Plan& p) {
    return p.outcome == RunOutcome::Complete && std::fabs(p.ErrorHz) > 1.0;
}

int DividerExponentFor(double fout) {
    // Doubling as the button does, so a frequency just short of a power of two lands where
    // the button puts it.
    double vco = fout;
    int k = 0;
    while (vco < kVcoLowestMhz && k < 7) {
        vco = vco * 2;
        ++k;
    }
    return k;
}

PlanCarry CarryOf(const Plan& p) {
    return {p.Fcomp, p.VCO, p.Denom, p.MuxVal, p.NoiseMode, p.words};
}

PlanCarry CarryOf(const SynthState& s) {
    return {s.Fcomp, s.VCO, s.Denom, s.MuxVal, s.NoiseMode, s.words};
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
        s.words = p.words;
    }
}

} // namespace max2870
