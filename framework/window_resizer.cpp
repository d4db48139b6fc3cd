#include "framework/window_resizer.h"

#include <algorithm>
#include <cmath>

namespace ledora::framework {

namespace {

constexpr int kPriorityPerLevel = 100000;

bool KeepsNoRectangle(int32_t type) {
  return type < 1 || type > 127 || type == runtime::ControlMenu ||
         type == runtime::ControlMenuItem || type == runtime::ControlTab;
}

bool Inside(const WindowResizer::Geometry& inner, const WindowResizer::Geometry& outer) {
  return inner.XPOS >= outer.XPOS && inner.YPOS >= outer.YPOS &&
         inner.XPOS + inner.WIDTH <= outer.XPOS + outer.WIDTH &&
         inner.YPOS + inner.HEIGHT <= outer.YPOS + outer.HEIGHT;
}

int64_t Area(const WindowResizer::Geometry& g) {
  return static_cast<int64_t>(g.WIDTH) * static_cast<int64_t>(g.HEIGHT);
}

// The ratio of two sizes, kept to four decimals.
double Ratio(int32_t now, int32_t was) {
  if (was <= 0) return 1.0;
  return std::round(static_cast<double>(now) * 10000.0 / was) / 10000.0;
}

int32_t Whole(double value) { return static_cast<int32_t>(std::trunc(value)); }

// One axis of the positional rule: origin and size of the parent before (o,
// os) and after (n, ns), the control's offset d and size s.
int32_t Place(int rule, int32_t absolute, int32_t o, int32_t os, int32_t n, int32_t ns, int32_t d,
              double scale, double ratio) {
  switch (rule) {
    case 1:
      return absolute;
    case 2:
      return Whole(n + ns - (os - d) * scale);
    case 3:
      return n + d;
    case 4:
      return Whole(n + ns / 2.0 - (os / 2.0 - d) * scale);
    default:
      // Only the offset inside the parent scales: the parent's own move is
      // already in n.
      return Whole(n + d * ratio);
  }
}

}  // namespace

void WindowResizer::Setup(runtime::Window* window, uint8_t appStrategy, bool setMinimum,
                          bool setMaximum) {
  window_ = window;
  CONTROLQUEUE = std::make_unique<std::vector<ControlEntry>>();
  RESIZELIST = std::make_unique<std::vector<MoveEntry>>();
  APPSTRATEGY = appStrategy;
  RESIZECALLED = 0;
  if (window_ == nullptr) return;
  Restart();
  if (APPSTRATEGY == AppStrategySpread) BuildParentage();
  if (setMinimum) window_->SetMinimumSize(ORIGWIN.WIDTH, ORIGWIN.HEIGHT);
  if (setMaximum) window_->SetMaximumSize(ORIGWIN.WIDTH, ORIGWIN.HEIGHT);
  DEFERMOVES = 1;
}

void WindowResizer::Shutdown() {
  CONTROLQUEUE.reset();
  RESIZELIST.reset();
  window_ = nullptr;
}

WindowResizer::ControlEntry* WindowResizer::FindEntry(int32_t control) {
  if (!CONTROLQUEUE) return nullptr;
  for (ControlEntry& entry : *CONTROLQUEUE) {
    if (entry.ID == control) return &entry;
  }
  return nullptr;
}

const WindowResizer::ControlEntry* WindowResizer::Entry(int32_t control) const {
  return const_cast<WindowResizer*>(this)->FindEntry(control);
}

void WindowResizer::SetStrategy(int32_t control, uint16_t positional, uint16_t resize) {
  if (ControlEntry* entry = FindEntry(control)) {
    entry->POSITIONALSTRATEGY = positional;
    entry->RESIZESTRATEGY = resize;
  }
}

int32_t WindowResizer::ParentOf(int32_t control) {
  const ControlEntry* entry = FindEntry(control);
  return entry != nullptr ? entry->PARENTID : 0;
}

void WindowResizer::Restart() {
  if (window_ == nullptr || !CONTROLQUEUE) return;
  runtime::Rect g = window_->geometry();
  ORIGWIN = {g.x,
             g.y,
             g.width,
             g.height,
             static_cast<uint8_t>(window_->IsMaximised()),
             static_cast<uint8_t>(window_->IsMinimised())};
  PREVIOUSWIN = {g.x, g.y, g.width, g.height};
  for (const auto& c : window_->controls()) {
    ControlEntry* entry = FindEntry(c->number);
    if (entry == nullptr) {
      CONTROLQUEUE->push_back({});
      entry = &CONTROLQUEUE->back();
      entry->ID = c->number;
    }
    entry->TYPE = c->type;
    entry->sized = !KeepsNoRectangle(c->type);
    if (!entry->sized) continue;
    entry->POS = {c->x, c->y, c->width, c->height};
    DefaultStrategies(*entry);
  }
}

void WindowResizer::DefaultStrategies(ControlEntry& entry) const {
  uint16_t resize = 0;
  uint16_t positional = 0;
  switch (entry.TYPE) {
    case runtime::ControlButton:
      resize = LockWidth | LockHeight;
      positional = FixNearestX | FixNearestY;
      break;
    case runtime::ControlCheck:
    case runtime::ControlRadio:
      resize = LockWidth | LockHeight;
      break;
    case runtime::ControlPrompt:
      if (APPSTRATEGY != AppStrategySpread) break;
      [[fallthrough]];
    case runtime::ControlEntry:
    case runtime::ControlCombo:
    case runtime::ControlSpin:
    case runtime::ControlDropCombo:
      resize = LockHeight;
      if (APPSTRATEGY == AppStrategySpread) positional = FixTop;
      break;
    case runtime::ControlImage:
    case runtime::ControlRegion:
    case runtime::ControlOption:
    case runtime::ControlGroup:
    case runtime::ControlList:
    case runtime::ControlSheet:
    case runtime::ControlPanel:
      if (APPSTRATEGY != AppStrategySpread) break;
      resize = ConstantRight | ConstantBottom;
      positional = FixLeft | FixTop;
      break;
    default:
      break;
  }
  entry.RESIZESTRATEGY = resize;
  entry.POSITIONALSTRATEGY = positional;
}

void WindowResizer::BuildParentage() {
  if (window_ == nullptr || !CONTROLQUEUE) return;
  for (ControlEntry& entry : *CONTROLQUEUE) {
    const runtime::Control* c = window_->Find(entry.ID);
    if (c == nullptr) continue;
    const runtime::Control* holder = c->parent != 0 ? window_->Find(c->parent) : nullptr;
    int32_t parent = 0;
    if (holder != nullptr && (holder->type == runtime::ControlTab || !entry.sized)) {
      parent = holder->number;  // a tab page, or a sheet holding its tabs
    } else if (entry.sized) {
      const ControlEntry* best = nullptr;
      for (const ControlEntry& other : *CONTROLQUEUE) {
        if (&other == &entry || !other.sized || Area(other.POS) <= Area(entry.POS)) continue;
        if (!Inside(entry.POS, other.POS)) continue;
        if (best == nullptr || Area(other.POS) < Area(best->POS)) best = &other;
      }
      if (best != nullptr) parent = best->ID;
    }
    entry.PARENTID = parent;
  }
  for (ControlEntry& entry : *CONTROLQUEUE) {
    if (ControlEntry* parent = FindEntry(entry.PARENTID)) parent->HASCHILDREN = 1;
  }
}

WindowResizer::Geometry WindowResizer::ComputeRectangle(const ControlEntry& control,
                                                        const Geometry& from, const Geometry& to) {
  const Geometry& r = control.POS;
  const uint16_t rs = control.RESIZESTRATEGY;
  double xs = Ratio(to.WIDTH, from.WIDTH);
  double ys = Ratio(to.HEIGHT, from.HEIGHT);
  int32_t dx = r.XPOS - from.XPOS;
  int32_t dy = r.YPOS - from.YPOS;
  Geometry out = r;
  if (!(rs & ConstantRight)) out.WIDTH = (rs & LockWidth) ? r.WIDTH : Whole(r.WIDTH * xs);
  if (!(rs & ConstantBottom)) out.HEIGHT = (rs & LockHeight) ? r.HEIGHT : Whole(r.HEIGHT * ys);
  int horizontal = control.POSITIONALSTRATEGY & 0xFF;
  int vertical = control.POSITIONALSTRATEGY & 0xFF00;
  if (horizontal == FixNearestX) horizontal = dx < from.WIDTH - dx - r.WIDTH ? FixLeft : FixRight;
  if (vertical == FixNearestY) vertical = dy < from.HEIGHT - dy - r.HEIGHT ? FixTop : FixBottom;
  out.XPOS = Place(horizontal, r.XPOS, from.XPOS, from.WIDTH, to.XPOS, to.WIDTH, dx,
                   (rs & LockWidth) ? 1.0 : xs, xs);
  out.YPOS = Place(vertical >> 8, r.YPOS, from.YPOS, from.HEIGHT, to.YPOS, to.HEIGHT, dy,
                   (rs & LockHeight) ? 1.0 : ys, ys);
  if (rs & ConstantRight) out.WIDTH = to.XPOS + to.WIDTH - (from.WIDTH - dx - r.WIDTH) - out.XPOS;
  if (rs & ConstantBottom) {
    out.HEIGHT = to.YPOS + to.HEIGHT - (from.HEIGHT - dy - r.HEIGHT) - out.YPOS;
  }
  out.WIDTH = std::max(0, out.WIDTH);
  out.HEIGHT = std::max(0, out.HEIGHT);
  return out;
}

void WindowResizer::OnSized() {
  if (!active()) return;
  RESIZELIST->clear();
  runtime::Rect g = window_->geometry();
  // The window engine leaves the limits to whoever sizes the window.
  runtime::Rect least = window_->minimumSize();
  runtime::Rect most = window_->maximumSize();
  if (g.width < least.width || g.height < least.height ||
      (most.width > 0 && g.width > most.width) || (most.height > 0 && g.height > most.height)) {
    window_->SetSize(g.width, g.height);
    g = window_->geometry();
  }
  if (window_->IsMinimised() || (g.width == PREVIOUSWIN.WIDTH && g.height == PREVIOUSWIN.HEIGHT)) {
    return;
  }
  if (!RESIZECALLED && AUTOTRANSPARENT) MakeTransparent();
  if (g.width == ORIGWIN.WIDTH && g.height == ORIGWIN.HEIGHT) {
    PutBackAll();
  } else {
    bool grew = static_cast<int64_t>(g.width / 2) * (g.height / 2) >
                static_cast<int64_t>(PREVIOUSWIN.WIDTH / 2) * (PREVIOUSWIN.HEIGHT / 2);
    ComputeAll({0, 0, g.width, g.height});
    ApplyMoves(grew);
  }
  PREVIOUSWIN = {g.x, g.y, g.width, g.height};
  RESIZECALLED = 1;
}

void WindowResizer::MakeTransparent() {
  for (const auto& c : window_->controls()) {
    bool text = c->type == runtime::ControlPrompt || c->type == runtime::ControlString ||
                c->type == runtime::ControlUserString;
    if (text && !c->transparent) window_->SetTransparent(c->number, true);
  }
}

void WindowResizer::ComputeAll(const Geometry& newWindow) {
  std::vector<Geometry> computed(CONTROLQUEUE->size());
  std::vector<uint8_t> state(CONTROLQUEUE->size(), 0);
  for (ControlEntry& entry : *CONTROLQUEUE) {
    if (entry.sized && window_->Find(entry.ID) != nullptr) {
      NewRectangle(entry, newWindow, computed, state, 0);
    }
  }
}

// Computes the entry's new rectangle after its parent's, remembering each so
// a parent is computed once; a cycle of parents falls back to the window.
WindowResizer::Geometry WindowResizer::NewRectangle(ControlEntry& entry, const Geometry& newWindow,
                                                    std::vector<Geometry>& computed,
                                                    std::vector<uint8_t>& state, int depth) {
  size_t index = static_cast<size_t>(&entry - CONTROLQUEUE->data());
  if (state[index] == 2) return computed[index];
  state[index] = 1;
  Geometry from = {0, 0, ORIGWIN.WIDTH, ORIGWIN.HEIGHT};
  Geometry to = newWindow;
  // The nearest ancestor with a rectangle of its own is the one that moves.
  ControlEntry* parent = FindEntry(ParentOf(entry.ID));
  int level = 0;
  while (parent != nullptr && !parent->sized && level++ < 64) {
    parent = FindEntry(ParentOf(parent->ID));
  }
  size_t parentIndex = parent != nullptr ? static_cast<size_t>(parent - CONTROLQUEUE->data()) : 0;
  int priority = 0;
  if (parent != nullptr && parent != &entry && state[parentIndex] != 1 && depth < 64) {
    from = parent->POS;
    to = NewRectangle(*parent, newWindow, computed, state, depth + 1);
    priority = (depth + 1) * kPriorityPerLevel;
  }
  Geometry now = ComputeRectangle(entry, from, to);
  computed[index] = now;
  state[index] = 2;
  runtime::Rect before = window_->GetRect(entry.ID);
  RESIZELIST->push_back({priority + static_cast<int32_t>(index),
                         entry.ID,
                         entry.TYPE,
                         {before.x, before.y, before.width, before.height},
                         now});
  return now;
}

void WindowResizer::ApplyMoves(bool grew) {
  std::stable_sort(RESIZELIST->begin(), RESIZELIST->end(),
                   [grew](const MoveEntry& a, const MoveEntry& b) {
                     return grew ? a.PRIORITY < b.PRIORITY : a.PRIORITY > b.PRIORITY;
                   });
  for (const MoveEntry& move : *RESIZELIST) {
    if (move.BEFORE == move.AFTER) continue;
    const Geometry& g = move.AFTER;
    window_->SetRect(move.CONTROLID, {g.XPOS, g.YPOS, g.WIDTH, g.HEIGHT});
  }
}

void WindowResizer::PutBackAll() {
  for (const ControlEntry& entry : *CONTROLQUEUE) {
    if (!entry.sized || window_->Find(entry.ID) == nullptr) continue;
    runtime::Rect now = window_->GetRect(entry.ID);
    const Geometry& g = entry.POS;
    runtime::Rect first{g.XPOS, g.YPOS, g.WIDTH, g.HEIGHT};
    if (!(now == first)) window_->SetRect(entry.ID, first);
  }
}

void WindowResizer::RestoreOriginalSize() {
  if (!active()) return;
  window_->SetMinimised(ORIGWIN.ICONIZED != 0);
  window_->SetMaximised(ORIGWIN.MAXIMIZED != 0);
  window_->SetSize(ORIGWIN.WIDTH, ORIGWIN.HEIGHT);
  PutBackAll();
  PREVIOUSWIN = {ORIGWIN.XPOS, ORIGWIN.YPOS, ORIGWIN.WIDTH, ORIGWIN.HEIGHT};
}

}  // namespace ledora::framework
