#include "framework/constant_table.h"

#include <limits>

namespace ledora::framework {

namespace {

std::string_view ClipBlanks(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace

struct ConstantTable::ItemValue {
  bool isText = false;
  std::string text;
  int32_t number = 0;

  std::string AsText() const { return isText ? text : std::to_string(number); }
};

bool ConstantTable::Initialize(uint8_t termination) {
  TERMINATION = termination;
  DESCRIPTOR.clear();
  TERMINATORVALUE.clear();
  return termination >= TerminateAtSourceEnd && termination <= TerminateOnValue;
}

bool ConstantTable::AddItem(uint8_t itemType, const runtime::FieldRef& destination) {
  if (itemType < ItemCString || itemType > ItemLong) return false;
  DESCRIPTOR.push_back({itemType, destination});
  return true;
}

void ConstantTable::SetSource(std::string_view bytes) {
  // The read position is a 32-bit number; a larger source is read up to there.
  STR = std::string(bytes.substr(0, std::numeric_limits<int32_t>::max()));
  SOURCESIZE = static_cast<int32_t>(STR.size());
  CHARPNT = 1;
  RECORDPNT = 1;
  if (TERMINATION == TerminateAfterCountByte) {
    ITEMS = STR.empty() ? 0 : static_cast<unsigned char>(STR[0]);
    CHARPNT = 2;
  }
}

void ConstantTable::SetSource(const void* bytes, size_t length) {
  SetSource(std::string_view(static_cast<const char*>(bytes), bytes ? length : 0));
}

// RECORDPNT 0 means it wrapped past 65535 records.
bool ConstantTable::AtEnd() const {
  if (DESCRIPTOR.empty() || CHARPNT < 1) return true;
  switch (TERMINATION) {
    case TerminateAtSourceEnd:
      return CHARPNT > SOURCESIZE;
    case TerminateAfterItems:
    case TerminateAfterCountByte:
      return RECORDPNT == 0 || RECORDPNT > ITEMS;
    case TerminateOnValue:
      return false;
    default:
      return true;
  }
}

data::Severity ConstantTable::Next() {
  if (AtEnd()) return data::SeverityInform;
  // Read the whole record before assigning anything, so a record cut short
  // by the end of the source leaves no half-filled destinations.
  size_t position = static_cast<size_t>(CHARPNT) - 1;
  std::vector<ItemValue> values(DESCRIPTOR.size());
  for (size_t i = 0; i < DESCRIPTOR.size(); ++i) {
    if (!ReadItem(DESCRIPTOR[i].ITEMTYPE, &position, &values[i])) return data::SeverityInform;
  }
  for (size_t i = 0; i < DESCRIPTOR.size(); ++i) {
    const runtime::FieldRef& to = DESCRIPTOR[i].DESTINATION;
    if (values[i].isText) {
      runtime::SetText(to, values[i].text);
    } else {
      runtime::SetNumber(to, runtime::Decimal(values[i].number));
    }
  }
  // The position stays on the terminating record, so the end is lasting.
  if (TERMINATION == TerminateOnValue &&
      ClipBlanks(values[0].AsText()) == ClipBlanks(TERMINATORVALUE)) {
    return data::SeverityInform;
  }
  CHARPNT = static_cast<int32_t>(position + 1);
  ++RECORDPNT;
  return data::SeverityNone;
}

bool ConstantTable::ReadItem(uint8_t itemType, size_t* position, ItemValue* value) const {
  size_t at = *position;
  auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(STR[i])); };
  size_t width = 0;
  switch (itemType) {
    case ItemCString: {
      size_t zero = STR.find('\0', at);
      if (zero == std::string::npos) return false;
      value->isText = true;
      value->text = STR.substr(at, zero - at);
      *position = zero + 1;
      return true;
    }
    case ItemPString: {
      if (at >= STR.size() || byte(at) > STR.size() - at - 1) return false;
      value->isText = true;
      value->text = STR.substr(at + 1, byte(at));
      *position = at + 1 + byte(at);
      return true;
    }
    case ItemByte:
      width = 1;
      break;
    case ItemShort:
    case ItemUShort:
      width = 2;
      break;
    case ItemLong:
      width = 4;
      break;
    default:
      return false;
  }
  if (at >= STR.size() || width > STR.size() - at) return false;
  uint32_t bits = 0;
  for (size_t i = 0; i < width; ++i) bits |= byte(at + i) << (8 * i);
  if (itemType == ItemShort) {
    value->number = static_cast<int16_t>(bits);
  } else {
    value->number = static_cast<int32_t>(bits);
  }
  *position = at + width;
  return true;
}

void ConstantTable::Shutdown() {
  DESCRIPTOR.clear();
  STR.clear();
  SOURCESIZE = 0;
  CHARPNT = 1;
  RECORDPNT = 1;
}

}  // namespace ledora::framework
