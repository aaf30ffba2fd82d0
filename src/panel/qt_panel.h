#pragma once

#include "model/panel.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace max2870 {

struct ControlEntry;

// The panel over real Qt widgets: the main window and the listing window, built from the
// control table. The panel keeps each control's exact text and value itself, because a widget
// shows CR LF as one line break and would give back something else; the widgets follow the
// record, and an operator's change updates the record before its event is reported.
class QtPanel : public QObject, public Panel {
public:
    struct ControlState {
        std::string text; // text box text or caption, exactly as last set or typed
        int value = 0;
        std::optional<Rgb> fore; // empty: the toolkit's colour
        std::optional<Rgb> back;
        bool bold = false;
        bool visible = true;
        bool enabled = true;
        std::vector<std::string> list;
        WindowRect place; // windows only, in twips, until the window exists
    };
    using MessageSink = std::function<void(std::string_view title, std::string_view text)>;

    QtPanel();
    ~QtPanel() override;
    QtPanel(const QtPanel&) = delete;
    QtPanel& operator=(const QtPanel&) = delete;

    // Shows the main window with the input focus in the wanted-frequency box.
    void ShowMainWindow();
    QWidget* MainWindow() const;
    // The widget of a control or window; empty for the listing window's until it is first shown.
    QWidget* Widget(ControlId id) const { return widgets_[Index(id)]; }
    const ControlState& State(ControlId id) const { return states_[Index(id)]; }
    // Replaces the modal message box (tests).
    void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }

    void SetEventSink(PanelEvents* sink) override { sink_ = sink; }
    std::string Text(ControlId id) const override;
    void SetText(ControlId id, std::string_view text) override;
    void AppendText(ControlId id, std::string_view text) override;
    std::string Caption(ControlId id) const override;
    void SetCaption(ControlId id, std::string_view caption) override;
    int Value(ControlId id) const override;
    void SetValue(ControlId id, int value) override;
    void SetForeColour(ControlId id, Rgb colour) override;
    void SetBackColour(ControlId id, Rgb colour) override;
    void SetBold(ControlId id, bool bold) override;
    void SetNote(ControlId id, std::string_view note) override;
    bool Visible(ControlId id) const override;
    void SetVisible(ControlId id, bool visible) override;
    void SetEnabled(ControlId id, bool enabled) override;
    WindowRect WindowPlace(ControlId window) const override;
    void MoveWindow(ControlId window, double left, double top) override;
    void AddListEntry(ControlId id, std::string_view entry) override;
    int ListCount(ControlId id) const override;
    std::string ListEntry(ControlId id, int index) const override;
    void ShowMessage(std::string_view title, std::string_view text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Widget updates made for the program raise no event of their own: the panel reports them.
    class ProgramWrite {
    public:
        explicit ProgramWrite(QtPanel& panel) : panel_(panel) { ++panel_.programWrites_; }
        ~ProgramWrite() { --panel_.programWrites_; }
        ProgramWrite(const ProgramWrite&) = delete;
        ProgramWrite& operator=(const ProgramWrite&) = delete;

    private:
        QtPanel& panel_;
    };

    ControlState& At(ControlId id) { return states_[Index(id)]; }
    void Report(ControlId id, ControlEvent event);
    void SelectOption(ControlId id);
    void ShowListingWindow(bool visible);

    // qt_panel_build.cpp
    void BuildMainWindow();
    void BuildListingWindow();
    void BuildControls(ControlId window, QWidget* windowWidget);
    void ApplyState(const ControlEntry& entry);
    void ChainTabOrder();

    // qt_panel_signals.cpp
    void Connect(const ControlEntry& entry, QWidget* widget);
    void OnWidgetText(ControlId id, const QString& text);
    void OnWidgetValue(ControlId id, int value);
    void OnOptionToggled(ControlId id, bool checked);
    void OnButtonClicked(ControlId id);

    std::array<ControlState, ControlCount> states_;
    std::array<QWidget*, ControlCount> widgets_{};
    std::unique_ptr<QWidget> main_;
    PanelEvents* sink_ = nullptr;
    MessageSink messageSink_;
    int programWrites_ = 0;
};

} // namespace max2870
