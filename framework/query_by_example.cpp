#include "framework/query_by_example.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "data/view_manager.h"
#include "runtime/values/decimal.h"

namespace ledora::framework {

namespace {

std::string Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The operators a user may type in front of a value; anything else compares
// for equality rather than reaching the expression as it was typed.
std::string KnownOperator(const std::string& typed) {
  static const std::array<std::pair<const char*, const char*>, 12> known{{{"=", "="},
                                                                          {"<", "<"},
                                                                          {">", ">"},
                                                                          {"<=", "<="},
                                                                          {"=<", "<="},
                                                                          {">=", ">="},
                                                                          {"=>", ">="},
                                                                          {"<>", "<>"},
                                                                          {"~", "<>"},
                                                                          {"~=", "<>"},
                                                                          {"~<", ">="},
                                                                          {"~>", "<="}}};
  for (const auto& [text, op] : known) {
    if (typed == text) return op;
  }
  return "=";
}

}  // namespace

void QueryByExample::AddField(std::string_view name, char type) {
  fields_.push_back(Field{std::string(name), static_cast<char>(std::toupper(type)), {}, {}, {}});
}

QueryByExample::Field* QueryByExample::Find(std::string_view name) {
  auto at = std::find_if(fields_.begin(), fields_.end(),
                         [&](const Field& field) { return field.name == name; });
  return at == fields_.end() ? nullptr : &*at;
}

// A string compares on the upper-case forms of both sides; a number is
// written as the number it reads as, so no typed text reaches the
// expression unquoted.
std::string QueryByExample::Condition(const Field& field, std::string_view op,
                                      std::string_view value) {
  std::string text(value.substr(0, 1000));
  if (field.type == 'S') {
    return "UPPER(" + field.name + ") " + std::string(op) + " " + data::QuotedLiteral(Upper(text));
  }
  return field.name + " " + std::string(op) + " " + runtime::ParseLeadingNumber(text).ToString();
}

std::string QueryByExample::ExampleCondition(const Field& field) {
  std::string value = Trimmed(field.example);
  size_t opEnd = value.find_first_not_of("><~=");
  if (opEnd == std::string::npos) return {};
  std::string op = value.substr(0, opEnd);
  value = value.substr(opEnd);
  std::string subject = field.type == 'S' ? "UPPER(" + field.name + ")" : field.name;
  std::string folded = field.type == 'S' ? Upper(value) : value;
  if (value.front() == '*') {
    std::string rest = folded.substr(1);
    while (!rest.empty() && rest.back() == '*') rest.pop_back();
    if (rest.empty()) return {};
    return "INSTRING(" + data::QuotedLiteral(rest) + "," + subject + ",1,1) <> 0";
  }
  if (value.back() == '*') {
    std::string begins = folded.substr(0, folded.size() - 1);
    return "SUB(" + subject + ",1," + std::to_string(begins.size()) +
           ") = " + data::QuotedLiteral(begins);
  }
  return Condition(field, KnownOperator(op), value);
}

std::string QueryByExample::BuildFilter() const {
  std::vector<std::string> conditions;
  for (const Field& field : fields_) {
    std::string low = Trimmed(field.low);
    std::string high = Trimmed(field.high);
    if (!low.empty()) conditions.push_back(Condition(field, ">=", low));
    if (!high.empty()) conditions.push_back(Condition(field, "<=", high));
    if (low.empty() && high.empty()) {
      std::string example = ExampleCondition(field);
      if (!example.empty()) conditions.push_back(example);
    }
  }
  std::string filter;
  for (const std::string& condition : conditions) {
    if (!filter.empty()) filter += " AND ";
    filter += condition;
  }
  return filter;
}

}  // namespace ledora::framework
