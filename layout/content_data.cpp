#include "layout/content_data.h"

#include <cstring>
#include <memory>
#include <type_traits>
#include <variant>

#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

// Where one field of a data area lives in the design model: a member of the
// entry itself, or of one of its geometries; neither for what only the
// record holds (the position of a band, the band of a control).
template <class Data, class Entry, class Value>
struct Column {
  Value Data::*data;
  Value Entry::*entry = nullptr;
  std::unique_ptr<ControlGeometry> Entry::*geometry = nullptr;
  int32_t ControlGeometry::*inGeometry = nullptr;
};

// One row per field of a data area: its offset, its width in bytes and where
// it lives in the data and in the design. Numbers take their member's width;
// texts are blank-padded. The same row stores a field and copies it between
// the design and the data, so the two cannot disagree.
template <class Data, class Entry>
struct ContentField {
  int offset;
  int width;
  std::variant<Column<Data, Entry, char>, Column<Data, Entry, uint8_t>,
               Column<Data, Entry, int16_t>, Column<Data, Entry, int32_t>,
               Column<Data, Entry, std::string>>
      column;
};

template <class Data, class Entry, class Value>
Column<Data, Entry, Value> Own(Value Data::*data, Value Entry::*entry) {
  return {data, entry};
}
template <class Data, class Entry>
Column<Data, Entry, int32_t> Placed(int32_t Data::*data,
                                    std::unique_ptr<ControlGeometry> Entry::*geometry,
                                    int32_t ControlGeometry::*inGeometry) {
  return {data, nullptr, geometry, inGeometry};
}

using P = PaperData;
using S = DesignState;
const ContentField<P, S> kPaperFields[] = {
    {0, 1, Own(&P::scale, &S::PAPERSCALE)},
    {1, 1, Own(&P::orientation, &S::ORIENTATION)},
    {2, 4, Placed(&P::paperWidth, &S::PAPERCTRL, &ControlGeometry::WIDTH)},
    {6, 4, Placed(&P::paperHeight, &S::PAPERCTRL, &ControlGeometry::HEIGHT)},
    {10, 4, Placed(&P::areaX, &S::DETAILAREA, &ControlGeometry::XPOS)},
    {14, 4, Placed(&P::areaY, &S::DETAILAREA, &ControlGeometry::YPOS)},
    {18, 4, Placed(&P::areaWidth, &S::DETAILAREA, &ControlGeometry::WIDTH)},
    {22, 4, Placed(&P::areaHeight, &S::DETAILAREA, &ControlGeometry::HEIGHT)},
    {26, 64, Own(&P::fontName, &S::FONTNAME)},
    {90, 2, Own(&P::fontStyle, &S::FONTSTYLE)},
    {92, 2, Own(&P::fontSize, &S::FONTSIZE)},
    {94, 4, Own(&P::fontColor, &S::FONTCOLOR)},
};

using B = BandData;
using BE = BandEntry;
const ContentField<B, BE> kBandFields[] = {
    {0, 1, Column<B, BE, uint8_t>{&B::index}},
    {1, 4, Placed(&B::x, &BE::CTRL, &ControlGeometry::XPOS)},
    {5, 4, Placed(&B::y, &BE::CTRL, &ControlGeometry::YPOS)},
    {9, 4, Placed(&B::width, &BE::CTRL, &ControlGeometry::WIDTH)},
    {13, 4, Placed(&B::height, &BE::CTRL, &ControlGeometry::HEIGHT)},
    {17, 32, Own(&B::name, &BE::BANDNAME)},
    {49, 1, Own(&B::absolute, &BE::ABSOLUTE)},
    {50, 1, Own(&B::pageBefore, &BE::PAGEBEFORE)},
    {51, 1, Own(&B::pageAfter, &BE::PAGEAFTER)},
    {52, 1, Own(&B::withPrior, &BE::WITHPRIOR)},
    {53, 1, Own(&B::withNext, &BE::WITHNEXT)},
};

