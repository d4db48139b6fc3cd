#include "runtime/qtwindow/qt_conversions.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <algorithm>
#include <initializer_list>

#include "runtime/qtwindow/qt_icons.h"
#include "runtime/system/file_names.h"
#include "runtime/values/cp1252.h"
#include "runtime/window/event.h"

namespace ledora::runtime {

bool FromQString(const QString& text, std::string* out) {
  QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), utf8.size()), out);
}

QIcon ToQIcon(const std::string& name) {
  if (name.empty()) return {};
  if (QIcon themed = ThemedIcon(name); !themed.isNull()) return themed;
  // "~name" names an icon built into the program; we look for the file.
  std::string file = name.front() == '~' ? name.substr(1) : name;
  return FileExists(file) ? QIcon(ToQString(ResolveFileName(file))) : QIcon();
}

int32_t FromQColor(const QColor& colour) {
  if (!colour.isValid()) return kNoColour;
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

namespace {

struct FamilyStandIn {
  const char* family;
  QFont::StyleHint hint;
  std::initializer_list<const char*> standIns;  // the first one installed is taken
};

// The Windows screen fonts that designs name, and the families of this
// machine with much the same shape and width.
const FamilyStandIn kStandIns[] = {
    {"MS Sans Serif", QFont::SansSerif, {"Liberation Sans", "Arimo", "Arial", "DejaVu Sans"}},
    {"MS Shell Dlg", QFont::SansSerif, {"Liberation Sans", "Arimo", "Arial", "DejaVu Sans"}},
    {"MS Shell Dlg 2", QFont::SansSerif, {"Liberation Sans", "Arimo", "Arial", "DejaVu Sans"}},
    {"Microsoft Sans Serif",
     QFont::SansSerif,
     {"Liberation Sans", "Arimo", "Arial", "DejaVu Sans"}},
    {"MS Serif", QFont::Serif, {"Liberation Serif", "Tinos", "Times New Roman", "DejaVu Serif"}},
    {"Courier",
     QFont::Monospace,
     {"Liberation Mono", "Cousine", "Courier New", "DejaVu Sans Mono"}},
};

void SetFamily(QFont* font, const QString& family) {
  font->setFamily(family);
  if (QFontDatabase::hasFamily(family)) return;
  for (const FamilyStandIn& entry : kStandIns) {
    if (family.compare(QLatin1String(entry.family), Qt::CaseInsensitive) != 0) continue;
    font->setStyleHint(entry.hint);
    for (const char* standIn : entry.standIns) {
      if (QFontDatabase::hasFamily(QLatin1String(standIn))) {
        font->setFamily(QLatin1String(standIn));
        return;
      }
    }
  }
}

}  // namespace

QFont ToQFont(const Font& font, const QFont& base) {
  QFont result = base;
  if (!font.name.empty()) SetFamily(&result, ToQString(font.name));
  if (font.size > 0) result.setPointSize(font.size);
  if (font.style != 0) {
    int weight = font.style & FontWeightMask;
    if (weight > 0) result.setWeight(QFont::Weight(std::clamp(weight, 100, 900)));
    result.setItalic((font.style & FontItalic) != 0);
    result.setUnderline((font.style & FontUnderline) != 0);
    result.setStrikeOut((font.style & FontStrikeOut) != 0);
  }
  return result;
}

Font FromQFont(const QFont& font, int32_t colour) {
  Font result;
  FromQString(font.family(), &result.name);
  result.size = font.pointSize() > 0 ? font.pointSize() : 0;
  result.style = static_cast<int32_t>(font.weight());
  if (font.italic()) result.style |= FontItalic;
  if (font.underline()) result.style |= FontUnderline;
  if (font.strikeOut()) result.style |= FontStrikeOut;
  result.colour = colour;
  return result;
}

namespace {

int32_t BaseKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // same numbers as the virtual keys
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return KeyF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return KeyBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return KeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return KeyEnter;
    case Qt::Key_Escape:
      return KeyEscape;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return KeyPageUp;
    case Qt::Key_PageDown:
      return KeyPageDown;
    case Qt::Key_End:
      return KeyEnd;
    case Qt::Key_Home:
      return KeyHome;
    case Qt::Key_Left:
      return KeyLeft;
    case Qt::Key_Up:
      return KeyUp;
    case Qt::Key_Right:
      return KeyRight;
    case Qt::Key_Down:
      return KeyDown;
    case Qt::Key_Insert:
      return KeyInsert;
    case Qt::Key_Delete:
      return KeyDelete;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return KeyPlus;
    case Qt::Key_Minus:
      return KeyMinus;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return KeyQuote;
    default:
      return 0;
  }
}

}  // namespace

int32_t KeyCodeOf(const QKeyEvent& event) {
  int32_t code = BaseKey(event.key());
  if (code == 0) return 0;
  Qt::KeyboardModifiers modifiers = event.modifiers();
  if (modifiers & Qt::ShiftModifier) code |= KeyShift;
  if (modifiers & Qt::ControlModifier) code |= KeyCtrl;
  if (modifiers & Qt::AltModifier) code |= KeyAlt;
  return code;
}

}  // namespace ledora::runtime
