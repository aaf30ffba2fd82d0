#pragma once

#include "panel/control_table.h"

#include <QFont>
#include <QStringList>

class QPlainTextEdit;

namespace max2870 {

// The panel's fonts. The layout was drawn for a narrow sans-serif face of 8.25 points; whatever
// face the system resolves, the one-line captions are narrowed until they fit their boxes, and
// a multi-line box the program fills gets a font small enough to show its whole text.
class PanelFonts {
public:
    // The faces asked for, in turn; the first one the system has is used.
    static QStringList DefaultFamilies();

    explicit PanelFonts(QStringList families = DefaultFamilies());

    // Reads the system's fonts (fontconfig's configuration and caches), the longest step of
    // showing the window; safe on a thread of its own while the start-up does other work.
    static void LoadDatabase();

    // The font of a control: 11 pixels (8.25 points at 96 dots per inch), 16 for the large style.
    QFont Font(FontStyle style, bool bold) const;

    // Gives the box the largest font, up to the panel's own, with which the whole text, wrapped
    // where a line is wider than the box, fits its viewport: nothing is cut or needs scrolling.
    void FitText(QPlainTextEdit* box, const QString& shown) const;

private:
    QFont Sized(int pixels, bool bold, int stretch) const;
    int CaptionStretch() const;

    QStringList families_;
    int stretch_ = 100;
};

} // namespace max2870
