#include "window/panel_window.h"

#include <QCloseEvent>

namespace max2870 {

PanelWindow::PanelWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

void PanelWindow::closeEvent(QCloseEvent* event) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) {
            child->hide();
        }
    }
    QWidget::closeEvent(event);
}

} // namespace max2870
