#pragma once

#include <QObject>

class QWidget;

namespace max2870 {

class LinkController;

// Holds a request to close the main window while a register set is on the wire, so that the
// board never keeps half of a new set; the window closes once the set is complete, or at once
// when asked again.
class CloseGuard : public QObject {
public:
    CloseGuard(QWidget& window, LinkController& link);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    LinkController& link_;
};

} // namespace max2870
