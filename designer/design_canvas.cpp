#include "designer/design_canvas.h"

#include <algorithm>
#include <climits>

#include "designer/designer_messages.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/event.h"

namespace ledora::designer {

using layout::BandEntry;
using layout::ControlEntry;
using layout::ControlGeometry;
using layout::SelectionTag;

namespace {

constexpr int16_t kMoveBit = 16;
constexpr int16_t kStartedBit = 64;
constexpr int32_t kPaperNumber = 100;  // the first geometry of every design
constexpr int32_t kTagColour = 0xFF0000;

int64_t Area(const ControlGeometry& g) {
  int64_t area = static_cast<int64_t>(g.WINWIDTH) * g.WINHEIGHT;
  return area == 0 ? 1 : area;
}

int32_t NotBelowZero(int32_t value) { return value < 0 ? 0 : value; }

// The drawn size of an item whose stored size may be a default (-1).
int32_t Shown(int32_t stored, int32_t drawn) { return stored < 0 ? drawn : stored; }

}  // namespace

bool Contains(const ControlGeometry& g, int32_t x, int32_t y) {
  return x >= g.WINXPOS && y >= g.WINYPOS && x <= g.WINXPOS + g.WINWIDTH &&
         y <= g.WINYPOS + g.WINHEIGHT;
}

DesignCanvas::DesignCanvas(layout::DesignState& state, CanvasHooks hooks, int32_t originX,
                           int32_t originY)
    : state_(state), hooks_(std::move(hooks)), originX_(originX), originY_(originY) {
  Arrange();
}

int32_t DesignCanvas::Gap() const {
  return state_.PAPERSCALE == 'M' ? layout::ConvertUnit(200, 'M') : 200;
}
int32_t DesignCanvas::DefaultWidth() const {
  return state_.PAPERSCALE == 'M' ? layout::ConvertUnit(1000, 'M') : 1000;
}
int32_t DesignCanvas::DefaultHeight() const {
  return state_.PAPERSCALE == 'M' ? layout::ConvertUnit(200, 'M') : 200;
}
int32_t DesignCanvas::HandleSize() const { return state_.PAPERSCALE == 'M' ? 2 : 60; }

bool DesignCanvas::Shows(const BandEntry& band) const {
  bool form = band.BANDTYPE == layout::BandPageForm;
  return state_.CURRENTVIEW == 'F' ? form : !form;
}

void DesignCanvas::Arrange() {
  ControlGeometry& paper = *state_.PAPERCTRL;
  paper.WINXPOS = originX_ + paper.XPOS;
  paper.WINYPOS = originY_ + paper.YPOS;
  paper.WINWIDTH = paper.WIDTH;
  paper.WINHEIGHT = paper.HEIGHT;
  ControlGeometry& area = *state_.DETAILAREA;
  area.WINXPOS = originX_ + area.XPOS;
  area.WINYPOS = originY_ + area.YPOS;
  area.WINWIDTH = area.WIDTH;
  area.WINHEIGHT = area.HEIGHT;
  ArrangeBands();
  PlaceHandles(*state_.SELECTEDTAG);
  for (auto& tag : state_.TAGGEDCTRLS) PlaceHandles(*tag);
}

// Band view stacks the shown bands down the canvas as they print: header,
// details, footer; an absolute band keeps its own place unless that would
// overlap the one above.
void DesignCanvas::ArrangeBands() {
  const ControlGeometry& area = *state_.DETAILAREA;
  std::vector<BandEntry*> order;
  for (auto& band : state_.BANDS) {
    if (band->BANDTYPE != layout::BandPageFooter) order.push_back(band.get());
  }
  for (auto& band : state_.BANDS) {
    if (band->BANDTYPE == layout::BandPageFooter) order.push_back(band.get());
  }
  int32_t cursor = 0;
  for (BandEntry* band : order) {
    ControlGeometry& g = *band->CTRL;
    g.WINWIDTH = Shown(g.WIDTH, area.WIDTH);
    g.WINHEIGHT = Shown(g.HEIGHT, DefaultHeight());
    bool absolute = band->ABSOLUTE != 0 || band->BANDTYPE != layout::BandDetail;
    int32_t x = absolute ? g.XPOS : area.XPOS + g.XPOS;
    int32_t y = absolute ? g.YPOS : area.YPOS + g.YPOS;
    if (!band->PRESENT || !Shows(*band)) {
      g.WINXPOS = originX_ + x;
      g.WINYPOS = originY_ + y;
      continue;
    }
    if (state_.CURRENTVIEW == 'B') y = std::max(y, cursor);
    g.WINXPOS = originX_ + x;
    g.WINYPOS = originY_ + y;
    cursor = y + g.WINHEIGHT + Gap();
    PlaceControls(*band);
  }
}

void DesignCanvas::PlaceControls(BandEntry& band) {
  const ControlGeometry& frame = *band.CTRL;
  for (auto& control : band.BANDCONTROLS) {
    ControlGeometry& g = *control->CTRL;
    g.WINXPOS = frame.WINXPOS + g.XPOS;
    g.WINYPOS = frame.WINYPOS + g.YPOS;
    g.WINWIDTH = Shown(g.WIDTH, DefaultWidth());
    g.WINHEIGHT = Shown(g.HEIGHT, DefaultHeight());
  }
}

void DesignCanvas::PlaceHandles(SelectionTag& tag) {
  if (tag.CTRL == nullptr) return;
  const ControlGeometry& g = *tag.CTRL;
  int32_t s = HandleSize();
  int32_t left = g.WINXPOS - s / 2;
  int32_t top = g.WINYPOS - s / 2;
  int32_t right = g.WINXPOS + g.WINWIDTH - s / 2;
  int32_t bottom = g.WINYPOS + g.WINHEIGHT - s / 2;
  int32_t midX = g.WINXPOS + g.WINWIDTH / 2 - s / 2;
  int32_t midY = g.WINYPOS + g.WINHEIGHT / 2 - s / 2;
  auto put = [s](ControlGeometry& h, int32_t x, int32_t y) {
    h.WINXPOS = x;
    h.WINYPOS = y;
    h.WINWIDTH = s;
    h.WINHEIGHT = s;
  };
  put(tag.REGIONNW, left, top);
  put(tag.REGIONNE, right, top);
  put(tag.REGIONSW, left, bottom);
  put(tag.REGIONSE, right, bottom);
  put(tag.REGIONN, midX, top);
  put(tag.REGIONS, midX, bottom);
  put(tag.REGIONE, right, midY);
  put(tag.REGIONW, left, midY);
  tag.BOXCTRL.WINXPOS = g.WINXPOS;
  tag.BOXCTRL.WINYPOS = g.WINYPOS;
  tag.BOXCTRL.WINWIDTH = g.WINWIDTH;
  tag.BOXCTRL.WINHEIGHT = g.WINHEIGHT;
  tag.BOXCTRL.borderColour = &tag == state_.SELECTEDTAG.get() ? 0 : kTagColour;
}

int DesignCanvas::BandOf(const ControlGeometry* control) const {
  for (size_t i = 0; i < state_.BANDS.size(); ++i) {
    for (const auto& c : state_.BANDS[i]->BANDCONTROLS) {
      if (c->CTRL.get() == control) return static_cast<int>(i + 1);
    }
  }
  return 0;
}

ControlEntry* DesignCanvas::FindControl(int32_t number, int* band) const {
  for (size_t i = 0; i < state_.BANDS.size(); ++i) {
    for (const auto& c : state_.BANDS[i]->BANDCONTROLS) {
      if (c->CTRL->CTRLNO == number) {
        if (band != nullptr) *band = static_cast<int>(i + 1);
        return c.get();
      }
    }
  }
  return nullptr;
}

ControlEntry* DesignCanvas::SelectedControl() const {
  if (state_.SELECTEDCTRL != layout::SelectedControl) return nullptr;
  return FindControl(state_.CURRENTCONTROL, nullptr);
}

CanvasHit DesignCanvas::HitTest(int32_t x, int32_t y) const {
  CanvasHit hit;
  auto asControl = [&](ControlEntry* control) {
    hit.what = layout::SelectedControl;
    hit.control = control;
    hit.band = BandOf(control->CTRL.get());
    return hit;
  };
  if (ControlEntry* selected = SelectedControl(); selected && Contains(*selected->CTRL, x, y)) {
    return asControl(selected);
  }
  for (const auto& tag : state_.TAGGEDCTRLS) {
    if (tag->CTRL == nullptr || !Contains(*tag->CTRL, x, y)) continue;
    int band = 0;
    if (ControlEntry* c = FindControl(tag->CTRL->CTRLNO, &band)) return asControl(c);
  }
  int64_t best = INT64_MAX;
  for (size_t i = 0; i < state_.BANDS.size(); ++i) {
    const BandEntry& band = *state_.BANDS[i];
    if (!band.PRESENT || !Shows(band) || !Contains(*band.CTRL, x, y)) continue;
    if (Area(*band.CTRL) < best) {
      best = Area(*band.CTRL);
      hit.what = layout::SelectedBand;
      hit.band = static_cast<int>(i + 1);
    }
  }
  if (hit.what == layout::SelectedBand) {
    int64_t smallest = INT64_MAX;
    for (const auto& c : state_.BANDS[hit.band - 1]->BANDCONTROLS) {
      if (Contains(*c->CTRL, x, y) && Area(*c->CTRL) < smallest) {
        smallest = Area(*c->CTRL);
        hit.control = c.get();
      }
    }
    if (hit.control != nullptr) hit.what = layout::SelectedControl;
    return hit;
  }
  if (state_.CURRENTVIEW == 'B' && Contains(*state_.DETAILAREA, x, y)) {
    hit.what = layout::SelectedDetailArea;
  } else if (Contains(*state_.PAPERCTRL, x, y)) {
    hit.what = layout::SelectedPaper;
  }
  return hit;
}

void DesignCanvas::Select(const CanvasHit& hit) {
  ClearTags();
  state_.SELECTEDCTRL = hit.what == 0 ? uint8_t{layout::SelectedPaper} : hit.what;
  state_.CURRENTCONTROL = 0;
  switch (state_.SELECTEDCTRL) {
    case layout::SelectedDetailArea:
      state_.SELECTEDTAG->CTRL = state_.DETAILAREA.get();
      break;
    case layout::SelectedBand:
      state_.CURRENTBAND = hit.band;
      state_.SELECTEDTAG->CTRL = state_.BANDS[hit.band - 1]->CTRL.get();
      break;
    case layout::SelectedControl:
      state_.CURRENTBAND = hit.band;
      state_.CURRENTCONTROL = hit.control->CTRL->CTRLNO;
      state_.SELECTEDTAG->CTRL = hit.control->CTRL.get();
      break;
    default:
      state_.SelectPaper();
      break;
  }
  Arrange();
  if (hooks_.selectionChanged) hooks_.selectionChanged();
}

bool DesignCanvas::IsTagged(const ControlGeometry* geometry) const {
  return std::any_of(state_.TAGGEDCTRLS.begin(), state_.TAGGEDCTRLS.end(),
                     [&](const auto& tag) { return tag->CTRL == geometry; });
}

void DesignCanvas::Untag(const ControlGeometry* geometry) {
  auto& tags = state_.TAGGEDCTRLS;
  tags.erase(std::remove_if(tags.begin(), tags.end(),
                            [&](const auto& tag) { return tag->CTRL == geometry; }),
             tags.end());
}

void DesignCanvas::ClearTags() { state_.TAGGEDCTRLS.clear(); }

// ---- Mouse

void DesignCanvas::MouseDown(int32_t x, int32_t y, int32_t keyCode) {
  int32_t button = keyCode & 0xFF;
  if (button == runtime::KeyMouseLeftDouble) return DoubleClick(x, y);
  if (button != runtime::KeyMouseLeft) return;
  if (state_.ISINSERTING) {
    state_.ISINSERTING = 0;
    Status("");
    CanvasHit hit = HitTest(x, y);
    if (hit.band == 0) return;
    Select(CanvasHit{layout::SelectedBand, hit.band, nullptr});
    const ControlGeometry& frame = *state_.BANDS[hit.band - 1]->CTRL;
    auto control = std::make_unique<ControlEntry>();
    control->CTRL->Place(x - frame.WINXPOS, y - frame.WINYPOS, -1, -1);
    if (hooks_.newControl && hooks_.newControl(*control, hit.band)) {
      PlaceNew(std::move(control), hit.band);
    }
    return;
  }
  if (tool_ != ToolNone) return PlaceTool(x, y);
  CanvasHit hit = HitTest(x, y);
  if (keyCode & runtime::KeyCtrl) return CtrlClick(hit);
  pressed_ = true;
  if (StartDrag(x, y)) return;
  ControlGeometry* geometry = hit.what == layout::SelectedControl ? hit.control->CTRL.get()
                              : hit.what == layout::SelectedBand
                                  ? state_.BANDS[hit.band - 1]->CTRL.get()
                              : hit.what == layout::SelectedDetailArea ? state_.DETAILAREA.get()
                              : hit.what == layout::SelectedPaper      ? state_.PAPERCTRL.get()
                                                                       : nullptr;
  if (geometry == nullptr) return;
  if (geometry != SelectedGeometry() && !IsTagged(geometry)) Select(hit);
  if (geometry->CTRLNO > kPaperNumber) {
    state_.ISDRAGGING = kMoveBit;
    state_.DRAGSTARTX = state_.LASTMOUSEX = x;
    state_.DRAGSTARTY = state_.LASTMOUSEY = y;
  }
}

ControlGeometry* DesignCanvas::SelectedGeometry() const { return state_.SELECTEDTAG->CTRL; }

int16_t DesignCanvas::HandleAt(const SelectionTag& tag, int32_t x, int32_t y) const {
  const std::pair<const ControlGeometry*, int16_t> handles[] = {
      {&tag.REGIONNW, 9}, {&tag.REGIONNE, 5}, {&tag.REGIONSW, 10}, {&tag.REGIONSE, 6},
      {&tag.REGIONN, 1},  {&tag.REGIONS, 2},  {&tag.REGIONE, 4},   {&tag.REGIONW, 8},
  };
  for (const auto& [handle, bits] : handles) {
    if (Contains(*handle, x, y)) return bits;
  }
  return 0;
}

// A press on a handle of the selection or of a tag starts a resize.
bool DesignCanvas::StartDrag(int32_t x, int32_t y) {
  int16_t bits = 0;
  if (SelectedGeometry() != nullptr) bits = HandleAt(*state_.SELECTEDTAG, x, y);
  for (size_t i = 0; bits == 0 && i < state_.TAGGEDCTRLS.size(); ++i) {
    bits = HandleAt(*state_.TAGGEDCTRLS[i], x, y);
  }
  if (bits == 0) return false;
  state_.ISDRAGGING = bits;
  state_.DRAGSTARTX = state_.LASTMOUSEX = x;
  state_.DRAGSTARTY = state_.LASTMOUSEY = y;
  return true;
}

std::vector<ControlGeometry*> DesignCanvas::Involved() const {
  std::vector<ControlGeometry*> involved;
  if (SelectedGeometry() != nullptr) involved.push_back(SelectedGeometry());
  for (const auto& tag : state_.TAGGEDCTRLS) {
    if (tag->CTRL != nullptr && tag->CTRL != SelectedGeometry()) involved.push_back(tag->CTRL);
  }
  return involved;
}

void DesignCanvas::MouseMove(int32_t x, int32_t y) {
  if (!pressed_ || state_.ISDRAGGING == 0) return;
  if (!(state_.ISDRAGGING & kStartedBit)) {
    int64_t dx = x - state_.DRAGSTARTX;
    int64_t dy = y - state_.DRAGSTARTY;
    int64_t threshold = state_.PAPERSCALE == 'M' ? 2 : 1601;
    if (dx * dx + dy * dy < threshold) return;
    Edited();
    state_.ISDRAGGING |= kStartedBit;
    drag_.clear();
    for (ControlGeometry* g : Involved()) drag_.push_back({g, *g});
  }
  DragTo(x, y);
}

int32_t DesignCanvas::Snapped(int32_t value) const {
  if (!snap || state_.STEPSIZE <= 0) return value;
  int32_t step = state_.STEPSIZE;
  int32_t down = value >= 0 ? value / step * step : -((-value + step - 1) / step) * step;
  return value - down >= (step + 1) / 2 ? down + step : down;
}

// Every involved item takes its place at the start of the drag plus the
// pointer's whole movement, so a move stopped at 0 comes back with the
// pointer.
void DesignCanvas::DragTo(int32_t x, int32_t y) {
  int32_t dx = x - state_.DRAGSTARTX;
  int32_t dy = y - state_.DRAGSTARTY;
  int16_t bits = state_.ISDRAGGING;
  for (DragItem& item : drag_) {
    const ControlGeometry& s = item.start;
    ControlGeometry& g = *item.geometry;
    int16_t own = g.CTRLNO == kPaperNumber ? bits & (2 | 4) : bits;
    int32_t w = Shown(s.WIDTH, s.WINWIDTH);
    int32_t h = Shown(s.HEIGHT, s.WINHEIGHT);
    int32_t nx = s.XPOS;
    int32_t ny = s.YPOS;
    if (own & kMoveBit) {
      nx = NotBelowZero(Snapped(s.XPOS + dx));
      ny = NotBelowZero(Snapped(s.YPOS + dy));
    }
    if (own & 8) {
      nx = NotBelowZero(Snapped(s.XPOS + dx));
      w = NotBelowZero(w - (nx - s.XPOS));
    }
    if (own & 4) w = NotBelowZero(Snapped(s.XPOS + w + dx) - s.XPOS);
    if (own & 1) {
      ny = NotBelowZero(Snapped(s.YPOS + dy));
      h = NotBelowZero(h - (ny - s.YPOS));
    }
    if (own & 2) h = NotBelowZero(Snapped(s.YPOS + h + dy) - s.YPOS);
    g.XPOS = nx;
    g.YPOS = ny;
    if (own & (4 | 8)) g.WIDTH = w;
    if (own & (1 | 2)) g.HEIGHT = h;
  }
  state_.LASTMOUSEX = x;
  state_.LASTMOUSEY = y;
  Arrange();
}

void DesignCanvas::MouseUp(int32_t x, int32_t y) {
  bool started = (state_.ISDRAGGING & kStartedBit) != 0;
  if (started) DragTo(x, y);
  pressed_ = false;
  state_.ISDRAGGING = 0;
  drag_.clear();
  if (started) Changed();
}

void DesignCanvas::DoubleClick(int32_t x, int32_t y) {
  CanvasHit hit = HitTest(x, y);
  if (hit.what != 0) {
    ControlGeometry* g = hit.control != nullptr ? hit.control->CTRL.get() : nullptr;
    if (g == nullptr || (g != SelectedGeometry() && !IsTagged(g))) Select(hit);
  }
  Properties();
}

void DesignCanvas::CtrlClick(const CanvasHit& hit) {
  ControlEntry* selected = SelectedControl();
  if (selected == nullptr || hit.what != layout::SelectedControl) {
    if (hit.what != 0) Select(hit);
    return;
  }
  ControlGeometry* g = hit.control->CTRL.get();
  if (g != selected->CTRL.get()) {
    if (IsTagged(g)) {
      Untag(g);
    } else {
      auto tag = std::make_unique<SelectionTag>();
      tag->CTRL = g;
      state_.TAGGEDCTRLS.push_back(std::move(tag));
    }
  } else if (!state_.TAGGEDCTRLS.empty()) {
    // The last tagged control takes over the selection.
    ControlGeometry* last = state_.TAGGEDCTRLS.back()->CTRL;
    state_.TAGGEDCTRLS.pop_back();
    int band = 0;
    if (FindControl(last->CTRLNO, &band) != nullptr) {
      state_.CURRENTBAND = band;
      state_.CURRENTCONTROL = last->CTRLNO;
      state_.SELECTEDTAG->CTRL = last;
    }
  }
  Arrange();
  if (hooks_.selectionChanged) hooks_.selectionChanged();
}

// ---- Keys

bool DesignCanvas::Key(int32_t keyCode) {
  int32_t step = state_.STEPSIZE;
  bool ctrl = (keyCode & runtime::KeyCtrl) != 0;
  int32_t key = keyCode & ~(runtime::KeyCtrl | runtime::KeyShift);
  switch (key) {
    case runtime::KeyLeft:
      ctrl ? Nudge(0, 0, -step, 0) : Nudge(-step, 0, 0, 0);
      return true;
    case runtime::KeyRight:
      ctrl ? Nudge(0, 0, step, 0) : Nudge(step, 0, 0, 0);
      return true;
    case runtime::KeyUp:
      ctrl ? Nudge(0, 0, 0, -step) : Nudge(0, -step, 0, 0);
      return true;
    case runtime::KeyDown:
      ctrl ? Nudge(0, 0, 0, step) : Nudge(0, step, 0, 0);
      return true;
    case runtime::KeyDelete:
      if (state_.SELECTEDCTRL == layout::SelectedControl) {
        DeleteControl();
      } else if (state_.SELECTEDCTRL == layout::SelectedBand) {
        DeleteBand();
      }
      return true;
    case runtime::KeyTab:
      Tab((keyCode & runtime::KeyShift) == 0);
      return true;
    case runtime::KeyEnter:
      Properties();
      return true;
    case runtime::KeyEscape:
      Escape();
      return true;
    default:
      return false;
  }
}

void DesignCanvas::Nudge(int32_t dx, int32_t dy, int32_t dw, int32_t dh) {
  if (SelectedControl() == nullptr) return;
  Edited();
  for (ControlGeometry* g : Involved()) {
    g->XPOS = NotBelowZero(g->XPOS + dx);
    g->YPOS = NotBelowZero(g->YPOS + dy);
    if (dw != 0) g->WIDTH = NotBelowZero(Shown(g->WIDTH, g->WINWIDTH) + dw);
    if (dh != 0) g->HEIGHT = NotBelowZero(Shown(g->HEIGHT, g->WINHEIGHT) + dh);
  }
  Changed();
}

void DesignCanvas::Tab(bool forward) {
  std::vector<CanvasHit> order{{layout::SelectedPaper, 0, nullptr}};
  if (state_.CURRENTVIEW == 'B') order.push_back({layout::SelectedDetailArea, 0, nullptr});
  for (size_t i = 0; i < state_.BANDS.size(); ++i) {
    BandEntry& band = *state_.BANDS[i];
    if (!band.PRESENT || !Shows(band)) continue;
    int position = static_cast<int>(i + 1);
    order.push_back({layout::SelectedBand, position, nullptr});
    for (auto& c : band.BANDCONTROLS) order.push_back({layout::SelectedControl, position, c.get()});
  }
  size_t at = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const CanvasHit& h = order[i];
    bool same = h.what == state_.SELECTEDCTRL &&
                (h.what != layout::SelectedBand || h.band == state_.CURRENTBAND) &&
                (h.control == nullptr || h.control->CTRL->CTRLNO == state_.CURRENTCONTROL);
    if (same) at = i;
  }
  size_t n = order.size();
  Select(order[forward ? (at + 1) % n : (at + n - 1) % n]);
}

