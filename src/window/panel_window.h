#pragma once

#include <QIcon>
#include <QWidget>

namespace max2870 {

// A window of the panel with a fixed client area. Closing the main window takes its secondary
// windows (the listing) with it, so nothing is left open when the program ends.
class PanelWindow : public QWidget {
public:
    explicit PanelWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The program's own icon: a synthesizer's output spectrum drawn in code, at the usual sizes.
QIcon PanelIcon();

} // namespace max2870
