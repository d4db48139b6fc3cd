// The program's main frame: the multi-document window with the menu tree,
// status line and toolbar, from which every procedure of the application is
// started on a thread of its own (the about window is called on the frame's
// own thread). Program start-up runs it until the user closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string_view>

#include "data/error_reporter.h"
#include "framework/procedure_frame.h"
#include "framework/toolbar_router.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"

namespace ledora::layout {
class DesignDatabase;
}

namespace ledora::app {

// The frame's menu entries, numbered in declaration order.
enum MainMenu : int32_t {
  MenuFile = -1,
  MenuPrintSetup = -2,
  MenuExit = -3,
  MenuEdit = -4,
  MenuCut = -5,
  MenuCopy = -6,
  MenuPaste = -7,
  MenuBrowse = -8,
  MenuBrowseCustomers = -9,
  MenuBrowseItems = -10,
  MenuBrowseInvoices = -11,
  MenuSelectDesign = -12,
  MenuReports = -13,
  MenuPrintCustomers = -14,
  MenuCustomersById = -15,
  MenuCustomersByName = -16,
  MenuItems = -17,
  MenuInvoices = -18,
  MenuInvoiceList = -19,
  MenuDesigner = -20,
  MenuReportDesigner = -21,
  MenuWindow = -22,
  MenuTile = -23,
  MenuCascade = -24,
  MenuArrangeIcons = -25,
  MenuHelp = -26,
  MenuContents = -27,
  MenuSearchHelp = -28,
  MenuHowToUseHelp = -29,
  MenuAbout = -30,
};

class MainFrame : public framework::ProcedureFrame {
 public:
  static constexpr std::string_view kTitle = "Quorval Report Designer - Vennic demo program";

  // What a menu entry runs: started on a new thread with the stack size,
  // or called on the frame's thread.
  struct MenuProcedure {
    int32_t control;
    const char* name;
    size_t stack;  // 0: called
  };

  explicit MainFrame(data::ErrorReporter* errors);

  // The entry's procedure; an entry without one says its procedure has not
  // been defined.
  void SetProcedure(int32_t control, runtime::Procedure procedure);
  static const MenuProcedure* Entry(int32_t control);
  // false: the about window does not show when the frame first opens.
  void SetSplash(bool splash) { splash_ = splash; }

  data::Severity Initialize() override;
  void PrepareWindow() override;
  data::Severity OnAccepted() override;

  runtime::Window& window() { return window_; }

 private:
  void BuildMenus();
  void Choose(const MenuProcedure& entry);

  runtime::Window window_;
  framework::ToolbarRouter toolbar_;
  data::ErrorReporter* errors_;
  std::map<int32_t, runtime::Procedure> procedures_;
  bool splash_ = true;
};

// The main frame procedure: runs the frame until it is closed and leaves
// its response in LastResponse. prepare may give procedures to its entries.
// The windows of other threads are then closed, and it returns when they have.
void RunMainFrame(data::ErrorReporter* errors, const std::function<void(MainFrame&)>& prepare);
// Tells every window of another thread to close and waits until they have.
void CloseChildren();
// A data folder without design files gets the shipped ones, so that every
// report prints out of the box; one made by an earlier version gets this
// version's designs once (UpdateShippedDesigns).
void MakeMissingDesignFiles(layout::DesignDatabase& designs);

}  // namespace ledora::app
