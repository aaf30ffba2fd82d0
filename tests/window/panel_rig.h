#pragma once

// The window and the in-memory panel side by side, each with its own plan, listing and
// record, driven by the same operator actions: keystrokes, clicks and arrow presses on the
// real widgets, the equivalent writes on the in-memory panel.

#include "panel/event_router.h"
#include "panel/listing_command.h"
#include "panel/memory_panel.h"
#include "panel/plan_controller.h"
#include "window/control_widgets.h"
#include "window/qt_panel.h"

#include <QtTest>
#include <QtWidgets>

#include <sstream>

namespace max2870::test {

enum Act { Type, Paste, Tick, Select, Up, Down, Press, Close, Decode, Expect, Drawn, Whole, Place };
struct Step {
    Act act;
    ControlId id = ControlId::ValuesText;
    std::string text{}; // typed text, words to decode, or what the control must show
};

inline QString Name(ControlId id) {
    return QString::fromUtf8(EntryOf(id).name.data(), EntryOf(id).name.size());
}

// A control's text as its widget shows it, "[x]" after a ticked button, a spinner's value as
// a screen reader hears it, and a mark when a reader would hear no name at all.
inline QString Shown(QWidget* w, bool named) {
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(w);
    const QString unnamed = named && reader->text(QAccessible::Name).isEmpty() ? " (unnamed)" : "";
    if (reader->valueInterface() != nullptr)
        return reader->valueInterface()->currentValue().toString() + unnamed;
    for (const char* property : {"plainText", "currentText", "title", "text", "windowTitle"})
        if (w->property(property).isValid())
            return w->property(property).toString() +
                   (w->property("checked").toBool() ? "[x]" : "") + unnamed;
    return {};
}

// How a control looks: its text, ink, background (of a box), tooltip, and whether it is
// shown, grey or bold.
inline QString Look(const QString& text, QColor ink, QColor base, const QString& tip, bool shown,
                    bool grey, bool bold) {
    return text + '/' + ink.name() + '/' + base.name() + '/' + tip +
           (shown ? "/shown" : "/hidden") + (grey ? "/grey" : "") + (bold ? "/bold" : "");
}

struct Twin {
    SynthState windowState, memoryState;
    QtPanel window;
    MemoryPanel memory;
    PlanController windowPlan{windowState, window}, memoryPlan{memoryState, memory};
    ListingCommand windowListing{windowPlan, window}, memoryListing{memoryPlan, memory};
    EventRouter windowRouter, memoryRouter;
    bool active = false; // focus moves, and so FrText's LostFocus, need an active window

    explicit Twin(QStringList fonts = PanelFonts::DefaultFamilies()) : window(std::move(fonts)) {
        windowRouter.Add(PlanController::Routes(), windowPlan);
        windowRouter.Add(ListingCommand::Routes(), windowListing);
        memoryRouter.Add(PlanController::Routes(), memoryPlan);
        memoryRouter.Add(ListingCommand::Routes(), memoryListing);
        window.SetEventSink(&windowRouter);
        memory.SetEventSink(&memoryRouter);
        window.SetMessageSink([](std::string_view, std::string_view) {});
        window.ShowMainWindow();
        active = QTest::qWaitForWindowActive(window.MainWindow());
    }
    QWidget* W(ControlId id) const { return window.Widget(id); }
    void Run(std::initializer_list<Step> steps) {
        for (const Step& step : steps)
            Run(step);
    }