using C = ControlData;
using CE = ControlEntry;
const ContentField<C, CE> kControlFields[] = {
    {0, 1, Column<C, CE, uint8_t>{&C::band}},
    {1, 4, Placed(&C::x, &CE::CTRL, &ControlGeometry::XPOS)},
    {5, 4, Placed(&C::y, &CE::CTRL, &ControlGeometry::YPOS)},
    {9, 4, Placed(&C::width, &CE::CTRL, &ControlGeometry::WIDTH)},
    {13, 4, Placed(&C::height, &CE::CTRL, &ControlGeometry::HEIGHT)},
    {17, 32, Own(&C::userFieldName, &CE::USERFIELDNAME)},
    {49, 32, Own(&C::fieldName, &CE::FIELDNAME)},
    {81, 1, Own(&C::justification, &CE::JUSTIFICATION)},
    {82, 1, Own(&C::resizable, &CE::RESIZABLE)},
    {83, 256, Own(&C::picture, &CE::PICTURE)},
    {339, 1, Own(&C::transparent, &CE::TRANSPARENT)},
    {340, 4, Own(&C::lineColor, &CE::LINECOLOR)},
    {344, 4, Own(&C::boxColor, &CE::BOXCOLOR)},
    {348, 1, Own(&C::boxRound, &CE::BOXROUND)},
    {349, 64, Own(&C::fontName, &CE::FONTNAME)},
    {413, 2, Own(&C::fontStyle, &CE::FONTSTYLE)},
    {415, 2, Own(&C::fontSize, &CE::FONTSIZE)},
    {417, 4, Own(&C::fontColor, &CE::FONTCOLOR)},
};

// The design's member for a column; nullptr for what only the record holds.
template <class Entry, class Data, class Value>
auto* InDesign(Entry& entry, const Column<Data, std::remove_const_t<Entry>, Value>& column) {
  using Pointer = decltype(&(entry.*column.entry));
  if (column.entry) return Pointer(&(entry.*column.entry));
  if constexpr (std::is_same_v<Value, int32_t>) {
    if (column.geometry) return Pointer(&((*(entry.*column.geometry)).*column.inGeometry));
  }
  return Pointer(nullptr);
}

template <class Data, class Entry, size_t N>
Data DataOf(const ContentField<Data, Entry> (&fields)[N], const Entry& entry) {
  Data to;
  for (const ContentField<Data, Entry>& field : fields) {
    std::visit(
        [&](const auto& column) {
          if (const auto* from = InDesign(entry, column)) to.*column.data = *from;
        },
        field.column);
  }
  return to;
}

template <class Data, class Entry, size_t N>
void TakeData(const ContentField<Data, Entry> (&fields)[N], const Data& from, Entry& entry) {
  for (const ContentField<Data, Entry>& field : fields) {
    std::visit(
        [&](const auto& column) {
          if (auto* to = InDesign(entry, column)) *to = from.*column.data;
        },
        field.column);
  }
}

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

template <class Data, class Entry, size_t N>
void Encode(const ContentField<Data, Entry> (&fields)[N], const Data& from, char* data) {
  std::memset(data, ' ', kContentDataSize);
  for (const ContentField<Data, Entry>& field : fields) {
    char* at = data + field.offset;
    std::visit(
        [&](const auto& column) {
          auto member = column.data;
          using Value = std::remove_cvref_t<decltype(from.*member)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            runtime::AssignPadded(at, field.width, from.*member);
          } else if constexpr (std::is_same_v<Value, char>) {
            *at = from.*member;
          } else {
            PutNumber(at, from.*member);
          }
        },
        field.column);
  }
}

template <class Data, class Entry, size_t N>
Data Decode(const ContentField<Data, Entry> (&fields)[N], const char* data) {
  Data to;
  for (const ContentField<Data, Entry>& field : fields) {
    const char* at = data + field.offset;
    std::visit(
        [&](const auto& column) {
          auto member = column.data;
          using Value = std::remove_cvref_t<decltype(to.*member)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            to.*member = std::string(runtime::Clip(std::string_view(at, field.width)));
          } else if constexpr (std::is_same_v<Value, char>) {
            to.*member = *at;
          } else {
            to.*member = GetNumber<Value>(at);
          }
        },
        field.column);
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

PaperData PaperOf(const DesignState& state) { return DataOf(kPaperFields, state); }
BandData BandOf(const BandEntry& band, uint8_t index) {
  BandData data = DataOf(kBandFields, band);
  data.index = index;
  return data;
}
ControlData ControlOf(const ControlEntry& control, uint8_t band) {
  ControlData data = DataOf(kControlFields, control);
  data.band = band;
  return data;
}
void TakePaper(const PaperData& paper, DesignState& state) { TakeData(kPaperFields, paper, state); }
void TakeBand(const BandData& data, BandEntry& band) { TakeData(kBandFields, data, band); }
void TakeControl(const ControlData& data, ControlEntry& control) {
  TakeData(kControlFields, data, control);
}

}  // namespace ledora::layout
