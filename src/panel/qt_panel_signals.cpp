#include "panel/qt_panel.h"

#include "model/control_table.h"
#include "panel/control_widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

namespace max2870 {

// The operator's changes reach the record first and are then reported; the program's own
// writes are reported by the setters, so the widgets' signals are ignored while they run.
void QtPanel::Connect(const ControlEntry& entry, QWidget* widget) {
    const ControlId id = entry.id;
    switch (entry.kind) {
    case ControlKind::TextBox:
        connect(static_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this,
                [this, id](const QString& text) { OnWidgetText(id, text); });
        break;
    case ControlKind::ComboBox:
        connect(static_cast<QComboBox*>(widget), &QComboBox::editTextChanged, this,
                [this, id](const QString& text) { OnWidgetText(id, text); });
        connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
                [this, id] { OnButtonClicked(id); });
        break;
    case ControlKind::CheckBox:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::toggled, this,
                [this, id](bool checked) { OnWidgetValue(id, checked ? 1 : 0); });
        break;
    case ControlKind::OptionButton:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::toggled, this,
                [this, id](bool checked) { OnOptionToggled(id, checked); });
        break;
    case ControlKind::CommandButton:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                [this, id] { OnButtonClicked(id); });
        break;
    case ControlKind::Spinner:
        widget->setFocusPolicy(Qt::StrongFocus); // like the other controls, it takes the focus
        connect(
            static_cast<QScrollBar*>(widget), &QScrollBar::valueChanged, this,
            [this, id](int position) { OnWidgetValue(id, SpinnerValueOf(EntryOf(id), position)); });
        break;
    default:
        break;
    }
    if (id == ControlId::FrText || id == ControlId::FoutText) {
        widget->installEventFilter(this);
    }
}

void QtPanel::OnWidgetText(ControlId id, const QString& text) {
    if (programWrites_ > 0) {
        return;
    }
    std::string typed = text.toStdString();
    ControlState& state = At(id);
    if (typed == state.text) {
        return;
    }
    state.text = std::move(typed);
    Report(id, ControlEvent::Change);
}

void QtPanel::OnWidgetValue(ControlId id, int value) {
    if (programWrites_ > 0 || At(id).value == value) {
        return;
    }
    At(id).value = value;
    const bool spinner = EntryOf(id).kind == ControlKind::Spinner;
    Report(id, spinner ? ControlEvent::Change : ControlEvent::Click);
}

void QtPanel::OnOptionToggled(ControlId id, bool checked) {
    if (programWrites_ > 0 || !checked || At(id).value != 0) {
        return;
    }
    SelectOption(id);
    Report(id, ControlEvent::Click);
}

void QtPanel::OnButtonClicked(ControlId id) {
    if (programWrites_ == 0) {
        Report(id, ControlEvent::Click);
    }
}

bool QtPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Widget(ControlId::EEdata) && event->type() == QEvent::Close) {
        // The operator closed the listing; the next "PIC EE Data" shows it again.
        At(ControlId::EEdata).visible = false;
    } else if (watched == Widget(ControlId::FrText) && event->type() == QEvent::FocusOut) {
        // Only a move to another control counts: switching windows or opening a menu does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            Report(ControlId::FrText, ControlEvent::LostFocus);
        }
    } else if (watched == Widget(ControlId::FoutText) &&
               event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Report(ControlId::FoutText, ControlEvent::Click);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace max2870
