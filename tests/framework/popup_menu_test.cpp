#include "framework/popup_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/window/popup_menu_text.h"
#include "tests/framework/note_file.h"

namespace ledora::testing {
namespace {

using framework::PopupMenu;

enum Controls { kInsert = 1, kChange = 2, kList = 3 };

class Upper : public framework::Translator {
 public:
  void TranslateWindow(framework::TranslatableTexts&) override {}
  std::string TranslateText(std::string_view text) override {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
  }
};

// ------------------------------------------------------------------ names

TEST(PopupMenuTest, NamesKeepLettersDigitsAndUnderscoresAndAreMadeUnique) {
  PopupMenu menu;
  menu.Setup(nullptr);
  EXPECT_EQ(menu.AddItem("&Insert"), "Insert");
  EXPECT_EQ(menu.AddItem("&Insert"), "Insert1");
  EXPECT_EQ(menu.AddItem("Insert"), "Insert2");
  EXPECT_EQ(menu.AddItem("Zoom 50% (fit_all)"), "Zoom50fit_all");
  EXPECT_EQ(menu.AddSeparator(), "Separator");
  EXPECT_EQ(menu.AddItem("-"), "Separator1");
  EXPECT_EQ(menu.AddItem("%%"), "Item") << "a text without letters still gets a name";
  EXPECT_NE(menu.Find("insert1"), nullptr) << "names are found without regard to case";
  EXPECT_EQ(menu.Find("Nothing"), nullptr);
}

// ------------------------------------------------------------ menu string

TEST(PopupMenuTest, MenuStringMarksStateChecksAndSubmenus) {
  PopupMenu menu;
  menu.Setup(nullptr);
  menu.AddItem("Open");
  std::string zoom = menu.AddItem("Zoom");
  std::string half = menu.AddItem("50%");
  std::string full = menu.AddItem("100%");
  menu.AddSeparator();
  std::string gone = menu.AddItem("Gone");
  menu.SetDepth(half, 2);
  menu.SetDepth(full, 2);
  menu.SetCheck(half, false);
  menu.SetCheck(full, true);
  menu.SetDisabled(gone, true);
  EXPECT_EQ(menu.MenuText(), "Open|Zoom{-50%|+100%}-|~Gone");
  auto entries = runtime::ParsePopupMenu(menu.MenuText());
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_TRUE(entries[1].submenu);
  EXPECT_TRUE(entries[4].separator);
}

TEST(PopupMenuTest, OneIconGivesEveryItemAnIconBracket) {
  PopupMenu menu;
  menu.Setup(nullptr);
  std::string print = menu.AddItem("Print");
  menu.AddSeparator();
  menu.AddItem("Exit");
  EXPECT_EQ(menu.MenuText(), "Print|-|Exit");
  menu.SetIcon(print, "print.ico");
  EXPECT_EQ(menu.MenuText(), "[31848(~print.ico)]Print|-|[]Exit");
}

TEST(PopupMenuTest, TextsPassTheTranslatorAndLoseTheMenuSyntax) {
  PopupMenu menu;
  Upper upper;
  menu.Setup(nullptr, &upper);
  menu.AddItem("a|b{c}");
  menu.AddItem("next");
  EXPECT_EQ(menu.MenuText(), "ABC|NEXT");
}

TEST(PopupMenuTest, AMenuTooLongForTheRuntimeLeavesOutWholeItems) {
  PopupMenu menu;
  menu.Setup(nullptr);
  std::string text(400, 'x');
  for (int i = 0; i < 40; ++i) menu.AddItem(text);
  std::string shown = menu.MenuText();
  EXPECT_LE(shown.size(), PopupMenu::kMenuSize);
  auto entries = runtime::ParsePopupMenu(shown);
  ASSERT_FALSE(entries.empty());
  for (const auto& entry : entries) EXPECT_EQ(entry.text, text);
}

// --------------------------------------------------------------- mimicry

class PopupWindowTest : public ::testing::Test, public HeadlessWindows {
 protected:
  PopupWindowTest() {
    window.SetTitle("Browse");
    window.CreateControl(kList, runtime::ControlList);
    window.CreateControl(kInsert, runtime::ControlButton);
    window.CreateControl(kChange, runtime::ControlButton);
    window.SetText(kInsert, "&Add");
  }
  ~PopupWindowTest() override { CloseAll(); }

  // Opens the window on a thread of its own that records what it receives
  // and shows the popup whenever asked through the list.
  void Open() {
    driver.Start([this] {
      menu.Setup(&window);
      insert = menu.AddItemMimic("&Insert", kInsert);
      change = menu.AddItemMimic("&Change", kChange);
      menu.SetText(insert, "!&Insert");
      menu.SetText(change, "!&Change");
      locate = menu.AddItemEvent("Locate", runtime::EventLocate, kList);
      window.Open();
      runtime::Event e;
      while (window.Accept(&e)) {
        received.push_back(e);
        if (e.number == runtime::EventAlertKey) chosen = menu.RunUpdateProcedure();
      }
    });
    window.AddAlert(kList, runtime::KeyMouseRightUp, 249);
    received.clear();
  }
  std::string Choose(int32_t choice) {
    presenter.ScriptPopup(choice);
    received.clear();
    driver.PressKey(kList, runtime::KeyMouseRightUp);
    return chosen;
  }
  bool Received(int32_t event, int32_t control) const {
    for (const auto& e : received) {
      if (e.number == event && e.control == control) return true;
    }
    return false;
  }

