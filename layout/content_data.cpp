#include "layout/content_data.h"

#include <cstring>
#include <type_traits>
#include <variant>

#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

// One entry per field of a data area: its offset, its width in bytes and the
// member it holds. Numbers take their member's width; texts are blank-padded.
template <class Data>
struct ContentField {
  int offset;
  int width;
  std::variant<char Data::*, uint8_t Data::*, int16_t Data::*, int32_t Data::*, std::string Data::*>
      member;
};

const ContentField<PaperData> kPaperFields[] = {
    {0, 1, &PaperData::scale},      {1, 1, &PaperData::orientation},
    {2, 4, &PaperData::paperWidth}, {6, 4, &PaperData::paperHeight},
    {10, 4, &PaperData::areaX},     {14, 4, &PaperData::areaY},
    {18, 4, &PaperData::areaWidth}, {22, 4, &PaperData::areaHeight},
    {26, 64, &PaperData::fontName}, {90, 2, &PaperData::fontStyle},
    {92, 2, &PaperData::fontSize},  {94, 4, &PaperData::fontColor},
};

const ContentField<BandData> kBandFields[] = {
    {0, 1, &BandData::index},      {1, 4, &BandData::x},           {5, 4, &BandData::y},
    {9, 4, &BandData::width},      {13, 4, &BandData::height},     {17, 32, &BandData::name},
    {49, 1, &BandData::absolute},  {50, 1, &BandData::pageBefore}, {51, 1, &BandData::pageAfter},
    {52, 1, &BandData::withPrior}, {53, 1, &BandData::withNext},
};

const ContentField<ControlData> kControlFields[] = {
    {0, 1, &ControlData::band},
    {1, 4, &ControlData::x},
    {5, 4, &ControlData::y},
    {9, 4, &ControlData::width},
    {13, 4, &ControlData::height},
    {17, 32, &ControlData::userFieldName},
    {49, 32, &ControlData::fieldName},
    {81, 1, &ControlData::justification},
    {82, 1, &ControlData::resizable},
    {83, 256, &ControlData::picture},
    {339, 1, &ControlData::transparent},
    {340, 4, &ControlData::lineColor},
    {344, 4, &ControlData::boxColor},
    {348, 1, &ControlData::boxRound},
    {349, 64, &ControlData::fontName},
    {413, 2, &ControlData::fontStyle},
    {415, 2, &ControlData::fontSize},
    {417, 4, &ControlData::fontColor},
};

// Little-endian, whatever the machine.
template <class Number>
void PutNumber(char* at, Number value) {
  auto bits = static_cast<std::make_unsigned_t<Number>>(value);
  for (size_t i = 0; i < sizeof(Number); ++i) at[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}
template <class Number>
Number GetNumber(const char* at) {
  std::make_unsigned_t<Number> bits = 0;
  for (size_t i = 0; i < sizeof(Number); ++i) {
    auto byte = static_cast<std::make_unsigned_t<Number>>(static_cast<uint8_t>(at[i]));
    bits = static_cast<std::make_unsigned_t<Number>>(bits | (byte << (8 * i)));
  }
  return static_cast<Number>(bits);
}

template <class Data, size_t N>
void Encode(const ContentField<Data> (&fields)[N], const Data& from, char* data) {
  std::memset(data, ' ', kContentDataSize);
  for (const ContentField<Data>& field : fields) {
    char* at = data + field.offset;
    std::visit(
        [&](auto member) {
          using Value = std::remove_cvref_t<decltype(from.*member)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            runtime::AssignPadded(at, field.width, from.*member);
          } else if constexpr (std::is_same_v<Value, char>) {
            *at = from.*member;
          } else {
            PutNumber(at, from.*member);
          }
        },
        field.member);
  }
}

template <class Data, size_t N>
Data Decode(const ContentField<Data> (&fields)[N], const char* data) {
  Data to;
  for (const ContentField<Data>& field : fields) {
    const char* at = data + field.offset;
    std::visit(
        [&](auto member) {
          using Value = std::remove_cvref_t<decltype(to.*member)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            to.*member = std::string(runtime::Clip(std::string_view(at, field.width)));
          } else if constexpr (std::is_same_v<Value, char>) {
            to.*member = *at;
          } else {
            to.*member = GetNumber<Value>(at);
          }
        },
        field.member);
  }
  return to;
}

}  // namespace

void EncodePaper(const PaperData& paper, char* data) { Encode(kPaperFields, paper, data); }
void EncodeBand(const BandData& band, char* data) { Encode(kBandFields, band, data); }
void EncodeControl(const ControlData& control, char* data) {
  Encode(kControlFields, control, data);
}
PaperData DecodePaper(const char* data) { return Decode(kPaperFields, data); }
BandData DecodeBand(const char* data) { return Decode(kBandFields, data); }
ControlData DecodeControl(const char* data) { return Decode(kControlFields, data); }

}  // namespace ledora::layout
