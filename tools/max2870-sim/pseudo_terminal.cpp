#include "pseudo_terminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace max2870sim {

std::optional<PseudoTerminal> OpenRawPseudoTerminal(std::string& error) {
    PseudoTerminal terminal;
    termios settings{};
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    settings.c_cflag |= CSTOPB | CLOCAL | CREAD;
    if (openpty(&terminal.master, &terminal.slave, nullptr, &settings, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return std::nullopt;
    }
    terminal.slavePath = ttyname(terminal.slave);
    fcntl(terminal.master, F_SETFL, fcntl(terminal.master, F_GETFL) | O_NONBLOCK);
    return terminal;
}

void ClosePseudoTerminal(PseudoTerminal& terminal) {
    if (terminal.master >= 0) {
        close(terminal.master);
    }
    if (terminal.slave >= 0) {
        close(terminal.slave);
    }
    terminal = {};
}

} // namespace max2870sim