void DesignCanvas::Properties() {
  if (hooks_.properties) hooks_.properties(state_.SELECTEDCTRL);
}

void DesignCanvas::Escape() {
  if (state_.ISINSERTING) Status("");
  state_.ISINSERTING = 0;
  tool_ = ToolNone;
  if (state_.ISDRAGGING & kStartedBit) {
    for (DragItem& item : drag_) *item.geometry = item.start;
    if (hooks_.editCancelled) hooks_.editCancelled();
  }
  state_.ISDRAGGING = 0;
  pressed_ = false;
  drag_.clear();
  Arrange();
  if (state_.DESIGNERWINDOW != nullptr) state_.DESIGNERWINDOW->Redraw();
}

// ---- Align and size

void DesignCanvas::MoveTo(ControlGeometry& g, int32_t winX, int32_t winY) {
  int band = BandOf(&g);
  if (band == 0) return;
  const ControlGeometry& frame = *state_.BANDS[band - 1]->CTRL;
  g.XPOS = NotBelowZero(winX - frame.WINXPOS);
  g.YPOS = NotBelowZero(winY - frame.WINYPOS);
}

void DesignCanvas::Align(AlignKind kind) {
  ControlEntry* reference = SelectedControl();
  if (reference == nullptr || state_.TAGGEDCTRLS.empty()) return;
  Edited();
  const ControlGeometry& r = *reference->CTRL;
  for (auto& tag : state_.TAGGEDCTRLS) {
    ControlGeometry& g = *tag->CTRL;
    int32_t x = g.WINXPOS;
    int32_t y = g.WINYPOS;
    switch (kind) {
      case AlignTop:
        y = r.WINYPOS;
        break;
      case AlignBottom:
        y = r.WINYPOS + r.WINHEIGHT - g.WINHEIGHT;
        break;
      case AlignLeft:
        x = r.WINXPOS;
        break;
      case AlignRight:
        x = r.WINXPOS + r.WINWIDTH - g.WINWIDTH;
        break;
    }
    MoveTo(g, x, y);
  }
  Changed();
}

