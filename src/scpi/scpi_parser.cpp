#include "scpi/scpi_parser.h"

#include "core/numbers.h"
#include "scpi/scpi_session.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <span>

namespace max2870::scpi {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

bool IsAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the header's nodes; false when the header is not a well-formed program header.
bool ReadHeader(std::string_view header, Command& command) {
    if (header.starts_with('*')) {
        command.common = true;
    } else if (header.starts_with(':')) {
        command.absolute = true;
        header.remove_prefix(1);
    }
    if (header.ends_with('?')) {
        command.query = true;
        header.remove_suffix(1);
    }
    std::size_t start = command.common ? 1 : 0;
    for (std::size_t i = start; i <= header.size(); ++i) {
        if (i == header.size() || header[i] == ':') {
            if (i == start) {
                return false; // an empty node
            }
            command.nodes.push_back(Upper(header.substr(start, i - start)));
            start = i + 1;
            continue;
        }
        const char c = header[i];
        if (!IsAlpha(c) && !IsDigit(c) && c != '_') {
            return false;
        }
    }
    if (command.common) {
        command.nodes.front() = std::string(1, '*').append(command.nodes.front());
        return command.nodes.size() == 1;
    }
    return !command.nodes.empty() && IsAlpha(command.nodes.front().front());
}

Command ReadCommand(std::string_view text) {
    Command command;
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    if (!ReadHeader(text.substr(0, end), command)) {
        command.error = kUndefinedHeader;
        return command;
    }
    const std::string_view rest = Trim(text.substr(end));
    if (rest.empty()) {
        return command;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || rest[i] == ',') {
            command.params.emplace_back(Trim(rest.substr(start, i - start)));
            start = i + 1;
        }
    }
    return command;
}

} // namespace

std::vector<Command> SplitLine(std::string_view line) {
    std::vector<Command> commands;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == ';') {
            const std::string_view text = Trim(line.substr(start, i - start));
            if (!text.empty()) {
                commands.push_back(ReadCommand(text));
            }
            start = i + 1;
        }
    }
    return commands;
}

bool IsMnemonic(std::string_view typed, std::string_view mnemonic) {
    std::string shortForm;
    for (const char c : mnemonic) {
        if (!std::islower(static_cast<unsigned char>(c))) {
            shortForm += c;
        }
    }
    const std::string word = Upper(typed);
    return word == shortForm || word == Upper(mnemonic);
}

HeaderPattern::HeaderPattern(std::string_view pattern) {
    while (!pattern.empty()) {
        Node node;
        std::string_view text;
        if (pattern.front() == '[') {
            const std::size_t close = pattern.find(']');
            text = pattern.substr(1, close - 1);
            pattern.remove_prefix(close + 1);
            node.optional = true;
        } else {
            const std::size_t next = pattern.find_first_of(":[", 1);
            text = pattern.substr(0, next);
            pattern.remove_prefix(next == std::string_view::npos ? pattern.size() : next);
        }
        // Alternatives are "|"-separated, each with its own leading colon.
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t bar = text.find('|', start);
            bar = bar == std::string_view::npos ? text.size() : bar;
            std::string_view form = text.substr(start, bar - start);
            while (form.starts_with(':')) {
                form.remove_prefix(1);
            }
            while (form.ends_with(':')) {
                form.remove_suffix(1);
            }
            node.forms.emplace_back(form);
            start = bar + 1;
        }
        nodes_.push_back(std::move(node));
    }
}

bool HeaderPattern::Matches(const std::vector<std::string>& nodes) const {
    return MatchFrom(0, nodes, 0);
}

bool HeaderPattern::MatchFrom(std::size_t pattern, const std::vector<std::string>& nodes,
                              std::size_t typed) const {
    if (pattern == nodes_.size()) {
        return typed == nodes.size();
    }
    const Node& node = nodes_[pattern];
    if (typed < nodes.size() &&
        std::any_of(node.forms.begin(), node.forms.end(),
                    [&](const std::string& form) { return IsMnemonic(nodes[typed], form); }) &&
        MatchFrom(pattern + 1, nodes, typed + 1)) {
        return true;
    }
    return node.optional && MatchFrom(pattern + 1, nodes, typed);
}

