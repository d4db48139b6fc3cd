#include "designer/design_page.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "runtime/report/page_image.h"
#include "runtime/report/page_image_writer.h"
#include "runtime/values/fixed_string.h"

namespace ledora::designer {

namespace {

using layout::ControlEntry;

int32_t Thousandths(const layout::DesignState& state, int32_t value) {
  return state.PAPERSCALE == 'M' ? layout::ConvertUnit(value, '1') : value;
}

uint16_t FontIndex(runtime::PageImage& page, const runtime::ReportFont& font) {
  for (size_t i = 0; i < page.fonts.size(); ++i) {
    if (page.fonts[i] == font) return static_cast<uint16_t>(i);
  }
  page.fonts.push_back(font);
  return static_cast<uint16_t>(page.fonts.size() - 1);
}

// The control's font, each part not set taken from the report's, and what
// the report leaves open from the designer's own.
runtime::ReportFont FontOf(const layout::DesignState& state, const ControlEntry& control) {
  runtime::ReportFont own{control.FONTNAME, control.FONTSTYLE, control.FONTSIZE, control.FONTCOLOR};
  runtime::ReportFont report{state.FONTNAME, state.FONTSTYLE, state.FONTSIZE, state.FONTCOLOR};
  runtime::ReportFont designer{state.DFONTNAME, state.DFONTSTYLE, state.DFONTSIZE, 0};
  return own.InheritFrom(report.InheritFrom(designer));
}

// What the canvas shows for a control: constant texts as they are, the
// fields by the name the user knows them by.
std::string ShownText(const ControlEntry& control) {
  switch (control.CONTROLTYPE) {
    case layout::KindField:
    case layout::KindTextField:
      return std::string(
          runtime::Clip(control.USERFIELDNAME.empty() ? control.FIELDNAME : control.USERFIELDNAME));
    default:
      return std::string(runtime::Clip(control.PICTURE));
  }
}

runtime::PageItem ItemOf(const layout::DesignState& state, const ControlEntry& control,
                         runtime::PageImage& page) {
  const layout::ControlGeometry& g = *control.CTRL;
  const layout::ControlGeometry& paper = *state.PAPERCTRL;
  runtime::PageItem item;
  item.x = Thousandths(state, g.WINXPOS - paper.WINXPOS);
  item.y = Thousandths(state, g.WINYPOS - paper.WINYPOS);
  item.width = Thousandths(state, g.WINWIDTH);
  item.height = Thousandths(state, g.WINHEIGHT);
  switch (control.CONTROLTYPE) {
    case layout::KindBox:
      item.kind = runtime::ItemBox;
      item.color = control.LINECOLOR;
      item.fill = control.BOXCOLOR;
      if (control.BOXROUND) item.flags |= runtime::FlagRounded;
      return item;
    case layout::KindLine:
      item.kind = runtime::ItemLine;
      item.color = control.LINECOLOR;
      return item;
    case layout::KindImage:
      item.kind = runtime::ItemImage;
      item.text = std::string(runtime::Clip(control.PICTURE));
      return item;
    case layout::KindCheckBox:
      item.kind = runtime::ItemCheck;
      item.width = item.height;
      return item;
    default:
      break;
  }
  item.kind = runtime::ItemText;
  item.text = ShownText(control);
  item.font = FontIndex(page, FontOf(state, control));
  item.color = page.fonts[item.font].color;
  item.align = control.JUSTIFICATION == 'R'   ? runtime::AlignRight
               : control.JUSTIFICATION == 'C' ? runtime::AlignCentre
                                              : runtime::AlignLeft;
  if (!control.TRANSPARENT) item.fill = 0xFFFFFF;
  return item;
}

}  // namespace

runtime::PageImage DesignPage(const layout::DesignState& state, const DesignCanvas& canvas) {
  runtime::PageImage page;
  page.number = 1;
  page.width = Thousandths(state, state.PAPERCTRL->WIDTH);
  page.height = Thousandths(state, state.PAPERCTRL->HEIGHT);
  for (const auto& band : state.BANDS) {
    if (!band->PRESENT || !canvas.Shows(*band)) continue;
    for (const auto& control : band->BANDCONTROLS) {
      page.items.push_back(ItemOf(state, *control, page));
      // A group and a check box show their caption beside their frame.
      if (control->CONTROLTYPE == layout::KindGroup ||
          control->CONTROLTYPE == layout::KindCheckBox) {
        runtime::PageItem caption = page.items.back();
        if (control->CONTROLTYPE == layout::KindGroup) {
          page.items.back().kind = runtime::ItemBox;
          page.items.back().color = 0;
          page.items.back().fill = runtime::kNoColour;
        } else {
          caption.x += caption.width + 40;
          caption.width = Thousandths(state, control->CTRL->WINWIDTH) - caption.width - 40;
        }
        caption.kind = runtime::ItemText;
        caption.text = ShownText(*control);
        caption.font = FontIndex(page, FontOf(state, *control));
        caption.color = page.fonts[caption.font].color;
        caption.height = std::min(caption.height, 200);
        page.items.push_back(caption);
      }
    }
  }
  return page;
}

CanvasPage::CanvasPage() : page_(std::make_unique<runtime::PageImage>()) {
  std::string base = (std::filesystem::temp_directory_path() /
                      ("ledora-canvas-" + std::to_string(::getpid()) + "-" +
                       std::to_string(reinterpret_cast<uintptr_t>(this))))
                         .string();
  files_ = {base + "-a.ldpg", base + "-b.ldpg"};
}

CanvasPage::~CanvasPage() {
  std::error_code ignored;
  for (const std::string& file : files_) std::filesystem::remove(file, ignored);
}

void CanvasPage::Forget() { shown_ = false; }

std::string CanvasPage::Update(const layout::DesignState& state, const DesignCanvas& canvas) {
  runtime::PageImage page = DesignPage(state, canvas);
  if (shown_ && page == *page_) return {};
  const std::string& file = files_[flip_ ^= 1];
  if (!runtime::PageImageWriter::WriteFile(page, file)) return {};
  *page_ = std::move(page);
  shown_ = true;
  return file;
}

}  // namespace ledora::designer
