#include "window/panel_fonts.h"

#include "window/twips.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace max2870 {
namespace {

constexpr int kPanelPixels = 11; // 8.25 points at 96 dots per inch
constexpr int kLargePixels = 16; // 12 points
constexpr int kSmallestPixels = 7;
constexpr int kNarrowestStretch = 75;
constexpr qreal kCaptionMargin = 4; // pixels kept free at a caption's end
constexpr qreal kTextSlack = 2;     // room a text box's layout keeps for its caret

// Room that a check box or option button needs beside its caption, as its style lays it out.
qreal MarkWidth(ControlKind kind) {
    QStyleOptionButton option;
    option.text = QStringLiteral("x"); // a captioned button: the style adds the spacing
    const auto contents =
        kind == ControlKind::CheckBox ? QStyle::CT_CheckBox : QStyle::CT_RadioButton;
    return QApplication::style()->sizeFromContents(contents, &option, QSize(0, 0)).width();
}

struct Caption {
    QString text;
    FontStyle style;
    qreal room;
};

// The captions drawn on one line: labels one line high, check boxes and option buttons.
std::vector<Caption> OneLineCaptions(const QFontMetricsF& metrics) {
    std::vector<Caption> captions;
    for (const ControlEntry& entry : ControlTable()) {
        const bool marked =
            entry.kind == ControlKind::CheckBox || entry.kind == ControlKind::OptionButton;
        const QRect place = PixelRect(entry.place);
        if ((!marked && entry.kind != ControlKind::Label) || entry.text.empty() ||
            (!marked && place.height() >= 1.5 * metrics.lineSpacing())) {
            continue; // a label drawn for two lines may wrap
        }
        captions.push_back({QString::fromUtf8(entry.text.data(), entry.text.size()), entry.font,
                            place.width() - kCaptionMargin - (marked ? MarkWidth(entry.kind) : 0)});
    }
    return captions;
}

// Line height as a plain text box lays its lines out: ascent, descent and any positive
// leading, rounded up per line.
qreal LinePitch(const QFontMetricsF& metrics) {
    return std::ceil(metrics.ascent() + metrics.descent() + std::max<qreal>(0, metrics.leading()));
}

// The rows a line too wide for its box takes once the box wraps it, as the box wraps it.
int WrappedRows(const QString& line, const QFont& font, qreal width) {
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    int rows = 0;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        ++rows;
    }
    layout.endLayout();
    return rows;
}

} // namespace

QStringList PanelFonts::DefaultFamilies() {
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
            QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
            QStringLiteral("DejaVu Sans")};
}

void PanelFonts::LoadDatabase() {
    (void)QFontDatabase::families();
}

PanelFonts::PanelFonts(QStringList families) : families_(std::move(families)) {
    stretch_ = CaptionStretch();
}

QFont PanelFonts::Sized(int pixels, bool bold, int stretch) const {
    QFont font;
    font.setFamilies(families_);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStretch(stretch);
    return font;
}

QFont PanelFonts::Font(FontStyle style, bool bold) const {
    return Sized(style == FontStyle::Bold12 ? kLargePixels : kPanelPixels, bold, stretch_);
}

// On a face wider than the layout's (DejaVu Sans, say) the captions would wrap or be cut, so
// the font is narrowed just enough. The first guess scales by the widest overrun; hinting
// rounds advances, so the guess is then checked and narrowed further where it falls short.
int PanelFonts::CaptionStretch() const {
    const std::vector<Caption> captions =
        OneLineCaptions(QFontMetricsF(Sized(kPanelPixels, false, 100)));
    const auto overrun = [&](int stretch) {
        qreal worst = 0;
        for (const Caption& caption : captions) {
            const QFontMetricsF metrics(
                Sized(caption.style == FontStyle::Bold12 ? kLargePixels : kPanelPixels,
                      caption.style != FontStyle::Default, stretch));
            worst = std::max(worst, metrics.horizontalAdvance(caption.text) / caption.room);
        }
        return worst;
    };
    int stretch = std::clamp(static_cast<int>(100 / std::max<qreal>(1, overrun(100))),
                             kNarrowestStretch, 100);
    while (stretch > kNarrowestStretch && overrun(stretch) > 1) {
        --stretch;
    }
    return stretch;
}

void PanelFonts::FitText(QPlainTextEdit* box, const QString& shown) const {
    QStringList lines = shown.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.back().isEmpty()) {
        lines.removeLast(); // a final line break starts no line that shows text
    }
    const qreal margin = box->document()->documentMargin();
    const qreal width = box->viewport()->width() - 2 * margin - kTextSlack;
    const qreal height = box->viewport()->height() - 2 * margin;
    const bool bold = box->font().bold();
    QFont font;
    for (int pixels = kPanelPixels; pixels >= kSmallestPixels; --pixels) {
        font = Sized(pixels, bold, stretch_);
        const QFontMetricsF metrics(font, box);
        if (lines.size() * LinePitch(metrics) > height) {
            continue; // too tall even unwrapped: no need to measure widths
        }
        int rows = 0;
        for (const QString& line : lines) {
            rows += metrics.horizontalAdvance(line) <= width ? 1 : WrappedRows(line, font, width);
        }
        if (rows * LinePitch(metrics) <= height) {
            break;
        }
    }
    if (box->font() != font) {
        box->setFont(font);
    }
}

} // namespace max2870
