#include "panel/qt_panel.h"

#include "model/control_table.h"
#include "panel/control_widgets.h"
#include "panel/twips.h"

#include <QMessageBox>
#include <QWidget>

#include <algorithm>

namespace max2870 {

QtPanel::QtPanel() {
    for (const ControlSpec& spec : ControlTable()) {
        ControlState& state = At(spec.id);
        state.text = std::string(spec.text);
        state.value = spec.value;
        state.fore = spec.fore;
        state.back = spec.back;
        state.bold = spec.font != FontStyle::Default;
        state.visible = spec.visible;
        state.enabled = spec.enabled;
        state.place = {static_cast<double>(spec.place.left), static_cast<double>(spec.place.top),
                       static_cast<double>(spec.place.width),
                       static_cast<double>(spec.place.height)};
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
        ApplyText(SpecOf(id), widget, state.text);
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
        ApplyText(SpecOf(id), widget, state.text);
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
    const ControlSpec& spec = SpecOf(id);
    if (spec.kind == ControlKind::OptionButton) {
        if (value == 0 || At(id).value != 0) {
            return; // an option is cleared only by selecting another of its group
        }
        SelectOption(id);
    } else {
        if (spec.kind == ControlKind::Spinner) {
            value = std::clamp(value, spec.minimum, spec.maximum);
        } else if (spec.kind == ControlKind::CheckBox) {
            value = value != 0 ? 1 : 0;
        }
        if (At(id).value == value) {
            return;
        }
        At(id).value = value;
    }
    if (QWidget* widget = Widget(id)) {
        ProgramWrite write(*this);
        ApplyValue(spec, widget, value);
    }
    Report(id, spec.kind == ControlKind::Spinner ? ControlEvent::Change : ControlEvent::Click);
}

void QtPanel::SetForeColour(ControlId id, Rgb colour) {
    At(id).fore = colour;
    if (QWidget* widget = Widget(id)) {
        ApplyColours(SpecOf(id).kind, widget, colour, std::nullopt);
    }
}

void QtPanel::SetBackColour(ControlId id, Rgb colour) {
    At(id).back = colour;
    if (QWidget* widget = Widget(id)) {
        ApplyColours(SpecOf(id).kind, widget, std::nullopt, colour);
    }
}

void QtPanel::SetBold(ControlId id, bool bold) {
    At(id).bold = bold;
    if (QWidget* widget = Widget(id)) {
        ApplyBold(SpecOf(id), widget, bold);
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
