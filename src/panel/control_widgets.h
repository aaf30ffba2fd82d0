#pragma once

#include "common/colours.h"
#include "model/control_table.h"

#include <QFont>

#include <optional>
#include <string>

class QWidget;

namespace max2870 {

// The widget of one control of the table, placed in its parent, with its name, tooltip and
// font, but without its text, value or colours (the panel applies those from its own record).
QWidget* CreateControlWidget(const ControlEntry& entry, QWidget* parent);

// The panel's font at the given style: the default size is fixed in pixels so that the captions
// fit the boxes drawn in twips whatever the screen's dots per inch.
QFont PanelFont(bool bold, bool large);

void ApplyText(const ControlEntry& entry, QWidget* widget, const std::string& text);
// Appends to a multi-line box; `before` is the text it held, so that a CR LF split across two
// appends stays one line break.
void ApplyAppend(QWidget* widget, const std::string& before, const std::string& added);
void ApplyValue(const ControlEntry& entry, QWidget* widget, int value);
void ApplyColours(ControlKind kind, QWidget* widget, std::optional<Rgb> fore,
                  std::optional<Rgb> back);
void ApplyBold(const ControlEntry& entry, QWidget* widget, bool bold);

// A spinner's value is the reverse of its scroll bar's position, so the top arrow raises it.
int SpinnerValueOf(const ControlEntry& entry, int barPosition);

// Line ends as the text widgets show them: CR LF (or a lone CR) becomes one line break.
std::string DisplayLineEnds(const std::string& text);

} // namespace max2870
