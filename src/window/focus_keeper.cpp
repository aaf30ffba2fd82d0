#include "window/focus_keeper.h"

#include <QApplication>

namespace max2870 {
namespace {

bool HoldsFocus(const QWidget* widget) {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == widget || widget->isAncestorOf(focus));
}

bool CanTakeFocus(const QWidget* widget) {
    return widget->isVisible() && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus) != 0;
}

} // namespace

void FocusKeeper::Leaving(QWidget* widget, QWidget* waitingPlace) {
    if (!HoldsFocus(widget) || waitingPlace == nullptr || waitingPlace == widget) {
        return;
    }
    owner_ = widget;
    waiting_ = waitingPlace;
    waiting_->setFocus(Qt::OtherFocusReason);
}

void FocusKeeper::Returned(QWidget* widget) {
    if (owner_.isNull() || waiting_.isNull() || QApplication::focusWidget() != waiting_) {
        owner_ = nullptr; // the operator has put it somewhere
        return;
    }
    const bool ownerBack = widget == owner_ && CanTakeFocus(widget);
    const bool replacesOwner = owner_->isHidden() && CanTakeFocus(widget);
    if (ownerBack || replacesOwner) {
        widget->setFocus(Qt::OtherFocusReason);
        owner_ = nullptr;
    }
}

} // namespace max2870
