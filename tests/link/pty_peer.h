#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The far end of a pseudo-terminal, standing in for the translator: it records every line the
// program sends with its arrival time and can answer or vanish on cue.
class PtyPeer : public QObject {
    Q_OBJECT
public:
    struct Line {
        QByteArray text; // with its CR LF
        double seconds;  // arrival of its last byte, from the peer's creation
    };
    using Responder = std::function<QByteArray(const QByteArray& line)>;

    PtyPeer();
    ~PtyPeer() override;

    QString Path() const { return path_; }
    QByteArray Received() const { return received_; }
    const std::vector<Line>& Lines() const { return lines_; }
    void Forget();

    void Send(const QByteArray& bytes);
    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    void Vanish(); // both ends closed, as when an adapter is pulled out

signals:
    void LineArrived(const QByteArray& line);

private:
    void OnReadable();

    int master_ = -1;
    int slave_ = -1; // held open so the master never sees a hang-up between the program's opens
    QString path_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QElapsedTimer clock_;
    QByteArray received_;
    QByteArray partial_;
    std::vector<Line> lines_;
    Responder responder_;
};
