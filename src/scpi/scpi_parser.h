#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace max2870::scpi {

// One command of a line as typed: its header nodes, whether it asks, and its parameter texts.
struct Command {
    std::vector<std::string> nodes; // "*IDN" for a common command
    bool absolute = false;          // led by ':'
    bool common = false;            // led by '*'
    bool query = false;
    std::vector<std::string> params; // blanks trimmed
    int error = 0;                   // a header that cannot be read
};

// The commands of one line (without its LF; a CR before it already removed), split at the
// semicolons. Empty commands (a trailing ';') are left out.
std::vector<Command> SplitLine(std::string_view line);

// A header pattern such as "[SOURce:]FREQuency[:CW|:FIXed]": the capitals are the short form,
// the whole word the long form, brackets mark a node that may be left out.
class HeaderPattern {
public:
    explicit HeaderPattern(std::string_view pattern);
    bool Matches(const std::vector<std::string>& nodes) const;

private:
    struct Node {
        std::vector<std::string> forms; // short and long form of each alternative, upper case
        bool optional = false;
    };
    bool MatchFrom(std::size_t pattern, const std::vector<std::string>& nodes,
                   std::size_t typed) const;
    std::vector<Node> nodes_;
};

enum class Unit { Frequency, Power, Time, None };
enum class NumericWord { Minimum, Maximum, Default };

// A decimal number (NR1, NR2 or NR3) with its unit's suffix applied, or MIN, MAX or DEF.
struct Numeric {
    std::variant<double, NumericWord> value;
};

// Reads one numeric parameter; the error code when it is not one.
std::variant<Numeric, int> ReadNumeric(std::string_view text, Unit unit);

// ON, OFF or a number (non-zero after rounding is on).
std::variant<bool, int> ReadBoolean(std::string_view text);

// Upper-cased character data when the text is a SCPI word.
std::optional<std::string> ReadWord(std::string_view text);

// True when a typed word is the short or the long form of a mnemonic such as "SWEep".
bool IsMnemonic(std::string_view typed, std::string_view mnemonic);

} // namespace max2870::scpi
