#include "tests/app_window/designer_program_test.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "layout/design_database.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"

namespace ledora::testing {

void DesignerProgramTest::SetUp() {
  ProgramWindowTest::SetUp();
  if (IsSkipped()) return;
  StartProgram();
  ASSERT_TRUE(WaitFor([&] { return !Named(kFrameTitle).empty(); }, 20));
  frame_ = Named(kFrameTitle);
  Shell("xdotool windowmove --sync " + frame_ + " 0 0");
  Shell("xdotool windowsize --sync " + frame_ + " 1270 1000");
  Keys(frame_, "Escape");  // the splash
}

void DesignerProgramTest::Shell(const std::string& command) {
  ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

void DesignerProgramTest::Pause(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }

void DesignerProgramTest::ClickIn(const std::string& window, int x, int y, double wait) {
  Shell("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
        " click 1");
  Pause(wait);
}

void DesignerProgramTest::Press(const std::string& keys, double wait) {
  Shell("xdotool key --delay 120 " + keys);
  Pause(wait);
}

void DesignerProgramTest::OpenDesigner() {
  Click(249, 8, 0.6);  // the "Report Designer" menu
  Click(273, 29, 2);   // its entry
}

Geometry DesignerProgramTest::GeometryOf(const std::string& window) {
  std::istringstream shell(Output("xdotool getwindowgeometry --shell " + window));
  Geometry g;
  for (std::string line; std::getline(shell, line);) {
    int value = std::atoi(line.substr(line.find('=') + 1).c_str());
    if (line.starts_with("X=")) g.x = value;
    if (line.starts_with("Y=")) g.y = value;
    if (line.starts_with("WIDTH=")) g.width = value;
    if (line.starts_with("HEIGHT=")) g.height = value;
  }
  return g;
}

void DesignerProgramTest::Drag(int fromX, int fromY, int toX, int toY) {
  Shell("xdotool mousemove " + std::to_string(fromX) + " " + std::to_string(fromY) +
        " mousedown 1");
  Pause(0.3);
  for (int step = 1; step <= 5; ++step) {
    Shell("xdotool mousemove " + std::to_string(fromX + (toX - fromX) * step / 5) + " " +
          std::to_string(fromY + (toY - fromY) * step / 5));
    Pause(0.12);
  }
  Shell("xdotool mouseup 1");
  Pause(1.2);
}

std::vector<layout::ControlData> DesignerProgramTest::SavedControls(const std::string& name) {
  runtime::SqliteDriver driver;
  layout::DesignDatabase designs(driver);
  designs.DefinitionsFile = data_.File("RptDes1.KDS");
  designs.DesignsFile = data_.File("NewRpt.KDS");
  designs.BuildTableNames();
  std::vector<layout::ControlData> controls;
  if (!designs.Use(layout::R_Design) || !designs.Use(layout::R_Content)) return controls;
  int32_t number = 0;
  runtime::DataFile& design = *designs.File(layout::R_Design);
  if (design.SetOrder(layout::DesignRecord::DESIGNNUMBERKEY) == 0) {
    while (design.Next() == 0) {
      if (runtime::ClippedField(layout::R_D.DESIGNNAME) == name) number = layout::R_D.DESIGNNUMBER;
    }
  }
  layout::R_C = {};
  layout::R_C.DESIGNNUMBER = number;
  runtime::DataFile& contents = *designs.File(layout::R_Content);
  if (number != 0 && contents.SetOnKey(layout::ContentRecord::DESIGNNUMBERSEQ) == 0) {
    while (contents.Next() == 0 && layout::R_C.DESIGNNUMBER == number) {
      if (layout::R_C.RECORDTYPE[0] == 'C')
        controls.push_back(layout::DecodeControl(layout::R_C.THEDATA));
    }
  }
  designs.Release(layout::R_Content);
  designs.Release(layout::R_Design);
  return controls;
}

}  // namespace ledora::testing
