#include "link/port_directory.h"

#include "link/port_order.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace max2870 {

namespace {

std::string DetailsOf(const QSerialPortInfo& info) {
    QString details = info.description();
    if (!info.manufacturer().isEmpty()) {
        details += (details.isEmpty() ? "" : ", ") + info.manufacturer();
    }
    if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
        details += QString(" (%1:%2)")
                       .arg(info.vendorIdentifier(), 4, 16, QChar('0'))
                       .arg(info.productIdentifier(), 4, 16, QChar('0'));
    }
    return details.trimmed().toStdString();
}

} // namespace

#ifdef Q_OS_WIN

PortNaming SystemPortDirectory::Naming() const {
    return PortNaming::Numbered;
}

std::vector<PortCandidate> SystemPortDirectory::Candidates() const {
    std::vector<PortCandidate> candidates;
    for (int n = 1; n <= 32; ++n) {
        candidates.push_back({"COM" + std::to_string(n), {}});
    }
    return candidates;
}

#else

PortNaming SystemPortDirectory::Naming() const {
    return PortNaming::Paths;
}

std::vector<PortCandidate> SystemPortDirectory::Candidates() const {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return NaturalLess(a.portName().toStdString(), b.portName().toStdString());
    });
    std::vector<PortCandidate> candidates;
    for (const QSerialPortInfo& info : ports) {
        candidates.push_back({info.systemLocation().toStdString(), DetailsOf(info)});
    }
    return candidates;
}

#endif

} // namespace max2870
