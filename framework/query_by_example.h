// Query by example: the user types low, example and high values per field,
// and the query turns them into one filter expression, which the paged
// browse installs as its named filter "9 - QBE".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::framework {

inline constexpr std::string_view kQueryFilterId = "9 - QBE";

class QueryByExample {
 public:
  struct Field {
    std::string name;  // as expressions use it: "CUS:NAME"
    char type = ' ';   // 'S' for a string field
    std::string low;
    std::string example;
    std::string high;
  };

  // The form's controls: OK and Cancel, and per field i (from 0) a prompt
  // and the entries for its low, example and high values.
  static constexpr int32_t kOkButton = 1;
  static constexpr int32_t kCancelButton = 2;
  static int32_t PromptControl(size_t field) { return 10 + static_cast<int32_t>(field) * 4; }
  static int32_t LowEntry(size_t field) { return PromptControl(field) + 1; }
  static int32_t ExampleEntry(size_t field) { return PromptControl(field) + 2; }
  static int32_t HighEntry(size_t field) { return PromptControl(field) + 3; }

  virtual ~QueryByExample() = default;

  // Shows the form on the calling procedure thread: 1 on "&OK", 0 on
  // "Cancel" or a closed window (the values entered then stay as they were).
  virtual uint8_t RunUpdateProcedure();

  void AddField(std::string_view name, char type);
  std::vector<Field>& fields() { return fields_; }
  // nullptr when the query has no such field.
  Field* Find(std::string_view name);

  // Blank when nothing was entered.
  std::string BuildFilter() const;

 private:
  static std::string Condition(const Field& field, std::string_view op, std::string_view value);
  static std::string ExampleCondition(const Field& field);

  std::vector<Field> fields_;
};

}  // namespace ledora::framework
