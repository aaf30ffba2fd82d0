#include "link/qt_serial_link.h"

#ifndef Q_OS_WIN
#include <cerrno>
#include <unistd.h>
#endif

namespace max2870 {

QtSerialLink::QtSerialLink(QObject* parent) : SerialLink(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::Received);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialLink::OnError);
}

void QtSerialLink::SetPortName(const std::string& name) {
    name_ = name;
    port_.setPortName(QString::fromStdString(name));
}

std::string QtSerialLink::PortName() const {
    return name_;
}

OpenResult QtSerialLink::Open() {
    if (port_.isOpen()) {
        return {};
    }
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::TwoStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadWrite)) {
        return {};
    }
    OpenResult result{FaultOf(port_.error()), port_.errorString().toStdString()};
    port_.clearError();
    return result;
}

void QtSerialLink::Close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialLink::IsOpen() const {
    return port_.isOpen();
}

void QtSerialLink::Write(std::string_view text) {
    port_.write(text.data(), static_cast<qint64>(text.size()));
    // Hands the bytes to the driver now, so the line leaves when the pacing says, not whenever
    // the event loop next gets round to it.
    port_.flush();
}

std::string QtSerialLink::Read() {
    return port_.readAll().toStdString();
}

void QtSerialLink::OnError(QSerialPort::SerialPortError error) {
    if (!port_.isOpen()) {
        return;
    }
    // A device that has gone away does not always say so as a resource error: a hung-up
    // terminal reads as end of file, which arrives as a read error, and its read notifier would
    // then fire without pause until the port is closed.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError) {
        return;
    }
    const QString reason = port_.errorString();
    port_.close();
    port_.clearError();
    emit Lost(reason);
}

PortFault QtSerialLink::FaultOf(QSerialPort::SerialPortError error) const {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return PortFault::NotFound;
    case QSerialPort::PermissionError:
        break;
    default:
        return PortFault::Other;
    }
#ifndef Q_OS_WIN
    // The serial layer says "permission" both for a device it may not touch and for one that
    // another program holds; only the file's access rights tell the two apart.
    const std::string path = name_.starts_with('/') ? name_ : "/dev/" + name_;
    if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        return PortFault::Permission;
    }
#endif
    return PortFault::Busy;
}

} // namespace max2870
