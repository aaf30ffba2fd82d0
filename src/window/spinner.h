#pragma once

#include <QScrollBar>

#include <functional>

namespace max2870 {

// A vertical scroll bar used as an up/down spinner: only its two arrows show, the top arrow
// raises the value. The bar's own position runs the other way (its top end is its minimum),
// so the spinner's value is kept as its reverse, and screen readers are given that value.
class Spinner : public QScrollBar {
public:
    Spinner(int minimum, int maximum, QWidget* parent);

    int SpinnerValue() const { return maximum_ - value(); }
    void SetSpinnerValue(int spinnerValue) { setValue(maximum_ - spinnerValue); }
    int SpinnerMinimum() const { return minimum_; }
    int SpinnerMaximum() const { return maximum_; }
    // How a screen reader speaks the value; the number itself unless set.
    void SetValueText(std::function<QString(int)> valueText) { valueText_ = std::move(valueText); }
    QString ValueText() const {
        return valueText_ ? valueText_(SpinnerValue()) : QString::number(SpinnerValue());
    }

private:
    int minimum_;
    int maximum_;
    std::function<QString(int)> valueText_;
};

} // namespace max2870
