#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace max2870 {

// The six register words, Reg0 first. Each is held in the signed 32-bit range, so a word with
// bit 31 set is a negative number; every reader takes its 32-bit pattern.
using RegisterWords = std::array<std::int32_t, 6>;

// The words in the order the link sends them and the listing prints them: Reg5 first.
constexpr RegisterWords SendOrder(const RegisterWords& words) {
    return {words[5], words[4], words[3], words[2], words[1], words[0]};
}

// Every field the program packs or reads back. The address bits and the constant bits of a
// register are not fields: they are the register's fixed bits below.
enum class FieldId {
    IntegerN,       // Reg0 31
    N,              // Reg0 30..15
    Fract,          // Reg0 14..3
    FractionalMode, // Reg1 29
    Phase,          // Reg1 26..15
    Denom,          // Reg1 14..3
    Fcomp32,        // Reg2 31
    NoiseMode,      // Reg2 30..29
    Mux,            // Reg2 28..26
    RefDoubler,     // Reg2 25
    RefDivide2,     // Reg2 24
    R,              // Reg2 23..14
    ChargePump,     // Reg2 12..9
    IntegerNPd,     // Reg2 8
    PdPositive,     // Reg2 6
    PowerDown,      // Reg2 5
    BandSelectHigh, // Reg4 25..24
    OutDivider,     // Reg4 22..20
    BandSelectLow,  // Reg4 19..12
    OutputB,        // Reg4 8
    PowerHigh,      // Reg4 7..6
    OutputA,        // Reg4 5
    PowerLow,       // Reg4 4..3
};
inline constexpr std::size_t FieldCount = static_cast<std::size_t>(FieldId::PowerLow) + 1;

struct RegisterField {
    FieldId id;
    int reg;
    int lowestBit;
    int width;
    std::string_view name;
};

// The register layout, each field once, in register and bit order.
std::span<const RegisterField> RegisterFieldTable();
const RegisterField& FieldOf(FieldId id);

// The largest value a field holds.
constexpr std::uint32_t FieldMaximum(const RegisterField& field) {
    return field.width >= 32 ? ~0U : (1U << field.width) - 1U;
}

// Bits set in every word whatever the panel: the address bits, Reg3 and Reg5 whole, and the
// constant bits of Reg4.
inline constexpr std::array<std::uint32_t, 6> kFixedBits{0x00000000U, 0x00000001U, 0x00000002U,
                                                         0x0000000BU, 0x60800004U, 0x00400005U};

// One value per field, indexed by FieldId.
using FieldValues = std::array<std::uint32_t, FieldCount>;

// The fixed bits plus each field's value shifted to its lowest bit. Values are not masked: the
// recompute refuses a value that would spill before it packs.
RegisterWords PackRegisters(const FieldValues& values);

// A field's value read back from its word.
std::uint32_t UnpackField(const RegisterWords& words, FieldId id);

} // namespace max2870
