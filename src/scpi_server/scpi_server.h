#pragma once

#include "scpi/scpi_engine.h"
#include "scpi_server/listen_address.h"

#include <QObject>
#include <QTcpServer>

#include <array>
#include <map>
#include <memory>
#include <string>

class QTcpSocket;

namespace max2870 {

// The instrument on a TCP port: it owns the connections, their input buffers and sessions, and
// moves lines to the engine and replies back. A connection waits at *OPC? or *WAI without
// holding up the others.
class ScpiServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 16;
    static constexpr std::size_t kMaxLine = 65536;
    static constexpr qint64 kMaxUnread = 1 << 20;
    // Link operations a connection may have waiting before its next line is held back: a client
    // that sends settings faster than the board takes them is slowed by TCP, not by memory, and
    // the other connections go on.
    static constexpr scpi::Ticket kMaxBacklog = 64;

    explicit ScpiServer(scpi::Engine& engine, QObject* parent = nullptr);
    ~ScpiServer() override;

    bool Listen(const ListenAddress& where, std::string& error);
    quint16 Port() const { return server_.serverPort(); }
    std::string Address() const;

    // The link finished an operation: lines waiting for it go on, from the event loop. The link
    // reports progress from inside a command (a *RST's Forget is done at once), and a line
    // must never run in the middle of another.
    void Resume();
    // The link failed an operation a connection asked for.
    void Fail(int client, const QString& why);
    // A recalled set came back for a connection.
    void Restore(int client, const std::array<std::int32_t, 4>& words);

signals:
    // Each line as it is applied, for a log.
    void LineApplied(int client, const QString& line);

private:
    struct Connection;
    void Accept();
    void ResumeNow();
    void Process(Connection& c);
    bool NextLine(Connection& c, std::string& line);
    bool Backlogged(const Connection& c) const;
    void Reply(Connection& c, const std::string& text);
    void Close(Connection& c);

    scpi::Engine& engine_;
    QTcpServer server_;
    std::map<int, std::unique_ptr<Connection>> connections_;
    int nextId_ = 1;
    bool resumeQueued_ = false;
};

} // namespace max2870
