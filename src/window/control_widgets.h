#pragma once

#include "core/colours.h"
#include "panel/control_table.h"

#include <optional>
#include <string>

class QWidget;
class QString;

namespace max2870 {

class PanelFonts;

// The widget of one control of the table, placed in its parent, with its name, accessible
// name, tooltip and font, but without its text, value or colours (the panel mirrors those from
// its record).
QWidget* CreateControlWidget(const ControlEntry& entry, QWidget* parent, const PanelFonts& fonts);

// Mirrors a text or caption; returns false when the widget showed it already.
bool ApplyText(const ControlEntry& entry, QWidget* widget, const std::string& text,
               const PanelFonts& fonts);
// Appends to a multi-line box; `before` is the text it held, so that a CR LF split across two
// appends stays one line break.
void ApplyAppend(QWidget* widget, const std::string& before, const std::string& added);
void ApplyValue(const ControlEntry& entry, QWidget* widget, int value);
void ApplyColours(ControlKind kind, QWidget* widget, std::optional<Rgb> fore,
                  std::optional<Rgb> back);
// Greys a control's ink while what it shows is not current, and gives the reason in its
// accessible description; a results box also shows the reason in a note in its upper right
// corner, clear of the short first lines. An empty reason brings back its own ink, or without
// one the ink it had before.
void ApplyOutdated(ControlKind kind, QWidget* widget, const QString& reason,
                   std::optional<Rgb> ownInk);
void ApplyBold(const ControlEntry& entry, QWidget* widget, bool bold, const PanelFonts& fonts);

// Line ends as the text widgets show them: CR LF (or a lone CR) becomes one line break.
std::string DisplayLineEnds(const std::string& text);

} // namespace max2870
