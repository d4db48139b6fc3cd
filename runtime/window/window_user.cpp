// What the user did, as presenters and the test driver report it, turned
// into events for the owning thread.
#include <algorithm>
#include <cstdlib>

#include "runtime/window/common_dialogs.h"
#include "runtime/window/help.h"
#include "runtime/window/presenter.h"
#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

namespace {

bool IsListLike(ControlType type) {
  return type == ControlList || type == ControlCombo || type == ControlDropList ||
         type == ControlDropCombo;
}

}  // namespace

void Window::PostTo(Control& control, int32_t event, int32_t keyCode) {
  Post(event, control.number, keyCode);
}

void Window::UserPressed(int32_t control) {
  Window* owner = nullptr;
  Control* c = Resolve(control, &owner);
  if (c == nullptr || !c->enabled || c->hidden || c->separator) return;
  if (owner != this || (c->onToolbar && frame_)) {
    WindowRegistry::Instance().ToolbarPressed(control);
    return;
  }
  if (c->action == ActionHelpContents || c->action == ActionHelpSearch ||
      c->action == ActionHelpOnHelp) {
    ShowHelpFor(*this, c->action);
    return;
  }
  switch (c->type) {
    case ControlMenu:
      return;
    case ControlMenuItem:
      if (c->action == ActionClose) {
        Post(EventCloseWindow);
      } else if (c->action == ActionPrintSetup) {
        AskPrinterSetup();
      } else if (c->action == ActionNone) {
        PostTo(*c, EventAccepted, 0);
      }
      return;
    case ControlCheck:
      if (c->readOnly) return;
      c->checked = !c->checked;
      UpdateOne(*c);
      Notify(c->number);
      PostTo(*c, EventAccepted, 0);
      return;
    case ControlRadio:
      ChooseRadio(*c);
      return;
    case ControlTab:
      ChooseTab(*c);
      return;
    default:
      PostTo(*c, EventAccepted, 0);
      return;
  }
}

void Window::ChooseRadio(Control& radio) {
  Control* option = Find(radio.parent);
  for (auto& other : controls_) {
    if (other->type == ControlRadio && other->parent == radio.parent) {
      other->checked = other.get() == &radio;
      Notify(other->number);
    }
  }
  if (option == nullptr || option->type != ControlOption) {
    PostTo(radio, EventAccepted, 0);
    return;
  }
  if (option->use.address != nullptr) runtime::SetText(option->use, radio.radioValue);
  PostTo(*option, EventAccepted, 0);
}

void Window::ChooseTab(Control& tab) {
  Control* sheet = Find(tab.parent);
  if (sheet == nullptr) return;
  int32_t index = 0;
  for (auto& c : controls_) {
    if (c->type != ControlTab || c->parent != sheet->number) continue;
    ++index;
    if (c.get() == &tab) break;
  }
  if (sheet->selection == index) return;
  sheet->selection = index;
  UpdateOne(*sheet);
  Notify(sheet->number);
  PostTo(*sheet, EventNewSelection, 0);
}

void Window::UserTyped(int32_t control, std::string_view text) {
  Control* c = Find(control);
  if (c == nullptr || !c->enabled || c->readOnly || !c->TakesInput()) return;
  c->text = text;
  if (!UpdateOne(*c)) {
    Notify(c->number);
    PostTo(*c, EventRejected, 0);
    return;
  }
  // The variable now holds what was typed; show it as the picture shows it.
  DisplayOne(*c);
  PostTo(*c, EventAccepted, 0);
}

void Window::UserChoseRow(int32_t control, int32_t row, int32_t keyCode) {
  Control* c = Find(control);
  if (c == nullptr || !c->enabled) return;
  if (c->type == ControlSheet) {
    int32_t index = 0;
    for (auto& tab : controls_) {
      if (tab->type == ControlTab && tab->parent == c->number && ++index == row) {
        ChooseTab(*tab);
        return;
      }
    }
    return;
  }
  if (!IsListLike(c->type)) return;
  if (IsAlert(control, keyCode)) {
    Event e;
    e.number = EventAlertKey;
    e.control = control;
    e.keyCode = keyCode;
    e.value = row;
    Post(e);
    return;
  }
  auto rows = static_cast<int32_t>(c->rows.size());
  if (row < 1 || row > rows) return;
  c->selection = row;
  if (c->type != ControlList) {
    c->text = c->rows[row - 1].empty() ? std::string() : c->rows[row - 1][0];
    if (!UpdateOne(*c)) {
      Notify(c->number);
      PostTo(*c, EventRejected, keyCode);
      return;
    }
  }
  Notify(c->number);
  PostTo(*c, EventNewSelection, keyCode);
  if (c->type != ControlList) PostTo(*c, EventAccepted, keyCode);
}

