// Conversions at the edge between the window model and Qt: Windows-1252 text,
// colours, fonts and key codes. Only the Qt presenter uses them.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/window/control.h"

class QKeyEvent;

namespace ledora::runtime {

// ToQString and ToQColor are the Qt report renderer's (qt_report_types), so
// windows and printed pages convert text and colours alike.
QString ToQString(std::string_view text);
// False when the text holds a character outside Windows-1252.
bool FromQString(const QString& text, std::string* out);

// Model colours keep red in the low byte; -1 (none) gives an invalid colour.
QColor ToQColor(int32_t colour);
int32_t FromQColor(const QColor& colour);

// The icon of a file name ("~name" too): the theme's icon for the names the
// windows use, else the file's; a null icon when there is neither.
QIcon ToQIcon(const std::string& name);

// Blank or zero parts of the font keep those of base.
QFont ToQFont(const Font& font, const QFont& base);
Font FromQFont(const QFont& font, int32_t colour);

// The key code of a key press, modifiers included; 0 for keys without one.
int32_t KeyCodeOf(const QKeyEvent& event);

}  // namespace ledora::runtime