void DesignCanvas::Size(SizeKind kind) {
  ControlEntry* reference = SelectedControl();
  if (reference == nullptr || state_.TAGGEDCTRLS.empty()) return;
  Edited();
  const ControlGeometry& r = *reference->CTRL;
  for (auto& tag : state_.TAGGEDCTRLS) {
    if (kind != SameHeight) tag->CTRL->WIDTH = r.WINWIDTH;
    if (kind != SameWidth) tag->CTRL->HEIGHT = r.WINHEIGHT;
  }
  Changed();
}

// ---- Bands

std::vector<std::string> DesignCanvas::MissingBands() const {
  std::vector<std::string> names;
  for (const auto& band : state_.BANDS) {
    if (!band->PRESENT && Shows(*band)) names.push_back(band->BANDNAME);
  }
  return names;
}

void DesignCanvas::InsertBand() {
  std::vector<std::string> missing = MissingBands();
  if (missing.empty() || !hooks_.selectBand) return;
  std::string names;
  for (const std::string& name : missing) names += (names.empty() ? "" : "|") + name;
  std::string chosen = hooks_.selectBand(names.substr(0, 512));
  for (size_t i = 0; !chosen.empty() && i < state_.BANDS.size(); ++i) {
    BandEntry& band = *state_.BANDS[i];
    if (band.PRESENT || !Shows(band) || band.BANDNAME != chosen) continue;
    Edited();
    state_.AddBand(static_cast<int>(i + 1));
    // The type's own width may be wider than this layout's detail area; a
    // page form spans the paper and keeps its own.
    if (band.BANDTYPE != layout::BandPageForm) band.CTRL->WIDTH = state_.DETAILAREA->WIDTH;
    Select(CanvasHit{layout::SelectedBand, static_cast<int>(i + 1), nullptr});
    Changed();
    return;
  }
}