  runtime::Window window;
  PopupMenu menu;
  std::string insert, change, locate, chosen;
  std::vector<runtime::Event> received;
};

TEST_F(PopupWindowTest, MimickingItemsShowTheButtonCaptionOrTheirOwnText) {
  Open();
  EXPECT_EQ(menu.MenuText(), "&Add|&Change|Locate");
  window.SetText(kChange, "&Edit");
  EXPECT_EQ(menu.MenuText(), "&Add|&Edit|Locate") << "later captions are followed too";
}

TEST_F(PopupWindowTest, MimickingItemsFollowTheButtonStateUnlessToldOtherwise) {
  Open();
  window.SetEnabled(kChange, false);
  EXPECT_EQ(menu.MenuText(), "&Add|~&Change|Locate");
  window.SetEnabled(kChange, true);
  EXPECT_EQ(menu.MenuText(), "&Add|&Change|Locate");
  menu.SetDisabled(change, true);
  EXPECT_EQ(menu.MenuText(), "&Add|~&Change|Locate");
  window.SetIcon(kInsert, "insert.ico");
  EXPECT_EQ(menu.MenuText(), "[31848(~insert.ico)]&Add|~[]&Change|[]Locate");
}

TEST_F(PopupWindowTest, ChoosingAMimickingItemPressesItsButton) {
  Open();
  EXPECT_EQ(Choose(1), "Insert");
  EXPECT_EQ(menu.LASTSELECTION, "Insert");
  EXPECT_TRUE(Received(runtime::EventAccepted, kInsert));
}

TEST_F(PopupWindowTest, ChoosingAnEventItemPostsItsEvent) {
  Open();
  EXPECT_EQ(Choose(3), "Locate");
  EXPECT_TRUE(Received(runtime::EventLocate, kList));
}

TEST_F(PopupWindowTest, ChoosingNothingReturnsBlankAndPostsNothing) {
  Open();
  EXPECT_EQ(Choose(0), "");
  EXPECT_EQ(menu.LASTSELECTION, "");
  EXPECT_EQ(received.size(), 1u) << "only the key that opened the menu";
  EXPECT_EQ(Choose(9), "") << "a number the menu does not have";
  window.SetEnabled(kChange, false);
  EXPECT_EQ(Choose(2), "") << "a disabled entry is not carried out";
  EXPECT_FALSE(Received(runtime::EventAccepted, kChange));
}

TEST_F(PopupWindowTest, TheToolboxPressesItemsMarkedForIt) {
  Open();
  menu.SetOnToolbox(insert, true);
  menu.SetOnToolbox(locate, true);
  driver.Start([this] { menu.OpenToolbox("Browse Actions"); });
  runtime::Window* toolbox = driver.Titled("Browse Actions");
  ASSERT_NE(toolbox, nullptr);
  ASSERT_EQ(toolbox->controls().size(), 2u);
  EXPECT_EQ(toolbox->controls()[0]->text, "&Add");
  received.clear();
  driver.Press(*toolbox, toolbox->controls()[1]->number);
  EXPECT_TRUE(Received(runtime::EventLocate, kList));
  menu.CloseToolbox();
  driver.Settle();
  EXPECT_EQ(driver.Titled("Browse Actions"), nullptr);
}

TEST_F(PopupWindowTest, TheToolboxReopensWhereTheUserLeftIt) {
  framework::IniStore settings;
  settings.Setup(folder.File("ledora.INI"));
  Open();
  menu.INIMGR = &settings;
  menu.SetOnToolbox(insert, true);
  menu.OpenToolbox("Browse Actions");
  driver.Settle();
  runtime::Window* toolbox = driver.Titled("Browse Actions");
  ASSERT_NE(toolbox, nullptr);
  toolbox->UserMoved(140, 60);
  menu.CloseToolbox();
  driver.Settle();
  EXPECT_EQ(settings.ReadValue("Browse Actions", "XPos"), "140");
  EXPECT_EQ(settings.ReadValue("Browse Actions", "Width"), framework::IniStore::kUnknown)
      << "the toolbox has a fixed size";
  menu.OpenToolbox("Browse Actions");
  driver.Settle();
  toolbox = driver.Titled("Browse Actions");
  ASSERT_NE(toolbox, nullptr);
  EXPECT_EQ(toolbox->geometry().x, 140);
  EXPECT_EQ(toolbox->geometry().y, 60);
  menu.CloseToolbox();
  driver.Settle();
}

}  // namespace
}  // namespace ledora::testing
