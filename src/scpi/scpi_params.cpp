#include "scpi/scpi_params.h"

#include "scpi/scpi_session.h"

#include <cmath>

namespace max2870::scpi {

int CountParams(const Command& command, std::size_t wanted) {
    if (command.params.size() < wanted) {
        return kMissingParameter;
    }
    return command.params.size() > wanted ? kParameterNotAllowed : kNoError;
}

int NumberParam(std::string_view text, Unit unit, const Limits& limits, double& value) {
    const std::variant<Numeric, int> read = ReadNumeric(text, unit);
    if (const int* code = std::get_if<int>(&read)) {
        return *code;
    }
    const auto& number = std::get<Numeric>(read).value;
    if (const auto* word = std::get_if<NumericWord>(&number)) {
        value = *word == NumericWord::Minimum   ? limits.min
                : *word == NumericWord::Maximum ? limits.max
                                                : limits.def;
    } else {
        value = std::get<double>(number);
    }
    // NaN fails both comparisons, so it is out of range too.
    return value >= limits.min && value <= limits.max ? kNoError : kDataOutOfRange;
}

int WholeParam(std::string_view text, const Limits& limits, long long& value) {
    double number = 0;
    if (const int code = NumberParam(text, Unit::None, limits, number); code != kNoError) {
        return code;
    }
    if (std::floor(number) != number) {
        return kIllegalParameterValue;
    }
    value = static_cast<long long>(number);
    return kNoError;
}

} // namespace max2870::scpi
