#include "runtime/report/band_layout.h"

#include <algorithm>

#include "runtime/report/page_count.h"
#include "runtime/values/picture.h"

namespace ledora::runtime {

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kNaturalImageSize = 1000;
constexpr int32_t kCheckGap = 60;  // between a check box square and its caption
const char kDefaultPageNumberPicture[] = "@pPage <<#p";

bool IsNumericPicture(std::string_view picture) {
  size_t i = picture.find_first_not_of(" @");
  return i != std::string_view::npos && (picture[i] == 'n' || picture[i] == 'N');
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string::npos; }

bool IsSet(const FieldRef& field) {
  if (!field.address) return false;
  return field.IsNumeric() ? !GetNumber(field).IsZero() : !IsBlank(GetText(field));
}

uint8_t Align(const ReportControl& control) {
  switch (control.justify) {
    case ReportJustify::Left:
      return AlignLeft;
    case ReportJustify::Centre:
      return AlignCentre;
    case ReportJustify::Right:
      return AlignRight;
    default:
      bool number = control.kind == ReportVariable && IsNumericPicture(control.picture);
      return number ? AlignRight : AlignLeft;
  }
}

// Splits one paragraph into lines that fit width.
void WrapParagraph(std::string_view text, int32_t width, FontMetrics& metrics,
                   const ReportFont& font, std::vector<std::string>* lines) {
  std::string line;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(pos, end - pos);
    std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (metrics.TextWidth(font, candidate) <= width || width <= 0) {
      line = std::move(candidate);
    } else if (!line.empty()) {
      lines->push_back(std::move(line));
      line.clear();
      continue;  // the word starts the next line
    } else {
      // A word wider than the line is cut where it stops fitting.
      size_t fit = 1;
      while (fit < word.size() && metrics.TextWidth(font, word.substr(0, fit + 1)) <= width) ++fit;
      lines->emplace_back(word.substr(0, fit));
      pos += fit;
      continue;
    }
    pos = end + 1;
  }
  lines->push_back(std::move(line));
}

}  // namespace

uint16_t FontTable::Index(const ReportFont& font) {
  auto it = std::find(fonts_.begin(), fonts_.end(), font);
  if (it != fonts_.end()) return static_cast<uint16_t>(it - fonts_.begin());
  fonts_.push_back(font);
  return static_cast<uint16_t>(fonts_.size() - 1);
}

std::vector<std::string> BandLayout::Wrap(std::string_view text, int32_t width,
                                          FontMetrics& metrics, const ReportFont& font) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (true) {
    size_t end = text.find('\n', pos);
    std::string_view paragraph = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    WrapParagraph(paragraph, width, metrics, font, &lines);
    if (end == std::string_view::npos) break;
    pos = end + 1;
  }
  return lines;
}

LaidOutBand BandLayout::LayOut(const ReportBand& band,
                               const std::map<int32_t, ReportControl>& controls) {
  LaidOutBand out;
  out.x = Mils(band.x);
  out.y = Mils(band.y);
  out.absolute = band.absolute || band.kind != BandDetail;
  out.pageBefore = band.pageBefore;
  out.pageAfter = band.pageAfter;
  out.withPrior = std::max(band.withPrior, 0);
  out.withNext = std::max(band.withNext, 0);
  int32_t bottom = band.height >= 0 ? Mils(band.height) : 0;
  for (int32_t number : band.controls) {
    auto it = controls.find(number);
    if (it == controls.end() || !it->second.visible) continue;
    bottom = std::max(bottom, AddControl(it->second, &out));
  }
  out.height = bottom;
  return out;
}

int32_t BandLayout::AddControl(const ReportControl& control, LaidOutBand* out) {
  switch (control.kind) {
    case ReportString:
    case ReportVariable:
      return AddText(control, ShownText(control), out);
    case ReportPageNumber:
      out->pageNumberItems.push_back(out->items.size());
      return AddText(control, ShownText(control), out);
    case ReportPageCount:
      out->pageCountItems.push_back(out->items.size());
      return AddText(control, ShownText(control), out);
    case ReportTextField:
      return AddTextField(control, out);
    case ReportGroup:
      return AddGroup(control, out);
    case ReportCheck:
      return AddCheck(control, out);
    default:
      return AddShape(control, out);
  }
}

std::string BandLayout::ShownText(const ReportControl& control) const {
  switch (control.kind) {
    case ReportVariable:
      return control.bound() ? FormatWithPicture(control.picture, control.field) : control.text;
    case ReportTextField:
      return control.bound() ? GetText(control.field) : control.text;
    case ReportPageNumber:
      return IsBlank(control.picture) ? kDefaultPageNumberPicture : control.picture;
    case ReportPageCount:
      return IsBlank(control.picture) ? kDefaultPageCountPicture : control.picture;
    case ReportImage:
      return control.bound() ? GetText(control.field) : control.imageFile;
    default:
      return control.text;
  }
}

