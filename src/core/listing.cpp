#include "core/listing.h"

#include "core/hex_format.h"
#include "core/numbers.h"

namespace max2870 {

namespace {

// Echoed texts (a reference pasted with its line end, say) stay inside their comment line: a
// line end that broke out of it would leave text the assembler rejects.
std::string OnOneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (text[i] == '\r' || text[i] == '\n') {
            line.push_back(' '); // CR LF, a lone CR and a lone LF are one line end each
            i += crLf ? 1 : 0;
        } else {
            line.push_back(text[i]);
        }
    }
    return line;
}

} // namespace

std::string EEhexData(std::int32_t word) {
    const std::string h = HexFormat(word);
    std::string line = "   de 0x";
    line += h.substr(0, 2);
    line += ", 0x";
    line += h.substr(2, 2);
    line += ", 0x";
    line += h.substr(4, 2);
    line += ", 0x";
    line += h.substr(6, 2);
    line += "    ;Reg";
    line += BlankLedText(static_cast<double>(static_cast<std::uint32_t>(word) & 7U));
    return line;
}

std::string ListingText(const SynthState& s, const ListingReference& reference) {
    std::string suffix;
    if (reference.divideBy2) {
        suffix = " /2";
    }
    if (reference.doubler) {
        suffix += " X2";
    }
    std::string text =
        ";  R = " + PatternFormat(s.R, "###0") + "    N = " + PatternFormat(s.N, "####0") +
        "    D =  " + PatternFormat(s.Denom, "0000") + "   F = " + PatternFormat(s.Fract, "0000") +
        "    Odiv = " + PatternFormat(s.OutDiv, "##") + "\r\n";
    text += ";  Fout = " + PatternFormat(s.Fout, "###0.0######") +
            "MHz      Ref = " + OnOneLine(reference.frText) + "MHz" + suffix + "\r\n";
    for (std::int32_t word : SendOrder(s.words)) {
        text += EEhexData(word) + "\r\n";
    }
    return text;
}

std::string ListingAfter(RunOutcome lastOutcome, const SynthState& state,
                         const ListingReference& reference, std::string_view valuesText) {
    if (lastOutcome == RunOutcome::NoFcomp) {
        return ";  No comparison frequency: the reference and the divider must be above 0\r\n";
    }
    if (lastOutcome != RunOutcome::TwelveBit && lastOutcome != RunOutcome::Rejected) {
        return ListingText(state, reference);
    }
    // Directives of the last complete set under the plan of another would be pasted into PIC
    // source as if they matched: the refusal goes there as comments instead.
    std::string text;
    for (std::string_view rest = valuesText; !rest.empty();) {
        const std::size_t end = rest.find("\r\n");
        text.append(";  ").append(OnOneLine(rest.substr(0, end))).append("\r\n");
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 2);
    }
    return text;
}

} // namespace max2870
