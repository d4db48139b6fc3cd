// Filter and range expressions (`export --filter`, query by example, the
// report procedures' filters): parsed, evaluated and tested against a
// record of each field type, whatever the text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "runtime/expr/expression.h"
#include "runtime/expr/name_table.h"
#include "runtime/values/field_ref.h"

namespace {

struct Record {
  char name[10];
  int32_t number = -7;
  int16_t small = 3;
  uint8_t byte = 200;
  unsigned char price[5] = {0x00, 0x00, 0x01, 0x23, 0x4c};  // packed 12.34
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ledora::runtime;
  static Record record;
  static NameTable names = [] {
    NameTable table;
    std::memcpy(record.name, "Fuzzing   ", sizeof record.name);
    table.Bind("A:NAME", FieldRef::Of(record.name));
    table.Bind("A:NUM", FieldRef::Of(record.number));
    table.Bind("A:SMALL", FieldRef::Of(record.small));
    table.Bind("A:BYTE", FieldRef::Of(record.byte));
    table.Bind("LOC:ReportType", FieldRef::Of(record.number));
    return table;
  }();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Expression> expression;
  std::string detail;
  if (Expression::Parse(text, &expression, &detail, names) != 0) return 0;
  ExpressionValue value;
  expression->Evaluate(&value);
  bool passed = false;
  expression->Test(&passed);
  for (const RangeTerm& term :
       expression->RangeTerms([](const std::string& name) { return name.starts_with("A:"); })) {
    expression->EvaluateBound(term, &value);
  }
  return 0;
}
