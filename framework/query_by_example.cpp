#include "framework/query_by_example.h"

#include <algorithm>
#include <array>

#include "data/view_manager.h"
#include "runtime/system/ascii_case.h"
#include "runtime/values/decimal.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/control.h"
#include "runtime/window/event.h"
#include "runtime/window/window.h"

namespace ledora::framework {

namespace {

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
  fields_.push_back(Field{std::string(name), runtime::AsciiUpper(type), {}, {}, {}});
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
    return "UPPER(" + field.name + ") " + std::string(op) + " " +
           data::QuotedLiteral(runtime::AsciiUpper(text));
  }
  return field.name + " " + std::string(op) + " " + runtime::ParseLeadingNumber(text).ToString();
}

std::string QueryByExample::ExampleCondition(const Field& field) {
  std::string value = std::string(runtime::TrimBlanks(field.example));
  size_t opEnd = value.find_first_not_of("><~=");
  if (opEnd == std::string::npos) return {};
  std::string op = value.substr(0, opEnd);
  value = value.substr(opEnd);
  std::string subject = field.type == 'S' ? "UPPER(" + field.name + ")" : field.name;
  std::string folded = field.type == 'S' ? runtime::AsciiUpper(value) : value;
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

uint8_t QueryByExample::RunUpdateProcedure() {
  std::vector<Field> before = fields_;
  runtime::Window window;
  window.SetTitle("Example values");
  window.SetModal(true);
  for (size_t i = 0; i < fields_.size(); ++i) {
    int32_t y = 4 + static_cast<int32_t>(i) * 14;
    window.CreateControl(PromptControl(i), runtime::ControlPrompt);
    window.SetText(PromptControl(i), fields_[i].name);
    window.SetRect(PromptControl(i), {4, y, 60, 10});
    std::string* values[] = {&fields_[i].low, &fields_[i].example, &fields_[i].high};
    for (int32_t k = 0; k < 3; ++k) {
      int32_t entry = LowEntry(i) + k;
      window.CreateControl(entry, runtime::ControlEntry);
      window.SetUse(entry, runtime::FieldRef::Of(*values[k]));
      window.SetRect(entry, {68 + k * 64, y, 60, 10});
    }
  }
  int32_t y = 8 + static_cast<int32_t>(fields_.size()) * 14;
  window.CreateControl(kOkButton, runtime::ControlButton);
  window.SetText(kOkButton, "&OK");
  window.SetRect(kOkButton, {136, y, 40, 14});
  window.CreateControl(kCancelButton, runtime::ControlButton);
  window.SetText(kCancelButton, "Cancel");
  window.SetRect(kCancelButton, {180, y, 40, 14});
  window.SetSize(264, y + 20);
  window.Open();
  uint8_t answer = 0;
  runtime::Event event;
  while (window.Accept(&event)) {
    if (event.number != runtime::EventAccepted) continue;
    if (event.control == kOkButton || event.control == kCancelButton) {
      answer = event.control == kOkButton ? 1 : 0;
      window.Close();
    }
  }
  if (answer == 0) fields_ = std::move(before);
  return answer;
}

std::string QueryByExample::BuildFilter() const {
  std::vector<std::string> conditions;
  for (const Field& field : fields_) {
    std::string low = std::string(runtime::TrimBlanks(field.low));
    std::string high = std::string(runtime::TrimBlanks(field.high));
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
