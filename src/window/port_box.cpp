#include "window/port_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSerialPortInfo>

#include <algorithm>

namespace max2870 {

QString PortToolTip(const QString& port) {
    if (port.isEmpty()) {
        return QStringLiteral("No serial port: type a device path or port name");
    }
    QStringList lines{port};
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != port && info.portName() != port) {
            continue;
        }
        for (const QString& detail : {info.description(), info.manufacturer()}) {
            if (!detail.isEmpty()) {
                lines << detail;
            }
        }
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            lines << QStringLiteral("USB %1:%2")
                         .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
    }
    if (lines.size() == 1) {
        lines << QStringLiteral("(no description from the system)");
    }
    return lines.join(QLatin1Char('\n'));
}

void WidenPortList(QComboBox* box) {
    const QFontMetrics metrics(box->view()->font());
    int widest = 0;
    for (int row = 0; row < box->count(); ++row) {
        widest = std::max(widest, metrics.horizontalAdvance(box->itemText(row)));
    }
    // the entry's own margins and a scroll bar, should the list grow long
    const int extra =
        4 * box->view()->frameWidth() + 16 + box->view()->verticalScrollBar()->sizeHint().width();
    box->view()->setMinimumWidth(std::max(box->width(), widest + extra));
}

} // namespace max2870
