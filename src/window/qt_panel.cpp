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

// Where events go while nothing listens: before the wiring and during teardown.
class NoEvents : public PanelEvents {
public:
    void OnControlEvent(ControlId /*id*/, ControlEvent /*event*/) override {}
};

PanelEvents* Nobody() {
    static NoEvents nobody;
    return &nobody;
}

// Captions, check boxes, option buttons and frames show the main window's fixed background.
bool SitsOnThePanel(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::CheckBox ||
           kind == ControlKind::OptionButton || kind == ControlKind::Frame;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtPanel::QtPanel(QStringList fontFamilies) : families_(std::move(fontFamilies)), sink_(Nobody()) {}

void QtPanel::SetEventSink(PanelEvents* sink) {
    sink_ = sink != nullptr ? sink : Nobody();
}

QtPanel::~QtPanel() {
    // Tearing the widgets down moves the focus and may empty boxes: nothing of it may reach the
    // handlers, the record or a widget that is half gone.
    sink_ = Nobody();
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

void QtPanel::MirrorText(ControlId id) {
    if (QWidget* widget = Widget(id)) {
        Mirroring mirroring(*this);
        ApplyText(EntryOf(id), widget, records_[id].text, *fonts_);
    }
}

void QtPanel::SetText(ControlId id, std::string_view text) {
    std::string& held = records_[id].text;
    if (held == text) {
        return;
    }
    held = text;
    if (id == editing_) { // the program's own text replaces what the operator was typing
        editing_ = ControlId::None;
        heldWriteBack_.reset();
    }
    if (QWidget* widget = Widget(id)) {
        Mirroring mirroring(*this);
        ApplyText(EntryOf(id), widget, held, *fonts_);
    }
    sink_->OnControlEvent(id, ControlEvent::Change);
}

void QtPanel::WriteBack(ControlId id, std::string_view text) {
    if (id == editing_) {
        heldWriteBack_ = std::string(text);
    } else if (records_.WriteText(id, text)) {
        MirrorText(id);
    }
}

// Typed or pasted into a box that has the focus, the text is the operator's to finish: the
// recompute's rewrite of that box waits until Enter or until the box loses the focus.
void QtPanel::ConnectTextBox(ControlId id, QLineEdit* box) {
    connect(box, &QLineEdit::textChanged, this,
            [this, id](const QString& text) { OnWidgetText(id, text); });
    connect(box, &QLineEdit::returnPressed, this, [this, id] { FinishEditing(id); });
    connect(box, &QLineEdit::editingFinished, this, [this, id] { FinishEditing(id); });
}

void QtPanel::OnWidgetText(ControlId id, const QString& text) {
    std::string typed = text.toStdString();
    std::string& held = records_[id].text;
    if (mirroring_ != 0 || held == typed) {
        return;
    }
    held = std::move(typed);
    if (EntryOf(id).kind == ControlKind::TextBox && Widget(id)->hasFocus()) {
        editing_ = id;
    }
    MirrorText(id); // line ends show as the record holds them
    sink_->OnControlEvent(id, ControlEvent::Change);
}

// The edit is over: the box takes the recompute's latest rewrite of it, as it would have at
// once had the operator not been typing there.
void QtPanel::FinishEditing(ControlId id) {
    if (id != editing_) {
        return;
    }
    editing_ = ControlId::None;
    if (const std::optional<std::string> text = std::exchange(heldWriteBack_, std::nullopt);
        text && records_.WriteText(id, *text)) {
        MirrorText(id);
    }
}

void QtPanel::AppendText(ControlId id, std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (QWidget* widget = Widget(id)) {
        Mirroring mirroring(*this);
        ApplyAppend(widget, records_[id].text, std::string(text));
    }
    records_[id].text.append(text);
    sink_->OnControlEvent(id, ControlEvent::Change);
}

bool QtPanel::Press(ControlId id) {
    if (!records_[id].visible || !records_[id].enabled) {
        return false;
    }
    sink_->OnControlEvent(id, ControlEvent::Click);
    return true;
}

void QtPanel::SetValue(ControlId id, int value) {
    const std::optional<ControlEvent> event = records_.WriteValue(id, value);
    if (!event) {
        return;
    }
    if (QWidget* widget = Widget(id)) {
        Mirroring mirroring(*this);
        ApplyValue(EntryOf(id), widget, records_[id].value);
    }
    sink_->OnControlEvent(id, *event);
}

void QtPanel::SetCaption(ControlId id, std::string_view caption) {
    records_[id].text = std::string(caption);
    MirrorText(id);
}

void QtPanel::SetForeColour(ControlId id, Rgb colour) {
    records_[id].fore = colour;
    coloursFixed_[Index(id)] = true;
    MirrorColours(id);
}

void QtPanel::SetBackColour(ControlId id, Rgb colour) {
    records_[id].back = colour;
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
    const ControlRecord& record = records_[id];
    coloursFixed_[Index(id)] = coloursFixed_[Index(id)] || !record.note.empty();
    if (widget == nullptr) {
        return;
    }
    const std::optional<Rgb> ink = record.outdated.empty() ? OwnInk(id) : std::nullopt;
    if (SitsOnThePanel(kind)) {
        ApplyColours(kind, widget, ink, std::nullopt);
    } else if (coloursFixed_[Index(id)]) {
        ApplyColours(kind, widget, ink, record.note.empty() ? record.back : kNoteBack);
    }
}

void QtPanel::SetBold(ControlId id, bool bold) {
    records_[id].bold = bold;
    if (QWidget* widget = Widget(id)) {
        ApplyBold(EntryOf(id), widget, bold, *fonts_);
    }
}

void QtPanel::SetNote(ControlId id, std::string_view note) {
    records_[id].note = std::string(note);
    if (Widget(id) != nullptr) {
        MirrorToolTip(id);
        MirrorColours(id);
    }
}

void QtPanel::MarkOutdated(ControlId id, std::string_view reason) {
    if (records_[id].outdated == reason) {
        return;
    }
    records_[id].outdated = std::string(reason);
    if (QWidget* widget = Widget(id)) {
        ApplyOutdated(EntryOf(id).kind, widget, ToQString(reason), OwnInk(id));
        MirrorToolTip(id);
    }
}

std::optional<Rgb> QtPanel::OwnInk(ControlId id) const {
    const bool fixed = coloursFixed_[Index(id)] || SitsOnThePanel(EntryOf(id).kind);
    return fixed ? std::optional(records_[id].fore) : std::nullopt;
}

// The table's tooltip, then what the program noted on the control.
void QtPanel::MirrorToolTip(ControlId id) {
    const ControlRecord& record = records_[id];
    QStringList tip;
    for (std::string_view part :
         {EntryOf(id).tooltip, std::string_view(record.note), std::string_view(record.outdated)}) {
        if (!part.empty()) {
            tip << ToQString(part);
        }
    }
    Widget(id)->setToolTip(tip.join(QLatin1Char('\n')));
}

void QtPanel::SetVisible(ControlId id, bool visible) {
    records_[id].visible = visible;
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
    records_[id].enabled = enabled;
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
        return records_[window].place;
    }
    const QRect frame = widget->frameGeometry();
    return {TwipsOf(frame.x()), TwipsOf(frame.y()), TwipsOf(frame.width()),
            TwipsOf(frame.height())};
}

// The place is that of the outer edges, frame and title bar included. A window just shown for the
// first time has not been framed yet, so Qt would put its client area where its frame belongs;
// until the window manager has framed it, the main window's frame stands in for its own.
void QtPanel::MoveWindow(ControlId window, double left, double top) {
    records_[window].place.left = left;
    records_[window].place.top = top;
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
    if (messageSink_) {
        messageSink_(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok,
                    MainWindow());
    box.exec();
}

} // namespace max2870
