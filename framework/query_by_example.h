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

  virtual ~QueryByExample() = default;

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
