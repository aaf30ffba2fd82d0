#include "window/caption_button.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QStringList>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace max2870 {

namespace {

// Lines are broken at blanks only, so that "F/D" is never split at its slash.
QString WrapAtBlanks(const QString& caption, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(caption) <= width) {
        return caption; // blanks kept exactly as written
    }
    QStringList lines;
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() &&
            metrics.horizontalAdvance(lines.back() + QLatin1Char(' ') + word) <= width) {
            lines.back() += QLatin1Char(' ') + word;
        } else {
            lines << word;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

CaptionButton::CaptionButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
}

// Enter presses the button that has the focus, as a keyboard user expects; the style's own
// buttons take only the space bar outside dialogs.
void CaptionButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CaptionButton::SetFill(const QColor& colour) {
    fill_ = colour;
    update();
}

void CaptionButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    if (fill_.isValid()) {
        painter.fillRect(rect().adjusted(2, 2, -2, -2), isDown() ? fill_.darker(115) : fill_);
    }

    QRect area = rect().adjusted(2, 1, -2, -1);
    if (isDown()) {
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    painter.drawItemText(area, flags, option.palette, isEnabled(),
                         WrapAtBlanks(caption, fontMetrics(), area.width()), QPalette::ButtonText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace max2870
