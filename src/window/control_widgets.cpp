#include "window/control_widgets.h"

#include "window/accessible_names.h"
#include "window/caption_button.h"
#include "window/panel_fonts.h"
#include "window/spinner.h"
#include "window/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

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
    box->document()->setDocumentMargin(2); // room for one more line of results
    return box;
}

QWidget* CreateComboBox(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert); // the list is the program's
    return combo;
}

// Tab reaches an option group on its selected button only; the arrows move within the group.
QWidget* CreateOptionButton(QWidget* parent) {
    auto* button = new QRadioButton(parent); // siblings in one frame exclude each other
    button->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(button, &QAbstractButton::toggled, button, [button](bool selected) {
        button->setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus);
    });
    return button;
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
        return CreateOptionButton(parent);
    case ControlKind::Frame:
        return CreateFrame(parent);
    case ControlKind::CommandButton:
        return new CaptionButton(parent);
    case ControlKind::ComboBox:
        return CreateComboBox(parent);
    case ControlKind::Spinner: {
        auto* spinner = new Spinner(entry.minimum, entry.maximum, parent);
        if (entry.id == ControlId::OutDivCont) {
            // read out as its label shows it: the divider, not its exponent
            spinner->ShowNumbersAs([](int exponent) { return 1 << exponent; });
        }
        return spinner;
    }
    case ControlKind::Window:
        break;
    }
    return nullptr;
}

void SetRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void SetRole(QWidget* widget, QPalette::ColorRole role, Rgb colour) {
    SetRole(widget, role, QColor(colour.red, colour.green, colour.blue));
}

// Where a greyed control without an ink of its own keeps the one it shows again once current.
constexpr const char* kInkWhileCurrent = "inkWhileCurrent";
const QColor kOutdatedInk(128, 128, 128);

// Grey text of a control that is switched off, still legible (4.7:1) on the panel's background:
// the theme's own grey may be a light one.
constexpr Rgb kDisabledInk{110, 110, 110};

void SetInk(QWidget* widget, QPalette::ColorRole role, Rgb colour) {
    SetRole(widget, role, colour);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Disabled, role,
                     QColor(kDisabledInk.red, kDisabledInk.green, kDisabledInk.blue));
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
    case ControlKind::ComboBox:
        return QPalette::Base;
    case ControlKind::CommandButton:
        return QPalette::Button;
    default:
        break;
    }
    return QPalette::Window;
}

// A wrapped caption may need a few pixels more than its box; the label grows downwards
// rather than cut its last line.
void ShowLabelText(const ControlEntry& entry, QLabel* label, const QString& text) {
    label->setText(text);
    const QRect place = PixelRect(entry.place);
    label->resize(place.width(), std::max(place.height(), label->heightForWidth(place.width())));
}

// A new text keeps the box where the operator scrolled it; fitted boxes need no scrolling.
void ShowBoxText(QPlainTextEdit* box, const QString& text, const PanelFonts& fonts) {
    if (box->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOn) {
        fonts.FitText(box, text);
    }
    const int scrolled = box->verticalScrollBar()->value();
    box->setPlainText(text);
    box->verticalScrollBar()->setValue(scrolled);
}

} // namespace

