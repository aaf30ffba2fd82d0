#include "link/port_directory.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace max2870 {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

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

// A run of digits without its leading zeros; longer means larger.
std::string_view DigitRun(const std::string& text, std::size_t& position) {
    while (position < text.size() && text[position] == '0' && position + 1 < text.size() &&
           IsDigit(text[position + 1])) {
        ++position;
    }
    const std::size_t start = position;
    while (position < text.size() && IsDigit(text[position])) {
        ++position;
    }
    return std::string_view(text).substr(start, position - start);
}

} // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view numberA = DigitRun(a, i);
            const std::string_view numberB = DigitRun(b, j);
            if (numberA.size() != numberB.size()) {
                return numberA.size() < numberB.size();
            }
            if (numberA != numberB) {
                return numberA < numberB;
            }
        } else if (a[i] != b[j]) {
            return a[i] < b[j];
        } else {
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

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
