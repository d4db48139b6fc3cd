#include "app/main_frame.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "app/version.h"
#include "layout/design_database.h"
#include "runtime/system/file_names.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/window_registry.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

using framework::ProcedureFrame;
using runtime::Window;
using runtime::WindowRegistry;

enum ChildControls { kOpenForm = 1, kCount = 2 };

// A form called from a child; it runs on the child's thread.
class Form : public ProcedureFrame {
 public:
  Form() {
    win.SetTitle("Form");
    win.SetModal(true);
    SetWindow(&win);
  }
  data::Severity Initialize() override {
    ProcedureFrame::Initialize();
    OpenWindow();
    return data::SeverityNone;
  }
  Window win;
};

// A child procedure of the frame: counts presses of one button and calls
// the form from another.
class Child : public ProcedureFrame {
 public:
  explicit Child(int* presses) : presses_(presses) {
    win.SetTitle("Child");
    win.SetMdiChild(true);
    win.CreateControl(kOpenForm, runtime::ControlButton);
    win.CreateControl(kCount, runtime::ControlButton);
    SetWindow(&win);
  }
  data::Severity Initialize() override {
    ProcedureFrame::Initialize();
    OpenWindow();
    return data::SeverityNone;
  }
  data::Severity OnAccepted() override {
    if (event().accepted == kCount) ++*presses_;
    if (event().accepted == kOpenForm) Form().Run();
    return ProcedureFrame::OnAccepted();
  }
  Window win;

 private:
  int* presses_;
};

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() {
    getcwd(previous_, sizeof previous_);
    EXPECT_EQ(chdir(folder.path().c_str()), 0);
  }
  ~MainFrameTest() override {
    for (int round = 0; round < 10 && scheduler.HasThreads(); ++round) {
      auto open = WindowRegistry::Instance().windows();
      for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->Post(runtime::EventCloseDown);
      driver.Settle();
    }
    EXPECT_EQ(chdir(previous_), 0);
  }

  // Runs the program's main procedure; the splash is closed by its timer.
  void StartProgram(bool splash = false) {
    driver.Start([this, splash] {
      MainProcedure([this, splash](MainFrame& frame) {
        frame.SetSplash(splash);
        if (prepare) prepare(frame);
      });
      ended = true;
    });
  }
  Window& FrameWindow() { return *WindowRegistry::Instance().Frame(); }
  std::vector<Window*> Titled(std::string_view title) const {
    std::vector<Window*> found;
    for (Window* w : WindowRegistry::Instance().windows()) {
      if (w->title() == title) found.push_back(w);
    }
    return found;
  }
  // A started child procedure: each start makes a Child of its own.
  void GiveChildren() {
    prepare = [this](MainFrame& frame) {
      frame.SetProcedure(MenuBrowseCustomers, [this] {
        presses.push_back(0);
        Child child(&presses.back());
        child.Run();
      });
    };
  }

  testing::TempFolder folder;
  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  testing::ScriptedMessages messages;
  std::function<void(MainFrame&)> prepare;
  bool ended = false;
  std::deque<int> presses;

 private:
  char previous_[4096] = {};
};

// ------------------------------------------------------------- the frame

TEST_F(MainFrameTest, AnEmptyDataFolderGetsTheShippedDesignFiles) {
  StartProgram();
  EXPECT_TRUE(runtime::FileExists(folder.File("RptDes1.KDS")));
  EXPECT_TRUE(runtime::FileExists(folder.File("NewRpt.KDS")));
}

