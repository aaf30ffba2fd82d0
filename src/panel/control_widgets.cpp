#include "panel/control_widgets.h"

#include "panel/caption_button.h"
#include "panel/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>

namespace max2870 {
namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// Button and frame captions are shown as written: an ampersand is not a shortcut mark.
QString Literal(const std::string& text) {
    return ToQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

Qt::Alignment AlignmentOf(Alignment align) {
    switch (align) {
    case Alignment::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* CreateLabel(const ControlEntry& entry, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // "<  Force Denom ..." is not markup
    label->setWordWrap(true);
    label->setAlignment(AlignmentOf(entry.align));
    return label;
}

QWidget* CreateMultiLine(const ControlEntry& entry, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    // The program writes these boxes; the operator reads and copies from them.
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(entry.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAlwaysOff);
    return box;
}

QWidget* CreateComboBox(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert); // the list is the program's
    return combo;
}

QWidget* CreateSpinner(const ControlEntry& entry, QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setRange(0, entry.maximum - entry.minimum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    return bar;
}

// The frame's caption sits on its border line, as the layout's places inside a frame expect.
constexpr const char* kFrameStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }";

QWidget* CreateFrame(QWidget* parent) {
    auto* frame = new QGroupBox(parent);
    frame->setStyleSheet(QLatin1String(kFrameStyle));
    return frame;
}

QWidget* CreateByKind(const ControlEntry& entry, QWidget* parent) {
    switch (entry.kind) {
    case ControlKind::Label:
        return CreateLabel(entry, parent);
    case ControlKind::TextBox:
        return new QLineEdit(parent);
    case ControlKind::MultiLineText:
        return CreateMultiLine(entry, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(parent);
    case ControlKind::OptionButton:
        return new QRadioButton(parent); // siblings in one frame exclude each other
    case ControlKind::Frame:
        return CreateFrame(parent);
    case ControlKind::CommandButton:
        return new CaptionButton(parent);
    case ControlKind::ComboBox:
        return CreateComboBox(parent);
    case ControlKind::Spinner:
        return CreateSpinner(entry, parent);
    case ControlKind::Window:
        break;
    }
    return nullptr;
}

void SetRole(QWidget* widget, QPalette::ColorRole role, Rgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(colour.red, colour.green, colour.blue));
    widget->setPalette(palette);
}

QPalette::ColorRole ForeRole(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::MultiLineText:
    case ControlKind::ComboBox:
        return QPalette::Text;
    case ControlKind::CommandButton:
        return QPalette::ButtonText;
    default:
        break;
    }
    return QPalette::WindowText;
}

QPalette::ColorRole BackRole(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::MultiLineText:
        return QPalette::Base;
    case ControlKind::CommandButton:
        return QPalette::Button;
    default:
        break;
    }
    return QPalette::Window;
}

QFont FamilyFont(bool bold, bool large, int stretch) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(large ? 16 : 11); // 12 points and 8.25 points at 96 dots per inch
    font.setBold(bold);
    font.setStretch(stretch);
    return font;
}

// Room that a check box or option button needs beside its caption, as its style lays it out.
int MarkWidth(ControlKind kind) {
    const QStyle* style = QApplication::style();
    QStyleOptionButton option;
    option.text = QStringLiteral("x"); // a captioned button: the style adds the spacing
    const auto contents =
        kind == ControlKind::CheckBox ? QStyle::CT_CheckBox : QStyle::CT_RadioButton;
    return style->sizeFromContents(contents, &option, QSize(0, 0)).width();
}

bool OneLineCaptionsFit(int stretch) {
    constexpr int kMargin = 4; // pixels kept free at the caption's end
    for (const ControlEntry& entry : ControlTable()) {
        const bool marked =
            entry.kind == ControlKind::CheckBox || entry.kind == ControlKind::OptionButton;
        if ((!marked && entry.kind != ControlKind::Label) || entry.text.empty()) {
            continue;
        }
        const QFontMetrics metrics(
            FamilyFont(entry.font != FontStyle::Default, entry.font == FontStyle::Bold12, stretch));
        const QRect place = PixelRect(entry.place);
        if (!marked && place.height() >= 1.5 * metrics.lineSpacing()) {
            continue; // a box drawn for two lines may wrap
        }
        const int room = place.width() - kMargin - (marked ? MarkWidth(entry.kind) : 0);
        if (metrics.horizontalAdvance(QString::fromUtf8(entry.text.data(), entry.text.size())) >
            room) {
            return false;
        }
    }
    return true;
}

