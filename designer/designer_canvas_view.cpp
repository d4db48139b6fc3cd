// The designer window's canvas on screen: every shown paper, area, band and
// control of the design as a window control at its on-screen place, in the
// window's thousandths of an inch, with the handles of the selection and
// the blue outlines of the tags on top.
#include <algorithm>

#include "designer/design_page.h"
#include "designer/designer_window.h"
#include "designer/properties_box.h"
#include "runtime/values/fixed_string.h"

namespace ledora::designer {

namespace {

constexpr int32_t kHandleBase = 1900000000;
constexpr int32_t kPerTag = 9;  // eight handles and the outline
constexpr int32_t kBandFrameColour = 0x808080;
constexpr int32_t kRulerBase = 1800000000;
constexpr int32_t kRulerMarks = 2000;  // per ruler; far more than any paper needs
// Band names stand in strips right of the paper, where no control can be,
// so a name is never taken for a text of the layout.
constexpr int32_t kLabelBase = 1700000000;
constexpr int32_t kLabelGap = 80;
constexpr int32_t kLabelWidth = 1000;
constexpr int32_t kLabelMinimumHeight = 170;
constexpr int32_t kLabelColour = 0x404040;
constexpr int32_t kLabelBackColour = 0xE8E8E8;
constexpr int32_t kSelectedLabelColour = 0xFFFFFF;
constexpr int32_t kSelectedLabelBackColour = 0x994D1A;  // a dark blue
// A selected band's handles are blue, a control's black.
constexpr int32_t kBandHandleColour = 0xCC6600;

}  // namespace

void DesignerWindow::CreateControl(int32_t number, int16_t) {
  // Made when the canvas is shown, so that bands lie under their controls.
  RemoveControl(number);
}

void DesignerWindow::RemoveControl(int32_t number) {
  if (created_.erase(number) != 0) window_.DestroyControl(number);
}

void DesignerWindow::EnsureControl(int32_t number, runtime::ControlType type) {
  const runtime::Control* c = window_.Find(number);
  if (c != nullptr && created_.count(number) != 0 && c->type == type) return;
  RemoveControl(number);
  window_.CreateControl(number, type);
  created_.insert(number);
  // Handles stay on top: they are made again after any new item.
  for (int32_t i = 0; i < handleControls_; ++i) RemoveControl(kHandleBase + i);
  handleControls_ = 0;
}

runtime::Rect DesignerWindow::OnScreen(const layout::ControlGeometry& g) const {
  return {kCanvasLeft + ToWindow(g.WINXPOS), kCanvasTop + ToWindow(g.WINYPOS), ToWindow(g.WINWIDTH),
          ToWindow(g.WINHEIGHT)};
}

void DesignerWindow::SetRectIfMoved(int32_t number, const runtime::Rect& rect) {
  if (window_.GetRect(number) != rect) window_.SetRect(number, rect);
}

void DesignerWindow::ShowItem(const layout::ControlGeometry& g, int32_t type, bool hidden) {
  EnsureControl(g.CTRLNO, static_cast<runtime::ControlType>(type));
  const runtime::Control* c = window_.Find(g.CTRLNO);
  if (c->hidden != hidden) window_.SetHidden(g.CTRLNO, hidden);
  if (hidden) return;
  SetRectIfMoved(g.CTRLNO, OnScreen(g));
  if (c->colour != g.borderColour || c->fillColour != g.fillColour) {
    window_.SetColours(g.CTRLNO, g.borderColour, runtime::kNoColour);
    window_.SetFillColour(g.CTRLNO, g.fillColour);
  }
}

// A control is a region of the window, for its place; the page painted on
// the paper shows it.
void DesignerWindow::ShowControl(const layout::ControlEntry& control, bool hidden) {
  const layout::ControlGeometry& g = *control.CTRL;
  if (created_.count(g.CTRLNO) == 0) {
    EnsureControl(g.CTRLNO, runtime::ControlRegion);
    window_.SetTrackMouse(g.CTRLNO, true);
  }
  const runtime::Control* c = window_.Find(g.CTRLNO);
  if (c->hidden != hidden) window_.SetHidden(g.CTRLNO, hidden);
  if (!hidden) SetRectIfMoved(g.CTRLNO, OnScreen(g));
}

// The design as a report page, painted on the paper by the page painter.
void DesignerWindow::ShowPage() {
  std::string file = page_->Update(*state_, *canvas_);
  if (!file.empty()) window_.SetIcon(state_->PAPERCTRL->CTRLNO, file);
}

void DesignerWindow::ShowHandles() {
  std::vector<const layout::SelectionTag*> tags;
  bool dragging = state_->ISDRAGGING & 64;
  if (!dragging && state_->SELECTEDTAG->CTRL != nullptr) tags.push_back(state_->SELECTEDTAG.get());
  for (const auto& tag : state_->TAGGEDCTRLS) tags.push_back(tag.get());
  int32_t needed = static_cast<int32_t>(tags.size()) * kPerTag;
  for (int32_t i = handleControls_; i < needed; ++i) {
    window_.CreateControl(kHandleBase + i, runtime::ControlBox);
    created_.insert(kHandleBase + i);
  }
  for (int32_t i = needed; i < handleControls_; ++i) RemoveControl(kHandleBase + i);
  handleControls_ = std::max(handleControls_, needed);
  handleControls_ = needed;
  for (size_t t = 0; t < tags.size(); ++t) {
    const layout::SelectionTag& tag = *tags[t];
    const layout::ControlGeometry* parts[kPerTag] = {&tag.REGIONNW, &tag.REGIONNE, &tag.REGIONSW,
                                                     &tag.REGIONSE, &tag.REGIONN,  &tag.REGIONS,
                                                     &tag.REGIONE,  &tag.REGIONW,  &tag.BOXCTRL};
    for (int32_t p = 0; p < kPerTag; ++p) {
      int32_t number = kHandleBase + static_cast<int32_t>(t) * kPerTag + p;
      bool outline = p == kPerTag - 1;
      // Tags show their outline only, in blue; the selection its handles.
      bool hidden = (tags[t] != state_->SELECTEDTAG.get()) != outline;
      const runtime::Control* c = window_.Find(number);
      if (c->hidden != hidden) window_.SetHidden(number, hidden);
      SetRectIfMoved(number, OnScreen(*parts[p]));
      bool band =
          state_->SELECTEDCTRL == layout::SelectedBand && tags[t] == state_->SELECTEDTAG.get();
      int32_t handle = band ? kBandHandleColour : 0;
      int32_t colour = outline ? parts[p]->borderColour : handle;
      int32_t fill = outline ? runtime::kNoColour : handle;
      if (c->colour != colour || c->fillColour != fill) {
        window_.SetColours(number, colour, runtime::kNoColour);
        window_.SetFillColour(number, fill);
      }
    }
  }
}

// Rulers along the top and the left of the canvas, a number at every inch
// or every ten millimetres of the paper.
void DesignerWindow::ShowRulers() {
  const layout::DesignState& s = *state_;
  int32_t step = s.PAPERSCALE == 'M' ? 10 : 1000;
  int32_t used = 0;
  auto mark = [&](int32_t number, const std::string& text, const runtime::Rect& rect) {
    EnsureControl(number, runtime::ControlString);
    const runtime::Control* c = window_.Find(number);
    if (c->hidden) window_.SetHidden(number, false);
    if (c->text != text) window_.SetText(number, text);
    SetRectIfMoved(number, rect);
  };
  for (int32_t v = 0; v <= s.PAPERCTRL->WIDTH && used < kRulerMarks; v += step, ++used) {
    std::string text = std::to_string(s.PAPERSCALE == 'M' ? v : v / 1000);
    mark(kRulerBase + used, text, {kCanvasLeft + ToWindow(v) - 20, kCanvasTop - 170, 400, 150});
  }
  int32_t top = used;
  for (int32_t v = 0; v <= s.PAPERCTRL->HEIGHT && used - top < kRulerMarks; v += step, ++used) {
    std::string text = std::to_string(s.PAPERSCALE == 'M' ? v : v / 1000);
    mark(kRulerBase + kRulerMarks + used - top, text,
         {10, kCanvasTop + ToWindow(v) - 60, kCanvasLeft - 20, 150});
  }
  // Marks beyond the paper of an earlier unit or size go.
  for (int32_t n = top; n < rulerMarks_.first; ++n) RemoveControl(kRulerBase + n);
  for (int32_t n = used - top; n < rulerMarks_.second; ++n) {
    RemoveControl(kRulerBase + kRulerMarks + n);
  }
  rulerMarks_ = {top, used - top};
}

runtime::Rect DesignerWindow::BandLabelRect(int band) const {
  const layout::DesignState& s = *state_;
  runtime::Rect paper = OnScreen(*s.PAPERCTRL);
  runtime::Rect frame = OnScreen(*s.BANDS[band - 1]->CTRL);
  return {paper.x + paper.width + kLabelGap, frame.y, kLabelWidth,
          std::max(frame.height, kLabelMinimumHeight)};
}

int DesignerWindow::BandLabelAt(int32_t x, int32_t y) const {
  if (state_ == nullptr || canvas_ == nullptr) return 0;
  for (size_t i = 0; i < state_->BANDS.size(); ++i) {
    const layout::BandEntry& band = *state_->BANDS[i];
    if (!band.PRESENT || !canvas_->Shows(band)) continue;
    runtime::Rect r = BandLabelRect(static_cast<int>(i + 1));
    if (x >= r.x && y >= r.y && x <= r.x + r.width && y <= r.y + r.height) {
      return static_cast<int>(i + 1);
    }
  }
  return 0;
}

void DesignerWindow::ShowBandLabels() {
  const layout::DesignState& s = *state_;
  for (size_t i = 0; i < s.BANDS.size(); ++i) {
    const layout::BandEntry& band = *s.BANDS[i];
    int32_t number = kLabelBase + static_cast<int32_t>(i);
    EnsureControl(number, runtime::ControlString);
    const runtime::Control* c = window_.Find(number);
    bool hidden = !band.PRESENT || !canvas_->Shows(band);
    if (c->hidden != hidden) window_.SetHidden(number, hidden);
    if (hidden) continue;
    bool selected =
        s.SELECTEDCTRL == layout::SelectedBand && s.CURRENTBAND == static_cast<int>(i + 1);
    int32_t colour = selected ? kSelectedLabelColour : kLabelColour;
    int32_t back = selected ? kSelectedLabelBackColour : kLabelBackColour;
    if (c->colour != colour || c->backColour != back) window_.SetColours(number, colour, back);
    std::string text = " " + band.BANDNAME;
    if (c->text != text) window_.SetText(number, text);
    SetRectIfMoved(number, BandLabelRect(static_cast<int>(i + 1)));
  }
}

void DesignerWindow::Redraw() {
  if (state_ == nullptr || canvas_ == nullptr) return;
  canvas_->Arrange();
  layout::DesignState& s = *state_;
  s.PAPERCTRL->borderColour = 0;
  s.PAPERCTRL->fillColour = 0xFFFFFF;
  ShowItem(*s.PAPERCTRL, runtime::ControlImage, false);
  // Fields dragged from the properties box's list land on the paper.
  if (window_.Find(s.PAPERCTRL->CTRLNO)->dropId != kFieldListDrag) {
    window_.SetDropId(s.PAPERCTRL->CTRLNO, kFieldListDrag);
  }
  s.DETAILAREA->borderColour = kBandFrameColour;
  s.DETAILAREA->fillColour = runtime::kNoColour;
  ShowItem(*s.DETAILAREA, runtime::ControlBox, s.CURRENTVIEW != 'B');
  for (const auto& band : s.BANDS) {
    bool hidden = !band->PRESENT || !canvas_->Shows(*band);
    band->CTRL->borderColour = 0;
    band->CTRL->fillColour = runtime::kNoColour;
    ShowItem(*band->CTRL, runtime::ControlBox, hidden);
  }
  for (const auto& band : s.BANDS) {
    bool hidden = !band->PRESENT || !canvas_->Shows(*band);
    for (const auto& control : band->BANDCONTROLS) ShowControl(*control, hidden);
  }
  ShowPage();
  ShowRulers();
  ShowBandLabels();
  ShowHandles();
}

}  // namespace ledora::designer
