#include "runtime/expr/builtin_functions.h"

#include <algorithm>
#include <cctype>

#include "runtime/dates/local_clock.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

using Args = std::vector<ExpressionValue>;

// Counts and positions beyond this are cut, so a wild argument cannot ask
// for a text larger than memory.
constexpr int64_t kLargest = 1 << 30;

int64_t Whole(const ExpressionValue& value) {
  Decimal whole = value.number().Truncated(0);
  if (whole > Decimal(kLargest)) return kLargest;
  if (whole < Decimal(-kLargest)) return -kLargest;
  return whole.ToInt64();
}

int32_t Upper(const Args& args, ExpressionValue* out) {
  *out = ExpressionValue::Text(ToUpper1252(args[0].text()));
  return ErrorNone;
}

char ToLower1252(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 16);
  if (u == 0x9F) return static_cast<char>(0xFF);
  return c;
}

int32_t Lower(const Args& args, ExpressionValue* out) {
  std::string text = args[0].text();
  for (char& c : text) c = ToLower1252(c);
  *out = ExpressionValue::Text(std::move(text));
  return ErrorNone;
}

int32_t ClipText(const Args& args, ExpressionValue* out) {
  *out = ExpressionValue::Text(std::string(Clip(args[0].text())));
  return ErrorNone;
}

int32_t Len(const Args& args, ExpressionValue* out) {
  *out = ExpressionValue::Number(static_cast<int64_t>(args[0].text().size()));
  return ErrorNone;
}

// SUB(text, start, length): start counts from 1, or from the end when
// negative; whatever lies outside the text is simply not there.
int32_t Sub(const Args& args, ExpressionValue* out) {
  std::string text = args[0].text();
  auto size = static_cast<int64_t>(text.size());
  int64_t start = Whole(args[1]);
  int64_t length = args.size() > 2 ? Whole(args[2]) : 1;
  if (start < 0) start = size + start + 1;
  int64_t first = std::max<int64_t>(start, 1);
  int64_t end = std::min<int64_t>(start + std::max<int64_t>(length, 0), size + 1);
  std::string part = end > first ? text.substr(first - 1, end - first) : std::string();
  *out = ExpressionValue::Text(std::move(part));
  return ErrorNone;
}

// INSTRING(sub, text, step, start): tests only the places start,
// start+step, ... and answers the count of steps to the match (the place
// itself for step 1), 0 when none matches. A negative step searches back.
int32_t InString(const Args& args, ExpressionValue* out) {
  std::string sub = args[0].text();
  std::string text = args[1].text();
  int64_t step = args.size() > 2 ? Whole(args[2]) : 1;
  if (step == 0) return ErrorExpressionEvaluation;
  auto size = static_cast<int64_t>(text.size());
  auto subSize = static_cast<int64_t>(sub.size());
  int64_t start = args.size() > 3 ? Whole(args[3]) : (step > 0 ? 1 : size - subSize + 1);
  *out = ExpressionValue::Number(0);
  if (subSize == 0) return ErrorNone;
  for (int64_t at = start; at >= 1 && at + subSize - 1 <= size; at += step) {
    if (text.compare(at - 1, subSize, sub) == 0) {
      *out = ExpressionValue::Number(step > 0 ? (at - 1) / step + 1 : at);
      return ErrorNone;
    }
  }
  return ErrorNone;
}

int32_t Int(const Args& args, ExpressionValue* out) {
  *out = ExpressionValue::Number(args[0].number().Truncated(0));
  return ErrorNone;
}

int32_t Abs(const Args& args, ExpressionValue* out) {
  Decimal value = args[0].number();
  *out = ExpressionValue::Number(value.IsNegative() ? -value : value);
  return ErrorNone;
}

int32_t TodayDate(const Args&, ExpressionValue* out) {
  *out = ExpressionValue::Number(static_cast<int64_t>(Today()));
  return ErrorNone;
}

constexpr BuiltinSpec kBuiltins[] = {
    {"UPPER", Upper, 1, 1}, {"LOWER", Lower, 1, 1}, {"CLIP", ClipText, 1, 1},
    {"LEN", Len, 1, 1},     {"SUB", Sub, 2, 3},     {"INSTRING", InString, 2, 4},
    {"INT", Int, 1, 1},     {"ABS", Abs, 1, 1},     {"TODAY", TodayDate, 0, 0},
};

}  // namespace

const BuiltinSpec* FindBuiltin(std::string_view name) {
  std::string upper = ToUpper1252(name);
  for (const BuiltinSpec& entry : kBuiltins) {
    if (upper == entry.name) return &entry;
  }
  return nullptr;
}

}  // namespace ledora::runtime
