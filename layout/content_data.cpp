#include "layout/content_data.h"

#include <cstring>

#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

// Offsets inside the data areas.
enum PaperOffset {
  APaperScale = 0,
  AOrientation = 1,
  APaperWidth = 2,
  APaperHeight = 6,
  AAreaX = 10,
  AAreaY = 14,
  AAreaWidth = 18,
  AAreaHeight = 22,
  AFontName = 26,
  AFontStyle = 90,
  AFontSize = 92,
  AFontColor = 94,
};
enum BandOffset {
  BIndex = 0,
  BX = 1,
  BY = 5,
  BWidth = 9,
  BHeight = 13,
  BName = 17,
  BAbsolute = 49,
  BPageBefore = 50,
  BPageAfter = 51,
  BWithPrior = 52,
  BWithNext = 53,
};
enum ControlOffset {
  CBand = 0,
  CX = 1,
  CY = 5,
  CWidth = 9,
  CHeight = 13,
  CUserFieldName = 17,
  CFieldName = 49,
  CJustification = 81,
  CResizable = 82,
  CPicture = 83,
  CTransparent = 339,
  CLineColor = 340,
  CBoxColor = 344,
  CBoxRound = 348,
  CFontName = 349,
  CFontStyle = 413,
  CFontSize = 415,
  CFontColor = 417,
};
constexpr int kNameWidth = 32;
constexpr int kFontNameWidth = 64;
constexpr int kPictureWidth = 256;

void PutLong(char* data, int offset, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}
void PutShort(char* data, int offset, int16_t value) {
  uint16_t bits = static_cast<uint16_t>(value);
  data[offset] = static_cast<char>(bits & 0xFF);
  data[offset + 1] = static_cast<char>(bits >> 8);
}
void PutByte(char* data, int offset, uint8_t value) { data[offset] = static_cast<char>(value); }
void PutText(char* data, int offset, int width, const std::string& text) {
  runtime::AssignPadded(data + offset, width, text);
}

int32_t GetLong(const char* data, int offset) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits |= static_cast<uint32_t>(static_cast<uint8_t>(data[offset + i])) << (8 * i);
  return static_cast<int32_t>(bits);
}
int16_t GetShort(const char* data, int offset) {
  uint16_t bits = static_cast<uint8_t>(data[offset]) |
                  static_cast<uint16_t>(static_cast<uint8_t>(data[offset + 1]) << 8);
  return static_cast<int16_t>(bits);
}
uint8_t GetByte(const char* data, int offset) { return static_cast<uint8_t>(data[offset]); }
std::string GetText(const char* data, int offset, int width) {
  return std::string(runtime::Clip(std::string_view(data + offset, width)));
}

}  // namespace

void EncodePaper(const PaperData& paper, char* data) {
  std::memset(data, ' ', kContentDataSize);
  data[APaperScale] = paper.scale;
  data[AOrientation] = paper.orientation;
  PutLong(data, APaperWidth, paper.paperWidth);
  PutLong(data, APaperHeight, paper.paperHeight);
  PutLong(data, AAreaX, paper.areaX);
  PutLong(data, AAreaY, paper.areaY);
  PutLong(data, AAreaWidth, paper.areaWidth);
  PutLong(data, AAreaHeight, paper.areaHeight);
  PutText(data, AFontName, kFontNameWidth, paper.fontName);
  PutShort(data, AFontStyle, paper.fontStyle);
  PutShort(data, AFontSize, paper.fontSize);
  PutLong(data, AFontColor, paper.fontColor);
}

