#pragma once

#include <QString>

class QComboBox;

namespace max2870 {

// The port box's tooltip: the whole path, which the narrow box cannot show, and what the system
// says of the port (description, maker, USB ids). Asked for only when the pointer rests on it.
QString PortToolTip(const QString& port);

// Makes the drop-down list wide enough for its longest entry, however narrow the box.
void WidenPortList(QComboBox* box);

} // namespace max2870
