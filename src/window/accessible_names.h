#pragma once

#include "panel/control_table.h"

#include <QString>

namespace max2870 {

// What a screen reader calls a control: the caption of the label that heads it, else its
// tooltip when its own caption says nothing, else a short name of its role. Empty for a
// control whose caption names it (a label reads out what it shows).
QString AccessibleNameOf(const ControlEntry& entry);

} // namespace max2870
