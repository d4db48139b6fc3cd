// A data file name taken apart: the disk file (with the default extension
// ".KDS" when it has none) and the table inside it. Used by the SQLite driver
// at every open and create.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ledora::runtime {

struct StorageName {
  std::string file;   // "RptDes1.KDS", "CUSTOMER.KDS"
  std::string table;  // "LTypes"; for a single-table file its base name, "CUSTOMER"
  bool multiTable = false;

  // "CUSTOMER", "RptDes1.KDS\!LTypes", "RptNew1\!LTypes"; trailing blanks
  // of fixed-size name variables are ignored. Empty parts give nothing.
  static std::optional<StorageName> Parse(std::string_view name);
};

// The name part of a label, which names columns and indexes: "CUS:NAME" gives
// "NAME".
std::string LabelName(std::string_view label);

}  // namespace ledora::runtime
