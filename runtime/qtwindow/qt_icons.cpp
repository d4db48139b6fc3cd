#include "runtime/qtwindow/qt_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cctype>
#include <cstring>

namespace ledora::runtime {

namespace {

struct NamedIcon {
  const char* file;  // lower case, without a leading "~"
  const char* theme;
};

// What each icon file of the windows shows; the texts stay as labels or tips.
constexpr NamedIcon kIcons[] = {
    {"insert.ico", "list-add"},
    {"edit.ico", "document-edit"},
    {"delete.ico", "edit-delete"},
    {"mark.ico", "dialog-ok-apply"},
    {"vcrfirst.ico", "go-top"},
    {"vcrlast.ico", "go-bottom"},
    {"vcrprior.ico", "go-up-skip"},
    {"vcrnext.ico", "go-down-skip"},
    {"vcrup.ico", "go-up"},
    {"vcrdown.ico", "go-down"},
    {"find.ico", "edit-find"},
    {"dittoe.ico", "edit-paste"},
    {"help.ico", "help-contents"},
    {"ok.ico", "dialog-ok"},
    {"cancel.ico", "dialog-cancel"},
    {"pilned.ico", "go-down"},
    {"s_open.ico", "document-open"},
    {"s_exit.ico", "window-close"},
    {"smapage.ico", "document-preview"},
    {"rup.ico", "go-up"},
    {"rdown.ico", "go-down"},
    // The report designer's commands and the properties box.
    {"dsave.ico", "document-save"},
    {"dsaveas.ico", "document-save-as"},
    {"dopen.ico", "document-open"},
    {"dnew.ico", "document-new"},
    {"dexit.ico", "application-exit"},
    {"ddelete.ico", "edit-delete"},
    {"dimport.ico", "document-import"},
    {"dexport.ico", "document-export"},
    {"dalignleft.ico", "align-horizontal-left"},
    {"dalignright.ico", "align-horizontal-right"},
    {"daligntop.ico", "align-vertical-top"},
    {"dalignbottom.ico", "align-vertical-bottom"},
    {"dsamesize.ico", "transform-scale"},
    {"dsameheight.ico", "transform-scale-vertical"},
    {"dsamewidth.ico", "transform-scale-horizontal"},
    {"dtoolbox.ico", "view-form-action"},
    {"dformview.ico", "view-pages-single"},
    {"dbandview.ico", "view-split-top-bottom"},
    {"dbanddelete.ico", "edit-table-delete-row"},
    {"dbandnew.ico", "edit-table-insert-row-below"},
    {"dbandprop.ico", "object-rows"},
    {"dcontrolprop.ico", "configure"},
    {"dreportprop.ico", "document-properties"},
    {"dcontroldelete.ico", "edit-delete-remove"},
    {"dcontrolnew.ico", "insert-text-frame"},
    {"dundo.ico", "edit-undo"},
    {"dredo.ico", "edit-redo"},
    {"dpreview.ico", "document-print-preview"},
    {"dabout.ico", "help-about"},
    {"dbold.ico", "format-text-bold"},
    {"ditalic.ico", "format-text-italic"},
    {"dunderline.ico", "format-text-underline"},
    {"dcolour.ico", "format-text-color"},
    {"djustdefault.ico", "format-justify-fill"},
    {"djustleft.ico", "format-justify-left"},
    {"djustcenter.ico", "format-justify-center"},
    {"djustright.ico", "format-justify-right"},
    {"darrow.ico", "edit-select"},
    {"dbox.ico", "draw-rectangle"},
    {"dline.ico", "draw-line"},
    {"dimage.ico", "insert-image"},
    {"dstring.ico", "draw-text"},
};

std::string Key(const std::string& name) {
  std::string key = !name.empty() && name.front() == '~' ? name.substr(1) : name;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

// A page with a header band and lines of fields: a report layout.
QPixmap DrawProgramIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  double unit = size / 16.0;
  painter.setPen(QPen(QColor(60, 60, 60), unit * 0.6));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(2.5 * unit, 1 * unit, 11 * unit, 14 * unit));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(41, 128, 185));
  painter.drawRect(QRectF(4 * unit, 2.5 * unit, 8 * unit, 2.5 * unit));
  painter.setBrush(QColor(150, 150, 150));
  for (int line = 0; line < 4; ++line) {
    double y = (6.5 + line * 2) * unit;
    painter.drawRect(QRectF(4 * unit, y, (line % 2 == 0 ? 8 : 5.5) * unit, unit));
  }
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  static const QIcon icon = [] {
    QIcon drawn;
    for (int size : {16, 24, 32, 48, 64}) drawn.addPixmap(DrawProgramIcon(size));
    return drawn;
  }();
  return icon;
}

void UseProgramIcons() {
  // Set explicitly: left to the desktop, the theme (and so every button)
  // would differ from machine to machine, or be missing.
  QIcon::setThemeName(QString::fromLatin1(kIconTheme));
  QApplication::setWindowIcon(ProgramIcon());
}

QIcon ThemedIcon(const std::string& name) {
  std::string key = Key(name);
  if (key == "layout.ico") return ProgramIcon();
  for (const NamedIcon& icon : kIcons) {
    if (key == icon.file) return QIcon::fromTheme(QString::fromLatin1(icon.theme));
  }
  return {};
}

}  // namespace ledora::runtime
