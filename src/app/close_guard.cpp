#include "app/close_guard.h"

#include "link/link_controller.h"

#include <QCloseEvent>
#include <QWidget>

namespace max2870 {

CloseGuard::CloseGuard(QWidget& window, LinkController& link) : window_(window), link_(link) {
    window_.installEventFilter(this);
    connect(&link_, &LinkController::CloseReady, &window_, &QWidget::close);
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close && !link_.RequestClose()) {
        event->ignore(); // a filtered close that stays accepted would still close the window
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace max2870