void Window::ListKey(Control& list, int32_t keyCode) {
  auto rows = static_cast<int32_t>(list.rows.size());
  int32_t page = std::max(1, VisibleRows(list.number));
  int32_t target = list.selection;
  int32_t scroll = EventNone;
  const bool paged = list.immediate;
  switch (keyCode) {
    case KeyUp:
      if (target > 1)
        --target;
      else
        scroll = EventScrollUp;
      break;
    case KeyDown:
      if (target < rows)
        ++target;
      else
        scroll = EventScrollDown;
      break;
    case KeyPageUp:
      if (paged)
        scroll = EventPageUp;
      else
        target -= page;
      break;
    case KeyPageDown:
      if (paged)
        scroll = EventPageDown;
      else
        target += page;
      break;
    case KeyHome:
    case KeyCtrlHome:
      if (paged)
        scroll = EventScrollTop;
      else
        target = 1;
      break;
    case KeyEnd:
    case KeyCtrlEnd:
      if (paged)
        scroll = EventScrollBottom;
      else
        target = rows;
      break;
    case KeyEnter:
      for (auto& c : controls_) {
        if (c->isDefault) return UserPressed(c->number);
      }
      return;
    default:
      return;
  }
  // Only a paged list hears that the user went past its rows.
  if (scroll != EventNone) {
    if (paged) PostTo(list, scroll, keyCode);
    return;
  }
  target = std::clamp(target, rows > 0 ? 1 : 0, rows);
  if (target == list.selection) return;
  list.selection = target;
  Notify(list.number);
  PostTo(list, EventNewSelection, keyCode);
}

void Window::UserKey(int32_t control, int32_t keyCode) {
  if (IsAlert(control, keyCode)) {
    Post(EventAlertKey, control, keyCode);
    return;
  }
  if (keyCode == KeyF1) {
    ShowHelp(*this);
    return;
  }
  Control* c = control != 0 ? Find(control) : nullptr;
  if (c != nullptr && c->type == ControlList) {
    ListKey(*c, keyCode);
    return;
  }
  if (keyCode == KeyEnter) {
    for (auto& d : controls_) {
      if (d->isDefault) return UserPressed(d->number);
    }
  } else if (keyCode == KeyEscape && !frame_) {
    Post(EventCloseWindow);
  }
}

void Window::UserScroll(int32_t control, int32_t event, int32_t thumb) {
  Control* c = Find(control);
  if (c == nullptr || c->type != ControlList || !c->enabled) return;
  if (event < EventScrollUp || (event > EventLocate && event != EventScrollDrag)) return;
  Event e;
  e.number = event;
  e.control = control;
  e.value = std::clamp(thumb, 0, 100);
  Post(e);
}

void Window::UserWheel(int32_t control, int32_t notches) {
  constexpr int32_t kRowsPerNotch = 3;
  Control* c = Find(control);
  if (c == nullptr || c->type != ControlList || !c->enabled) return;
  int32_t key = notches > 0 ? KeyUp : KeyDown;
  for (int32_t i = 0; i < kRowsPerNotch * std::abs(notches); ++i) ListKey(*c, key);
}

void Window::UserMouse(int32_t event, int32_t control, int32_t x, int32_t y, int32_t keyCode) {
  Event e;
  e.control = control;
  e.keyCode = keyCode;
  e.x = x;
  e.y = y;
  if ((event == EventMouseDown || event == EventMouseUp) && IsAlert(control, keyCode)) {
    e.number = EventAlertKey;
    Post(e);
  }
  const Control* c = control != 0 ? Find(control) : nullptr;
  if (c != nullptr ? !c->trackMouse : !trackMouse_) return;
  e.number = event;
  Post(e);
}

std::string Window::DragTextOf(int32_t control) const {
  const Control* c = Find(control);
  if (c == nullptr) return {};
  if (!c->dragText.empty()) return c->dragText;
  if (c->selection >= 1 && c->selection <= static_cast<int32_t>(c->rows.size()) &&
      !c->rows[c->selection - 1].empty()) {
    return c->rows[c->selection - 1][0];
  }
  return c->text;
}

namespace {

// A target takes a drop whose id is one of its ids (a comma-separated list).
bool Accepts(const std::string& dropIds, const std::string& dragId) {
  if (dragId.empty()) return false;
  size_t start = 0;
  while (start <= dropIds.size()) {
    size_t end = dropIds.find(',', start);
    if (end == std::string::npos) end = dropIds.size();
    if (dropIds.compare(start, end - start, dragId) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

void Window::UserDrop(int32_t target, Window& source, int32_t sourceControl, int32_t x, int32_t y) {
  const Control* to = target != 0 ? Find(target) : nullptr;
  const Control* from = source.Find(sourceControl);
  if (from == nullptr || (target != 0 && to == nullptr)) return;
  if (to != nullptr && !Accepts(to->dropId, from->dragId)) return;
  Event e;
  e.number = EventDrop;
  e.control = target;
  e.x = x;
  e.y = y;
  e.text = source.DragTextOf(sourceControl);
  e.sourceThread = source.thread();
  e.sourceControl = sourceControl;
  Post(e);
  source.Post(EventDrag, sourceControl);
}

void Window::UserFocus(int32_t control) {
  if (control == focus_) return;
  focus_ = control;
  if (control != 0) Post(EventSelected, control);
}

void Window::UserActivated(bool active) {
  WindowRegistry& registry = WindowRegistry::Instance();
  if (active) {
    hadFocus_ = true;
    registry.SetActive(this);
  } else if (registry.Active() == this) {
    registry.SetActive(nullptr);
  }
}

void Window::UserResized(int32_t width, int32_t height) {
  if (width == geometry_.width && height == geometry_.height) return;
  geometry_.width = width;
  geometry_.height = height;
  Post(EventSized);
}

void Window::UserMoved(int32_t x, int32_t y) {
  geometry_.x = x;
  geometry_.y = y;
}

void Window::UserStateChanged(bool maximised, bool minimised) {
  maximised_ = maximised;
  minimised_ = minimised;
}

void Window::UserCloseBox() { Post(EventCloseWindow); }

void Window::UserTimer() {
  if (timer_ > 0) Post(EventTimer);
}

}  // namespace ledora::runtime