void DesignCanvas::DeleteBand() {
  BandEntry* band =
      state_.SELECTEDCTRL == layout::SelectedBand ? state_.Band(state_.CURRENTBAND) : nullptr;
  if (band == nullptr) return;
  Edited();
  if (state_.DESIGNERWINDOW != nullptr) {
    for (auto& c : band->BANDCONTROLS) state_.DESIGNERWINDOW->RemoveControl(c->CTRL->CTRLNO);
  }
  state_.RemoveBand(state_.CURRENTBAND);
  Select(CanvasHit{layout::SelectedPaper, 0, nullptr});
  Changed();
}

// ---- Controls

// Until the click that places it, the status line says where a click
// counts, so that nothing seems to happen in vain.
void DesignCanvas::StartInsertControl() {
  ClearTags();
  tool_ = ToolNone;
  std::string bands;
  for (const auto& band : state_.BANDS) {
    if (band->PRESENT && Shows(*band)) bands += (bands.empty() ? "" : ", ") + band->BANDNAME;
  }
  if (bands.empty()) {
    Status("A control goes on a band: insert a band first (Bands, Insert band)");
    return;
  }
  state_.ISINSERTING = 1;
  Arrange();
  Status(DesignerText("TextsPlaceNewControl") + ": click on the band it goes on (" + bands + ")");
}

