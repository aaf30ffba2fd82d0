#include "pty_peer.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

PtyPeer::PtyPeer() {
    termios settings{};
    cfmakeraw(&settings);
    if (openpty(&master_, &slave_, nullptr, &settings, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    path_ = QString::fromLocal8Bit(ttyname(slave_));
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PtyPeer::OnReadable);
    clock_.start();
}

PtyPeer::~PtyPeer() {
    Vanish();
}

void PtyPeer::Forget() {
    received_.clear();
    partial_.clear();
    lines_.clear();
}

void PtyPeer::Send(const QByteArray& bytes) {
    if (master_ >= 0) {
        [[maybe_unused]] const auto written = ::write(master_, bytes.constData(), bytes.size());
    }
}

void PtyPeer::Vanish() {
    notifier_.reset();
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

void PtyPeer::OnReadable() {
    char buffer[512];
    ssize_t n = 0;
    while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
        const double now = static_cast<double>(clock_.nsecsElapsed()) * 1e-9;
        received_.append(buffer, n);
        partial_.append(buffer, n);
        qsizetype end = 0;
        while ((end = partial_.indexOf("\r\n")) >= 0) {
            const QByteArray line = partial_.left(end + 2);
            partial_.remove(0, end + 2);
            lines_.push_back({line, now});
            emit LineArrived(line);
            if (responder_) {
                Send(responder_(line));
            }
        }
    }
}
