// The instrument's figures, run by hand (bench/report.sh): query round trips with 8 clients at
// once, beside a bare QTcpServer echo in the same process; the first serial byte after a FREQ
// line; and the pacing of a six-line set, all over loopback and a pseudo-terminal.
#include "link/qt_serial_link.h"
#include "scpi/scpi_engine.h"
#include "scpi_server/paced_set_link.h"
#include "scpi_server/scpi_server.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace max2870;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 8;
constexpr int kQueries = 2000; // per client

int Connect(quint16 port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 ? fd : -1;
}

// One query and its whole reply line; the time it took in milliseconds.
double RoundTrip(int fd, const std::string& query) {
    const auto start = Clock::now();
    if (send(fd, query.data(), query.size(), 0) < 0) {
        return -1;
    }
    char reply[4096];
    for (ssize_t n; (n = recv(fd, reply, sizeof reply, 0)) > 0;) {
        if (reply[n - 1] == '\n') {
            break;
        }
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %.3f ms  p99 %.3f ms  (%zu round trips)\n", what, ms[ms.size() / 2],
                ms[ms.size() * 99 / 100], ms.size());
}

// 8 clients at once, each alternating *IDN? and FREQ?, while the server runs this thread's loop.
std::vector<double> Load(quint16 port) {
    std::vector<std::vector<double>> times(kClients);
    std::vector<std::thread> clients;
    clients.reserve(kClients);
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([port, &times, c] {
            const int fd = Connect(port);
            for (int q = 0; q < kQueries; ++q) {
                times[static_cast<std::size_t>(c)].push_back(
                    RoundTrip(fd, q % 2 ? "FREQ?\n" : "*IDN?\n"));
            }
            close(fd);
        });
    }
    std::thread joiner([&clients] {
        for (auto& client : clients) {
            client.join();
        }
        QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); });
    });
    QCoreApplication::exec();
    joiner.join();
    std::vector<double> all;
    for (const auto& t : times) {
        all.insert(all.end(), t.begin(), t.end());
    }
    return all;
}

// The bare server: every line comes back as it came.
void Echo(QTcpServer& server) {
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                while (socket->canReadLine()) {
                    socket->write(socket->readLine());
                }
            });
        }
    });
}

// When each of the next whole lines began to arrive on the pseudo-terminal (CR LF ends each).
std::vector<Clock::time_point> ReadLines(int master, std::size_t count) {
    std::vector<Clock::time_point> starts;
    std::size_t complete = 0;
    bool inLine = false;
    char byte = 0;
    while (complete < count && read(master, &byte, 1) == 1) {
        if (!inLine) {
            starts.push_back(Clock::now());
            inLine = true;
        }
        if (byte == '\n') {
            inLine = false;
            ++complete;
        }
    }
    return starts;
}

void Wire(quint16 port, int master) {
    constexpr double kGap = 0.2;
    std::vector<double> firstByte;
    std::vector<double> ratios;
    std::thread client([&] {
        const int fd = Connect(port);
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250)); // the last line a gap ago
            const std::string line = i % 2 ? "FREQ 3.0005GHZ\n" : "FREQ 3GHZ\n";
            const auto sent = Clock::now();
            send(fd, line.data(), line.size(), 0);
            const auto lines = ReadLines(master, i == 0 ? 6 : 1);
            firstByte.push_back(std::chrono::duration<double, std::milli>(lines[0] - sent).count());
        }
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            send(fd, "*RST;FREQ 3GHZ\n", 15, 0);
            const auto lines = ReadLines(master, 6);
            ratios.push_back(std::chrono::duration<double>(lines[5] - lines[0]).count() /
                             (5 * kGap));
        }
        close(fd);
        QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); });
    });
    QCoreApplication::exec();
    client.join();
    Report("first serial byte after FREQ", firstByte);
    std::printf("%-34s worst %.4f x (k-1) x gap over %zu sets of six\n", "pacing",
                *std::max_element(ratios.begin(), ratios.end()), ratios.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("== SCPI over loopback: %d clients x %d queries, %u cores\n", kClients, kQueries,
                std::thread::hardware_concurrency());
    {
        QTcpServer echo;
        Echo(echo);
        echo.listen(QHostAddress::LocalHost, 0);
        Report("bare QTcpServer echo", Load(echo.serverPort()));
    }
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    QtSerialLink serial;
    serial.SetPortName(ptsname(master));
    if (!serial.Open().Ok()) {
        std::fprintf(stderr, "cannot open %s\n", ptsname(master));
        return 1;
    }
    PacedSetLink link(serial, std::chrono::milliseconds(200), true);
    scpi::Engine engine(scpi::InstrumentSettings{}, link, "maker,model,0,1");
    ScpiServer server(engine);
    QObject::connect(&link, &PacedSetLink::Progressed, &server, &ScpiServer::Resume);
    std::string error;
    server.Listen({QHostAddress::LocalHost, 0}, error);
    Report("instrument *IDN? / FREQ?", Load(server.Port()));
    Wire(server.Port(), master);
    return 0;
}
