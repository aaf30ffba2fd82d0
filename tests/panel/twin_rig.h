#pragma once

// The same operator actions on the window and on the in-memory panel, each with its own copy of
// the model, so that the two can be compared control by control.

#include "listing/listing_command.h"
#include "model/memory_panel.h"
#include "model/plan_controller.h"
#include "panel_rig.h"

#include <QLineEdit>

#include <memory>

namespace max2870::test {

class TwinRig {
public:
    SynthState windowState;
    SynthState memoryState;
    QtPanel window;
    MemoryPanel memory;
    PlanController windowPlan{windowState, window};
    PlanController memoryPlan{memoryState, memory};
    ListingCommand windowListing{windowPlan};
    ListingCommand memoryListing{memoryPlan};
    bool active = false; // the window took the focus

    TwinRig() {
        window.SetEventSink(&windowPlan);
        windowPlan.SetNextSink(&windowListing);
        memory.SetEventSink(&memoryPlan);
        memoryPlan.SetNextSink(&memoryListing);
        window.SetMessageSink([](std::string_view, std::string_view) {});
        window.ShowMainWindow();
        // Focus moves, and so FrText's LostFocus, need the window to be the active one.
        active = QTest::qWaitForWindowActive(window.MainWindow());
    }

    // Selects the box's text and types over it; leaving the reference box moves the focus on.
    void Type(ControlId id, const std::string& text) {
        auto* box = qobject_cast<QLineEdit*>(window.Widget(id));
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClicks(box, QString::fromStdString(text));
        for (std::size_t typed = 1; typed <= text.size(); ++typed) {
            memory.SetText(id, text.substr(0, typed));
        }
        if (id == ControlId::FrText) {
            QTest::keyClick(box, Qt::Key_Tab);
            memoryPlan.OnControlEvent(id, ControlEvent::LostFocus);
        }
    }

    // Replaces the box's whole text at once, as a paste over a selection does. Typing a
    // decimal into a box the recompute writes back ("2." reads back as "2") would not survive
    // keystroke by keystroke.
    void Paste(ControlId id, const std::string& text) {
        auto* box = qobject_cast<QLineEdit*>(window.Widget(id));
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        box->insert(QString::fromStdString(text));
        memory.SetText(id, text);
    }

    void Tick(ControlId id) {
        QTest::mouseClick(window.Widget(id), Qt::LeftButton);
        memory.SetValue(id, 1 - memory.Value(id));
    }

    void Select(ControlId option) {
        QTest::mouseClick(window.Widget(option), Qt::LeftButton);
        memory.SetValue(option, 1);
    }

    void Arrow(ControlId spinner, bool up) {
        ClickArrow(qobject_cast<QScrollBar*>(window.Widget(spinner)), up);
        memory.SetValue(spinner, memory.Value(spinner) + (up ? 1 : -1));
    }

    // A command button, or a click in the wanted-frequency box.
    void Press(ControlId id) {
        QTest::mouseClick(window.Widget(id), Qt::LeftButton);
        memoryPlan.OnControlEvent(id, ControlEvent::Click);
    }

    void Decode(const std::array<std::int32_t, 4>& words) {
        for (SynthState* s : {&windowState, &memoryState}) {
            s->RxReg[0] = words[0];
            s->RxReg[1] = words[1];
            s->RxReg[2] = words[2];
            s->RxReg[4] = words[3];
        }
        windowPlan.DecodeRegisters();
        memoryPlan.DecodeRegisters();
    }

    // Every control's text, value, colours, font, visibility and state, and the words.
    QString Differences() const {
        QStringList found;
        for (const ControlEntry& entry : ControlTable()) {
            const auto& w = window.State(entry.id);
            const auto& m = memory.Record(entry.id);
            const bool same = w.text == m.text && w.value == m.value &&
                              w.fore.value_or(colour::Black) == m.fore &&
                              w.back.value_or(colour::White) == m.back && w.bold == m.bold &&
                              w.visible == m.visible && w.enabled == m.enabled;
            if (!same) {
                found << QString::fromUtf8(entry.name.data(), entry.name.size()) + ": '" +
                             QString::fromStdString(w.text) + "' vs '" +
                             QString::fromStdString(m.text) + "'";
            }
        }
        if (WordsReg5First(windowState) != WordsReg5First(memoryState) ||
            windowState.Denom != memoryState.Denom || windowState.VCO != memoryState.VCO) {
            found << QStringLiteral("register words or plan");
        }
        return found.join(QStringLiteral("; "));
    }
};

// The fixture the panel test classes share: a fresh pair of panels for every test function.
class TwinRigTest : public QObject {
protected:
    std::unique_ptr<TwinRig> rig_;

    QtPanel& W() { return rig_->window; }
    SynthState& S() { return rig_->windowState; }
    std::string Values() { return W().Text(ControlId::ValuesText); }

    // False when the window did not become active: its focus events would then be lost.
    bool StartRig() {
        rig_ = std::make_unique<TwinRig>();
        return rig_->active;
    }

    void CheckTwinAgrees() {
        const QString differences = rig_->Differences();
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
    }
};

} // namespace max2870::test
