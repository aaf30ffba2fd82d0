#pragma once

#include <QScrollBar>

#include <functional>

namespace max2870 {

// A vertical scroll bar used as an up/down spinner: only its two arrows show, the top arrow
// raises the value. The bar's own position runs the other way (its top end is its minimum),
// so the spinner's value is kept as its reverse.
//
// Screen readers are given the number the panel shows for the value, which need not be the
// value itself (the output divider shows 2^k for its exponent k): the accessibility bridge
// passes the current value as a number, never a value text.
class Spinner : public QScrollBar {
public:
    Spinner(int minimum, int maximum, QWidget* parent);

    int SpinnerValue() const { return maximum_ - value(); }
    void SetSpinnerValue(int spinnerValue) { setValue(maximum_ - spinnerValue); }
    // The number shown for a value; the value itself unless set. It must grow with the value.
    void ShowNumbersAs(std::function<int(int)> shown) { shown_ = std::move(shown); }
    int ShownNumber() const { return Shown(SpinnerValue()); }
    int ShownMinimum() const { return Shown(minimum_); }
    int ShownMaximum() const { return Shown(maximum_); }
    // Sets the value whose shown number is nearest to `number` (the lower one of two as near).
    void SetShownNumber(double number);

private:
    int Shown(int value) const { return shown_ ? shown_(value) : value; }

    int minimum_;
    int maximum_;
    std::function<int(int)> shown_;
};

} // namespace max2870
