#pragma once

#include "panel/memory_panel.h"
#include "window/focus_keeper.h"
#include "window/panel_fonts.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace max2870 {

struct ControlEntry;

// The panel over real Qt widgets: the main window and the listing window, built from the
// control table. The controls' state lives in one place, the in-memory panel this one is built
// over: every call goes to that record, and the widgets mirror it. An operator's change is
// written into the record, which reports the event; the widget of a control the record changed
// is brought up to date before the event goes on, so handlers see the window as it stands.
class QtPanel : public QObject, public Panel, private PanelEvents {
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
    // The record the widgets mirror.
    const MemoryPanel& Record() const { return record_; }
    // Replaces the modal message box (tests).
    void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }

    void SetEventSink(PanelEvents* sink) override { sink_ = sink; }
    std::string Text(ControlId id) const override { return record_.Text(id); }
    void SetText(ControlId id, std::string_view text) override { record_.SetText(id, text); }
    void AppendText(ControlId id, std::string_view text) override;
    std::string Caption(ControlId id) const override { return record_.Caption(id); }
    void SetCaption(ControlId id, std::string_view caption) override;
    int Value(ControlId id) const override { return record_.Value(id); }
    void SetValue(ControlId id, int value) override { record_.SetValue(id, value); }
    void SetForeColour(ControlId id, Rgb colour) override;
    void SetBackColour(ControlId id, Rgb colour) override;
    void SetBold(ControlId id, bool bold) override;
    void SetNote(ControlId id, std::string_view note) override;
    bool Visible(ControlId id) const override { return record_.Visible(id); }
    void SetVisible(ControlId id, bool visible) override;
    void SetEnabled(ControlId id, bool enabled) override;
    WindowRect WindowPlace(ControlId window) const override;
    void MoveWindow(ControlId window, double left, double top) override;
    void AddListEntry(ControlId id, std::string_view entry) override;
    void ClearList(ControlId id) override;
    int ListCount(ControlId id) const override { return record_.ListCount(id); }
    std::string ListEntry(ControlId id, int index) const override {
        return record_.ListEntry(id, index);
    }
    void ShowMessage(std::string_view title, std::string_view text) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Widget updates made for the record raise no event of their own: the record reports them.
    class Mirroring {
    public:
        explicit Mirroring(QtPanel& panel) : panel_(panel) { ++panel_.mirroring_; }
        ~Mirroring() { --panel_.mirroring_; }
        Mirroring(const Mirroring&) = delete;
        Mirroring& operator=(const Mirroring&) = delete;

    private:
        QtPanel& panel_;
    };

    // The record's events: the widget follows, then the handlers run.
    void OnControlEvent(ControlId id, ControlEvent event) override;
    void Report(ControlId id, ControlEvent event);
    void MirrorText(ControlId id);
    void MirrorColours(ControlId id);
    void ShowListingWindow(bool visible);

    // qt_panel_build.cpp
    void BuildMainWindow();
    void BuildListingWindow();
    void BuildControls(ControlId window, QWidget* windowWidget);
    void MirrorAll(const ControlEntry& entry);
    void ChainTabOrder();

    // qt_panel_signals.cpp
    void Connect(const ControlEntry& entry, QWidget* widget);
    void OnWidgetText(ControlId id, const QString& text);
    void OnWidgetValue(ControlId id, int value);
    void OnOperatorEvent(ControlId id, ControlEvent event);

    MemoryPanel record_;
    QStringList families_;
    std::optional<PanelFonts> fonts_; // from the first show on
    std::array<QWidget*, ControlCount> widgets_{};
    std::array<bool, ControlCount> coloursFixed_{}; // by the table, the program or a note
    std::unique_ptr<QWidget> main_;
    PanelEvents* sink_ = nullptr;
    MessageSink messageSink_;
    int mirroring_ = 0;
    ControlId appending_ = ControlId::None; // its widget has the appended text already
    FocusKeeper focus_;
};

} // namespace max2870
