#pragma once

#include <QHostAddress>

#include <optional>
#include <string>

namespace max2870 {

// Where the instrument listens: "[ADDRESS:]TCPPORT", loopback when no address is given.
struct ListenAddress {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 0; // 0: any free port, reported once listening
};

// None, with the reason, when the text is not an address and a port.
std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string& error);

// The one-line warning for an address other hosts can reach; empty for loopback.
std::string ExposureWarning(const ListenAddress& where);

} // namespace max2870
