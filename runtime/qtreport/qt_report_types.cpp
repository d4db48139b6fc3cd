#include "runtime/qtreport/qt_report_types.h"

#include <QFontDatabase>
#include <algorithm>
#include <cmath>

#include "runtime/values/cp1252.h"

namespace ledora::runtime {

namespace {

struct FamilyMapping {
  const char* name;
  const char* family;
};

// Metric-compatible stand-ins: a layout measured against one prints the same on the other.
constexpr FamilyMapping kFamilies[] = {
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"MS Sans Serif", "DejaVu Sans"},
    {"MS Serif", "DejaVu Serif"},
};
constexpr char kFallbackFamily[] = "Liberation Sans";

}  // namespace

QString ToQString(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

QColor ToQColor(int32_t color) {
  if (color == kNoColour) return {};
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QString FontFamily(std::string_view name) {
  QString wanted = ToQString(name).trimmed();
  for (const FamilyMapping& mapping : kFamilies) {
    if (wanted.compare(QLatin1String(mapping.name), Qt::CaseInsensitive) == 0) {
      return QString::fromLatin1(mapping.family);
    }
  }
  for (const QString& family : QFontDatabase::families()) {
    if (family.compare(wanted, Qt::CaseInsensitive) == 0) return family;
  }
  return QString::fromLatin1(kFallbackFamily);
}

QFont ToQFont(const ReportFont& font) {
  QFont out(FontFamily(font.name));
  out.setPixelSize(std::max(1, static_cast<int>(std::lround(font.size * 1000.0 / 72.0))));
  out.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight(), 100, 900)));
  out.setItalic(font.italic());
  out.setUnderline(font.underline());
  // Unhinted outlines measure the same on screen, printer and PDF.
  out.setHintingPreference(QFont::PreferNoHinting);
  return out;
}

}  // namespace ledora::runtime