void DesignCanvas::Status(const std::string& text) {
  if (hooks_.status) hooks_.status(text);
}

void DesignCanvas::PlaceNew(std::unique_ptr<ControlEntry> control, int band) {
  Edited();
  control->CTRL->CTRLNO = state_.NEXTCTRL++;
  control->CTRL->CTRLTYPE = layout::ShownAs(control->CONTROLTYPE);
  if (state_.DESIGNERWINDOW != nullptr) {
    state_.DESIGNERWINDOW->CreateControl(control->CTRL->CTRLNO, control->CTRL->CTRLTYPE);
  }
  ControlEntry* placed = control.get();
  state_.BANDS[band - 1]->BANDCONTROLS.push_back(std::move(control));
  Arrange();
  Select(CanvasHit{layout::SelectedControl, band, placed});
  Changed();
}

void DesignCanvas::DeleteControl() {
  ControlEntry* selected = SelectedControl();
  if (selected == nullptr) return;
  Edited();
  int band = BandOf(selected->CTRL.get());
  std::vector<int32_t> numbers;
  for (const auto& tag : state_.TAGGEDCTRLS) numbers.push_back(tag->CTRL->CTRLNO);
  numbers.push_back(selected->CTRL->CTRLNO);
  ClearTags();
  state_.SELECTEDTAG->CTRL = nullptr;
  for (int32_t number : numbers) {
    for (auto& b : state_.BANDS) {
      auto& list = b->BANDCONTROLS;
      list.erase(std::remove_if(list.begin(), list.end(),
                                [&](const auto& c) { return c->CTRL->CTRLNO == number; }),
                 list.end());
    }
    if (state_.DESIGNERWINDOW != nullptr) state_.DESIGNERWINDOW->RemoveControl(number);
  }
  Select(CanvasHit{layout::SelectedBand, band, nullptr});
  Changed();
}

