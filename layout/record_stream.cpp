#include "layout/record_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "layout/clear_buffer.h"
#include "layout/content_data.h"
#include "layout/design_codec.h"
#include "layout/design_database.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

int32_t LastError() {
  int32_t code = runtime::CurrentError().code;
  return code != 0 ? code : runtime::ErrorFileNotFound;
}

// A designer message breaks its lines at "|".
std::string Lines(std::string text) {
  std::replace(text.begin(), text.end(), '|', '\n');
  return text;
}

}  // namespace

RecordStream::RecordStream(DesignDatabase& designs, StreamTexts texts)
    : designs_(designs), texts_(std::move(texts)) {}

int32_t RecordStream::Save(DesignState& state) {
  if (!designs_.Use(R_Content)) return LastError();
  runtime::DataFile& file = *designs_.File(R_Content);
  design_ = R_D.DESIGNNUMBER;
  firstError_ = 0;
  ClearBuffer(R_Content);
  R_C.DESIGNNUMBER = design_;
  reuse_ = file.SetOnKey(ContentRecord::DESIGNNUMBERSEQ) == runtime::ErrorNone;
  counter_ = 1;
  WriteRecords(state);
  // Old records beyond the new end go.
  while (reuse_) {
    TakeSlot();
    if (!reuse_) break;
    int32_t code = file.Delete();
    if (code != 0 && firstError_ == 0) firstError_ = code;
  }
  designs_.Release(R_Content);
  state.DESIGNCHANGED = 0;
  return firstError_;
}

int32_t RecordStream::WriteRecords(DesignState& state) {
  for (const ContentRecord& record : DesignRecords(state)) {
    TakeSlot();
    std::memcpy(R_C.THEDATA, record.THEDATA, sizeof R_C.THEDATA);
    StoreSlot(record.RECORDTYPE[0], record.BCTYPE);
  }
  return firstError_;
}

// The design's next old record while there is one, else a new record.
int32_t RecordStream::TakeSlot() {
  if (reuse_) {
    int32_t code = designs_.File(R_Content)->Next();
    if (code != runtime::ErrorNone || R_C.DESIGNNUMBER != design_) reuse_ = false;
  }
  if (!reuse_) {
    ClearBuffer(R_Content);
    R_C.DESIGNNUMBER = design_;
  }
  R_C.SEQUENCENUMBER = counter_++;
  std::memset(R_C.THEDATA, ' ', sizeof R_C.THEDATA);
  return 0;
}

int32_t RecordStream::StoreSlot(char type, uint8_t kind) {
  R_C.RECORDTYPE[0] = type;
  R_C.BCTYPE = kind;
  runtime::DataFile& file = *designs_.File(R_Content);
  int32_t code = reuse_ ? file.Put() : file.Add();
  if (code != 0 && firstError_ == 0) firstError_ = code;
  return code;
}

int32_t RecordStream::Load(DesignState& state) {
  if (!designs_.Use(R_Content)) return LastError();
  runtime::DataFile& file = *designs_.File(R_Content);
  design_ = R_D.DESIGNNUMBER;
  ClearBuffer(R_Content);
  R_C.DESIGNNUMBER = design_;
  std::vector<ContentRecord> records;
  int32_t code = file.SetOnKey(ContentRecord::DESIGNNUMBERKEY);
  while (code == runtime::ErrorNone) {
    code = file.Next();
    if (code != runtime::ErrorNone || R_C.DESIGNNUMBER != design_) break;
    records.push_back(R_C);
  }
  designs_.Release(R_Content);
  LoadRecords(state, records, [this](char type, int band) {
    Report(type == 'B' ? texts_.MessageBandNotFound : texts_.MessageCBNotFound, band);
  });
  return code == runtime::ErrorRecordNotAvailable || code == runtime::ErrorNone ? 0 : code;
}

void RecordStream::Report(const std::string& text, int number) {
  runtime::MessageRequest request;
  request.text = Lines(std::string(runtime::Clip(text)) + " " + std::to_string(number));
  runtime::Messages().Show(request);
}

int32_t RecordStream::HighestDesignNumber(int32_t* highest) {
  runtime::DataFile& file = *designs_.File(R_Design);
  *highest = 0;
  int32_t code = file.SetOrder(DesignRecord::DESIGNNUMBERKEY);
  if (code == runtime::ErrorNone) code = file.Previous();
  if (code == runtime::ErrorNone) *highest = R_D.DESIGNNUMBER;
  return code == runtime::ErrorRecordNotAvailable ? 0 : code;
}

NumberingResult RecordStream::NumberNewDesign(std::string_view name) {
  if (!designs_.Use(R_Design)) return NumberingFailed;
  runtime::DataFile& file = *designs_.File(R_Design);
  ClearBuffer(R_Design);
  R_D.TYPENUMBER = R_T.TYPENUMBER;
  runtime::AssignPadded(R_D.DESIGNNAME, name);
  NumberingResult result;
  if (file.Fetch(DesignRecord::TYPEKEY) == runtime::ErrorNone) {
    runtime::MessageRequest ask;
    ask.text = Lines(std::string(runtime::Clip(texts_.SODMsgExistText)));
    ask.caption = std::string(runtime::Clip(texts_.SODMsgExistCapt));
    ask.icon = runtime::IconQuestion;
    ask.buttons = runtime::ButtonYes | runtime::ButtonNo;
    ask.defaultButton = runtime::ButtonNo;
    result =
        runtime::Messages().Show(ask) == runtime::ButtonYes ? OverwriteExisting : OverwriteDeclined;
  } else {
    int32_t highest = 0;
    int32_t code = HighestDesignNumber(&highest);
    DesignRecord design{};
    design.DESIGNNUMBER = highest < INT32_MAX ? highest + 1 : highest;
    design.TYPENUMBER = R_T.TYPENUMBER;
    runtime::AssignPadded(design.DESIGNNAME, name);
    R_D = design;
    // The numbers have run out: adding would wrap round to a negative one.
    if (code == runtime::ErrorNone && highest == INT32_MAX) {
      runtime::SetError(runtime::ErrorDuplicateKey);
      code = runtime::ErrorDuplicateKey;
    }
    if (code == runtime::ErrorNone) code = file.Add();
    result = code == runtime::ErrorNone ? NumberedNew : NumberingFailed;
    if (result == NumberingFailed) {
      const runtime::ErrorState& error = runtime::CurrentError();
      runtime::MessageRequest message;
      message.text = Lines(std::string(runtime::Clip(texts_.SODMsgErrorAddText)) + "||" +
                           std::string(runtime::Clip(texts_.TextError)) + " " +
                           std::to_string(error.code) + ", " + error.text);
      message.caption = std::string(runtime::Clip(texts_.SODMsgErrorAddCapt));
      message.icon = runtime::IconExclamation;
      runtime::Messages().Show(message);
    }
  }
  designs_.Release(R_Design);
  return result;
}

}  // namespace ledora::layout
