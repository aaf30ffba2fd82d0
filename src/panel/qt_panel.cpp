#include "panel/qt_panel.h"

#include "model/control_table.h"
#include "panel/control_widgets.h"
#include "panel/twips.h"

#include <QMessageBox>
#include <QWidget>

#include <algorithm>

namespace max2870 {

QtPanel::QtPanel() {
    for (const ControlEntry& entry : ControlTable()) {
        ControlState& state = At(entry.id);
        state.text = std::string(entry.text);
        state.value = entry.value;
        state.fore = entry.fore;
        state.back = entry.back;
        state.bold = entry.font != FontStyle::Default;
        state.visible = entry.visible;
        state.enabled = entry.enabled;
        state.place = {static_cast<double>(entry.place.left), static_cast<double>(entry.place.top),
                       static_cast<double>(entry.place.width),
                       static_cast<double>(entry.place.height)};
    }
    BuildMainWindow();
}

QtPanel::~QtPanel() {
    // Tearing the widgets down moves the focus; nothing may reach the handlers any more.
    sink_ = nullptr;
    main_.reset();
}

QWidget* QtPanel::MainWindow() const {
    return main_.get();
}

void QtPanel::ShowMainWindow() {
    main_->show();
    main_->activateWindow();
    Widget(ControlId::FoutText)->setFocus(Qt::OtherFocusReason);
}

void QtPanel::Report(ControlId id, ControlEvent event) {
    if (sink_ != nullptr) {
        sink_->OnControlEvent(id, event);
    }
}

std::string QtPanel::Text(ControlId id) const {
    return State(id).text;
}

void QtPanel::SetText(ControlId id, std::string_view text) {
    ControlState& state = At(id);
    if (state.text == text) {
        return;
    }
    state.text = std::string(text);
    if (QWidget* widget = Widget(id)) {
        ProgramWrite write(*this);
        ApplyText(EntryOf(id), widget, state.text);
    }
    Report(id, ControlEvent::Change);
}

void QtPanel::AppendText(ControlId id, std::string_view text) {
    if (text.empty()) {
        return;
    }
    ControlState& state = At(id);
    const std::string added(text);
    if (QWidget* widget = Widget(id)) {
        ProgramWrite write(*this);
        ApplyAppend(widget, state.text, added);
    }
    state.text += added;
    Report(id, ControlEvent::Change);
}

std::string QtPanel::Caption(ControlId id) const {
    return State(id).text;
}

void QtPanel::SetCaption(ControlId id, std::string_view caption) {
    ControlState& state = At(id);
    state.text = std::string(caption);
    if (QWidget* widget = Widget(id)) {
        ProgramWrite write(*this);
        ApplyText(EntryOf(id), widget, state.text);
    }
}

int QtPanel::Value(ControlId id) const {
    return State(id).value;
}

void QtPanel::SelectOption(ControlId id) {
    for (ControlId member : OptionGroupOf(id)) {
        At(member).value = 0;
    }
    At(id).value = 1;
}

void QtPanel::SetValue(ControlId id, int value) {
    const ControlEntry& entry = EntryOf(id);
    if (entry.kind == ControlKind::OptionButton) {
        if (value == 0 || At(id).value != 0) {
            return; // an option is cleared only by selecting another of its group
        }
        SelectOption(id);
    } else {
        if (entry.kind == ControlKind::Spinner) {
            value = std::clamp(value, entry.minimum, entry.maximum);
        } else if (entry.kind == ControlKind::CheckBox) {
            value = value != 0 ? 1 : 0;
        }
        if (At(id).value == value) {
            return;
        }
        At(id).value = value;
    }
    if (QWidget* widget = Widget(id)) {
        ProgramWrite write(*this);
        ApplyValue(entry, widget, value);
    }
    Report(id, entry.kind == ControlKind::Spinner ? ControlEvent::Change : ControlEvent::Click);
}

void QtPanel::SetForeColour(ControlId id, Rgb colour) {
    At(id).fore = colour;
    if (QWidget* widget = Widget(id)) {
        ApplyColours(EntryOf(id).kind, widget, colour, std::nullopt);
    }
}

void QtPanel::SetBackColour(ControlId id, Rgb colour) {
    At(id).back = colour;
    if (QWidget* widget = Widget(id)) {
        ApplyColours(EntryOf(id).kind, widget, std::nullopt, colour);
    }
}

void QtPanel::SetBold(ControlId id, bool bold) {
    At(id).bold = bold;
    if (QWidget* widget = Widget(id)) {
        ApplyBold(EntryOf(id), widget, bold);
    }
}

void QtPanel::SetNote(ControlId id, std::string_view note) {
    if (QWidget* widget = Widget(id)) {
        widget->setToolTip(QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size())));
    }
}

bool QtPanel::Visible(ControlId id) const {
    return State(id).visible;
}

void QtPanel::SetVisible(ControlId id, bool visible) {
    At(id).visible = visible;
    if (id == ControlId::EEdata) {
        ShowListingWindow(visible);
    } else if (QWidget* widget = Widget(id)) {
        widget->setVisible(visible);
    }
}

void QtPanel::ShowListingWindow(bool visible) {
    if (visible && Widget(ControlId::EEdata) == nullptr) {
        BuildListingWindow();
    }
    if (QWidget* window = Widget(ControlId::EEdata)) {
        window->setVisible(visible);
        if (visible) {
            window->raise();
        }
    }
}

void QtPanel::SetEnabled(ControlId id, bool enabled) {
    At(id).enabled = enabled;
    if (QWidget* widget = Widget(id)) {
        widget->setEnabled(enabled);
    }
}

WindowRect QtPanel::WindowPlace(ControlId window) const {
    const QWidget* widget = Widget(window);
    if (widget == nullptr) {
        return State(window).place;
    }
    const QRect frame = widget->frameGeometry();
    return {TwipsOf(frame.x()), TwipsOf(frame.y()), TwipsOf(frame.width()),
            TwipsOf(frame.height())};
}

void QtPanel::MoveWindow(ControlId window, double left, double top) {
    At(window).place.left = left;
    At(window).place.top = top;
    if (QWidget* widget = Widget(window)) {
        widget->move(PixelsOf(left), PixelsOf(top));
    }
}

void QtPanel::ShowMessage(std::string_view title, std::string_view text) {
    if (messageSink_) {
        messageSink_(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title.data(), title.size()),
                    QString::fromUtf8(text.data(), text.size()), QMessageBox::Ok, MainWindow());
    box.exec();
}

} // namespace max2870
