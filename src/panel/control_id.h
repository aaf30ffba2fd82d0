#pragma once

#include <cstddef>

namespace max2870 {

// Every control of the two windows, by the name the panel and the handlers use, and the two
// windows themselves (their caption, visibility and place are reached through the same calls).
enum class ControlId {
    // main window, top rows
    Label5,
    Label1,
    FoutText,
    SetOdiv,
    OutDivCont,
    OutDivLabel,
    PicEEdata,
    Fvco,
    TrackDivider,
    // reference and comparison frequency
    Label3,
    FrText,
    RefDbl,
    Refdiv2,
    Label2,
    Rdivider,
    Label6,
    // resolution and fraction
    Label4,
    ResolutionText,
    NMCalc,
    Label8,
    ForceD,
    // chip options
    PDpol,
    FractN,
    Aon,
    Bon,
    Label7,
    OPPhasetext,
    ChrgPump,
    ChrgPumpLabel,
    OPpwr,
    OPlabel,
    Enable,
    // option groups
    Frame1,
    MuxNone,
    MuxR,
    MuxN,
    MuxL,
    NoiseModeFrame,
    NM0,
    NM2,
    NM3,
    // results, link and log
    ValuesText,
    Text1,
    ClrText,
    Init,
    SendAll,
    WriteAll,
    CPort,
    SetCP,
    Udata,
    Label10,
    // listing window
    EEtext,
    // the windows
    MAX2870,
    EEdata,
    None,
};

inline constexpr std::size_t ControlCount = static_cast<std::size_t>(ControlId::None);

constexpr std::size_t Index(ControlId id) {
    return static_cast<std::size_t>(id);
}

enum class ControlEvent { Change, Click, LostFocus };

} // namespace max2870
