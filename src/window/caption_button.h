#pragma once

#include <QPushButton>

namespace max2870 {

// A command button whose caption wraps onto a second line when it is wider than the button,
// so that "PIC EE Data" and "Set all Registers" fit the narrow buttons of the layout. A button
// given a colour of its own is filled with exactly that colour inside its border, where the
// style would draw a gradient that only approaches it.
class CaptionButton : public QPushButton {
public:
    explicit CaptionButton(QWidget* parent = nullptr);

    void SetFill(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor fill_; // invalid: the style's own look
};

} // namespace max2870