bool DesignCanvas::AllowedOn(const BandEntry& band, uint8_t bits, std::string* key) const {
  switch (band.BANDTYPE) {
    case layout::BandPageForm:
      *key = "MsgCanNotPlaceControlOnForm";
      return bits & 1;
    case layout::BandPageHeader:
      *key = "MsgCanNotPlaceControlOnHeader";
      return bits & 2;
    case layout::BandPageFooter:
      *key = "MsgCanNotPlaceControlOnFooter";
      return bits & 4;
    default:
      *key = "MsgCanNotPlaceControlOnDetail";
      return bits & (8 | 16);
  }
}

void MakeFieldControl(const layout::DataFieldRecord& field, ControlEntry& control) {
  control.CONTROLTYPE = layout::KindField;
  control.USERFIELDNAME = std::string(runtime::ClippedField(field.USERFIELDNAME));
  control.FIELDNAME = std::string(runtime::ClippedField(field.FIELDNAME));
  control.JUSTIFICATION = 'L';
  control.RESIZABLE = field.RESIZABLE;
  control.PICTURE = std::string(runtime::ClippedField(field.PICTURE));
  // The report engine reads a comma in a picture as its own separator.
  if (size_t comma = control.PICTURE.find(','); comma != std::string::npos) {
    control.PICTURE[comma] = '`';
  }
  control.FONTNAME = "Arial";
  control.FONTSTYLE = 400;
  control.FONTSIZE = 10;
  control.FONTCOLOR = 0;
}

