// A browse's claim on the frame's toolbar: while it owns the toolbar, the
// record buttons reach the browse's own Insert, Change, Delete and Select
// buttons and the navigation buttons scroll its list. Each paged browse
// registers one with its frame's ToolbarRouter, keyed by its list control.
#pragma once

#include <cstdint>

#include "framework/frame_lists.h"
#include "framework/toolbar_target.h"

namespace ledora::runtime {
class Window;
}

namespace ledora::framework {

class BrowseToolbarTarget : public ToolbarTarget {
 public:
  int32_t CONTROL = 0;  // the browse's list
  int32_t HELPBUTTON = 0;
  int32_t INSERTBUTTON = 0;
  int32_t CHANGEBUTTON = 0;
  int32_t DELETEBUTTON = 0;
  int32_t SELECTBUTTON = 0;
  FrameBrowse* BROWSE = nullptr;

  // window: the browse's window, which holds CONTROL and the buttons.
  void Setup(runtime::Window* window, FrameBrowse* browse, int32_t listControl);

  void ShowButtons() override;
  void OnToolbarButton(ProcedureFrame& frame, int32_t control) override;
  bool TryToolbarButton() override;
  uint8_t OnEvent(ProcedureFrame& frame) override;
  // Sets the tooltips from the packed tooltip table, then the buttons.
  void TakeToolbar() override;

 private:
  bool Usable(int32_t button) const;
  void PostTo(int32_t event, int32_t control);

  runtime::Window* window_ = nullptr;
};

}  // namespace ledora::framework
