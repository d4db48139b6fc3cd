// A run-time menu of named items, shown at the pointer: the browse's
// right-click menu and the print preview's zoom menu. Items can mirror a
// button (caption, enabled state, icon, and pressing it), post an event to a
// control, carry check marks, icons and submenus, and appear on a floating
// toolbox window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ini_store.h"
#include "framework/translator.h"

namespace ledora::runtime {
class Window;
}

namespace ledora::framework {

enum PopupCheck : uint8_t {
  PopupNoCheck = 0,
  PopupChecked = 1,
  PopupUnchecked = 2,
};

enum PopupDisabled : uint8_t {
  PopupStateUnknown = 0,  // a mimicking item follows its control
  PopupItemDisabled = 1,
  PopupItemEnabled = 2,
};

class PopupMenu {
 public:
  struct Item {
    int16_t CONTROLID = 0;
    uint16_t DEPTH = 1;
    uint16_t EVENT = 0;
    uint8_t MIMICMODE = 0;
    uint8_t DISABLED = PopupStateUnknown;
    uint8_t CHECK = PopupNoCheck;
    uint8_t ONTOOLBOX = 0;
    std::string ICON;  // at most 256
    std::string NAME;  // at most 1025
    std::string TEXT;  // at most 1025
  };

  static constexpr size_t kMenuSize = 10000;
  static constexpr int32_t kIconProperty = 31848;

  uint8_t CLEARKEYCODE = 0;                       // 1: a chosen item posts no key code
  std::string LASTSELECTION;                      // the name of the item chosen last; blank: none
  std::unique_ptr<std::vector<Item>> POPUPITEMS;  // the items, in menu order
  Translator* TRANSLATOR = nullptr;               // not owned; translates the item texts
  IniStore* INIMGR = nullptr;                     // not owned; keeps the toolbox's place
  uint8_t INTOOLBOX = 0;                          // 1 while the menu shows as a toolbox
  int32_t MYTHREAD = 0;                           // the procedure thread the items post to
  runtime::Window* PARENTWINDOW = nullptr;        // not owned
  runtime::Window* THISWINDOW = nullptr;          // not owned; the window items act on

  PopupMenu();
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // window: where the mimicked controls live; posted events go to the
  // thread that calls Setup.
  void Setup(runtime::Window* window, Translator* translator = nullptr,
             IniStore* iniManager = nullptr);
  void Shutdown();

  // Each returns the item's name, made from its text.
  std::string AddItem(std::string_view text);
  std::string AddItemMimic(std::string_view text, int32_t control);
  std::string AddItemEvent(std::string_view text, uint16_t event, int32_t control);
  std::string AddSeparator();

  // Unknown names are ignored.
  void SetText(std::string_view name, std::string_view text);
  void SetCheck(std::string_view name, bool checked);
  void SetDisabled(std::string_view name, bool disabled);
  void SetIcon(std::string_view name, std::string_view icon);
  void SetDepth(std::string_view name, uint16_t depth);
  void SetOnToolbox(std::string_view name, bool onToolbox);
  const Item* Find(std::string_view name) const;

  // The menu in the runtime's popup syntax, with mimicking items refreshed.
  std::string MenuText() const;
  // Shows the menu and carries out the chosen item; returns its name, blank
  // when nothing was chosen.
  std::string RunUpdateProcedure();
  // A floating window with a button per item marked for the toolbox.
  void OpenToolbox(std::string_view title);
  void CloseToolbox();
  bool ToolboxOpen() const;

 private:
  struct Shown;
  struct Toolbox;

  std::string Build(std::vector<size_t>* numbered) const;
  std::string AddNamed(std::string_view text);
  Item* FindItem(std::string_view name);
  std::string UniqueName(std::string_view text) const;
  Shown ShownAs(const Item& item) const;
  void Execute(const Item& item) const;

  std::shared_ptr<Toolbox> toolbox_;
};

}  // namespace ledora::framework