    void Run(const Step& s) {
        QWidget* w = W(s.id);
        auto* box = qobject_cast<QLineEdit*>(w);
        if (s.act == Type || s.act == Paste) {
            box->setFocus(Qt::MouseFocusReason);
            box->selectAll();
        }
        if (s.act == Paste) { // one change, as a paste over a selection makes
            box->insert(QString::fromStdString(s.text));
            memory.SetText(s.id, s.text);
        } else if (s.act == Type) { // key by key, each giving the box as typed so far
            QTest::keyClicks(box, QString::fromStdString(s.text));
            for (std::size_t i = 0; i < s.text.size(); ++i)
                memory.SetText(s.id, s.text.substr(0, i + 1));
        }
        if ((s.act == Type || s.act == Paste) && s.id == ControlId::FrText) {
            QTest::keyClick(box, Qt::Key_Tab);
            memoryRouter.OnControlEvent(s.id, ControlEvent::LostFocus);
        } else if (s.act == Type || s.act == Paste) { // Enter ends the edit, as Tab would
            QTest::keyClick(box, Qt::Key_Return);
        } else if (s.act == Tick || s.act == Select) {
            QTest::mouseClick(w, Qt::LeftButton);
            memory.SetValue(s.id, s.act == Select ? 1 : 1 - memory.Value(s.id));
        } else if (s.act == Up || s.act == Down) { // the arrows at the spinner's ends
            const bool up = s.act == Up;
            QTest::mouseClick(w, Qt::LeftButton, {},
                              QPoint(w->width() / 2, up ? 3 : w->height() - 4));
            memory.SetValue(s.id, memory.Value(s.id) + (up ? 1 : -1));
        } else if (s.act == Press) { // a command button, or a click in the wanted frequency
            QTest::mouseClick(w, Qt::LeftButton);
            memory.Press(s.id);
        } else if (s.act == Close) { // the operator closes the listing window
            w->close();
            memory.SetVisible(s.id, false);
        } else if (s.act == Decode) { // words Reg0 Reg1 Reg2 Reg4 as read back
            std::istringstream text(s.text);
            std::array<std::uint32_t, 4> words{};
            for (std::uint32_t& word : words)
                text >> std::hex >> word;
            ReadBackWords set{};
            std::copy(words.begin(), words.end(), set.begin());
            windowPlan.DecodeRegisters(set);
            memoryPlan.DecodeRegisters(set);
        }
    }

    // Every control whose widget does not look as the in-memory panel holds it.
    QStringList Differences() const {
        QStringList found;
        for (const ControlEntry& e : ControlTable()) {
            const MemoryPanel::ControlRecord& m = memory.Record(e.id);
            QWidget* w = W(e.id);
            if (w == nullptr)
                continue;
            const bool boxed = e.kind == ControlKind::TextBox || e.kind == ControlKind::ComboBox ||
                               e.kind == ControlKind::MultiLineText;
            const bool window = w->isWindow(), named = !window && e.kind != ControlKind::Label &&
                                                       e.kind != ControlKind::Frame;
            const Rgb back = m.note.empty() ? m.back : Rgb{255, 255, 192};
            QStringList tip{QString::fromUtf8(e.tooltip.data(), e.tooltip.size()), m.note.c_str(),
                            m.outdated.c_str()};
            tip.removeAll(QString());
            const Rgb ink = m.outdated.empty() ? m.fore : Rgb{128, 128, 128};
            const int divider = 1 << m.value; // what a reader hears, as the label shows it
            const QString text =
                e.kind == ControlKind::Spinner
                    ? QString::number(e.id == ControlId::OutDivCont ? divider : m.value)
                    : QString::fromStdString(DisplayLineEnds(m.text)) +
                          (m.value && !window ? "[x]" : "");
            const QString held =
                Look(text, QColor(ink.red, ink.green, ink.blue),
                     boxed ? QColor(back.red, back.green, back.blue) : QColor(), tip.join('\n'),
                     m.visible, !m.enabled && !window, m.bold && !window);
            const QPalette p = w->palette();
            const QString shown =
                Look(Shown(w, named),
                     p.color(QPalette::Active, boxed ? QPalette::Text : QPalette::WindowText),
                     boxed ? p.color(QPalette::Active, QPalette::Base) : QColor(), w->toolTip(),
                     !w->isHidden(), !w->isEnabled() && !window, w->font().bold() && !window);
            if (shown != held || this->window.Text(e.id) != m.text)
                found << Name(e.id) + " shows '" + shown + "' for '" + held + "'";
        }
        if (windowState.words != memoryState.words)
            found << "register words";
        return found;
    }
};

} // namespace max2870::test
