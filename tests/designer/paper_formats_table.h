// The paper formats table of a definitions file in a test's folder, as the
// tests of the designer's table routines declare it.
#pragma once

#include <string>

#include "layout/design_records.h"
#include "runtime/storage/file_declaration.h"

namespace ledora::testing {

inline runtime::FileDeclaration PaperFormats(const std::string& folder) {
  runtime::FileDeclaration declaration;
  declaration.label = "R_Pformats";
  declaration.name = folder + "/RptDes1.KDS\\!PaperFor";
  declaration.layout = &layout::DesignTableLayout(layout::R_Pformats);
  declaration.buffer = layout::DesignTableBuffer(layout::R_Pformats);
  declaration.keys = layout::DesignTableKeys(layout::R_Pformats);
  return declaration;
}

}  // namespace ledora::testing