PaperData DecodePaper(const char* data) {
  PaperData paper;
  paper.scale = data[APaperScale];
  paper.orientation = data[AOrientation];
  paper.paperWidth = GetLong(data, APaperWidth);
  paper.paperHeight = GetLong(data, APaperHeight);
  paper.areaX = GetLong(data, AAreaX);
  paper.areaY = GetLong(data, AAreaY);
  paper.areaWidth = GetLong(data, AAreaWidth);
  paper.areaHeight = GetLong(data, AAreaHeight);
  paper.fontName = GetText(data, AFontName, kFontNameWidth);
  paper.fontStyle = GetShort(data, AFontStyle);
  paper.fontSize = GetShort(data, AFontSize);
  paper.fontColor = GetLong(data, AFontColor);
  return paper;
}

void EncodeBand(const BandData& band, char* data) {
  std::memset(data, ' ', kContentDataSize);
  PutByte(data, BIndex, band.index);
  PutLong(data, BX, band.x);
  PutLong(data, BY, band.y);
  PutLong(data, BWidth, band.width);
  PutLong(data, BHeight, band.height);
  PutText(data, BName, kNameWidth, band.name);
  PutByte(data, BAbsolute, band.absolute);
  PutByte(data, BPageBefore, band.pageBefore);
  PutByte(data, BPageAfter, band.pageAfter);
  PutByte(data, BWithPrior, band.withPrior);
  PutByte(data, BWithNext, band.withNext);
}

BandData DecodeBand(const char* data) {
  BandData band;
  band.index = GetByte(data, BIndex);
  band.x = GetLong(data, BX);
  band.y = GetLong(data, BY);
  band.width = GetLong(data, BWidth);
  band.height = GetLong(data, BHeight);
  band.name = GetText(data, BName, kNameWidth);
  band.absolute = GetByte(data, BAbsolute);
  band.pageBefore = GetByte(data, BPageBefore);
  band.pageAfter = GetByte(data, BPageAfter);
  band.withPrior = GetByte(data, BWithPrior);
  band.withNext = GetByte(data, BWithNext);
  return band;
}

void EncodeControl(const ControlData& control, char* data) {
  std::memset(data, ' ', kContentDataSize);
  PutByte(data, CBand, control.band);
  PutLong(data, CX, control.x);
  PutLong(data, CY, control.y);
  PutLong(data, CWidth, control.width);
  PutLong(data, CHeight, control.height);
  PutText(data, CUserFieldName, kNameWidth, control.userFieldName);
  PutText(data, CFieldName, kNameWidth, control.fieldName);
  data[CJustification] = control.justification;
  PutByte(data, CResizable, control.resizable);
  PutText(data, CPicture, kPictureWidth, control.picture);
  PutByte(data, CTransparent, control.transparent);
  PutLong(data, CLineColor, control.lineColor);
  PutLong(data, CBoxColor, control.boxColor);
  PutByte(data, CBoxRound, control.boxRound);
  PutText(data, CFontName, kFontNameWidth, control.fontName);
  PutShort(data, CFontStyle, control.fontStyle);
  PutShort(data, CFontSize, control.fontSize);
  PutLong(data, CFontColor, control.fontColor);
}

ControlData DecodeControl(const char* data) {
  ControlData control;
  control.band = GetByte(data, CBand);
  control.x = GetLong(data, CX);
  control.y = GetLong(data, CY);
  control.width = GetLong(data, CWidth);
  control.height = GetLong(data, CHeight);
  control.userFieldName = GetText(data, CUserFieldName, kNameWidth);
  control.fieldName = GetText(data, CFieldName, kNameWidth);
  control.justification = data[CJustification];
  control.resizable = GetByte(data, CResizable);
  control.picture = GetText(data, CPicture, kPictureWidth);
  control.transparent = GetByte(data, CTransparent);
  control.lineColor = GetLong(data, CLineColor);
  control.boxColor = GetLong(data, CBoxColor);
  control.boxRound = GetByte(data, CBoxRound);
  control.fontName = GetText(data, CFontName, kFontNameWidth);
  control.fontStyle = GetShort(data, CFontStyle);
  control.fontSize = GetShort(data, CFontSize);
  control.fontColor = GetLong(data, CFontColor);
  return control;
}

}  // namespace ledora::layout
