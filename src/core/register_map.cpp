#include "core/register_map.h"

#include <array>

namespace max2870 {
namespace {

using enum FieldId;

constexpr std::array<RegisterField, FieldCount> kFields{{
    {IntegerN, 0, 31, 1, "INT"},
    {N, 0, 15, 16, "N"},
    {Fract, 0, 3, 12, "F"},
    {FractionalMode, 1, 29, 1, "FRAC"},
    {Phase, 1, 15, 12, "Phase value P"},
    {Denom, 1, 3, 12, "D"},
    {Fcomp32, 2, 31, 1, "LDS"},
    {NoiseMode, 2, 29, 2, "SDN"},
    {Mux, 2, 26, 3, "MUX"},
    {RefDoubler, 2, 25, 1, "DBR"},
    {RefDivide2, 2, 24, 1, "RDIV2"},
    {R, 2, 14, 10, "R"},
    {ChargePump, 2, 9, 4, "CP"},
    {IntegerNPd, 2, 8, 1, "LDF"},
    {PdPositive, 2, 6, 1, "PDP"},
    {PowerDown, 2, 5, 1, "SHDN"},
    {BandSelectHigh, 4, 24, 2, "BS 9..8"},
    {OutDivider, 4, 20, 3, "DIVA"},
    {BandSelectLow, 4, 12, 8, "BS 7..0"},
    {OutputB, 4, 8, 1, "RFOUTB_EN"},
    {PowerHigh, 4, 6, 2, "BPWR"},
    {OutputA, 4, 5, 1, "RFOUTA_EN"},
    {PowerLow, 4, 3, 2, "APWR"},
}};

constexpr bool TableFollowsIds() {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (static_cast<std::size_t>(kFields[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(TableFollowsIds(), "the field table is indexed by FieldId");

} // namespace

std::span<const RegisterField> RegisterFieldTable() {
    return kFields;
}

const RegisterField& FieldOf(FieldId id) {
    return kFields[static_cast<std::size_t>(id)];
}

RegisterWords PackRegisters(const FieldValues& values) {
    std::array<std::uint32_t, 6> patterns = kFixedBits;
    for (const RegisterField& field : kFields) {
        patterns[static_cast<std::size_t>(field.reg)] += values[static_cast<std::size_t>(field.id)]
                                                         << field.lowestBit;
    }
    RegisterWords words{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<std::int32_t>(patterns[i]);
    }
    return words;
}

std::uint32_t UnpackField(const RegisterWords& words, FieldId id) {
    const RegisterField& field = FieldOf(id);
    const auto pattern = static_cast<std::uint32_t>(words[static_cast<std::size_t>(field.reg)]);
    return (pattern >> field.lowestBit) & FieldMaximum(field);
}

} // namespace max2870
