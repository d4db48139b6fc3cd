#include "runtime/window/window.h"

#include <algorithm>

#include "runtime/window/presenter.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {

Window::Window() = default;

Window::~Window() { Close(); }

void Window::SetTitle(std::string_view title) {
  title_ = title;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetFont(const Font& font) {
  font_ = font;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetIcon(std::string_view icon) {
  icon_ = icon;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetStatusText(std::string_view text) {
  status_ = text;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetTimer(int32_t hundredths) {
  timer_ = std::max(0, hundredths);
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetCursor(CursorShape cursor) {
  cursor_ = cursor;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetPosition(int32_t x, int32_t y) {
  geometry_.x = x;
  geometry_.y = y;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetSize(int32_t width, int32_t height) {
  geometry_.width = std::max(width, minimum_.width);
  geometry_.height = std::max(height, minimum_.height);
  if (maximum_.width > 0) geometry_.width = std::min(geometry_.width, maximum_.width);
  if (maximum_.height > 0) geometry_.height = std::min(geometry_.height, maximum_.height);
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::GetPosition(int32_t* x, int32_t* y) const {
  *x = geometry_.x;
  *y = geometry_.y;
}

void Window::GetSize(int32_t* width, int32_t* height) const {
  *width = geometry_.width;
  *height = geometry_.height;
}

void Window::SetMaximised(bool maximised) {
  maximised_ = maximised;
  if (maximised) minimised_ = false;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetVisible(bool visible) {
  visible_ = visible;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetMinimised(bool minimised) {
  minimised_ = minimised;
  if (minimised) maximised_ = false;
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetMinimumSize(int32_t width, int32_t height) {
  minimum_ = {0, 0, std::max(0, width), std::max(0, height)};
  if (open_) CurrentPresenter().WindowChanged(*this);
}

void Window::SetMaximumSize(int32_t width, int32_t height) {
  maximum_ = {0, 0, std::max(0, width), std::max(0, height)};
  if (open_) CurrentPresenter().WindowChanged(*this);
}

int32_t Window::NextFreeNumber() const {
  int32_t highest = 0;
  for (const auto& c : controls_) highest = std::max(highest, c->number);
  return highest + 1;
}

int32_t Window::CreateControl(int32_t number, ControlType type, int32_t parent) {
  if (number == 0) number = NextFreeNumber();
  for (const auto& c : controls_) {
    if (c->number == number) return 0;
  }
  auto control = std::make_unique<Control>();
  control->number = number;
  control->type = type;
  control->parent = parent;
  controls_.push_back(std::move(control));
  if (open_) CurrentPresenter().ControlCreated(*this, number);
  return number;
}

bool Window::DestroyControl(int32_t number) {
  auto owned = [this](int32_t n) {
    return std::any_of(controls_.begin(), controls_.end(),
                       [n](const auto& c) { return c->number == n; });
  };
  if (!owned(number)) return false;
  // The control and everything inside it. Parent links are plain numbers, so
  // a loop among them must not make this loop.
  std::vector<int32_t> doomed{number};
  for (size_t i = 0; i < doomed.size(); ++i) {
    for (const auto& c : controls_) {
      if (c->parent == doomed[i] &&
          std::find(doomed.begin(), doomed.end(), c->number) == doomed.end()) {
        doomed.push_back(c->number);
      }
    }
  }
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    if (open_) CurrentPresenter().ControlDestroyed(*this, *it);
    if (focus_ == *it) focus_ = 0;
  }
  std::erase_if(controls_, [&doomed](const auto& c) {
    return std::find(doomed.begin(), doomed.end(), c->number) != doomed.end();
  });
  return true;
}

Control* Window::Find(int32_t number) { return Resolve(number, nullptr); }

const Control* Window::Find(int32_t number) const { return Resolve(number); }

Control* Window::Resolve(int32_t number, Window** owner) {
  if (owner != nullptr) *owner = this;
  for (auto& c : controls_) {
    if (c->number == number) return c.get();
  }
  Window* frame = WindowRegistry::Instance().Frame();
  if (frame == nullptr || frame == this) return nullptr;
  for (auto& c : frame->controls_) {
    if (c->number == number && c->onToolbar) {
      if (owner != nullptr) *owner = frame;
      return c.get();
    }
  }
  return nullptr;
}

const Control* Window::Resolve(int32_t number) const {
  return const_cast<Window*>(this)->Resolve(number, nullptr);
}

int32_t Window::AddMenu(int32_t number, int32_t parent, std::string_view text,
                        std::string_view message) {
  int32_t made = CreateControl(number, ControlMenu, parent);
  if (made == 0) return 0;
  Control* c = Find(made);
  c->text = text;
  c->message = message;
  Notify(made);
  return made;
}

int32_t Window::AddMenuItem(int32_t number, int32_t parent, std::string_view text,
                            std::string_view message, StandardAction action) {
  int32_t made = CreateControl(number, ControlMenuItem, parent);
  if (made == 0) return 0;
  Control* c = Find(made);
  c->text = text;
  c->message = message;
  c->action = action;
  Notify(made);
  return made;
}

void Window::AddMenuSeparator(int32_t parent) {
  int32_t number = CreateControl(nextSeparator_--, ControlMenuItem, parent);
  if (Control* c = Find(number)) {
    c->separator = true;
    Notify(number);
  }
}

void Window::Notify(int32_t control) {
  if (open_) CurrentPresenter().ControlChanged(*this, control);
}

void Window::Changed(int32_t control) {
  Window* owner = nullptr;
  if (Resolve(control, &owner) != nullptr) owner->Notify(control);
}

void Window::SetRect(int32_t control, const Rect& rect) {
  Change(control, [&](Control* c) {
    c->x = rect.x;
    c->y = rect.y;
    c->width = std::max(0, rect.width);
    c->height = std::max(0, rect.height);
  });
}

Rect Window::GetRect(int32_t control) const {
  const Control* c = Find(control);
  return c == nullptr ? Rect{} : Rect{c->x, c->y, c->width, c->height};
}

void Window::SetText(int32_t control, std::string_view text) {
  Change(control, [&](Control* c) { c->text = text; });
}

std::string Window::GetText(int32_t control) const {
  const Control* c = Find(control);
  return c == nullptr ? std::string() : c->text;
}

void Window::SetUse(int32_t control, const FieldRef& use) {
  Change(control, [&](Control* c) { c->use = use; });
}

bool Window::SetPicture(int32_t control, std::string_view picture) {
  Window* owner = nullptr;
  Control* c = Resolve(control, &owner);
  if (c == nullptr) return false;
  c->pictureText = picture;
  c->picture = picture.empty() ? nullptr : Picture::Compile(picture);
  owner->Notify(control);
  return picture.empty() || c->picture != nullptr;
}

void Window::SetEnabled(int32_t control, bool enabled) {
  Change(control, [&](Control* c) { c->enabled = enabled; });
}

void Window::SetHidden(int32_t control, bool hidden) {
  Change(control, [&](Control* c) { c->hidden = hidden; });
}

void Window::SetReadOnly(int32_t control, bool readOnly) {
  Change(control, [&](Control* c) { c->readOnly = readOnly; });
}

void Window::SetTransparent(int32_t control, bool transparent) {
  Change(control, [&](Control* c) { c->transparent = transparent; });
}

void Window::SetControlFont(int32_t control, const Font& font) {
  Change(control, [&](Control* c) { c->font = font; });
}

void Window::SetColours(int32_t control, int32_t colour, int32_t backColour, int32_t selectedColour,
                        int32_t selectedBackColour) {
  Change(control, [&](Control* c) {
    c->colour = colour;
    c->backColour = backColour;
    c->selectedColour = selectedColour;
    c->selectedBackColour = selectedBackColour;
  });
}

void Window::SetFillColour(int32_t control, int32_t fillColour) {
  Change(control, [&](Control* c) { c->fillColour = fillColour; });
}

void Window::SetLineWidth(int32_t control, int32_t width) {
  Change(control, [&](Control* c) { c->lineWidth = std::max(0, width); });
}

void Window::SetIcon(int32_t control, std::string_view icon) {
  Change(control, [&](Control* c) { c->icon = icon; });
}

void Window::SetTip(int32_t control, std::string_view tip) {
  Change(control, [&](Control* c) { c->tip = tip; });
}

bool Window::SetListFormat(int32_t control, std::string_view format) {
  Window* owner = nullptr;
  Control* c = Resolve(control, &owner);
  if (c == nullptr) return false;
  c->formatText = format;
  bool good = ListFormat::Parse(format, &c->format);
  c->columnPictures.clear();
  for (const ListColumn& column : c->format.columns()) {
    c->columnPictures.push_back(column.picture.empty() ? nullptr
                                                       : Picture::Compile(column.picture));
  }
  owner->Notify(control);
  return good;
}

void Window::SetListSource(int32_t control, ListSource* source) {
  Change(control, [&](Control* c) { c->source = source; });
}

void Window::SetRows(int32_t control, std::vector<std::vector<std::string>> rows) {
  Change(control, [&](Control* c) {
    c->rows = std::move(rows);
    c->selection = std::min(c->selection, static_cast<int32_t>(c->rows.size()));
  });
}

void Window::SetSelection(int32_t control, int32_t selection) {
  Change(control, [&](Control* c) {
    c->selection = std::max(0, selection);
    // Rows from a source arrive at the next display, which clamps then.
    bool rowsKnown =
        c->source == nullptr && (c->type == ControlList || c->type == ControlCombo ||
                                 c->type == ControlDropList || c->type == ControlDropCombo);
    if (rowsKnown) c->selection = std::min(c->selection, static_cast<int32_t>(c->rows.size()));
  });
}

int32_t Window::GetSelection(int32_t control) const {
  const Control* c = Find(control);
  return c == nullptr ? 0 : c->selection;
}

int32_t Window::VisibleRows(int32_t control) const {
  const Control* c = Find(control);
  if (c == nullptr) return 0;
  if (c->visibleRows > 0) return c->visibleRows;
  // Before a presenter has measured the list: a row as high as a line of
  // the window's font, less a header line when the columns have headers.
  int32_t line = 10;
  switch (unit_) {
    case UnitThousandths:
      line = 170;
      break;
    case UnitMillimetres:
      line = 4;
      break;
    case UnitPoints:
      line = 12;
      break;
    case UnitPixels:
      line = 16;
      break;
    default:
      break;
  }
  bool headers = std::any_of(c->format.columns().begin(), c->format.columns().end(),
                             [](const ListColumn& col) { return !col.header.empty(); });
  return std::max(1, c->height / line - (headers ? 1 : 0));
}

void Window::SetVisibleRows(int32_t control, int32_t rows) {
  Change(control, [&](Control* c) { c->visibleRows = std::max(0, rows); });
}

void Window::SetThumb(int32_t control, int32_t position, bool shown) {
  Change(control, [&](Control* c) {
    c->thumb = std::clamp(position, 0, 100);
    c->thumbShown = shown;
  });
}

void Window::SetPageImage(int32_t control, std::string_view pageFile, int32_t pageWidth,
                          int32_t centreX, int32_t centreY, int64_t pageOffset) {
  Change(control, [&](Control* c) {
    c->pageFile = pageFile;
    c->pageOffset = pageOffset;
    c->pageWidth = std::max(0, pageWidth);
    c->centreX = std::clamp(centreX, 0, 100);
    c->centreY = std::clamp(centreY, 0, 100);
  });
}

void Window::SetPageMarks(int32_t control, std::vector<PageMark> marks) {
  Change(control, [&](Control* c) { c->pageMarks = std::move(marks); });
}

void Window::SetSpinRange(int32_t control, int32_t low, int32_t high, int32_t step) {
  Change(control, [&](Control* c) {
    c->rangeLow = std::min(low, high);
    c->rangeHigh = std::max(low, high);
    c->step = std::max(1, step);
  });
}

void Window::SetProgress(int32_t control, int32_t value) {
  Change(control,
         [&](Control* c) { c->progress = std::max(c->rangeLow, std::min(value, c->rangeHigh)); });
}

void Window::SetDefaultButton(int32_t control) {
  for (auto& c : controls_) {
    if (c->isDefault && c->number != control) {
      c->isDefault = false;
      Notify(c->number);
    }
  }
  Change(control, [&](Control* c) { c->isDefault = true; });
}

void Window::SetCheckValues(int32_t control, std::string_view trueValue,
                            std::string_view falseValue) {
  Change(control, [&](Control* c) {
    c->trueValue = trueValue;
    c->falseValue = falseValue;
  });
}

void Window::SetRadioValue(int32_t control, std::string_view value) {
  Change(control, [&](Control* c) { c->radioValue = value; });
}

void Window::SetImmediate(int32_t control, bool immediate) {
  Change(control, [&](Control* c) { c->immediate = immediate; });
}

void Window::SetVScroll(int32_t control, bool vscroll) {
  Change(control, [&](Control* c) { c->vscroll = vscroll; });
}

void Window::SetTrackMouse(int32_t control, bool track) {
  if (control == 0) {
    trackMouse_ = track;
    return;
  }
  Change(control, [&](Control* c) { c->trackMouse = track; });
}

void Window::SetOnToolbar(int32_t control, bool onToolbar) {
  Change(control, [&](Control* c) { c->onToolbar = onToolbar; });
}

void Window::SetDragId(int32_t control, std::string_view id) {
  Change(control, [&](Control* c) { c->dragId = id; });
}

void Window::SetDropId(int32_t control, std::string_view id) {
  Change(control, [&](Control* c) { c->dropId = id; });
}

void Window::SetDragText(int32_t control, std::string_view text) {
  Change(control, [&](Control* c) { c->dragText = text; });
}

void Window::AddAlert(int32_t keyCode) {
  if (std::find(alerts_.begin(), alerts_.end(), keyCode) == alerts_.end()) {
    alerts_.push_back(keyCode);
  }
}

void Window::RemoveAlert(int32_t keyCode) { std::erase(alerts_, keyCode); }

void Window::AddAlert(int32_t control, int32_t keyCode, int32_t slot) {
  Control* c = Find(control);
  if (c == nullptr) return;
  // A slot holds one key: registering a slot again replaces its key.
  if (slot != 0) {
    std::erase_if(c->alerts, [slot](const AlertKey& a) { return a.slot == slot; });
  }
  c->alerts.push_back({keyCode, slot});
}

void Window::ClearAlerts(int32_t control) {
  if (Control* c = Find(control)) c->alerts.clear();
}

bool Window::IsAlert(int32_t control, int32_t keyCode) const {
  if (std::find(alerts_.begin(), alerts_.end(), keyCode) != alerts_.end()) return true;
  const Control* c = control != 0 ? Find(control) : nullptr;
  if (c == nullptr) return false;
  return std::any_of(c->alerts.begin(), c->alerts.end(),
                     [keyCode](const AlertKey& a) { return a.keyCode == keyCode; });
}

}  // namespace ledora::runtime
