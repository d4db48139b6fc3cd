#include "framework/popup_menu.h"

#include <algorithm>
#include <cctype>

#include "framework/window_placement.h"
#include "runtime/system/ascii_case.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::framework {

namespace {

constexpr size_t kNameSize = 1025;
constexpr size_t kIconSize = 256;
constexpr size_t kToolboxStack = 25000;

// The popup syntax has no escapes; its structure characters cannot be shown.
std::string Printable(std::string text) {
  std::erase_if(text, [](char c) { return c == '|' || c == '{' || c == '}'; });
  return text;
}

void PostTo(int32_t thread, runtime::Window* preferred, int32_t event, int32_t control,
            int32_t keyCode) {
  runtime::Window* target = preferred;
  if (target == nullptr || !target->IsOpen() || target->thread() != thread) {
    target = runtime::WindowRegistry::Instance().TopWindowOf(thread);
  }
  if (target != nullptr) target->Post(event, control, keyCode);
}

}  // namespace

struct PopupMenu::Shown {
  std::string text;
  std::string icon;
  bool disabled = false;
  bool separator = false;
};

struct PopupMenu::Toolbox {
  struct Action {
    int32_t button;
    int32_t event;
    int32_t control;
  };
  runtime::Window window;
  std::vector<Action> actions;
  int32_t thread = 0;  // where the actions are posted
  IniStore* settings = nullptr;
  std::string section;
  bool closing = false;
  bool ended = false;
};

PopupMenu::PopupMenu() = default;

PopupMenu::~PopupMenu() { Shutdown(); }

void PopupMenu::Setup(runtime::Window* window, Translator* translator, IniStore* iniManager) {
  THISWINDOW = window;
  PARENTWINDOW = window;
  TRANSLATOR = translator;
  INIMGR = iniManager;
  MYTHREAD = runtime::CurrentThread();
  POPUPITEMS = std::make_unique<std::vector<Item>>();
}

void PopupMenu::Shutdown() {
  CloseToolbox();
  POPUPITEMS.reset();
}

// ----------------------------------------------------------------- items

std::string PopupMenu::UniqueName(std::string_view text) const {
  std::string base;
  if (text == "-") {
    base = "Separator";
  } else {
    for (char c : text) {
      if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128) {
        base += c;
      } else if (c == '_') {
        base += c;
      }
    }
  }
  if (base.empty()) base = "Item";
  base = base.substr(0, kNameSize - 12);
  auto taken = [this](const std::string& name) { return Find(name) != nullptr; };
  if (!taken(base)) return base;
  for (int n = 1;; ++n) {
    std::string name = base + std::to_string(n);
    if (!taken(name)) return name;
  }
}

std::string PopupMenu::AddNamed(std::string_view text) {
  if (!POPUPITEMS) POPUPITEMS = std::make_unique<std::vector<Item>>();
  Item item;
  item.NAME = UniqueName(text);
  item.TEXT = std::string(text.substr(0, kNameSize));
  POPUPITEMS->push_back(item);
  return item.NAME;
}

std::string PopupMenu::AddItem(std::string_view text) { return AddNamed(text); }

std::string PopupMenu::AddItemMimic(std::string_view text, int32_t control) {
  std::string name = AddNamed(text);
  Item& item = POPUPITEMS->back();
  item.MIMICMODE = 1;
  item.CONTROLID = static_cast<int16_t>(control);
  return name;
}

std::string PopupMenu::AddItemEvent(std::string_view text, uint16_t event, int32_t control) {
  std::string name = AddNamed(text);
  Item& item = POPUPITEMS->back();
  item.EVENT = event;
  item.CONTROLID = static_cast<int16_t>(control);
  return name;
}

std::string PopupMenu::AddSeparator() { return AddNamed("-"); }

const PopupMenu::Item* PopupMenu::Find(std::string_view name) const {
  if (!POPUPITEMS) return nullptr;
  for (const Item& item : *POPUPITEMS) {
    if (runtime::EqualIgnoringAsciiCase(item.NAME, name)) return &item;
  }
  return nullptr;
}

