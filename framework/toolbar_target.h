// One owner of the frame's toolbar, as the toolbar router sees it: a browse
// (BrowseToolbarTarget) or any other window part that wants the buttons.
#pragma once

#include <cstdint>

namespace ledora::framework {

class ProcedureFrame;

class ToolbarTarget {
 public:
  virtual ~ToolbarTarget() = default;

  // Sets the buttons' enabled state for this owner.
  virtual void ShowButtons() = 0;
  // Carries out a press of toolbar button `control`.
  virtual void OnToolbarButton(ProcedureFrame& frame, int32_t control) = 0;
  // True when this owner can take the toolbar now (its list is visible).
  virtual bool TryToolbarButton() = 0;
  // The frame's current event; handles it when it is a toolbar press.
  virtual uint8_t OnEvent(ProcedureFrame& frame) = 0;

  // Called when this owner takes the toolbar: tooltips, then buttons.
  virtual void TakeToolbar() { ShowButtons(); }
};

}  // namespace ledora::framework
