#include "layout/design_records.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace ledora::layout {

using runtime::FieldDescriptor;
using runtime::FieldType;
using runtime::KeyDeclaration;
using runtime::RecordLayout;

ReportTypeRecord R_T{};
BandRecord R_B{};
DataFieldRecord R_F{};
TypeFieldRecord R_O{};
PaperFormatRecord R_P{};
DesignRecord R_D{};
ContentRecord R_C{};
StdDesignRecord R_S{};
DesignRecord E_D{};
ContentRecord E_C{};
ReportTypeRecord I_T{};
BandRecord I_B{};
DataFieldRecord I_F{};
TypeFieldRecord I_O{};

namespace {

// A field without its prefix; the table's prefix is put in front.
struct Field {
  const char* name;
  FieldType type;
  size_t offset;
  size_t size;
};

struct KeyShape {
  const char* name;
  std::vector<int> fields;
  bool unique;
  bool primary;
  bool noCase;
};

// The record shapes, one per kind of table; mirrors share their original's.
enum Shape {
  TypeShape,
  BandShape,
  FieldShape,
  TypeFieldShape,
  PaperShape,
  DesignShape,
  ContentShape,
  StdDesignShape
};

constexpr FieldType L = runtime::FieldLong;
constexpr FieldType B = runtime::FieldByte;
constexpr FieldType S = runtime::FieldString;

#define LEDORA_FIELD(record, name, type) \
  Field { #name, type, offsetof(record, name), sizeof(record::name) }

std::vector<Field> ShapeFields(Shape shape) {
  switch (shape) {
    case TypeShape:
      return {LEDORA_FIELD(ReportTypeRecord, TYPENUMBER, L),
              LEDORA_FIELD(ReportTypeRecord, TYPENAME, S),
              LEDORA_FIELD(ReportTypeRecord, STANDARDDESIGN, L),
              LEDORA_FIELD(ReportTypeRecord, NUMBEROFDETAILS, B)};
    case BandShape:
      return {LEDORA_FIELD(BandRecord, TYPENUMBER, L), LEDORA_FIELD(BandRecord, DETAILNUMBER, B),
              LEDORA_FIELD(BandRecord, DETAILNAME, S), LEDORA_FIELD(BandRecord, ABSOLUTE, B),
              LEDORA_FIELD(BandRecord, PAGEBEFORE, B), LEDORA_FIELD(BandRecord, PAGEAFTER, B),
              LEDORA_FIELD(BandRecord, WITHPRIOR, B),  LEDORA_FIELD(BandRecord, WITHNEXT, B),
              LEDORA_FIELD(BandRecord, XPOS, L),       LEDORA_FIELD(BandRecord, YPOS, L),
              LEDORA_FIELD(BandRecord, WIDTH, L),      LEDORA_FIELD(BandRecord, HEIGHT, L)};
    case FieldShape:
      return {LEDORA_FIELD(DataFieldRecord, FIELDNUMBER, L),
              LEDORA_FIELD(DataFieldRecord, USERFIELDNAME, S),
              LEDORA_FIELD(DataFieldRecord, FIELDNAME, S),
              LEDORA_FIELD(DataFieldRecord, FIELDTYPE, B),
              LEDORA_FIELD(DataFieldRecord, BAND, B),
              LEDORA_FIELD(DataFieldRecord, JUSTIFICATION, S),
              LEDORA_FIELD(DataFieldRecord, RESIZABLE, B),
              LEDORA_FIELD(DataFieldRecord, PICTURE, S)};
    case TypeFieldShape:
      return {LEDORA_FIELD(TypeFieldRecord, TYPENUMBER, L),
              LEDORA_FIELD(TypeFieldRecord, FIELDNUMBER, L)};
    case PaperShape:
      return {LEDORA_FIELD(PaperFormatRecord, FORMATNAME, S),
              LEDORA_FIELD(PaperFormatRecord, PAPERSCALE, S),
              LEDORA_FIELD(PaperFormatRecord, PAPERORIENTATION, S),
              LEDORA_FIELD(PaperFormatRecord, PAPERWIDTH, L),
              LEDORA_FIELD(PaperFormatRecord, PAPERHEIGHT, L)};
    case DesignShape:
      return {LEDORA_FIELD(DesignRecord, DESIGNNUMBER, L),
              LEDORA_FIELD(DesignRecord, TYPENUMBER, L), LEDORA_FIELD(DesignRecord, DESIGNNAME, S)};
    case ContentShape:
      return {LEDORA_FIELD(ContentRecord, DESIGNNUMBER, L),
              LEDORA_FIELD(ContentRecord, SEQUENCENUMBER, L),
              LEDORA_FIELD(ContentRecord, RECORDTYPE, S), LEDORA_FIELD(ContentRecord, BCTYPE, B),
              LEDORA_FIELD(ContentRecord, THEDATA, S)};
    case StdDesignShape:
      return {LEDORA_FIELD(StdDesignRecord, TYPENR, L),
              LEDORA_FIELD(StdDesignRecord, STANDARDDESIGN, L)};
  }
  return {};
}

#undef LEDORA_FIELD

// Components are field numbers of the shape, from 0.
std::vector<KeyShape> ShapeKeys(Shape shape) {
  switch (shape) {
    case TypeShape:
      return {{"TYPENUMBERKEY", {0}, true, true, false}, {"TYPENAMEKEY", {1}, true, false, false}};
    case BandShape:
      return {{"TYPENUMBERKEY", {0, 1}, true, true, false},
              {"NAMEKEY", {0, 2}, true, false, false}};
    case FieldShape:
      return {{"FIELDNUMBERKEY", {0}, true, true, false},
              {"FIELDNAMEKEY", {2}, false, false, false},
              {"USERFIELDKEY", {1}, false, false, false}};
    case TypeFieldShape:
      return {{"TYPEKEY", {0, 1}, true, true, false}, {"FIELDKEY", {1, 0}, true, false, false}};
    case PaperShape:
      return {{"FORMATKEY", {0}, true, true, false}};
    case DesignShape:
      return {{"DESIGNNUMBERKEY", {0}, true, true, false}, {"TYPEKEY", {1, 2}, true, false, false}};
    case ContentShape:
      return {{"DESIGNNUMBERKEY", {0, 2, 3}, false, false, true},
              {"DESIGNNUMBERSEQ", {0, 1}, true, true, false}};
    case StdDesignShape:
      return {{"TYPENUMBERKEY", {0}, true, true, false}};
  }
  return {};
}

struct TableInfo {
  const char* label;
  const char* prefix;
  Shape shape;
  void* buffer;
  uint32_t size;
};

const TableInfo kTables[kDesignTableCount] = {
    {"R_Types", "R_T", TypeShape, &R_T, sizeof R_T},
    {"R_Bands", "R_B", BandShape, &R_B, sizeof R_B},
    {"R_Fields", "R_F", FieldShape, &R_F, sizeof R_F},
    {"R_TypeFields", "R_O", TypeFieldShape, &R_O, sizeof R_O},
    {"R_Pformats", "R_P", PaperShape, &R_P, sizeof R_P},
    {"R_Design", "R_D", DesignShape, &R_D, sizeof R_D},
    {"R_Content", "R_C", ContentShape, &R_C, sizeof R_C},
    {"R_StdDesign", "R_S", StdDesignShape, &R_S, sizeof R_S},
    {"E_Design", "E_D", DesignShape, &E_D, sizeof E_D},
    {"E_Content", "E_C", ContentShape, &E_C, sizeof E_C},
    {"I_Types", "I_T", TypeShape, &I_T, sizeof I_T},
    {"I_Bands", "I_B", BandShape, &I_B, sizeof I_B},
    {"I_Fields", "I_F", FieldShape, &I_F, sizeof I_F},
    {"I_TypeFields", "I_O", TypeFieldShape, &I_O, sizeof I_O},
};

bool Known(DesignTable table) { return table >= 0 && table < kDesignTableCount; }

std::unique_ptr<RecordLayout> MakeLayout(const TableInfo& info) {
  std::vector<FieldDescriptor> fields;
  for (const Field& field : ShapeFields(info.shape)) {
    fields.push_back({std::string(info.prefix) + ":" + field.name, field.type,
                      static_cast<uint32_t>(field.offset), static_cast<uint32_t>(field.size), 0});
  }
  return std::make_unique<RecordLayout>(info.prefix, info.size, std::move(fields));
}

}  // namespace

std::string_view DesignTableLabel(DesignTable table) {
  return Known(table) ? kTables[table].label : std::string_view();
}

std::string_view DesignTablePrefix(DesignTable table) {
  return Known(table) ? kTables[table].prefix : std::string_view();
}

const RecordLayout& DesignTableLayout(DesignTable table) {
  static const std::array<std::unique_ptr<RecordLayout>, kDesignTableCount> layouts = [] {
    std::array<std::unique_ptr<RecordLayout>, kDesignTableCount> made;
    for (int i = 0; i < kDesignTableCount; ++i) made[i] = MakeLayout(kTables[i]);
    return made;
  }();
  static const RecordLayout none("", 0, {});
  return Known(table) ? *layouts[table] : none;
}

void* DesignTableBuffer(DesignTable table) {
  return Known(table) ? kTables[table].buffer : nullptr;
}

std::vector<KeyDeclaration> DesignTableKeys(DesignTable table) {
  std::vector<KeyDeclaration> keys;
  if (!Known(table)) return keys;
  for (const KeyShape& shape : ShapeKeys(kTables[table].shape)) {
    KeyDeclaration key;
    key.label = std::string(kTables[table].prefix) + ":" + shape.name;
    for (int field : shape.fields) key.components.push_back({field, false});
    key.unique = shape.unique;
    key.primary = shape.primary;
    key.noCase = shape.noCase;
    keys.push_back(std::move(key));
  }
  return keys;
}

}  // namespace ledora::layout
