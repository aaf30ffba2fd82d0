#pragma once

#include <QPointer>
#include <QWidget>

namespace max2870 {

// Where the keyboard focus goes when the control that holds it goes grey or away under the
// operator's hands: a send button during its transfer, "Set COM Port" once its port is open.
// Left to Qt, it moves on to the next control in the tab order, which may be an editable box
// whose text a typed key would replace. Instead it waits on a read-only place (the link log),
// and goes back to its control when that comes back, or on to the first control shown in the
// place of one that went away. Once the operator moves it elsewhere, it stays where they put it.
class FocusKeeper {
public:
    // Before `widget` goes grey or is hidden.
    void Leaving(QWidget* widget, QWidget* waitingPlace);
    // After `widget` came back (enabled or shown).
    void Returned(QWidget* widget);

private:
    QPointer<QWidget> owner_;   // the control that had the focus
    QPointer<QWidget> waiting_; // where the focus waits meanwhile
};

} // namespace max2870
