// The data areas of a design's content records: "A" paper and report font,
// "B" one band, "C" one control, at their fixed offsets inside R_C:THEDATA
// (numbers little-endian, texts blank-padded, unused bytes blank). The
// record stream writes and loads them; report generation reads them.
#pragma once

#include <cstdint>
#include <string>

#include "layout/design_records.h"
#include "layout/design_state.h"

namespace ledora::layout {

constexpr size_t kContentDataSize = sizeof(ContentRecord::THEDATA);

struct PaperData {  // "A"
  char scale = '1';
  char orientation = 'P';
  int32_t paperWidth = 0;
  int32_t paperHeight = 0;
  int32_t areaX = 0;
  int32_t areaY = 0;
  int32_t areaWidth = 0;
  int32_t areaHeight = 0;
  std::string fontName;  // texts come back without trailing blanks
  int16_t fontStyle = 0;
  int16_t fontSize = 0;
  int32_t fontColor = 0;
};

struct BandData {     // "B"
  uint8_t index = 0;  // position in the band list, from 1
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::string name;
  uint8_t absolute = 0;
  uint8_t pageBefore = 0;
  uint8_t pageAfter = 0;
  uint8_t withPrior = 0;
  uint8_t withNext = 0;
};

struct ControlData {  // "C"
  uint8_t band = 0;   // index of the owning band
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::string userFieldName;
  std::string fieldName;
  char justification = 'D';
  uint8_t resizable = 0;
  std::string picture;
  uint8_t transparent = 0;
  int32_t lineColor = 0;
  int32_t boxColor = 0;
  uint8_t boxRound = 0;
  std::string fontName;
  int16_t fontStyle = 0;
  int16_t fontSize = 0;
  int32_t fontColor = 0;
};

// Encoders clear the whole data area to blanks first.
void EncodePaper(const PaperData& paper, char* data);
void EncodeBand(const BandData& band, char* data);
void EncodeControl(const ControlData& control, char* data);
PaperData DecodePaper(const char* data);
BandData DecodeBand(const char* data);
ControlData DecodeControl(const char* data);

// The data areas of an open design and back, by the same field table that
// places them in the record: the paper and report font of the design state,
// a band (at its position in the band list) and a control (of the band at
// that position). Taking copies only what the record holds.
PaperData PaperOf(const DesignState& state);
BandData BandOf(const BandEntry& band, uint8_t index);
ControlData ControlOf(const ControlEntry& control, uint8_t band);
void TakePaper(const PaperData& paper, DesignState& state);
void TakeBand(const BandData& data, BandEntry& band);
void TakeControl(const ControlData& data, ControlEntry& control);

}  // namespace ledora::layout
