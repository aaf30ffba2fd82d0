#include "window/spinner.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

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
            return Bar()->ValueText();
        }
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return Bar()->SpinnerValue(); }
    void setCurrentValue(const QVariant& value) override { Bar()->SetSpinnerValue(value.toInt()); }
    QVariant maximumValue() const override { return Bar()->SpinnerMaximum(); }
    QVariant minimumValue() const override { return Bar()->SpinnerMinimum(); }
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
        QAccessibleValueChangeEvent event(this, SpinnerValue());
        QAccessible::updateAccessibility(&event);
    });
}

} // namespace max2870
