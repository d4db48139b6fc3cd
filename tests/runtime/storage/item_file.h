// A small record with every stored field type and keys of every kind, and a
// data file of it, for the storage tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/storage/storage_driver.h"
#include "runtime/values/decimal.h"
#include "runtime/values/record_layout.h"

namespace ledora::testing {

#pragma pack(push, 1)
struct ItemRecord {
  int32_t number;
  char name[20];
  char group[6];
  uint8_t price[5];
  int16_t stock;
  double weight;
  uint8_t flag;
  char data[12];
};
#pragma pack(pop)
static_assert(sizeof(ItemRecord) == 58);

enum ItemKey { NumberKey, NameKey, GroupKey, ExactKey };

inline runtime::RecordLayout ItemLayout() {
  using runtime::FieldDescriptor;
  return runtime::RecordLayout(
      "ITM", sizeof(ItemRecord),
      {
          FieldDescriptor{"ITM:NUMBER", runtime::FieldLong, offsetof(ItemRecord, number), 4, 0},
          FieldDescriptor{"ITM:NAME", runtime::FieldString, offsetof(ItemRecord, name), 20, 0},
          FieldDescriptor{"ITM:GROUP", runtime::FieldString, offsetof(ItemRecord, group), 6, 0},
          FieldDescriptor{"ITM:PRICE", runtime::FieldDecimal, offsetof(ItemRecord, price), 5, 2},
          FieldDescriptor{"ITM:STOCK", runtime::FieldShort, offsetof(ItemRecord, stock), 2, 0},
          FieldDescriptor{"ITM:WEIGHT", runtime::FieldReal, offsetof(ItemRecord, weight), 8, 0},
          FieldDescriptor{"ITM:FLAG", runtime::FieldByte, offsetof(ItemRecord, flag), 1, 0},
          FieldDescriptor{"ITM:DATA", runtime::FieldString, offsetof(ItemRecord, data), 12, 0},
      });
}

// NumberKey: unique, primary, optional. NameKey: dups, case-insensitive,
// optional. GroupKey: group ascending then stock descending, dups, exact.
// ExactKey: name and group, unique, exact.
inline runtime::FileDeclaration ItemDeclaration(std::string name,
                                                const runtime::RecordLayout* layout,
                                                ItemRecord* buffer) {
  runtime::FileDeclaration file;
  file.label = "ITEMS";
  file.name = std::move(name);
  file.layout = layout;
  file.buffer = buffer;
  file.keys = {
      {"ITM:NUMBERKEY", {{0, false}}, true, true, true, true},
      {"ITM:NAMEKEY", {{1, false}}, false, false, true, true},
      {"ITM:GROUPKEY", {{2, false}, {4, true}}, false, false, false, false},
      {"ITM:EXACTKEY", {{1, false}, {2, false}}, true, false, false, false},
  };
  return file;
}

class ItemFile {
 public:
  ItemFile(runtime::StorageDriver& driver, std::string name)
      : layout_(ItemLayout()),
        file_(driver.Declare(ItemDeclaration(std::move(name), &layout_, &r))) {
    Clear();
  }

  runtime::DataFile* operator->() { return file_.get(); }
  runtime::DataFile& file() { return *file_; }

  void Clear() {
    memset(&r, 0, sizeof r);
    memset(r.name, ' ', sizeof r.name);
    memset(r.group, ' ', sizeof r.group);
    memset(r.data, ' ', sizeof r.data);
  }
  void Fill(int32_t number, const std::string& name, const std::string& group = "",
            int16_t stock = 0) {
    Clear();
    r.number = number;
    memcpy(r.name, name.data(), std::min(name.size(), sizeof r.name));
    memcpy(r.group, group.data(), std::min(group.size(), sizeof r.group));
    r.stock = stock;
    runtime::PackDecimal(runtime::Decimal::FromUnits(int64_t{number} * 100 + 5, 2), r.price, 5, 2);
  }
  int32_t Add(int32_t number, const std::string& name, const std::string& group = "",
              int16_t stock = 0) {
    Fill(number, name, group, stock);
    return file_->Add();
  }
  // Copies: the packed record's fields need not be aligned for references.
  int32_t Number() const { return r.number; }
  int16_t Stock() const { return r.stock; }
  std::string Name() const {
    std::string name(r.name, sizeof r.name);
    return name.substr(0, name.find_last_not_of(' ') + 1);
  }
  // Numbers read by repeated Next (or Previous) until the end.
  std::vector<int32_t> ReadAll(bool forward = true) {
    std::vector<int32_t> numbers;
    while ((forward ? file_->Next() : file_->Previous()) == 0) numbers.push_back(Number());
    return numbers;
  }

  ItemRecord r;

 private:
  runtime::RecordLayout layout_;
  std::unique_ptr<runtime::DataFile> file_;
};

}  // namespace ledora::testing
