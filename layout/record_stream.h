// Saving an open design as its run of content records in R_Content and
// loading it back, plus the numbering of a design saved under a new name.
// The designer's save, save-as and open commands use it; the design number
// travels in R_D, as the design dialogs leave it there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "layout/design_state.h"

namespace ledora::layout {

class DesignDatabase;

// The texts the record stream shows; the designer fills them from its text
// table, so these are only the built-in defaults.
struct StreamTexts {
  std::string MessageBandNotFound = "bandnumber not found:";
  std::string MessageCBNotFound = "controls bandnumber not found:";
  std::string SODMsgErrorAddText =
      "Error in saving design.  Please contact the producer of this software, quoting the "
      "following error messages.";
  std::string SODMsgErrorAddCapt = "Design Not Saved";
  std::string TextError = "Error";
  std::string SODMsgExistText =
      "This design already exists.  Do you want to overwrite existing design?";
  std::string SODMsgExistCapt = "WARNING: Overwriting Existing Design";
};

enum NumberingResult : uint8_t {
  NumberedNew = 0,        // R_D holds the new design, added
  OverwriteExisting = 1,  // R_D holds the existing design of that name
  OverwriteDeclined = 2,  // the user kept the existing design
  NumberingFailed = 3,    // the design record could not be added; reported
};

class RecordStream {
 public:
  explicit RecordStream(DesignDatabase& designs, StreamTexts texts = {});

  // Writes design R_D.DESIGNNUMBER: "A", the present bands' "B", then their
  // controls' "C", reusing the design's old records in place, appending the
  // rest and deleting what is left over, so n records hold sequence numbers
  // 1..n. Clears DESIGNCHANGED. 0, or the first storage error met (the
  // writing goes on past it).
  int32_t Save(DesignState& state);

  // Loads design R_D.DESIGNNUMBER into a fresh state of its report type.
  // Records naming a band the type lacks are reported and skipped. 0, or
  // the error that stopped the reading early (the design then ends there).
  int32_t Load(DesignState& state);

  // Gives the design named name of the type R_T.TYPENUMBER its number: a
  // new one after the highest in use, or, after the user's consent, the
  // existing design's.
  NumberingResult NumberNewDesign(std::string_view name);

 private:
  int32_t TakeSlot();
  int32_t StoreSlot(char type, uint8_t kind);
  int32_t WriteRecords(DesignState& state);
  void Report(const std::string& text, int number);
  int32_t HighestDesignNumber(int32_t* highest);

  DesignDatabase& designs_;
  StreamTexts texts_;
  int32_t design_ = 0;
  int32_t counter_ = 0;
  bool reuse_ = false;
  int32_t firstError_ = 0;
};

}  // namespace ledora::layout