std::vector<std::string> UnknownFields(const layout::DesignState& state,
                                       const std::vector<std::string>& offered) {
  std::vector<std::string> unknown;
  for (const auto& band : state.BANDS) {
    if (!band->PRESENT) continue;
    for (const auto& c : band->BANDCONTROLS) {
      bool named = c->CONTROLTYPE == layout::KindField || c->CONTROLTYPE == layout::KindCheckBox ||
                   c->CONTROLTYPE == layout::KindTextField ||
                   (c->CONTROLTYPE == layout::KindImage && runtime::Clip(c->PICTURE).empty());
      std::string name(runtime::Clip(c->FIELDNAME));
      // The report engine fills in the page fields itself.
      if (!named || name.empty() || runtime::EqualNoCase(name, layout::kPageNumberFieldName) ||
          runtime::EqualNoCase(name, layout::kPageCountFieldName)) {
        continue;
      }
      bool found = std::any_of(offered.begin(), offered.end(),
                               [&](const std::string& o) { return runtime::EqualNoCase(o, name); });
      if (!found && std::find(unknown.begin(), unknown.end(), name) == unknown.end()) {
        unknown.push_back(name);
      }
    }
  }
  return unknown;
}

void DesignCanvas::DropField(const layout::DataFieldRecord& field, int32_t x, int32_t y) {
  CanvasHit hit = HitTest(x, y);
  if (hit.band == 0) return;
  BandEntry& band = *state_.BANDS[hit.band - 1];
  std::string key;
  if (!AllowedOn(band, field.BAND, &key)) {
    ShowDesignerMessage(key, key + "Caption");
    return;
  }
  if (!Contains(*band.CTRL, x, y)) return;
  auto control = std::make_unique<ControlEntry>();
  control->CTRL->Place(x - band.CTRL->WINXPOS, y - band.CTRL->WINYPOS, -1, -1);
  MakeFieldControl(field, *control);
  PlaceNew(std::move(control), hit.band);
}

