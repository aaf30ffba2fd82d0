#include "panel/qt_panel.h"

#include "model/control_table.h"
#include "panel/control_widgets.h"
#include "panel/panel_window.h"
#include "panel/twips.h"

namespace max2870 {
namespace {

// The window a control lives in: its parent, or its frame's parent.
ControlId WindowOf(const ControlSpec& spec) {
    ControlId parent = spec.parent;
    while (parent != ControlId::None && SpecOf(parent).kind != ControlKind::Window) {
        parent = SpecOf(parent).parent;
    }
    return parent;
}

QSize ClientSize(ControlId window) {
    return PixelRect(SpecOf(window).place).size();
}

} // namespace

void QtPanel::BuildMainWindow() {
    main_ = std::make_unique<PanelWindow>();
    main_->setObjectName(QStringLiteral("MAX2870"));
    main_->setFixedSize(ClientSize(ControlId::MAX2870));
    main_->setWindowIcon(PanelIcon());
    main_->setFont(PanelFont(false, false));
    widgets_[Index(ControlId::MAX2870)] = main_.get();
    ApplyState(SpecOf(ControlId::MAX2870));
    BuildControls(ControlId::MAX2870, main_.get());
    ChainTabOrder();
}

void QtPanel::BuildListingWindow() {
    auto* window = new PanelWindow(main_.get(), Qt::Window);
    window->setObjectName(QStringLiteral("EEdata"));
    // A secondary window: it never keeps the program running once the main window is closed.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setFixedSize(ClientSize(ControlId::EEdata));
    window->setFont(PanelFont(false, false));
    widgets_[Index(ControlId::EEdata)] = window;
    window->installEventFilter(this);
    ApplyState(SpecOf(ControlId::EEdata));
    BuildControls(ControlId::EEdata, window);
    const WindowRect& place = State(ControlId::EEdata).place;
    if (place.left != 0 || place.top != 0) {
        window->move(PixelsOf(place.left), PixelsOf(place.top));
    }
}

void QtPanel::BuildControls(ControlId window, QWidget* windowWidget) {
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind == ControlKind::Window || WindowOf(spec) != window) {
            continue;
        }
        QWidget* parent = spec.parent == window ? windowWidget : Widget(spec.parent);
        QWidget* widget = CreateControlWidget(spec, parent);
        widgets_[Index(spec.id)] = widget;
        ApplyState(spec);
        Connect(spec, widget);
    }
}

void QtPanel::ApplyState(const ControlSpec& spec) {
    QWidget* widget = Widget(spec.id);
    const ControlState& state = State(spec.id);
    ProgramWrite write(*this);
    ApplyText(spec, widget, state.text);
    ApplyValue(spec, widget, state.value);
    ApplyColours(spec.kind, widget, state.fore, state.back);
    if (spec.kind != ControlKind::Window) {
        ApplyBold(spec, widget, state.bold);
        widget->setVisible(state.visible);
        widget->setEnabled(state.enabled);
    }
}

// The tab order is the table's, which starts with the wanted-frequency box.
void QtPanel::ChainTabOrder() {
    QWidget* previous = nullptr;
    for (const ControlSpec& spec : ControlTable()) {
        QWidget* widget = Widget(spec.id);
        if (widget == nullptr || spec.kind == ControlKind::Window ||
            WindowOf(spec) != ControlId::MAX2870 || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

} // namespace max2870
