#include "scpi_server/listen_address.h"

#include <charconv>

namespace max2870 {

std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string& error) {
    ListenAddress where;
    const std::size_t colon = text.rfind(':');
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    unsigned port = 0;
    const auto [end, failed] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (portText.empty() || failed != std::errc{} || end != portText.data() + portText.size() ||
        port > 65535) {
        error = "bad TCP port '" + portText + "'";
        return std::nullopt;
    }
    where.port = static_cast<quint16>(port);
    if (colon != std::string::npos) {
        std::string host = text.substr(0, colon);
        if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2); // [::1]:5025
        }
        if (host == "localhost") {
            host = "127.0.0.1";
        }
        if (!where.address.setAddress(QString::fromStdString(host))) {
            error = "bad address '" + host + "' (a numeric IPv4 or IPv6 address)";
            return std::nullopt;
        }
    }
    return where;
}

std::string ExposureWarning(const ListenAddress& where) {
    if (where.address.isLoopback()) {
        return {};
    }
    return "warning: listening on " + where.address.toString().toStdString() +
           ": any host on that network can program the board";
}

} // namespace max2870
