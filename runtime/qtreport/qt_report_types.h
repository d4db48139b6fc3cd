// Conversions from the report engine's values to Qt's: Windows-1252 text,
// 0x00BBGGRR colours and report fonts. The family of a font name is mapped
// explicitly (Arial to Liberation Sans, MS Sans Serif to DejaVu Sans ...)
// so that every machine prints with the same installed fonts.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

#include "runtime/report/report_types.h"

namespace ledora::runtime {

QString ToQString(std::string_view cp1252);
QColor ToQColor(int32_t color);  // invalid for kNoColour
// The installed family that stands in for a font name of the designs.
QString FontFamily(std::string_view name);
// Pixel size in thousandths of an inch, for painters scaled to page units.
QFont ToQFont(const ReportFont& font);

}  // namespace ledora::runtime
