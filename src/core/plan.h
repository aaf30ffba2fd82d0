#pragma once

#include "core/register_map.h"
#include "core/start_values.h"
#include "core/synth_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace max2870 {

// How a recompute ended.
enum class RunOutcome {
    None,      // no recompute has run yet
    NoFcomp,   // no positive comparison frequency: only reference, divider and N were touched
    TwelveBit, // the modulus needs more than 12 bits: message shown, words unchanged
    Rejected,  // a zero or undefined modulus, a field that would spill, or a refused decode
    Complete,  // plan, words and results display rewritten
};

const char* OutcomeName(RunOutcome outcome); // "no-fcomp", "twelve-bit", "rejected", "complete"

// What one recompute reads from the panel, as the operator left it.
struct PlanInputs {
    std::string frText{kStart.reference};          // reference, MHz
    std::string rdividerText{kStart.divider};      // reference divider R
    std::string foutText{kStart.fout};             // wanted output, MHz (not read while tracking)
    std::string resolutionText{kStart.resolution}; // output step, Hz
    std::string phaseText{kStart.phase};           // output phase, degrees
    bool refDoubler = false;
    bool refDivide2 = false;
    bool tracking = false; // "Track Fout with Divider"
    bool integerN = false; // "Integer N"
    bool chipEnable = kStart.chipEnable;
    bool pdNegative = false; // "-Ve Ph Det."
    bool outputA = kStart.outputA;
    bool outputB = false;
    int outDivExponent = kStart.outDivExponent; // OutDiv = 2 to this power
    int chargePump = kStart.chargePump;
    int power = kStart.power;
    std::optional<std::int32_t> muxCode = kStart.muxCode;     // the selected MUX button's code
    std::optional<std::int32_t> noiseCode = kStart.noiseCode; // the selected noise button's code
};

// What one recompute takes over from the runs before it.
struct PlanCarry {
    double Fcomp = 0; // kept when the divider box is not positive
    double VCO = 0;   // kept while tracking
    double Denom = 0; // kept when the resolution is not positive
    std::int16_t MuxVal = 0;
    std::int32_t NoiseMode = 0;
    RegisterWords words{}; // kept by every run that does not complete
};

// How far a run got: each stage writes the record's fields of the stages before it too.
enum class PlanStage {
    Reference, // Fr, N = 0 and, for a positive divider, Fcomp; stopped without a comparison
    Divider,   // R, Fcomp, OutDiv, Fout, VCO, Resolution, N, Denom; stopped at a zero modulus
    Modulus,   // Fract and ErrorHz; stopped at the twelve-bit test
    Packing,   // P, MuxVal, NoiseMode and BandSelect; stopped at a field that would spill
    Words,     // the six words: complete
};

// The VCO range of the chip, MHz; a VCO outside it needs an external one.
inline constexpr double kVcoLowestMhz = 3000;
inline constexpr double kVcoHighestMhz = 6000;
constexpr bool VcoInRange(double vco) {
    return !(vco < kVcoLowestMhz || vco > kVcoHighestMhz);
}

// The output divider exponent "> > >" picks for a wanted output: the smallest k in 0..7 that
// brings it times 2^k to the VCO range, or 7.
int DividerExponentFor(double fout);

// One recompute's result: the record's plan fields and the words. A rejected run stopped at
// Divider found no modulus; one stopped at Packing found a field that would spill.
struct Plan : PlanValues {
    RunOutcome outcome = RunOutcome::None;
    PlanStage reached = PlanStage::Reference;
    double BandSelect = 0; // Packing on
    double P = 0;          // output phase value, Packing on
    RegisterWords words{};
};

// The whole recompute without a panel: the plan of the inputs, given what earlier runs left.
// Pure: the same inputs and carry always give the same plan. It builds no text.
Plan MakePlan(const PlanInputs& inputs, const PlanCarry& carry);

// A complete plan whose error exceeds 1 Hz shows its results in red.
bool ErrorShownRed(const Plan& plan);

// A field a plan would spill beyond its width, with its value: such words are never packed.
std::optional<std::pair<FieldId, double>> SpilledField(const Plan& plan);
// The lowest value a checked field may take: R divides, so it is at least 1.
double FieldLowest(FieldId id);

// What a plan takes over from the record, and the record's fields a plan writes (those of the
// stages it reached).
PlanCarry CarryOf(const SynthState& state);
PlanCarry CarryOf(const Plan& plan);
void ApplyPlan(const Plan& plan, SynthState& state);

// The effective reference: the typed number doubled and then halved as the boxes say.
double EffectiveReference(double typed, bool doubler, bool divide2);

} // namespace max2870
