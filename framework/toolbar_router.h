// Routes the presses of the frame's toolbar buttons (2000-2012) to whichever
// registered owner holds the toolbar, and keeps the buttons in step with it.
// A procedure frame attaches one; its browses register their targets.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/toolbar_target.h"

namespace ledora::runtime {
class Window;
}

namespace ledora::framework {

enum ToolbarButton : int32_t {
  ToolbarInsert = 2000,
  ToolbarChange = 2001,
  ToolbarDelete = 2002,
  ToolbarSelect = 2003,
  ToolbarBottom = 2004,
  ToolbarTop = 2005,
  ToolbarPageDown = 2006,
  ToolbarPageUp = 2007,
  ToolbarDown = 2008,
  ToolbarUp = 2009,
  ToolbarLocate = 2010,
  ToolbarHistory = 2011,
  ToolbarHelp = 2012,
};

constexpr bool IsToolbarButton(int32_t control) {
  return control >= ToolbarInsert && control <= ToolbarHelp;
}

class ToolbarRouter {
 public:
  struct TargetEntry {
    int32_t ID = 0;
    ToolbarTarget* ITEM = nullptr;
  };

  std::unique_ptr<std::vector<TargetEntry>> LIST;  // the registered targets

  ToolbarRouter() = default;
  virtual ~ToolbarRouter() = default;
  ToolbarRouter(const ToolbarRouter&) = delete;
  ToolbarRouter& operator=(const ToolbarRouter&) = delete;

  // The program's frame window gets the thirteen buttons on its toolbar.
  static void CreateButtons(runtime::Window& frame);

  void Setup(ProcedureFrame* frame);
  void RegisterTarget(ToolbarTarget* target, int32_t id);
  // id 0: every target is tried in turn and the last that can take the
  // toolbar gets it; otherwise the target registered with that id.
  void SelectTarget(int32_t id);
  ToolbarTarget* current() const { return current_; }

  // Shows the buttons as the current target wants them (choosing one on the
  // first call); for an update form, the navigation buttons that save it.
  virtual void ShowButtons();
  // Forgets the targets; the router may be set up again.
  virtual void Shutdown();
  // A toolbar press goes to the current target; without one (an update
  // form), a navigation button is noted in vcrRequest and saves the form.
  virtual uint8_t OnEvent(ProcedureFrame& frame, int32_t* vcrRequest);

 private:
  void Take(ToolbarTarget* target);

  ProcedureFrame* frame_ = nullptr;
  ToolbarTarget* current_ = nullptr;
};

}  // namespace ledora::framework
