// The program started for a test of the report designer: its frame placed
// at the screen's corner at a known size, so that the designer's toolbar
// and bands stand at fixed points, and the mouse and keys driven there
// through xdotool. What a test saved is read back from the designs file.
#pragma once

#include <string>
#include <vector>

#include "layout/content_data.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {

// Where a window of the screen is, in pixels.
struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

class DesignerProgramTest : public ProgramWindowTest {
 protected:
  // Starts the program and closes its splash; frame_ is its frame.
  void SetUp() override;

  // Runs a shell command; a failure when it does not succeed.
  void Shell(const std::string& command);
  void Pause(double seconds);
  // Clicks a point of the window, in pixels from its corner, then waits.
  void ClickIn(const std::string& window, int x, int y, double wait);
  void Click(int x, int y, double wait = 0.8) { ClickIn(frame_, x, y, wait); }
  // Keys to whatever window has the focus.
  void Press(const std::string& keys, double wait = 0.8);
  // Through the frame's "Report Designer" menu.
  void OpenDesigner();
  Geometry GeometryOf(const std::string& window);
  // Presses the left button at one point of the screen and lets go at
  // another, in steps, as a hand would.
  void Drag(int fromX, int fromY, int toX, int toY);
  // The controls of the design named name, in stored order.
  std::vector<layout::ControlData> SavedControls(const std::string& name);

  std::string frame_;
};

}  // namespace ledora::testing
