#include "window/accessible_names.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace max2870 {
namespace {

QString Simplified(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).simplified();
}

// Boxes and spinners headed by a label of their own.
constexpr std::pair<ControlId, ControlId> kHeadings[] = {
    {ControlId::FrText, ControlId::Label3},         {ControlId::Rdivider, ControlId::Label2},
    {ControlId::ResolutionText, ControlId::Label4}, {ControlId::OPPhasetext, ControlId::Label7},
    {ControlId::Udata, ControlId::Label10},
};

// Controls with neither a heading nor a tooltip nor a caption that says what they are; the
// spinners' labels carry their value, so the name is the label's fixed part.
constexpr std::pair<ControlId, const char*> kRoles[] = {
    {ControlId::OutDivCont, "O/P Divider"}, {ControlId::ChrgPump, "Charge Pump"},
    {ControlId::OPpwr, "Output Power"},     {ControlId::ValuesText, "Results"},
    {ControlId::Text1, "Link log"},         {ControlId::ClrText, "Clear link log"},
    {ControlId::CPort, "Serial port"},      {ControlId::EEtext, "EE Data listing"},
};

} // namespace

QString AccessibleNameOf(const ControlEntry& entry) {
    for (auto [control, heading] : kHeadings) {
        if (control == entry.id) {
            return Simplified(EntryOf(heading).text);
        }
    }
    const bool captioned = entry.kind != ControlKind::TextBox &&
                           std::any_of(entry.text.begin(), entry.text.end(),
                                       [](unsigned char c) { return std::isalpha(c) != 0; });
    if (!entry.tooltip.empty() && !captioned) {
        return Simplified(entry.tooltip); // "> > >" says nothing when read out
    }
    for (auto [control, role] : kRoles) {
        if (control == entry.id) {
            return QString::fromLatin1(role);
        }
    }
    return {};
}

} // namespace max2870
