#pragma once

#include <QPushButton>

namespace max2870 {

// A command button whose caption wraps onto a second line when it is wider than the button,
// so that "PIC EE Data" and "Set all Registers" fit the narrow buttons of the layout.
class CaptionButton : public QPushButton {
public:
    explicit CaptionButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace max2870