PageItem BandLayout::TextItem(const ReportControl& control, const ReportFont& font,
                              std::string text) {
  PageItem item;
  item.kind = ItemText;
  item.x = Mils(control.x);
  item.y = Mils(control.y);
  item.color = font.color;
  item.fill = control.transparent ? kNoColour : kWhite;
  item.font = context_.fonts->Index(font);
  item.align = Align(control);
  item.text = std::move(text);
  return item;
}

int32_t BandLayout::AddText(const ReportControl& control, const std::string& text,
                            LaidOutBand* out) {
  ReportFont font = control.font.InheritFrom(context_.font);
  PageItem item = TextItem(control, font, text);
  item.width = control.width >= 0 ? Mils(control.width) : context_.metrics->TextWidth(font, text);
  item.height = control.height >= 0 ? Mils(control.height) : context_.metrics->LineHeight(font);
  out->items.push_back(std::move(item));
  return out->items.back().y + out->items.back().height;
}

int32_t BandLayout::AddTextField(const ReportControl& control, LaidOutBand* out) {
  ReportFont font = control.font.InheritFrom(context_.font);
  int32_t width = control.width >= 0 ? Mils(control.width) : 0;
  std::vector<std::string> lines = Wrap(ShownText(control), width, *context_.metrics, font);
  int32_t lineHeight = std::max(context_.metrics->LineHeight(font), 1);
  int32_t needed = static_cast<int32_t>(lines.size()) * lineHeight;
  int32_t height = control.height >= 0 ? Mils(control.height) : needed;
  if (control.grows) height = std::max(height, needed);
  size_t shown = std::max<size_t>(1, static_cast<size_t>(height / lineHeight));
  if (lines.size() > shown) lines.resize(shown);
  for (size_t i = 0; i < lines.size(); ++i) {
    PageItem item = TextItem(control, font, std::move(lines[i]));
    item.y += static_cast<int32_t>(i) * lineHeight;
    item.width = width > 0 ? width : context_.metrics->TextWidth(font, item.text);
    item.height = lineHeight;
    out->items.push_back(std::move(item));
  }
  return Mils(control.y) + height;
}

int32_t BandLayout::AddGroup(const ReportControl& control, LaidOutBand* out) {
  ReportFont font = control.font.InheritFrom(context_.font);
  int32_t lineHeight = context_.metrics->LineHeight(font);
  int32_t x = Mils(control.x), y = Mils(control.y);
  int32_t width = std::max(Mils(control.width), 0);
  int32_t height = std::max(Mils(control.height), lineHeight);
  // The frame runs through the middle of the caption line, as on screen.
  PageItem frame;
  frame.kind = ItemBox;
  frame.x = x;
  frame.y = y + lineHeight / 2;
  frame.width = width;
  frame.height = height - lineHeight / 2;
  frame.color = control.lineColor;
  frame.fill = control.transparent ? kNoColour : kWhite;
  out->items.push_back(frame);
  if (!IsBlank(control.text)) {
    ReportControl caption = control;
    caption.width = caption.height = -1;
    AddText(caption, control.text, out);
    out->items.back().x = x + lineHeight / 2;
    out->items.back().fill = kWhite;
  }
  return y + height;
}

int32_t BandLayout::AddCheck(const ReportControl& control, LaidOutBand* out) {
  ReportFont font = control.font.InheritFrom(context_.font);
  int32_t lineHeight = context_.metrics->LineHeight(font);
  int32_t side = std::min(lineHeight, 150);
  int32_t x = Mils(control.x), y = Mils(control.y);
  PageItem square;
  square.kind = ItemCheck;
  square.x = x;
  square.y = y + (lineHeight - side) / 2;
  square.width = square.height = side;
  square.color = font.color;
  square.flags = IsSet(control.field) ? FlagChecked : 0;
  out->items.push_back(square);
  int32_t bottom = y + lineHeight;
  if (!IsBlank(control.text)) {
    ReportControl caption = control;
    caption.width = -1;
    bottom = AddText(caption, control.text, out);
    out->items.back().x = x + side + kCheckGap;
  }
  if (control.height >= 0) bottom = std::max(bottom, y + Mils(control.height));
  return bottom;
}

int32_t BandLayout::AddShape(const ReportControl& control, LaidOutBand* out) {
  PageItem item;
  item.x = Mils(control.x);
  item.y = Mils(control.y);
  item.width = Mils(control.width);
  item.height = Mils(control.height);
  item.color = control.lineColor;
  if (control.kind == ReportImage) {
    item.kind = ItemImage;
    item.text = ShownText(control);
    if (control.width < 0) item.width = kNaturalImageSize;
    if (control.height < 0) item.height = kNaturalImageSize;
    if (IsBlank(item.text)) return item.y + item.height;
  } else if (control.kind == ReportBox) {
    item.kind = ItemBox;
    item.fill = control.fillColor;
    item.flags = control.rounded ? FlagRounded : 0;
  } else if (control.kind == ReportLine) {
    item.kind = ItemLine;
  } else {
    return 0;
  }
  item.width = std::max(item.width, 0);
  item.height = std::max(item.height, 0);
  out->items.push_back(item);
  return item.y + item.height;
}

}  // namespace ledora::runtime
