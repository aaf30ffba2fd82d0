#include "scpi_server/scpi_server.h"

#include <QTcpSocket>

namespace max2870 {

struct ScpiServer::Connection {
    int id = 0;
    QTcpSocket* socket = nullptr;
    std::string input;
    std::size_t consumed = 0; // input before this is handled
    bool discarding = false;  // the rest of an overlong line is dropped
    bool closed = false;
    scpi::Session session;
    std::optional<scpi::LineRun> run;
    scpi::Ticket lastOperation = 0; // the link's count after this connection's latest operation
};

ScpiServer::ScpiServer(scpi::Engine& engine, QObject* parent) : QObject(parent), engine_(engine) {
    connect(&server_, &QTcpServer::newConnection, this, &ScpiServer::Accept);
}

ScpiServer::~ScpiServer() {
    for (auto& [id, c] : connections_) {
        if (!c->closed) { // a closed one's socket may already be gone
            c->socket->disconnect(this);
        }
    }
}

bool ScpiServer::Listen(const ListenAddress& where, std::string& error) {
    if (!server_.listen(where.address, where.port)) {
        error = "cannot listen on " + where.address.toString().toStdString() + ":" +
                std::to_string(where.port) + ": " + server_.errorString().toStdString();
        return false;
    }
    return true;
}

std::string ScpiServer::Address() const {
    const QHostAddress address = server_.serverAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? "[" + address.toString() + "]"
                             : address.toString();
    return host.toStdString() + ":" + std::to_string(server_.serverPort());
}

void ScpiServer::Accept() {
    // Closed connections leave here, where no line of theirs can be on its way.
    std::erase_if(connections_, [](const auto& entry) { return entry.second->closed; });
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (static_cast<int>(connections_.size()) >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->id = nextId_++;
        c->socket = socket;
        // Replies are small and wanted at once; a full read buffer holds the client back
        // instead of growing while a line waits for the link.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket->setReadBufferSize(qint64{256} * 1024);
        Connection* raw = c.get();
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { Process(*raw); });
        connect(socket, &QTcpSocket::disconnected, this, [this, raw] { Close(*raw); });
        connections_.emplace(c->id, std::move(c));
    }
}

void ScpiServer::Process(Connection& c) {
    std::string line;
    while (!c.closed) {
        if (c.run) {
            const scpi::Ticket before = engine_.LinkIssued();
            engine_.Run(*c.run, c.session, c.id);
            if (engine_.LinkIssued() != before) {
                c.lastOperation = engine_.LinkIssued();
            }
            if (c.run->Waiting()) {
                return;
            }
            const std::string reply = c.run->ReplyLine();
            c.run.reset();
            Reply(c, reply);
            continue;
        }
        if (Backlogged(c) || !NextLine(c, line)) {
            return;
        }
        emit LineApplied(c.id, QString::fromStdString(line));
        c.run = scpi::Engine::Begin(line);
    }
}

bool ScpiServer::Backlogged(const Connection& c) const {
    return c.lastOperation > kMaxBacklog && !engine_.LinkDone(c.lastOperation - kMaxBacklog);
}

// The next whole line of the connection, reading the socket when the buffer has none.
bool ScpiServer::NextLine(Connection& c, std::string& line) {
    for (;;) {
        const std::size_t lf = c.input.find('\n', c.consumed);
        if (lf == std::string::npos) {
            c.input.erase(0, c.consumed);
            c.consumed = 0;
            if (c.input.size() > kMaxLine) {
                if (!c.discarding) {
                    c.session.Push(scpi::kInputBufferOverrun);
                }
                c.discarding = true;
                c.input.clear();
            }
            if (c.socket->bytesAvailable() == 0) {
                return false;
            }
            c.input += c.socket->readAll().toStdString();
            continue;
        }
        const std::size_t start = c.consumed;
        c.consumed = lf + 1;
        if (c.discarding) {
            c.discarding = false;
            continue;
        }
        std::size_t length = lf - start;
        if (length > kMaxLine) {
            c.session.Push(scpi::kInputBufferOverrun);
            continue;
        }
        if (length > 0 && c.input[start + length - 1] == '\r') {
            --length;
        }
        line.assign(c.input, start, length);
        return true;
    }
}

void ScpiServer::Reply(Connection& c, const std::string& text) {
    if (text.empty()) {
        return;
    }
    // A client that does not read its replies loses them and then its connection; it never
    // holds up the others.
    if (c.socket->bytesToWrite() + static_cast<qint64>(text.size()) > kMaxUnread) {
        c.socket->abort();
        Close(c);
        return;
    }
    c.socket->write(text.data(), static_cast<qint64>(text.size()));
}

void ScpiServer::Close(Connection& c) {
    if (c.closed) {
        return;
    }
    c.closed = true;
    c.socket->disconnect(this);
    c.socket->deleteLater(); // the caller may still be inside Process for it
}

void ScpiServer::Resume() {
    if (!resumeQueued_) {
        resumeQueued_ = true;
        QMetaObject::invokeMethod(this, &ScpiServer::ResumeNow, Qt::QueuedConnection);
    }
}

void ScpiServer::ResumeNow() {
    resumeQueued_ = false;
    std::vector<Connection*> waiting; // on *OPC?, *WAI or the link's backlog
    for (auto& [id, c] : connections_) {
        if (!c->closed) {
            waiting.push_back(c.get());
        }
    }
    for (Connection* c : waiting) {
        Process(*c);
    }
}

void ScpiServer::Fail(int client, const QString& why) {
    if (const auto found = connections_.find(client);
        found != connections_.end() && !found->second->closed) {
        found->second->session.Push(scpi::kHardwareError, why.toStdString());
    }
}

void ScpiServer::Restore(int client, const std::array<std::int32_t, 4>& words) {
    if (const std::optional<std::string> refusal = engine_.Restore(words)) {
        Fail(client, QString::fromStdString("the stored set was refused: " + *refusal));
    }
}

} // namespace max2870
