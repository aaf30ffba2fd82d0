#include "window/spinner.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <cmath>

namespace max2870 {
namespace {

class SpinnerAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SpinnerAccessible(Spinner* spinner)
        : QAccessibleWidget(spinner, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return QString::number(Bar()->ShownNumber());
        }
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return Bar()->ShownNumber(); }
    // A reader may send any number, or something that is none: the latter changes nothing.
    void setCurrentValue(const QVariant& value) override {
        bool isNumber = false;
        const double number = value.toDouble(&isNumber);
        if (isNumber && !std::isnan(number)) {
            Bar()->SetShownNumber(number);
        }
    }
    QVariant maximumValue() const override { return Bar()->ShownMaximum(); }
    QVariant minimumValue() const override { return Bar()->ShownMinimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    Spinner* Bar() const { return static_cast<Spinner*>(widget()); }
};

QAccessibleInterface* SpinnerAccessibleFactory(const QString& /*className*/, QObject* object) {
    if (auto* spinner = dynamic_cast<Spinner*>(object)) {
        return new SpinnerAccessible(spinner);
    }
    return nullptr;
}

} // namespace

Spinner::Spinner(int minimum, int maximum, QWidget* parent)
    : QScrollBar(Qt::Vertical, parent), minimum_(minimum), maximum_(maximum) {
    static const bool installed = [] {
        QAccessible::installFactory(SpinnerAccessibleFactory);
        return true;
    }();
    (void)installed;
    setRange(0, maximum - minimum);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus); // like the other controls, it takes the focus
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        QAccessibleValueChangeEvent event(this, ShownNumber());
        QAccessible::updateAccessibility(&event);
    });
}

void Spinner::SetShownNumber(double number) {
    int nearest = minimum_;
    for (int candidate = minimum_ + 1; candidate <= maximum_; ++candidate) {
        if (std::abs(Shown(candidate) - number) < std::abs(Shown(nearest) - number)) {
            nearest = candidate;
        }
    }
    SetSpinnerValue(nearest);
}

} // namespace max2870
