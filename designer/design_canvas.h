// The editing rules of the designer's canvas on one open design: where each
// paper, area, band and control lies on screen, hit testing, selection and
// tagging, dragging, keys, alignment, bands and controls made and removed,
// field drops and tool placements. Mouse positions come in window units,
// which are the design's own unit, so the rules run without any screen; the
// designer window feeds it events and shows the result.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "layout/design_records.h"
#include "layout/design_state.h"

namespace ledora::designer {

// What a click found.
struct CanvasHit {
  uint8_t what = 0;  // 0 nothing, else a layout::SelectedItem
  int band = 0;      // position in BANDS, from 1
  layout::ControlEntry* control = nullptr;
};

enum CanvasTool : uint8_t { ToolNone = 0, ToolBox, ToolLine, ToolImage, ToolString };

// What the canvas asks of the window around it. Unset hooks do nothing (a
// band choice then counts as cancelled).
struct CanvasHooks {
  // The chosen name among "|"-separated band names; empty when cancelled.
  std::function<std::string(const std::string& names)> selectBand;
  // Properties of the current selection: 8 control, 3 band, else report.
  std::function<void(uint8_t selected)> properties;
  // A new control at a band position: fills control and answers true to
  // place it (the new-control dialog).
  std::function<bool(layout::ControlEntry& control, int band)> newControl;
  std::function<void()> selectionChanged;
  std::function<void()> toolPlaced;
  // Before every edit; a drag that Escape cancels takes it back.
  std::function<void()> edited;
  std::function<void()> editCancelled;
  std::function<void(const std::string& text)> status;
};

class DesignCanvas {
 public:
  // state must outlive the canvas; origin is where the paper's top left
  // corner lies in the window.
  DesignCanvas(layout::DesignState& state, CanvasHooks hooks, int32_t originX = 0,
               int32_t originY = 0);

  layout::DesignState& state() { return state_; }
  int32_t originX() const { return originX_; }
  int32_t originY() const { return originY_; }

  // Places every shown item on screen (the WIN fields) and the handles of
  // the selection and the tags.
  void Arrange();
  // Whether the current view shows a band.
  bool Shows(const layout::BandEntry& band) const;
  CanvasHit HitTest(int32_t x, int32_t y) const;
  // The band a control belongs to, from 1; 0 when it has none.
  int BandOf(const layout::ControlGeometry* control) const;
  layout::ControlEntry* SelectedControl() const;

  // Mouse, in window units; keyCode carries the Ctrl bit.
  void MouseDown(int32_t x, int32_t y, int32_t keyCode);
  void MouseMove(int32_t x, int32_t y);
  void MouseUp(int32_t x, int32_t y);
  void DoubleClick(int32_t x, int32_t y);
  // Arrows, Ctrl+arrows, Delete, Tab, Shift+Tab, Enter, Escape; false for
  // any other key.
  bool Key(int32_t keyCode);

  void Tab(bool forward);
  void Properties();
  void Escape();

  enum AlignKind : uint8_t { AlignTop, AlignBottom, AlignLeft, AlignRight };
  enum SizeKind : uint8_t { SameSize, SameHeight, SameWidth };
  void Align(AlignKind kind);
  void Size(SizeKind kind);

  // Names of the absent bands the current view may show, in band order.
  std::vector<std::string> MissingBands() const;
  void InsertBand();
  void DeleteBand();
  void StartInsertControl();
  void DeleteControl();
  // A field of the catalogue dropped at a point.
  void DropField(const layout::DataFieldRecord& field, int32_t x, int32_t y);
  void SetTool(CanvasTool tool) { tool_ = tool; }
  CanvasTool tool() const { return tool_; }
  void PlaceTool(int32_t x, int32_t y);
  // From the properties box: justification 1 L, 2 C, 3 R, 4 D(efault), 0 unchanged.
  void ApplyProperties(const std::string& fontName, int16_t style, int16_t size, int32_t colour,
                       uint8_t justification, const std::string& text);
  void SetScale(char scale);
  void SetView(char view);

  // Dragging snaps positions and sizes to STEPSIZE while set.
  bool snap = false;

  // Selects an item; tags go.
  void Select(const CanvasHit& hit);

 private:
  struct DragItem {
    layout::ControlGeometry* geometry;
    layout::ControlGeometry start;
  };

  int32_t Gap() const;
  int32_t DefaultWidth() const;
  int32_t DefaultHeight() const;
  int32_t HandleSize() const;
  void ArrangeBands();
  void PlaceControls(layout::BandEntry& band);
  void PlaceHandles(layout::SelectionTag& tag);
  layout::ControlGeometry* SelectedGeometry() const;
  std::vector<layout::ControlGeometry*> Involved() const;
  int16_t HandleAt(const layout::SelectionTag& tag, int32_t x, int32_t y) const;
  bool StartDrag(int32_t x, int32_t y);
  void DragTo(int32_t x, int32_t y);
  void CtrlClick(const CanvasHit& hit);
  bool IsTagged(const layout::ControlGeometry* geometry) const;
  void Untag(const layout::ControlGeometry* geometry);
  void ClearTags();
  void Nudge(int32_t dx, int32_t dy, int32_t dw, int32_t dh);
  void MoveTo(layout::ControlGeometry& geometry, int32_t winX, int32_t winY);
  int32_t Snapped(int32_t value) const;
  layout::ControlEntry* FindControl(int32_t number, int* band) const;
  void PlaceNew(std::unique_ptr<layout::ControlEntry> control, int band);
  bool AllowedOn(const layout::BandEntry& band, uint8_t bits, std::string* key) const;
  void Edited();
  void Changed();
  void Status(const std::string& text);

  layout::DesignState& state_;
  CanvasHooks hooks_;
  int32_t originX_;
  int32_t originY_;
  CanvasTool tool_ = ToolNone;
  bool pressed_ = false;
  std::vector<DragItem> drag_;
};

// Makes control a field control for a field of the catalogue.
void MakeFieldControl(const layout::DataFieldRecord& field, layout::ControlEntry& control);
// The field names of the design's controls that offered (the type's field
// names) lacks; the report would leave those controls empty.
std::vector<std::string> UnknownFields(const layout::DesignState& state,
                                       const std::vector<std::string>& offered);

// Width and height of the on-screen rectangle hit tests use; a point on the
// right or bottom edge is inside.
bool Contains(const layout::ControlGeometry& geometry, int32_t x, int32_t y);

}  // namespace ledora::designer