namespace {

struct SuffixScale {
    const char* suffix;
    double scale;
};

constexpr SuffixScale kFrequencySuffixes[] = {{"HZ", 1}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}};
constexpr SuffixScale kPowerSuffixes[] = {{"DBM", 1}};
constexpr SuffixScale kTimeSuffixes[] = {{"S", 1}, {"MS", 1e-3}, {"US", 1e-6}, {"NS", 1e-9}};

std::variant<double, int> Scale(double value, const std::string& suffix, Unit unit) {
    if (suffix.empty()) {
        return value;
    }
    std::span<const SuffixScale> table;
    switch (unit) {
    case Unit::Frequency:
        table = kFrequencySuffixes;
        break;
    case Unit::Power:
        table = kPowerSuffixes;
        break;
    case Unit::Time:
        table = kTimeSuffixes;
        break;
    case Unit::None:
        return kSuffixNotAllowed;
    }
    for (const SuffixScale& entry : table) {
        if (suffix == entry.suffix) {
            // Multiplying by 1e9 rather than dividing by 1e-9 keeps 2.4GHZ at exactly 2.4e9.
            return entry.scale >= 1 ? value * entry.scale : value / (1 / entry.scale);
        }
    }
    return kInvalidSuffix;
}

} // namespace

std::variant<Numeric, int> ReadNumeric(std::string_view text, Unit unit) {
    if (text.empty()) {
        return kMissingParameter;
    }
    if (IsAlpha(text.front())) {
        const struct {
            const char* mnemonic;
            NumericWord word;
        } words[] = {{"MINimum", NumericWord::Minimum},
                     {"MAXimum", NumericWord::Maximum},
                     {"DEFault", NumericWord::Default}};
        for (const auto& w : words) {
            if (IsMnemonic(text, w.mnemonic)) {
                return Numeric{w.word};
            }
        }
        return kDataTypeError;
    }
    const std::size_t length = DecimalLength(text); // the NRf number
    if (length == 0) {
        return IsDigit(text.front()) || text.front() == '.' || text.front() == '+' ||
                       text.front() == '-'
                   ? kInvalidCharacterInNumber
                   : kDataTypeError;
    }
    std::string_view number = text.substr(0, length);
    if (number.starts_with('+')) {
        number.remove_prefix(1); // from_chars takes no plus sign
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size()) {
        return kExponentTooLarge;
    }
    const std::string_view rest = Trim(text.substr(length));
    if (!std::all_of(rest.begin(), rest.end(), IsAlpha)) {
        return rest.front() == '.' || IsDigit(rest.front()) ? kInvalidCharacterInNumber
                                                            : kInvalidSuffix;
    }
    const std::variant<double, int> scaled = Scale(value, Upper(rest), unit);
    if (const int* code = std::get_if<int>(&scaled)) {
        return *code;
    }
    return Numeric{std::get<double>(scaled) == 0 ? 0.0 : std::get<double>(scaled)};
}

std::variant<bool, int> ReadBoolean(std::string_view text) {
    if (text.empty()) {
        return kMissingParameter;
    }
    if (IsAlpha(text.front())) {
        const std::string word = Upper(text);
        if (word == "ON" || word == "OFF") {
            return word == "ON";
        }
        return kInvalidCharacterData;
    }
    const std::variant<Numeric, int> number = ReadNumeric(text, Unit::None);
    if (const int* code = std::get_if<int>(&number)) {
        return *code;
    }
    return std::nearbyint(std::get<double>(std::get<Numeric>(number).value)) != 0;
}

std::optional<std::string> ReadWord(std::string_view text) {
    if (text.empty() || !IsAlpha(text.front()) ||
        !std::all_of(text.begin(), text.end(),
                     [](char c) { return IsAlpha(c) || IsDigit(c) || c == '_'; })) {
        return std::nullopt;
    }
    return Upper(text);
}

} // namespace max2870::scpi
