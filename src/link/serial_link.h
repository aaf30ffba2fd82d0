#pragma once

#include "link/port_fault.h"

#include <QObject>
#include <QString>

#include <string>
#include <string_view>

namespace max2870 {

// The serial port as the link uses it: choose, open, close, queue text, take what has arrived,
// and hear about arrivals and a port that went away. The line settings (9600 baud, no parity,
// 8 data bits, 2 stop bits) are fixed by every implementation.
class SerialLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void SetPortName(const std::string& name) = 0;
    virtual std::string PortName() const = 0;
    virtual OpenResult Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Queues the text and returns without waiting for it to go out.
    virtual void Write(std::string_view text) = 0;
    // Everything received and not yet read; empty when nothing is waiting.
    virtual std::string Read() = 0;

signals:
    void Received(); // on the user-interface thread, as soon as one character has arrived
    void Lost(const QString& reason); // the open port failed for good (adapter removed)
};

} // namespace max2870