PopupMenu::Item* PopupMenu::FindItem(std::string_view name) {
  return const_cast<Item*>(Find(name));
}

void PopupMenu::SetText(std::string_view name, std::string_view text) {
  if (Item* item = FindItem(name)) item->TEXT = std::string(text.substr(0, kNameSize));
}

void PopupMenu::SetCheck(std::string_view name, bool checked) {
  if (Item* item = FindItem(name)) item->CHECK = checked ? PopupChecked : PopupUnchecked;
}

void PopupMenu::SetDisabled(std::string_view name, bool disabled) {
  if (Item* item = FindItem(name)) item->DISABLED = disabled ? PopupItemDisabled : PopupItemEnabled;
}

void PopupMenu::SetIcon(std::string_view name, std::string_view icon) {
  if (Item* item = FindItem(name)) item->ICON = std::string(icon.substr(0, kIconSize));
}

void PopupMenu::SetDepth(std::string_view name, uint16_t depth) {
  if (Item* item = FindItem(name)) item->DEPTH = std::max<uint16_t>(1, depth);
}

void PopupMenu::SetOnToolbox(std::string_view name, bool onToolbox) {
  if (Item* item = FindItem(name)) item->ONTOOLBOX = onToolbox ? 1 : 0;
}

// ------------------------------------------------------------------ menu

// A mimicking item shows what its control shows now; what the item was told
// explicitly (its state, its icon) wins.
PopupMenu::Shown PopupMenu::ShownAs(const Item& item) const {
  Shown shown;
  shown.separator = item.TEXT == "-";
  shown.text = item.TEXT;
  shown.icon = item.ICON;
  shown.disabled = item.DISABLED == PopupItemDisabled;
  const runtime::Control* c = nullptr;
  if (item.MIMICMODE && THISWINDOW != nullptr) c = THISWINDOW->Find(item.CONTROLID);
  if (c != nullptr) {
    if ((shown.text.empty() || shown.text.front() == '!') && !c->text.empty()) {
      shown.text = c->text;
    }
    if (item.DISABLED == PopupStateUnknown) shown.disabled = !c->enabled || c->hidden;
    if (shown.icon.empty()) shown.icon = c->icon;
  }
  if (!shown.text.empty() && shown.text.front() == '!') shown.text.erase(0, 1);
  return shown;
}

std::string PopupMenu::MenuText() const { return Build(nullptr); }

std::string PopupMenu::Build(std::vector<size_t>* numbered) const {
  std::string menu;
  if (!POPUPITEMS) return menu;
  std::vector<Shown> shown;
  bool icons = false;
  for (const Item& item : *POPUPITEMS) {
    shown.push_back(ShownAs(item));
    icons = icons || (!shown.back().separator && !shown.back().icon.empty());
  }
  std::vector<size_t> included;
  uint16_t previous = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    const Item& item = (*POPUPITEMS)[i];
    const Shown& s = shown[i];
    std::string piece;
    if (!included.empty()) {
      if (item.DEPTH == previous) piece = "|";
      if (item.DEPTH > previous) piece.assign(item.DEPTH - previous, '{');
      if (item.DEPTH < previous) piece.assign(previous - item.DEPTH, '}');
    }
    if (s.separator) {
      piece += "-";
    } else {
      if (s.disabled) piece += "~";
      if (item.CHECK == PopupChecked) piece += "+";
      if (item.CHECK == PopupUnchecked) piece += "-";
      if (icons) {
        piece += "[";
        if (!s.icon.empty()) piece += std::to_string(kIconProperty) + "(~" + s.icon + ")";
        piece += "]";
      }
      std::string text = Printable(TranslateText(TRANSLATOR, s.text));
      piece += text.empty() ? item.NAME : text;
    }
    // An item that does not fit is left out whole, so numbering stays true.
    if (menu.size() + piece.size() > kMenuSize) break;
    menu += piece;
    included.push_back(i);
    previous = item.DEPTH;
  }
  if (numbered != nullptr) {
    numbered->clear();
    for (size_t k = 0; k < included.size(); ++k) {
      size_t i = included[k];
      bool submenu =
          k + 1 < included.size() && (*POPUPITEMS)[included[k + 1]].DEPTH > (*POPUPITEMS)[i].DEPTH;
      if (!shown[i].separator && !submenu) numbered->push_back(i);
    }
  }
  return menu;
}

