#pragma once

#include "core/synth_state.h"
#include "link/receive_path.h"
#include "link/serial_link.h"
#include "scpi/instrument_link.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace max2870 {

// Another user of the same port (the window's own buttons), whose transfers and the link's must
// take turns. It carries out the store and the recall its own way and reports their end with
// PacedSetLink::HandedOffDone.
class PortPartner {
public:
    virtual ~PortPartner() = default;
    // The link has operations waiting for or on the port (true), or none left (false).
    virtual void Hold(bool held) = 0;
    // Starts "Write EE" (`store`) or "INIT from EE"; whether it started, else `why` not.
    virtual bool TakeOver(bool store, QString& why) = 0;
};

// The instrument's operations on a serial port, one after another, paced as the sender paces:
// a line goes out a gap after the one before it (the first of a set at once when the last left
// a gap ago), a pass's dwell adds to the gap after each point's Reg0. A set once started is
// always finished through its Reg0, whoever asked for it and whether or not they are still
// there.
class PacedSetLink : public QObject, public scpi::InstrumentLink {
    Q_OBJECT
public:
    // `readsAll`: the link is the port's only reader and drains what it does not wait for; a
    // link that shares the port with the window reads only while it waits for a reply.
    PacedSetLink(SerialLink& link, std::chrono::nanoseconds gap, bool readsAll,
                 std::chrono::milliseconds replyTimeout = std::chrono::milliseconds(5000),
                 QObject* parent = nullptr);

    scpi::LinkAnswer Program(const RegisterWords& words, int client) override;
    scpi::LinkAnswer RunPass(std::vector<RegisterWords> points, double dwellSeconds,
                             int client) override;
    scpi::LinkAnswer Store(const RegisterWords& words, int client) override;
    scpi::LinkAnswer Recall(int client) override;
    void Forget() override;
    void Abort() override;
    scpi::Ticket Issued() const override { return issued_; }
    bool Done(scpi::Ticket ticket) const override { return done_ >= ticket; }

    // Finishes the set on the wire and drops everything after it; Drained follows.
    void Shutdown();

    // Shares the port with `partner`, which then stores and recalls.
    void SharePort(PortPartner& partner) { partner_ = &partner; }
    // The partner ended the store or recall it took over.
    void HandedOffDone(bool ok, const QString& why);
    // The partner wrote to the port: the next set sends all six.
    void PortUsedElsewhere() { lastSent_.reset(); }
    // A store or recall is waiting or under way at the partner.
    bool HandOffPending() const;

signals:
    void Progressed();                           // an operation is done
    void Failed(int client, const QString& why); // -240 for the connection that asked
    void ReadBack(int client, const std::array<std::int32_t, 4>& words);
    void Drained();

private:
    using Clock = std::chrono::steady_clock;
    enum class Kind { Program, Pass, Store, Recall, Forget };
    struct Job {
        Kind kind = Kind::Program;
        std::vector<RegisterWords> points;
        std::chrono::nanoseconds dwell{};
        int client = 0;
    };

    scpi::LinkAnswer Enqueue(Job job);
    void Pump();
    bool SendDueLine();
    void LoadSet(const RegisterWords& words, bool store);
    bool AdvanceJob();
    void FinishJob();
    bool HandOver();
    void UpdateHold();
    void OnReceived();
    void OnReplyTimeout();
    void OnLost(const QString& reason);

    SerialLink& link_;
    std::chrono::nanoseconds gap_;
    bool readsAll_;
    std::chrono::milliseconds replyTimeout_;
    QTimer timer_;
    QTimer replyTimer_;
    std::deque<Job> jobs_;
    std::optional<Job> current_;
    std::size_t point_ = 0;
    std::deque<std::string> lines_;
    std::optional<RegisterWords> lastSent_;
    std::optional<Clock::time_point> lastDue_; // when the last line was due
    std::chrono::nanoseconds pause_{};         // a dwell added before the next line
    bool awaitingReply_ = false;
    bool awaitingPartner_ = false;
    bool held_ = false;
    PortPartner* partner_ = nullptr;
    bool lost_ = false;
    bool shuttingDown_ = false;
    ReceivePath receive_;
    scpi::Ticket issued_ = 0;
    scpi::Ticket done_ = 0;
};

} // namespace max2870
