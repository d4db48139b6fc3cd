#include "designer/design_deletion.h"

#include <string>

#include "layout/clear_buffer.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::designer {

namespace {

int32_t ClearStandardDesign(runtime::DataFile& types, int32_t typeNumber, int32_t designNumber) {
  layout::ClearBuffer(layout::R_Types);
  layout::R_T.TYPENUMBER = typeNumber;
  int32_t code = types.Fetch(layout::ReportTypeRecord::TYPENUMBERKEY);
  if (code != 0 || layout::R_T.STANDARDDESIGN != designNumber) return code;
  layout::R_T.STANDARDDESIGN = 0;
  return types.Put();
}

void DeleteContents(runtime::DataFile& contents, int32_t designNumber) {
  layout::ClearBuffer(layout::R_Content);
  layout::R_C.DESIGNNUMBER = designNumber;
  if (contents.SetOnKey(layout::ContentRecord::DESIGNNUMBERSEQ) != 0) return;
  while (contents.Next() == 0 && layout::R_C.DESIGNNUMBER == designNumber) {
    if (contents.Delete() != 0) break;
  }
}

}  // namespace

DeletionResult DeleteDesign(layout::DesignDatabase& designs, int32_t typeNumber,
                            int32_t designNumber) {
  DeletionResult result;
  using layout::DesignTable;
  for (DesignTable t : {layout::R_Types, layout::R_Content, layout::R_Design}) {
    if (!designs.Use(t)) {
      for (DesignTable u : {layout::R_Types, layout::R_Content, layout::R_Design}) {
        if (u == t) break;
        designs.Release(u);
      }
      return {runtime::CurrentError().code, t == layout::R_Design ? 2 : 1};
    }
  }
  int32_t code = ClearStandardDesign(*designs.File(layout::R_Types), typeNumber, designNumber);
  if (code != 0 && code != runtime::ErrorRecordNotFound) {
    result = {code, 1};
  } else {
    DeleteContents(*designs.File(layout::R_Content), designNumber);
    layout::ClearBuffer(layout::R_Design);
    layout::R_D.DESIGNNUMBER = designNumber;
    runtime::DataFile& design = *designs.File(layout::R_Design);
    code = design.Fetch(layout::DesignRecord::DESIGNNUMBERKEY);
    if (code == 0) code = design.Delete();
    if (code != 0) result = {code, 2};
  }
  for (DesignTable t : {layout::R_Types, layout::R_Content, layout::R_Design}) designs.Release(t);
  return result;
}

void ShowDeletionError(const DeletionResult& result) {
  runtime::MessageRequest request;
  request.text = "Error " + std::to_string(result.code) + "=" + runtime::CurrentError().text;
  request.caption = "Unexpected error " + std::to_string(result.step);
  request.icon = runtime::IconExclamation;
  runtime::Messages().Show(request);
}

}  // namespace ledora::designer
