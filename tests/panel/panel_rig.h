#pragma once

// The window and the in-memory panel side by side, each with its own plan, listing and
// record, driven by the same operator actions: keystrokes, clicks and arrow presses on the
// real widgets, the equivalent writes on the in-memory panel.

#include "listing/listing_command.h"
#include "model/plan_controller.h"
#include "panel/control_widgets.h"
#include "panel/qt_panel.h"
#include "panel/spinner.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyleOptionSlider>
#include <QTest>

#include <QApplication>

#include <cstdio>
#include <map>

namespace max2870::test {

enum class Act { Type, Paste, Tick, Select, Up, Down, Press, Decode, Expect };
struct Step {
    Act act;
    ControlId id = ControlId::None;
    std::string text{}; // typed text, four words to decode, or a text the control must hold
};

inline QColor Colour(Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

// What a control's widget shows, as its text, its value and its colours.
inline QString Shown(const ControlEntry& entry, QWidget* w) {
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* box = qobject_cast<QPlainTextEdit*>(w))
        return box->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return frame->title();
    if (auto* spinner = dynamic_cast<Spinner*>(w))
        return QString::number(spinner->SpinnerValue());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text() + (button->isChecked() ? "[x]" : "");
    return entry.kind == ControlKind::Window ? w->windowTitle() : QString();
}

struct Twin {
    SynthState windowState, memoryState;
    QtPanel window;
    MemoryPanel memory;
    PlanController windowPlan{windowState, window}, memoryPlan{memoryState, memory};
    ListingCommand windowListing{windowPlan}, memoryListing{memoryPlan};
    bool active = false; // focus moves, and so FrText's LostFocus, need an active window

    explicit Twin(QStringList families = PanelFonts::DefaultFamilies())
        : window(std::move(families)) {
        window.SetEventSink(&windowPlan);
        windowPlan.SetNextSink(&windowListing);
        memory.SetEventSink(&memoryPlan);
        memoryPlan.SetNextSink(&memoryListing);
        window.SetMessageSink([](std::string_view, std::string_view) {});
        window.ShowMainWindow();
        active = QTest::qWaitForWindowActive(window.MainWindow());
    }
    QWidget* W(ControlId id) const { return window.Widget(id); }

    void Run(const Step& s) {
        switch (s.act) {
        case Act::Type:
        case Act::Paste: {
            auto* box = qobject_cast<QLineEdit*>(W(s.id));
            box->setFocus(Qt::MouseFocusReason);
            box->selectAll();
            if (s.act == Act::Paste) {
                box->insert(QString::fromStdString(s.text)); // one change, as a paste makes
                memory.SetText(s.id, s.text);
                break;
            }
            QTest::keyClicks(box, QString::fromStdString(s.text));
            for (std::size_t i = 0; i < s.text.size(); ++i) // each key after a write-back appends
                memory.SetText(s.id, (i == 0 ? std::string() : memory.Text(s.id)) + s.text[i]);
            if (s.id == ControlId::FrText) {
                QTest::keyClick(box, Qt::Key_Tab);
                memoryPlan.OnControlEvent(s.id, ControlEvent::LostFocus);
            }
            break;
        }
        case Act::Tick:
        case Act::Select:
            QTest::mouseClick(W(s.id), Qt::LeftButton);
            memory.SetValue(s.id, s.act == Act::Select ? 1 : 1 - memory.Value(s.id));
            break;
        case Act::Up:
        case Act::Down: {
            auto* bar = static_cast<Spinner*>(W(s.id));
            QStyleOptionSlider option;
            option.initFrom(bar);
            option.orientation = Qt::Vertical;
            option.maximum = bar->maximum();
            option.sliderPosition = option.sliderValue = bar->value();
            const auto arrow =
                s.act == Act::Up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine;
            QTest::mouseClick(
                bar, Qt::LeftButton, {},
                bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar).center());
            memory.SetValue(s.id, memory.Value(s.id) + (s.act == Act::Up ? 1 : -1));
            break;
        }
        case Act::Press: // a command button, or a click in the wanted-frequency box
            QTest::mouseClick(W(s.id), Qt::LeftButton);
            memoryPlan.OnControlEvent(s.id, ControlEvent::Click);
            break;
        case Act::Decode:
            for (SynthState* state : {&windowState, &memoryState}) {
                unsigned words[4];
                std::sscanf(s.text.c_str(), "%x %x %x %x", &words[0], &words[1], &words[2],
                            &words[3]);
                for (int i : {0, 1, 2, 3})
                    state->RxReg[i == 3 ? 4 : i] = static_cast<std::int32_t>(words[i]);
            }
            windowPlan.DecodeRegisters();
            memoryPlan.DecodeRegisters();
            break;
        case Act::Expect:
            break;
        }
    }

    // Every control whose widget does not show what the in-memory panel holds, and why.
    QStringList Differences() const {
        QStringList found;
        for (const ControlEntry& e : ControlTable()) {
            const MemoryPanel::ControlRecord& m = memory.Record(e.id);
            QWidget* w = W(e.id);
            const QString name = QString::fromUtf8(e.name.data(), e.name.size());
            if (window.Record().Record(e.id).text != m.text)
                found << name + " text (exact)";
            if (w == nullptr)
                continue;
            QString expected = QString::fromStdString(DisplayLineEnds(m.text));
            if (e.kind == ControlKind::Spinner)
                expected = QString::number(m.value);
            if ((e.kind == ControlKind::CheckBox || e.kind == ControlKind::OptionButton) && m.value)
                expected += "[x]";
            if (Shown(e, w) != expected)
                found << name + " shows '" + Shown(e, w) + "', not '" + expected + "'";
            const bool boxed = e.kind == ControlKind::TextBox || e.kind == ControlKind::ComboBox ||
                               e.kind == ControlKind::MultiLineText;
            const auto fore = boxed                                  ? QPalette::Text
                              : e.kind == ControlKind::CommandButton ? QPalette::ButtonText
                                                                     : QPalette::WindowText;
            if (e.kind != ControlKind::Window &&
                w->palette().color(QPalette::Active, fore) != Colour(m.fore))
                found << name + " text colour " + w->palette().color(QPalette::Active, fore).name();
            if (boxed && m.note.empty() &&
                w->palette().color(QPalette::Active, QPalette::Base) != Colour(m.back))
                found << name + " background " +
                             w->palette().color(QPalette::Active, QPalette::Base).name() + " not " +
                             Colour(m.back).name();
            if (w->isHidden() == m.visible)
                found << name + (m.visible ? " hidden" : " shown");
            if (e.kind != ControlKind::Window &&
                (w->font().bold() != m.bold || w->isEnabled() != m.enabled))
                found << name + " boldness or enabled state";
        }
        if (WordsReg5First(windowState) != WordsReg5First(memoryState))
            found << "register words";
        return found;
    }
};

} // namespace max2870::test