void DesignCanvas::PlaceTool(int32_t x, int32_t y) {
  CanvasTool tool = tool_;
  CanvasHit hit = HitTest(x, y);
  if (tool == ToolNone || hit.band == 0) return;
  const ControlGeometry& frame = *state_.BANDS[hit.band - 1]->CTRL;
  auto control = std::make_unique<ControlEntry>();
  control->CTRL->Place(x - frame.WINXPOS, y - frame.WINYPOS, -1, -1);
  switch (tool) {
    case ToolBox:
      control->CONTROLTYPE = layout::KindBox;
      control->BOXCOLOR = 0xFF0000;
      control->BOXROUND = 0;
      break;
    case ToolLine:
      control->CONTROLTYPE = layout::KindLine;
      control->LINECOLOR = 0;
      break;
    case ToolImage:
      control->CONTROLTYPE = layout::KindImage;
      break;
    default:
      control->CONTROLTYPE = layout::KindString;
      control->TRANSPARENT = 1;
      control->JUSTIFICATION = 'L';
      for (int i = 0; i < 10; ++i) control->PICTURE += "Xx";
      control->FONTNAME = "Arial";
      control->FONTSTYLE = 400;
      control->FONTSIZE = 10;
      control->FONTCOLOR = 0;
      break;
  }
  tool_ = ToolNone;
  PlaceNew(std::move(control), hit.band);
  if (hooks_.toolPlaced) hooks_.toolPlaced();
}

void DesignCanvas::ApplyProperties(const std::string& fontName, int16_t style, int16_t size,
                                   int32_t colour, uint8_t justification, const std::string& text) {
  ControlEntry* control = SelectedControl();
  if (control == nullptr) return;
  Edited();
  control->FONTNAME = fontName.substr(0, 64);
  control->FONTSTYLE = style;
  control->FONTSIZE = size;
  control->FONTCOLOR = colour;
  if (justification >= 1 && justification <= 4) control->JUSTIFICATION = " LCRD"[justification];
  control->PICTURE = text.substr(0, 255);
  Changed();
}

void DesignCanvas::SetScale(char scale) {
  if (scale == state_.PAPERSCALE) return;
  Edited();
  state_.SwitchUnit(scale);
  Arrange();
  if (state_.DESIGNERWINDOW != nullptr) state_.DESIGNERWINDOW->Redraw();
}

void DesignCanvas::SetView(char view) {
  state_.CURRENTVIEW = view;
  ClearTags();
  state_.SelectPaper();
  Arrange();
  if (state_.DESIGNERWINDOW != nullptr) state_.DESIGNERWINDOW->Redraw();
  if (hooks_.selectionChanged) hooks_.selectionChanged();
}

void DesignCanvas::Edited() {
  if (hooks_.edited) hooks_.edited();
}

void DesignCanvas::Changed() {
  state_.DESIGNCHANGED = 1;
  Arrange();
  if (state_.DESIGNERWINDOW != nullptr) state_.DESIGNERWINDOW->Redraw();
}

}  // namespace ledora::designer
