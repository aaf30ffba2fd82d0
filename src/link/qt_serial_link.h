#pragma once

#include "link/serial_link.h"

#include <QSerialPort>

namespace max2870 {

// The serial link over QSerialPort. Any device path is accepted as a port name, so a
// pseudo-terminal such as /dev/pts/7 opens like an adapter.
class QtSerialLink : public SerialLink {
    Q_OBJECT
public:
    explicit QtSerialLink(QObject* parent = nullptr);

    void SetPortName(const std::string& name) override;
    std::string PortName() const override;
    OpenResult Open() override;
    void Close() override;
    bool IsOpen() const override;
    void Write(std::string_view text) override;
    std::string Read() override;

private:
    void OnError(QSerialPort::SerialPortError error);
    PortFault FaultOf(QSerialPort::SerialPortError error) const;

    QSerialPort port_;
    std::string name_; // as given: the port reports a device path without its /dev/
};

} // namespace max2870
