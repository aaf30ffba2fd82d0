#include "window/qt_panel.h"

#include "panel/control_table.h"
#include "window/control_widgets.h"
#include "window/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>

namespace max2870 {
namespace {

// Behind the results of a plan that breaks a chip rule; no colour the panel specifies.
constexpr Rgb kNoteBack{255, 255, 192};

QMargins FrameOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtPanel::QtPanel(QStringList fontFamilies) : families_(std::move(fontFamilies)) {
    record_.SetEventSink(this);
}

QtPanel::~QtPanel() {
    // Tearing the widgets down moves the focus and may empty boxes: nothing of it may reach the
    // handlers, the record or a widget that is half gone.
    sink_ = nullptr;
    for (QWidget* widget : widgets_) {
        if (widget != nullptr) {
            widget->removeEventFilter(this);
            disconnect(widget, nullptr, this, nullptr);
        }
    }
    if (auto* port = qobject_cast<QComboBox*>(Widget(ControlId::CPort))) {
        port->lineEdit()->removeEventFilter(this);
    }
    main_.reset();
}

QWidget* QtPanel::MainWindow() const {
    return main_.get();
}

void QtPanel::ShowMainWindow() {
    if (!main_) {
        fonts_.emplace(families_);
        BuildMainWindow();
    }
    main_->show();
    main_->activateWindow();
    Widget(ControlId::FoutText)->setFocus(Qt::OtherFocusReason);
}

void QtPanel::Report(ControlId id, ControlEvent event) {
    if (sink_ != nullptr) {
        sink_->OnControlEvent(id, event);
    }
}

void QtPanel::OnControlEvent(ControlId id, ControlEvent event) {
    if (QWidget* widget = Widget(id)) {
        Mirroring mirroring(*this);
        const ControlEntry& entry = EntryOf(id);
        if (event == ControlEvent::Change && entry.kind != ControlKind::Spinner) {
            if (id != appending_) {
                ApplyText(entry, widget, record_.Text(id), *fonts_);
            }
        } else {
            ApplyValue(entry, widget, record_.Value(id));
        }
    }
    Report(id, event);
}

void QtPanel::MirrorText(ControlId id) {
    if (QWidget* widget = Widget(id)) {
        Mirroring mirroring(*this);
        ApplyText(EntryOf(id), widget, record_.Text(id), *fonts_);
    }
}

void QtPanel::AppendText(ControlId id, std::string_view text) {
    if (QWidget* widget = Widget(id); widget != nullptr && !text.empty()) {
        Mirroring mirroring(*this);
        ApplyAppend(widget, record_.Text(id), std::string(text));
    }
    appending_ = id;
    record_.AppendText(id, text);
    appending_ = ControlId::None;
}

void QtPanel::SetCaption(ControlId id, std::string_view caption) {
    record_.SetCaption(id, caption);
    MirrorText(id);
}

void QtPanel::SetForeColour(ControlId id, Rgb colour) {
    record_.SetForeColour(id, colour);
    coloursFixed_[Index(id)] = true;
    MirrorColours(id);
}

void QtPanel::SetBackColour(ControlId id, Rgb colour) {
    record_.SetBackColour(id, colour);
    coloursFixed_[Index(id)] = true;
    MirrorColours(id);
}

// Where the panel fixes one colour of a control, the window fixes the one that goes with it: a
// dark desktop theme must neither put its light text on the panel's light backgrounds nor leave
// its dark background under the panel's dark text. Captions sit on the window's fixed background
// and always take the panel's ink; boxes and buttons keep the theme's colours until one is fixed.
// A note's highlight stands in for the background while the note is there.
void QtPanel::MirrorColours(ControlId id) {
    QWidget* widget = Widget(id);
    const ControlKind kind = EntryOf(id).kind;
    const MemoryPanel::ControlRecord& record = record_.Record(id);
    coloursFixed_[Index(id)] = coloursFixed_[Index(id)] || !record.note.empty();
    if (widget == nullptr) {
        return;
    }
    if (kind == ControlKind::Label || kind == ControlKind::CheckBox ||
        kind == ControlKind::OptionButton || kind == ControlKind::Frame) {
        ApplyColours(kind, widget, record.fore, std::nullopt);
    } else if (coloursFixed_[Index(id)]) {
        ApplyColours(kind, widget, record.fore, record.note.empty() ? record.back : kNoteBack);
    }
}

void QtPanel::SetBold(ControlId id, bool bold) {
    record_.SetBold(id, bold);
    if (QWidget* widget = Widget(id)) {
        ApplyBold(EntryOf(id), widget, bold, *fonts_);
    }
}

void QtPanel::SetNote(ControlId id, std::string_view note) {
    record_.SetNote(id, note);
    if (QWidget* widget = Widget(id)) {
        const ControlEntry& entry = EntryOf(id);
        QStringList tip;
        for (std::string_view part : {entry.tooltip, note}) {
            if (!part.empty()) {
                tip << ToQString(part);
            }
        }
        widget->setToolTip(tip.join(QLatin1Char('\n')));
        MirrorColours(id);
    }
}

void QtPanel::SetVisible(ControlId id, bool visible) {
    record_.SetVisible(id, visible);
    if (id == ControlId::EEdata) {
        ShowListingWindow(visible);
    } else if (QWidget* widget = Widget(id)) {
        if (!visible) {
            focus_.Leaving(widget, Widget(ControlId::Text1));
        }
        widget->setVisible(visible);
        if (visible) {
            focus_.Returned(widget);
        }
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
            window->activateWindow(); // Escape closes it, and the keys reach its text at once
        }
    }
}

void QtPanel::SetEnabled(ControlId id, bool enabled) {
    record_.SetEnabled(id, enabled);
    if (QWidget* widget = Widget(id)) {
        if (!enabled) {
            focus_.Leaving(widget, Widget(ControlId::Text1));
        }
        widget->setEnabled(enabled);
        if (enabled) {
            focus_.Returned(widget);
        }
    }
}

WindowRect QtPanel::WindowPlace(ControlId window) const {
    const QWidget* widget = Widget(window);
    if (widget == nullptr) {
        return record_.WindowPlace(window);
    }
    const QRect frame = widget->frameGeometry();
    return {TwipsOf(frame.x()), TwipsOf(frame.y()), TwipsOf(frame.width()),
            TwipsOf(frame.height())};
}

// The place is that of the outer edges, frame and title bar included. A window just shown for the
// first time has not been framed yet, so Qt would put its client area where its frame belongs;
// until the window manager has framed it, the main window's frame stands in for its own.
void QtPanel::MoveWindow(ControlId window, double left, double top) {
    record_.MoveWindow(window, left, top);
    QWidget* widget = Widget(window);
    if (widget == nullptr) {
        return;
    }
    const QPoint outer(PixelsOf(left), PixelsOf(top));
    QMargins frame = FrameOf(*widget);
    if (frame.isNull() && main_ && widget != main_.get()) {
        frame = FrameOf(*main_);
    }
    widget->setGeometry(QRect(outer + QPoint(frame.left(), frame.top()), widget->size()));
}

void QtPanel::ShowMessage(std::string_view title, std::string_view text) {
    record_.ShowMessage(title, text);
    if (messageSink_) {
        messageSink_(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok,
                    MainWindow());
    box.exec();
}

} // namespace max2870