std::string PopupMenu::RunUpdateProcedure() {
  LASTSELECTION.clear();
  std::vector<size_t> numbered;
  std::string menu = Build(&numbered);
  if (numbered.empty()) return LASTSELECTION;
  int32_t choice = runtime::Popup(menu);
  if (choice < 1 || choice > static_cast<int32_t>(numbered.size())) return LASTSELECTION;
  const Item& item = (*POPUPITEMS)[numbered[choice - 1]];
  // A disabled entry cannot be chosen on screen; a scripted choice of one
  // chooses nothing either.
  if (ShownAs(item).disabled) return LASTSELECTION;
  LASTSELECTION = item.NAME;
  Execute(item);
  return LASTSELECTION;
}

void PopupMenu::Execute(const Item& item) const {
  if (!item.MIMICMODE && item.EVENT == 0) return;
  int32_t event = item.MIMICMODE ? int32_t{runtime::EventAccepted} : int32_t{item.EVENT};
  int32_t keyCode = 0;
  if (!CLEARKEYCODE && THISWINDOW != nullptr) keyCode = THISWINDOW->event().keyCode;
  PostTo(MYTHREAD, THISWINDOW, event, item.CONTROLID, keyCode);
}

// --------------------------------------------------------------- toolbox

void PopupMenu::OpenToolbox(std::string_view title) {
  if (ToolboxOpen() || !POPUPITEMS) return;
  auto toolbox = std::make_shared<Toolbox>();
  toolbox->thread = MYTHREAD;
  runtime::Window& window = toolbox->window;
  window.SetTitle(title);
  int32_t y = 2;
  for (const Item& item : *POPUPITEMS) {
    Shown shown = ShownAs(item);
    if (!item.ONTOOLBOX || shown.separator) continue;
    int32_t button = window.CreateControl(0, runtime::ControlButton);
    window.SetText(button, shown.text);
    window.SetIcon(button, shown.icon);
    window.SetEnabled(button, !shown.disabled);
    window.SetRect(button, {2, y, 60, 14});
    y += 16;
    int32_t event = item.MIMICMODE ? int32_t{runtime::EventAccepted} : int32_t{item.EVENT};
    toolbox->actions.push_back({button, event, item.CONTROLID});
  }
  window.SetSize(64, y + 2);
  // The toolbox reopens where the user left it, by its title.
  toolbox->settings = INIMGR;
  toolbox->section = std::string(title);
  if (INIMGR != nullptr) {
    WindowPlacement placement(window);
    INIMGR->RestoreWindowPlacement(toolbox->section, placement);
  }
  int32_t started = runtime::Start(
      [toolbox] {
        if (!toolbox->closing) toolbox->window.Open();
        runtime::Event e;
        while (toolbox->window.Accept(&e)) {
          if (e.number != runtime::EventAccepted) continue;
          for (const Toolbox::Action& action : toolbox->actions) {
            if (action.button != e.accepted || action.event == 0) continue;
            PostTo(toolbox->thread, nullptr, action.event, action.control, 0);
          }
        }
        if (toolbox->settings != nullptr) {
          WindowPlacement placement(toolbox->window);
          toolbox->settings->StoreWindowPlacement(toolbox->section, placement);
        }
        toolbox->ended = true;
      },
      kToolboxStack);
  if (started == 0) return;
  toolbox_ = toolbox;
  INTOOLBOX = 1;
}

void PopupMenu::CloseToolbox() {
  if (toolbox_) {
    toolbox_->closing = true;
    toolbox_->window.Post(runtime::EventCloseWindow);
  }
  toolbox_.reset();
  INTOOLBOX = 0;
}

bool PopupMenu::ToolboxOpen() const { return toolbox_ && !toolbox_->ended; }

}  // namespace ledora::framework
