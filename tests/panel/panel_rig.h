#pragma once

#include "model/control_table.h"
#include "panel/qt_panel.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

namespace max2870::test {

// Records every event the panel reports, in order, with a hook to act inside the handler.
class EventLog : public PanelEvents {
public:
    using Entry = std::pair<ControlId, ControlEvent>;
    std::vector<Entry> entries;
    std::function<void(ControlId, ControlEvent)> inside;

    void OnControlEvent(ControlId id, ControlEvent event) override {
        entries.emplace_back(id, event);
        if (inside) {
            inside(id, event);
        }
    }
    int Count(ControlId id, ControlEvent event) const {
        return static_cast<int>(std::count(entries.begin(), entries.end(), Entry{id, event}));
    }
};

template <class W> W* WidgetOf(const QtPanel& panel, ControlId id) {
    return qobject_cast<W*>(panel.Widget(id));
}

// Presses and releases one arrow of a spinner where the style draws it.
inline void ClickArrow(QScrollBar* bar, bool up) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    const QRect arrow = bar->style()->subControlRect(
        QStyle::CC_ScrollBar, &option,
        up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine, bar);
    QTest::mouseClick(bar, Qt::LeftButton, {}, arrow.center());
}

inline void UseProgramStyle() {
    QApplication::setStyle(QStringLiteral("Fusion"));
}

inline std::string Str(const QString& text) {
    return text.toStdString();
}

} // namespace max2870::test
