// One control of a window: its number, type code and properties. Windows own
// their controls and change them through Window's setters, so that the
// presenter hears of every change; procedures and presenters read them here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/values/field_ref.h"
#include "runtime/values/picture.h"
#include "runtime/window/list_format.h"
#include "runtime/window/list_source.h"

namespace ledora::runtime {

enum ControlType : int32_t {
  ControlString = 1,
  ControlUserString = 2,
  ControlImage = 3,
  ControlRegion = 4,
  ControlLine = 5,
  ControlBox = 6,
  ControlEntry = 8,
  ControlButton = 9,
  ControlPrompt = 10,
  ControlOption = 11,
  ControlCheck = 12,
  ControlGroup = 13,
  ControlList = 14,
  ControlCombo = 15,
  ControlSpin = 16,
  ControlText = 17,
  ControlMenu = 19,
  ControlMenuItem = 20,
  ControlRadio = 21,
  ControlDropList = 33,
  ControlDropCombo = 34,
  ControlProgress = 35,
  ControlSheet = 37,
  ControlTab = 38,
  ControlPanel = 39,
};

// Colours are RGB values as stored in designs: red in the low byte, blue in
// the third (0xFF0000 is blue); -1 means none (inherit).
constexpr int32_t kNoColour = -1;

enum FontStyle : int32_t {
  FontWeightNormal = 400,
  FontWeightBold = 700,
  FontItalic = 0x1000,
  FontUnderline = 0x2000,
  FontStrikeOut = 0x4000,
  FontWeightMask = 0x0FFF,
};

struct Font {
  std::string name;  // blank = inherit
  int32_t size = 0;  // points; 0 = inherit
  int32_t style = 0;
  int32_t colour = kNoColour;
  bool operator==(const Font&) const = default;
};

// Menu entries that the runtime carries out itself; the procedure never sees
// an accepted event for them.
enum StandardAction : int32_t {
  ActionNone = 0,
  ActionPrintSetup,
  ActionClose,
  ActionCut,
  ActionCopy,
  ActionPaste,
  ActionTile,
  ActionCascade,
  ActionArrangeIcons,
  ActionHelpContents,
  ActionHelpSearch,
  ActionHelpOnHelp,
};

// A rectangle of a report page to highlight, in thousandths of an inch.
struct PageMark {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool current = false;  // the one the user is at
  bool operator==(const PageMark&) const = default;
};

struct AlertKey {
  int32_t keyCode = 0;
  int32_t slot = 0;  // 0 = appended
};

struct Control {
  int32_t number = 0;
  ControlType type = ControlString;
  int32_t parent = 0;  // enclosing sheet tab, option, group or menu; 0 = the window
  int32_t x = 0;       // window units, relative to the window's client area
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  std::string text;     // caption; for entries and lists' text forms: what shows
  std::string message;  // menu entries: the status-line text
  std::string tip;
  std::string icon;
  StandardAction action = ActionNone;
  bool separator = false;  // menu separator

  FieldRef use;  // the use variable; address null = none
  std::string pictureText;
  std::unique_ptr<Picture> picture;  // compiled pictureText, null when none or bad

  bool enabled = true;
  bool hidden = false;
  bool readOnly = false;
  bool transparent = false;
  bool isDefault = false;  // the default button, pressed by Enter
  // On the frame's toolbar; in any other window, on a toolbar of its own
  // that stays in place while its client area scrolls.
  bool onToolbar = false;
  bool immediate = false;   // lists: paged, scrolling beyond the rows posts events
  bool vscroll = false;     // lists: designed with a vertical scroll bar
  bool trackMouse = false;  // regions: post mouse down, up and move events

  Font font;
  int32_t colour = kNoColour;  // text or line colour
  int32_t backColour = kNoColour;
  int32_t fillColour = kNoColour;  // boxes
  int32_t selectedColour = kNoColour;
  int32_t selectedBackColour = kNoColour;
  int32_t lineWidth = 1;

  // Lists, combos and drop lists.
  std::string formatText;
  ListFormat format;
  ListSource* source = nullptr;                // not owned; rows are formatted from it on display
  std::vector<std::vector<std::string>> rows;  // shown texts, one per column
  std::vector<std::unique_ptr<Picture>> columnPictures;  // compiled from the format
  int32_t selection = 0;    // 1-based selected row, tab of a sheet; 0 = none
  int32_t visibleRows = 0;  // rows the list shows; 0 = work it out from the height
  int32_t thumb = 0;        // vertical thumb position 0-100
  bool thumbShown = true;

  // Checks and radios.
  std::string trueValue = "1";
  std::string falseValue = "0";
  std::string radioValue;  // a radio's value, stored in its option's variable
  bool checked = false;

  // Spins and progress bars.
  int32_t rangeLow = 0;
  int32_t rangeHigh = 100;
  int32_t step = 1;
  int32_t progress = 0;

  // Drag and drop: a drag source names its id, a target the ids it takes.
  std::string dragId;
  std::string dropId;
  std::string dragText;  // what a drop carries; blank = the selected row's first column

  std::vector<AlertKey> alerts;

  // An image control that shows a report page: the page image file and
  // the page's offset in it, the width the page is drawn at (window units; 0 = the control's
  // width), the point of the page (percent of its width and height) kept in the middle when the
  // page is larger than the control, and the marks drawn over it.
  std::string pageFile;
  int64_t pageOffset = 0;
  int32_t pageWidth = 0;
  int32_t centreX = 0;
  int32_t centreY = 0;
  std::vector<PageMark> pageMarks;

  bool TakesInput() const;  // entries, checks, radios, spins, combos, texts...
  bool IsMenu() const { return type == ControlMenu || type == ControlMenuItem; }
};

}  // namespace ledora::runtime
