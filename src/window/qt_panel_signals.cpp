#include "window/qt_panel.h"

#include "panel/control_table.h"
#include "window/control_widgets.h"
#include "window/port_box.h"
#include "window/spinner.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace max2870 {
namespace {

// A click in a box, or the keyboard's way of entering it: both tell that the operator is about
// to type there.
bool EntersByHand(const QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
    }
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
        return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
               reason == Qt::ShortcutFocusReason;
    }
    return false;
}

} // namespace

// The operator's changes go into the records and on to the sink; the widgets' own signals are
// ignored while they show what the program wrote.
void QtPanel::Connect(const ControlEntry& entry, QWidget* widget) {
    const ControlId id = entry.id;
    switch (entry.kind) {
    case ControlKind::TextBox:
        ConnectTextBox(id, static_cast<QLineEdit*>(widget));
        break;
    case ControlKind::ComboBox:
        connect(static_cast<QComboBox*>(widget), &QComboBox::editTextChanged, this,
                [this, id](const QString& text) { OnWidgetText(id, text); });
        connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this, [this, id, widget] {
            static_cast<QComboBox*>(widget)->lineEdit()->setCursorPosition(0);
            OnOperatorEvent(id, ControlEvent::Click);
        });
        static_cast<QComboBox*>(widget)->lineEdit()->installEventFilter(this);
        widget->installEventFilter(this);
        break;
    case ControlKind::CheckBox:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::toggled, this,
                [this, id](bool checked) { OnWidgetValue(id, checked ? 1 : 0); });
        break;
    case ControlKind::OptionButton:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::toggled, this,
                [this, id](bool checked) {
                    if (checked) {
                        OnWidgetValue(id, 1);
                    }
                });
        break;
    case ControlKind::CommandButton:
        // Only the operator clicks a button: the program never does, so no mirroring to skip.
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                [this, id] { sink_->OnControlEvent(id, ControlEvent::Click); });
        break;
    case ControlKind::Spinner:
        connect(static_cast<Spinner*>(widget), &QScrollBar::valueChanged, this, [this, id, widget] {
            OnWidgetValue(id, static_cast<Spinner*>(widget)->SpinnerValue());
        });
        break;
    default:
        break;
    }
    if (id == ControlId::FrText || id == ControlId::FoutText) {
        widget->installEventFilter(this);
    }
}

void QtPanel::OnWidgetValue(ControlId id, int value) {
    if (mirroring_ == 0) {
        SetValue(id, value);
    }
}

// Events that change nothing in the record: a button pressed, a click in a box, a box left.
void QtPanel::OnOperatorEvent(ControlId id, ControlEvent event) {
    if (mirroring_ == 0) {
        sink_->OnControlEvent(id, event);
    }
}

bool QtPanel::eventFilter(QObject* watched, QEvent* event) {
    QWidget* port = Widget(ControlId::CPort);
    if (watched == Widget(ControlId::EEdata) && event->type() == QEvent::Close) {
        // The operator closed the listing; the next "PIC EE Data" shows it again.
        records_[ControlId::EEdata].visible = false;
    } else if (watched == Widget(ControlId::EEdata) && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Widget(ControlId::EEdata)->close(); // a key its read-only text passed on
    } else if (watched == Widget(ControlId::FrText) && event->type() == QEvent::FocusOut) {
        // Only a move to another control counts: switching windows or opening a menu does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            OnOperatorEvent(ControlId::FrText, ControlEvent::LostFocus);
        }
    } else if (watched == Widget(ControlId::FoutText) && EntersByHand(event)) {
        OnOperatorEvent(ControlId::FoutText, ControlEvent::Click);
    } else if (watched == port && event->type() == QEvent::ToolTip) {
        port->setToolTip(PortToolTip(QString::fromStdString(records_[ControlId::CPort].text)));
    } else if (port != nullptr && watched == static_cast<QComboBox*>(port)->lineEdit() &&
               event->type() == QEvent::FocusOut) {
        static_cast<QComboBox*>(port)->lineEdit()->setCursorPosition(0); // a path shows its start
    }
    return QObject::eventFilter(watched, event);
}

} // namespace max2870
