#pragma once

#include "panel/control_records.h"
#include "window/focus_keeper.h"
#include "window/panel_fonts.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLineEdit;
class QWidget;

namespace max2870 {

struct ControlEntry;

// The panel over real Qt widgets: the main window and the listing window, built from the
// control table. Each control's state is held once, in this panel's records, and its widget
// shows it. A program's write goes into the record and the widget, then its event goes to the
// sink; an operator's change goes into the record and straight to the sink. Either way the
// handlers see the window as it stands.
//
// While the operator types into a box, the recompute plans from the text as typed but does
// not rewrite it under the caret; its rewrite waits until the box loses the focus or takes
// Enter.
class QtPanel : public QObject, public RecordedPanel {
public:
    using MessageSink = std::function<void(std::string_view title, std::string_view text)>;

    explicit QtPanel(QStringList fontFamilies = PanelFonts::DefaultFamilies());
    ~QtPanel() override;
    QtPanel(const QtPanel&) = delete;
    QtPanel& operator=(const QtPanel&) = delete;

    // Shows the main window with the input focus in the wanted-frequency box. The widgets are
    // made then, from the record as it stands: the port box may be filled before.
    void ShowMainWindow();
    QWidget* MainWindow() const; // empty until first shown
    // The widget of a control or window; empty for the listing window's until it is first shown.
    QWidget* Widget(ControlId id) const { return widgets_[Index(id)]; }
    // Replaces the modal message box (tests).
    void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }

    void SetEventSink(PanelEvents* sink) override; // none: events go nowhere
    void SetText(ControlId id, std::string_view text) override;
    void WriteBack(ControlId id, std::string_view text) override;
    void AppendText(ControlId id, std::string_view text) override;
    bool Press(ControlId id) override;
    void SetCaption(ControlId id, std::string_view caption) override;
    void SetValue(ControlId id, int value) override;
    void SetForeColour(ControlId id, Rgb colour) override;
    void SetBackColour(ControlId id, Rgb colour) override;
    void SetBold(ControlId id, bool bold) override;
    void SetNote(ControlId id, std::string_view note) override;
    void MarkOutdated(ControlId id, std::string_view reason) override;
    void SetVisible(ControlId id, bool visible) override;
    void SetEnabled(ControlId id, bool enabled) override;
    WindowRect WindowPlace(ControlId window) const override;
    void MoveWindow(ControlId window, double left, double top) override;
    void AddListEntry(ControlId id, std::string_view entry) override;
    void ClearList(ControlId id) override;
    void ShowMessage(std::string_view title, std::string_view text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Widget updates made for a record raise no event of their own: the write reports it.
    class Mirroring {
    public:
        explicit Mirroring(QtPanel& panel) : panel_(panel) { ++panel_.mirroring_; }
        ~Mirroring() { --panel_.mirroring_; }
        Mirroring(const Mirroring&) = delete;
        Mirroring& operator=(const Mirroring&) = delete;

    private:
        QtPanel& panel_;
    };

    void MirrorText(ControlId id);
    void MirrorColours(ControlId id);
    void MirrorToolTip(ControlId id);
    std::optional<Rgb> OwnInk(ControlId id) const; // the ink the window fixes, if any
    void ShowListingWindow(bool visible);

    // qt_panel_build.cpp
    void BuildMainWindow();
    void BuildListingWindow();
    void BuildControls(ControlId window, QWidget* windowWidget);
    void MirrorAll(const ControlEntry& entry);
    void ChainTabOrder();

    // The text boxes both ways, beside the program's writes.
    void ConnectTextBox(ControlId id, QLineEdit* box);
    void OnWidgetText(ControlId id, const QString& text);
    void FinishEditing(ControlId id);

    // qt_panel_signals.cpp
    void Connect(const ControlEntry& entry, QWidget* widget);
    void OnWidgetValue(ControlId id, int value);
    void OnOperatorEvent(ControlId id, ControlEvent event);

    QStringList families_;
    std::optional<PanelFonts> fonts_; // from the first show on
    std::array<QWidget*, ControlCount> widgets_{};
    std::array<bool, ControlCount> coloursFixed_{}; // by the table, the program or a note
    std::unique_ptr<QWidget> main_;
    PanelEvents* sink_; // never empty: one that drops every event while nobody listens
    MessageSink messageSink_;
    int mirroring_ = 0;
    ControlId editing_ = ControlId::None;      // the box the operator is typing into
    std::optional<std::string> heldWriteBack_; // the recompute's rewrite of that box
    FocusKeeper focus_;
};

} // namespace max2870
