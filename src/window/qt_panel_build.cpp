#include "window/qt_panel.h"

#include "panel/control_table.h"
#include "window/control_widgets.h"
#include "window/panel_window.h"
#include "window/twips.h"

#include <QApplication>

namespace max2870 {
namespace {

// The window a control lives in: its parent, or its frame's parent.
ControlId WindowOf(const ControlEntry& entry) {
    ControlId parent = entry.parent;
    while (parent != ControlId::None && EntryOf(parent).kind != ControlKind::Window) {
        parent = EntryOf(parent).parent;
    }
    return parent;
}

QSize ClientSize(ControlId window) {
    return PixelRect(EntryOf(window).place).size();
}

} // namespace

void QtPanel::BuildMainWindow() {
    main_ = std::make_unique<PanelWindow>();
    main_->setObjectName(QStringLiteral("MAX2870"));
    main_->setFixedSize(ClientSize(ControlId::MAX2870));
    if (QApplication::windowIcon().isNull()) { // the program sets it once for all its windows
        main_->setWindowIcon(PanelIcon());
    }
    main_->setFont(fonts_->Font(FontStyle::Default, false));
    widgets_[Index(ControlId::MAX2870)] = main_.get();
    MirrorAll(EntryOf(ControlId::MAX2870));
    BuildControls(ControlId::MAX2870, main_.get());
    ChainTabOrder();
}

void QtPanel::BuildListingWindow() {
    auto* window = new PanelWindow(main_.get(), Qt::Window);
    window->setObjectName(QStringLiteral("EEdata"));
    // A secondary window: it never keeps the program running once the main window is closed.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setFixedSize(ClientSize(ControlId::EEdata));
    window->setFont(fonts_->Font(FontStyle::Default, false));
    widgets_[Index(ControlId::EEdata)] = window;
    window->installEventFilter(this);
    MirrorAll(EntryOf(ControlId::EEdata));
    BuildControls(ControlId::EEdata, window);
    const WindowRect& place = records_[ControlId::EEdata].place;
    if (place.left != 0 || place.top != 0) {
        MoveWindow(ControlId::EEdata, place.left, place.top);
    }
}

void QtPanel::BuildControls(ControlId window, QWidget* windowWidget) {
    for (const ControlEntry& entry : ControlTable()) {
        if (entry.kind == ControlKind::Window || WindowOf(entry) != window) {
            continue;
        }
        QWidget* parent = entry.parent == window ? windowWidget : Widget(entry.parent);
        QWidget* widget = CreateControlWidget(entry, parent, *fonts_);
        widgets_[Index(entry.id)] = widget;
        MirrorAll(entry);
        Connect(entry, widget);
    }
}

// A widget made after its record changed (the listing's) shows the record as it stands.
void QtPanel::MirrorAll(const ControlEntry& entry) {
    QWidget* widget = Widget(entry.id);
    const ControlRecord& record = records_[entry.id];
    coloursFixed_[Index(entry.id)] =
        coloursFixed_[Index(entry.id)] || entry.back.has_value() || entry.fore.has_value();
    Mirroring mirroring(*this);
    if (entry.kind != ControlKind::Window) {
        ApplyBold(entry, widget, record.bold, *fonts_); // before the text, which may fit the font
    }
    ApplyText(entry, widget, record.text, *fonts_);
    ApplyValue(entry, widget, record.value);
    MirrorColours(entry.id);
    if (!record.note.empty() || !record.outdated.empty()) {
        MirrorToolTip(entry.id);
        ApplyOutdated(entry.kind, widget, QString::fromStdString(record.outdated),
                      OwnInk(entry.id));
    }
    if (entry.kind != ControlKind::Window) {
        widget->setVisible(record.visible);
        widget->setEnabled(record.enabled);
    }
}

// The tab order is the table's, which starts with the wanted-frequency box.
void QtPanel::ChainTabOrder() {
    QWidget* previous = nullptr;
    for (const ControlEntry& entry : ControlTable()) {
        QWidget* widget = Widget(entry.id);
        if (widget == nullptr || entry.kind == ControlKind::Window ||
            WindowOf(entry) != ControlId::MAX2870 || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

} // namespace max2870