TEST_F(MainFrameTest, TheFrameHasItsTitleMenusAndStatusTexts) {
  StartProgram();
  Window& frame = FrameWindow();
  EXPECT_EQ(frame.title(), "Quorval Report Designer - Vennic demo program");
  EXPECT_TRUE(frame.isFrame());
  EXPECT_EQ(frame.icon(), "~layout.ico");
  EXPECT_EQ(frame.font().name, "MS Sans Serif");
  struct Expected {
    int32_t number;
    const char* text;
    const char* message;
    int32_t parent;
  };
  const Expected menus[] = {
      {-1, "&File", "", 0},
      {-2, "&Print Setup ...", "Setup printer", -1},
      {-3, "E&xit", "Exit this application", -1},
      {-5, "Cu&t", "Remove item to Windows Clipboard", -4},
      {-7, "&Paste", "Paste contents of Windows Clipboard", -4},
      {-9, "Browse Customers", "Browse Customers", -8},
      {-12, "select design", "", -8},
      {-13, "&Reports", "Report data", 0},
      {-14, "Print Customers", "", -13},
      {-16, "By Name and Address", "Print ordered by Name and Address", -14},
      {-19, "Invoice List", "", -13},
      {-20, "Report Designer", "", 0},
      {-21, "Report Designer", "", -20},
      {-22, "&Window", "Create and Arrange windows", 0},
      {-23, "T&ile", "Make all open windows visible", -22},
      {-25, "&Arrange Icons", "Align all window icons", -22},
      {-26, "&Help", "Windows Help", 0},
      {-28, "&Search for Help On...", "Search for help on a subject", -26},
      {-30, "About Report Designer", "", -26},
  };
  for (const Expected& m : menus) {
    const runtime::Control* c = frame.Find(m.number);
    ASSERT_NE(c, nullptr) << m.number;
    EXPECT_EQ(c->text, m.text) << m.number;
    EXPECT_EQ(c->message, m.message) << m.number;
    EXPECT_EQ(c->parent, m.parent) << m.number;
  }
  int numbered = 0;
  for (const auto& c : frame.controls()) numbered += c->IsMenu() && !c->separator;
  EXPECT_EQ(numbered, 30);
  EXPECT_EQ(frame.Find(-2)->action, runtime::ActionPrintSetup);
  EXPECT_EQ(frame.Find(-24)->action, runtime::ActionCascade);
  for (int32_t n = framework::ToolbarInsert; n <= framework::ToolbarHelp; ++n) {
    ASSERT_NE(frame.Find(n), nullptr);
    EXPECT_TRUE(frame.Find(n)->onToolbar);
  }
}

TEST_F(MainFrameTest, StartUpSetsTheObjectsUpAndShutDownTakesThemAway) {
  bool upDuringRun = false;
  prepare = [&](MainFrame&) {
    upDuringRun = !GlobalErrors.MESSAGES.empty() && Access_CUSTOMER != nullptr &&
                  Relate_INVOICEL != nullptr && layout::Designs() != nullptr &&
                  layout::Designs()->Manager(layout::R_Types) != nullptr &&
                  INIMgr.FILENAME == "ledora.INI";
  };
  StartProgram();
  EXPECT_TRUE(upDuringRun);
  ASSERT_NE(layout::Designs(), nullptr);
  EXPECT_EQ(layout::Designs()->DefinitionsFile, "RptDes1.KDS");
  EXPECT_EQ(layout::Designs()->DesignsFile, "NewRpt.KDS");
  driver.Press(FrameWindow(), MenuExit);
  EXPECT_TRUE(ended);
  EXPECT_EQ(Access_CUSTOMER, nullptr);
  EXPECT_EQ(layout::Designs(), nullptr);
  EXPECT_TRUE(GlobalErrors.MESSAGES.empty());
  EXPECT_EQ(framework::LastResponse, framework::ResponseCancelled);
}

TEST_F(MainFrameTest, AnEntryWhoseProcedureIsNotBuiltSaysSo) {
  prepare = [](MainFrame& frame) {
    frame.SetProcedure(MenuSelectDesign, {});
    frame.SetProcedure(MenuCustomersById, {});
  };
  StartProgram();
  messages.Expect("Procedure not defined", "The Procedure SelectDesign has not been defined.",
                  runtime::ButtonOk);
  driver.Press(FrameWindow(), MenuSelectDesign);
  messages.Expect("Procedure not defined", "The Procedure PrintCustomersById has not been defined.",
                  runtime::ButtonOk);
  driver.Press(FrameWindow(), MenuCustomersById);
  EXPECT_TRUE(messages.Verify());
  driver.Press(FrameWindow(), MenuExit);
  EXPECT_TRUE(ended);
}

// ---------------------------------------------------------------- splash