QWidget* CreateControlWidget(const ControlEntry& entry, QWidget* parent, const PanelFonts& fonts) {
    QWidget* widget = CreateByKind(entry, parent);
    if (widget == nullptr) {
        return nullptr;
    }
    widget->setObjectName(QString::fromUtf8(entry.name.data(), entry.name.size()));
    widget->setAccessibleName(AccessibleNameOf(entry));
    widget->setGeometry(PixelRect(entry.place));
    widget->setFont(fonts.Font(entry.font, entry.font != FontStyle::Default));
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

bool ApplyText(const ControlEntry& entry, QWidget* widget, const std::string& text,
               const PanelFonts& fonts) {
    const QString shown = ToQString(DisplayLineEnds(text));
    switch (entry.kind) {
    case ControlKind::Window:
        widget->setWindowTitle(shown);
        return true;
    case ControlKind::Label:
        ShowLabelText(entry, static_cast<QLabel*>(widget), shown);
        return true;
    case ControlKind::TextBox: {
        auto* box = static_cast<QLineEdit*>(widget);
        if (box->text() == shown) {
            return false; // typed by the operator: the caret stays where it is
        }
        box->setText(shown);
        return true;
    }
    case ControlKind::MultiLineText: {
        auto* box = static_cast<QPlainTextEdit*>(widget);
        if (box->toPlainText() == shown) {
            return false;
        }
        ShowBoxText(box, shown, fonts);
        return true;
    }
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
        static_cast<QAbstractButton*>(widget)->setText(Literal(text));
        return true;
    case ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(Literal(text));
        return true;
    case ControlKind::ComboBox: {
        auto* combo = static_cast<QComboBox*>(widget);
        if (combo->currentText() == shown) {
            return false;
        }
        combo->setEditText(shown);
        combo->lineEdit()->setCursorPosition(0); // a path shows its start
        return true;
    }
    case ControlKind::Spinner:
        break;
    }
    return false;
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
        static_cast<Spinner*>(widget)->SetSpinnerValue(value);
        break;
    default:
        break;
    }
}

void ApplyColours(ControlKind kind, QWidget* widget, std::optional<Rgb> fore,
                  std::optional<Rgb> back) {
    if (fore) {
        SetInk(widget, ForeRole(kind), *fore);
    }
    if (!back) {
        return;
    }
    SetRole(widget, BackRole(kind), *back);
    if (kind == ControlKind::ComboBox) {
        SetRole(widget, QPalette::Button, *back);
    } else if (auto* button = dynamic_cast<CaptionButton*>(widget)) {
        button->SetFill(QColor(back->red, back->green, back->blue));
    } else if (kind == ControlKind::Label || kind == ControlKind::CheckBox ||
               kind == ControlKind::OptionButton || kind == ControlKind::Window) {
        widget->setAutoFillBackground(true);
    }
}

namespace {

QLabel* OutdatedNote(QWidget* box) {
    const QString name = QStringLiteral("outdatedNote");
    if (auto* note = box->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly)) {
        return note;
    }
    auto* note = new QLabel(box);
    note->setObjectName(name);
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Black on white whatever the theme, and readable over a long line of the old results.
    note->setAutoFillBackground(true);
    SetRole(note, QPalette::WindowText, colour::Black);
    SetRole(note, QPalette::Window, colour::White);
    QFont font = note->font();
    font.setItalic(true);
    note->setFont(font);
    return note;
}

} // namespace

void ApplyOutdated(ControlKind kind, QWidget* widget, const QString& reason,
                   std::optional<Rgb> ownInk) {
    const QPalette::ColorRole role = ForeRole(kind);
    const QVariant ink = widget->property(kInkWhileCurrent);
    widget->setAccessibleDescription(reason);
    if (reason.isEmpty()) {
        if (ink.isValid()) {
            SetRole(widget, role,
                    ownInk ? QColor(ownInk->red, ownInk->green, ownInk->blue)
                           : ink.value<QColor>());
            widget->setProperty(kInkWhileCurrent, QVariant());
        }
        if (auto* note = widget->findChild<QLabel*>(QStringLiteral("outdatedNote"))) {
            note->hide();
        }
        return;
    }
    if (!ink.isValid()) {
        widget->setProperty(kInkWhileCurrent, widget->palette().color(role));
    }
    SetRole(widget, role, kOutdatedInk);
    if (kind == ControlKind::MultiLineText) {
        QLabel* note = OutdatedNote(widget);
        note->setText(reason);
        const int width = widget->width() / 2;
        note->setGeometry(widget->width() - width - 4, 3, width, note->heightForWidth(width));
        note->show();
    }
}

void ApplyBold(const ControlEntry& entry, QWidget* widget, bool bold, const PanelFonts& fonts) {
    widget->setFont(fonts.Font(entry.font, bold));
}

} // namespace max2870
