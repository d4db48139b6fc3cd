// The properties box: a small floating tool window beside the designer, on a
// thread of its own, that shows and changes the font, size, colour, style,
// justification and text of the selected control, offers the tools for
// placing new controls and lists the report type's fields for dragging onto
// the canvas. It never touches the layout: it exchanges events and the
// shared values of PropertiesLink with the designer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "designer/font_style.h"
#include "layout/control_entry.h"
#include "layout/design_database.h"
#include "runtime/window/window.h"

namespace ledora::designer {

// Events between the designer and its properties box.
enum PropertiesBoxEvent : int32_t {
  EventApplyProperties = 1101,  // to the designer: take the shared values
  EventSelectionChanged,        // to the box: read the selected control again
  EventBringToFront,
  EventToolPlaced,  // the palette shows the arrow again
  EventCloseBox,
  EventNoControl,  // changes nothing
};

// Values shared by the designer's thread and the box's: the box writes the
// properties and the tool, the designer the rest.
struct PropertiesLink {
  std::string fontName;  // at most 40
  int16_t fontStyle = 400;
  int16_t fontSize = 10;
  int32_t fontColour = 0;
  uint8_t justification = 0;  // 0 none, 1 left, 2 centre, 3 right, 4 default
  std::string text;           // at most 255
  uint8_t pendingTool = 0;    // 0 arrow, 1 box, 2 line, 3 image, 4 string

  runtime::Window* designer = nullptr;  // the designer's window, to post to and focus
  runtime::Window* box = nullptr;       // the box's window while it runs
  // Read on the designer's side: the selected control (nullptr: none), the
  // report type, and the tool the canvas places next.
  std::function<const layout::ControlEntry*()> selectedControl;
  std::function<int32_t()> reportType;
  std::function<void(uint8_t tool)> setTool;
};

enum PropertiesBoxControls : int32_t {
  BoxTitleRow = 1,
  BoxCaption,
  BoxRoll,
  BoxClose,
  BoxFontName,
  BoxFontSize,
  BoxBold,
  BoxItalic,
  BoxUnderline,
  BoxColour,
  BoxJustification,                 // radios + 1 left, + 2 centre, + 3 right, + 4 default
  BoxTools = BoxJustification + 5,  // radios + 1 arrow ... + 5 string
  BoxText = BoxTools + 6,
  BoxMore,
  BoxFields,
  BoxSizer,       // the bottom strip: the height
  BoxWidthSizer,  // the right edge: the width
};

// What a field dragged from the box's list is known by to the canvas.
inline constexpr char kFieldListDrag[] = "DragFromFieldList";

// The box's INI file and section.
inline constexpr char kPropertiesBoxSection[] = "PropertiesBox";

// Runs the box until it is closed; link must outlive it.
void PropertiesBox(layout::DesignDatabase& designs, PropertiesLink& link);

}  // namespace ledora::designer