TEST_F(MainFrameTest, TheSplashShowsOverTheFrameAndGoesAfterItsTimer) {
  StartProgram(true);
  ASSERT_NE(WindowRegistry::Instance().Frame(), nullptr);
  Window* about = driver.Top();
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->isFrame());
  EXPECT_FALSE(about->hasCaption());
  EXPECT_EQ(about->timer(), 500);
  bool demo = false;
  bool version = false;
  for (const auto& c : about->controls()) {
    demo = demo || c->text == "Demo program";
    version = version || c->text == "ledora " LEDORA_VERSION;
  }
  EXPECT_TRUE(demo);
  EXPECT_TRUE(version) << "the about box names the program and its version";
  driver.Tick();  // five seconds later, without any input
  EXPECT_FALSE(WindowRegistry::Instance().IsOpen(about));
  EXPECT_EQ(driver.Top(), &FrameWindow());
}

TEST_F(MainFrameTest, TheAboutWindowClosesOnAClickOrWhenItLosesTheFocus) {
  StartProgram();
  driver.Press(FrameWindow(), MenuAbout);
  Window* about = driver.Top();
  ASSERT_FALSE(about->isFrame());
  driver.Mouse(runtime::EventMouseDown, 0, 3, 3, runtime::KeyMouseRight);
  EXPECT_FALSE(WindowRegistry::Instance().IsOpen(about));

  driver.Press(FrameWindow(), MenuAbout);
  about = driver.Top();
  ASSERT_FALSE(about->isFrame());
  FrameWindow().UserActivated(true);
  driver.Settle();
  EXPECT_FALSE(WindowRegistry::Instance().IsOpen(about));
}

TEST_F(MainFrameTest, WhileTheAboutWindowIsUpTheFrameMenuDoesNotReact) {
  GiveChildren();
  StartProgram();
  driver.Press(FrameWindow(), MenuAbout);
  Window* about = driver.Top();
  driver.Press(FrameWindow(), MenuBrowseCustomers);
  EXPECT_TRUE(Titled("Child").empty());
  driver.Tick();
  EXPECT_FALSE(WindowRegistry::Instance().IsOpen(about));
}

// --------------------------------------------------------------- threads

TEST_F(MainFrameTest, TwoBrowsesRunOnTwoThreadsAndAFormIsModalToItsOwnOnly) {
  GiveChildren();
  StartProgram();
  driver.Press(FrameWindow(), MenuBrowseCustomers);
  driver.Press(FrameWindow(), MenuBrowseCustomers);
  std::vector<Window*> children = Titled("Child");
  ASSERT_EQ(children.size(), 2u);
  Window& first = *children[0];
  Window& second = *children[1];
  EXPECT_NE(first.thread(), second.thread());
  EXPECT_NE(first.thread(), FrameWindow().thread());

  driver.Press(first, kOpenForm);
  ASSERT_EQ(Titled("Form").size(), 1u);
  Window& form = *Titled("Form")[0];
  EXPECT_EQ(form.thread(), first.thread());
  driver.Press(first, kCount);
  driver.Press(second, kCount);
  EXPECT_EQ(presses[0], 0) << "the first browse waits for its form";
  EXPECT_EQ(presses[1], 1) << "the second goes on";
  driver.Close(second);  // the later one closes first; its window is gone with it
  EXPECT_EQ(Titled("Child").size(), 1u);
  ASSERT_EQ(Titled("Form").size(), 1u);
  driver.Close(form);
  EXPECT_TRUE(Titled("Form").empty());
  EXPECT_EQ(presses[0], 1) << "the press waited for the form";
  driver.Close(first);
  EXPECT_EQ(scheduler.ThreadCount(), 1u) << "only the main procedure is left";
  driver.Press(FrameWindow(), MenuExit);
  EXPECT_TRUE(ended);
}

TEST_F(MainFrameTest, TheEarlierBrowseMayCloseFirstAndExitClosesTheRest) {
  GiveChildren();
  StartProgram();
  for (int i = 0; i < 3; ++i) driver.Press(FrameWindow(), MenuBrowseCustomers);
  std::vector<Window*> children = Titled("Child");
  ASSERT_EQ(children.size(), 3u);
  driver.Close(*children[0]);  // its window dies with its procedure
  EXPECT_EQ(Titled("Child").size(), 2u);
  driver.Press(*children[2], kCount);
  EXPECT_EQ(presses[2], 1);
  driver.Press(FrameWindow(), MenuExit);
  EXPECT_TRUE(ended) << "closing the frame closes its children first";
  EXPECT_TRUE(Titled("Child").empty());
  EXPECT_FALSE(scheduler.HasThreads());
}

}  // namespace
}  // namespace ledora::app