// The layout was drawn for a narrow sans-serif face; on a system whose sans-serif runs wider
// (DejaVu Sans, Debian's default) the one-line captions would wrap or be cut. The panel's font
// is narrowed just enough that every caption drawn on one line stays on one line. Hinting
// rounds the advances, so the widths are measured at each stretch rather than scaled.
int FittingStretch() {
    constexpr int kNarrowest = 75;
    int stretch = 100;
    while (stretch > kNarrowest && !OneLineCaptionsFit(stretch)) {
        --stretch;
    }
    return stretch;
}

} // namespace

QFont PanelFont(bool bold, bool large) {
    static const int stretch = FittingStretch();
    return FamilyFont(bold, large, stretch);
}

QWidget* CreateControlWidget(const ControlEntry& entry, QWidget* parent) {
    QWidget* widget = CreateByKind(entry, parent);
    if (widget == nullptr) {
        return nullptr;
    }
    widget->setObjectName(QString::fromUtf8(entry.name.data(), entry.name.size()));
    widget->setGeometry(PixelRect(entry.place));
    widget->setFont(PanelFont(entry.font != FontStyle::Default, entry.font == FontStyle::Bold12));
    if (!entry.tooltip.empty()) {
        widget->setToolTip(QString::fromUtf8(entry.tooltip.data(), entry.tooltip.size()));
    }
    return widget;
}

std::string DisplayLineEnds(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            shown.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            shown.push_back(text[i]);
        }
    }
    return shown;
}

// A wrapped caption may need a few pixels more than its box; the label grows downwards
// rather than cut its last line.
void ShowLabelText(const ControlEntry& entry, QLabel* label, const std::string& text) {
    label->setText(ToQString(DisplayLineEnds(text)));
    const QRect place = PixelRect(entry.place);
    label->resize(place.width(), std::max(place.height(), label->heightForWidth(place.width())));
}

void ApplyText(const ControlEntry& entry, QWidget* widget, const std::string& text) {
    switch (entry.kind) {
    case ControlKind::Window:
        widget->setWindowTitle(ToQString(text));
        break;
    case ControlKind::Label:
        ShowLabelText(entry, static_cast<QLabel*>(widget), text);
        break;
    case ControlKind::TextBox:
        static_cast<QLineEdit*>(widget)->setText(ToQString(text));
        break;
    case ControlKind::MultiLineText:
        static_cast<QPlainTextEdit*>(widget)->setPlainText(ToQString(DisplayLineEnds(text)));
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
        static_cast<QAbstractButton*>(widget)->setText(Literal(text));
        break;
    case ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(Literal(text));
        break;
    case ControlKind::ComboBox:
        static_cast<QComboBox*>(widget)->setEditText(ToQString(text));
        static_cast<QComboBox*>(widget)->lineEdit()->setCursorPosition(0); // show its start
        break;
    case ControlKind::Spinner:
        break;
    }
}

void ApplyAppend(QWidget* widget, const std::string& before, const std::string& added) {
    auto* box = qobject_cast<QPlainTextEdit*>(widget);
    if (box == nullptr) {
        return;
    }
    std::string shown = DisplayLineEnds(added);
    if (!before.empty() && before.back() == '\r' && added.front() == '\n') {
        shown.erase(0, 1); // the CR already broke the line
    }
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(ToQString(shown));
    box->ensureCursorVisible();
}

int SpinnerValueOf(const ControlEntry& entry, int barPosition) {
    return entry.maximum - barPosition;
}

void ApplyValue(const ControlEntry& entry, QWidget* widget, int value) {
    switch (entry.kind) {
    case ControlKind::CheckBox:
        static_cast<QCheckBox*>(widget)->setChecked(value != 0);
        break;
    case ControlKind::OptionButton:
        if (value != 0) {
            static_cast<QRadioButton*>(widget)->setChecked(true);
        }
        break;
    case ControlKind::Spinner:
        static_cast<QScrollBar*>(widget)->setValue(entry.maximum - value);
        break;
    default:
        break;
    }
}

void ApplyColours(ControlKind kind, QWidget* widget, std::optional<Rgb> fore,
                  std::optional<Rgb> back) {
    if (fore) {
        SetRole(widget, ForeRole(kind), *fore);
    }
    if (back) {
        SetRole(widget, BackRole(kind), *back);
        if (kind == ControlKind::ComboBox) {
            SetRole(widget, QPalette::Base, *back);
            SetRole(widget, QPalette::Button, *back);
        }
        if (kind == ControlKind::Label || kind == ControlKind::CheckBox ||
            kind == ControlKind::OptionButton || kind == ControlKind::Window) {
            widget->setAutoFillBackground(true);
        }
    }
}

void ApplyBold(const ControlEntry& entry, QWidget* widget, bool bold) {
    widget->setFont(PanelFont(bold, entry.font == FontStyle::Bold12));
}

} // namespace max2870
