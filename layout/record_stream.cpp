#include "layout/record_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "layout/clear_buffer.h"
#include "layout/content_data.h"
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

PaperData PaperOf(const DesignState& state) {
  PaperData paper;
  paper.scale = state.PAPERSCALE;
  paper.orientation = state.ORIENTATION;
  paper.paperWidth = state.PAPERCTRL->WIDTH;
  paper.paperHeight = state.PAPERCTRL->HEIGHT;
  paper.areaX = state.DETAILAREA->XPOS;
  paper.areaY = state.DETAILAREA->YPOS;
  paper.areaWidth = state.DETAILAREA->WIDTH;
  paper.areaHeight = state.DETAILAREA->HEIGHT;
  paper.fontName = state.FONTNAME;
  paper.fontStyle = state.FONTSTYLE;
  paper.fontSize = state.FONTSIZE;
  paper.fontColor = state.FONTCOLOR;
  return paper;
}

BandData BandOf(const BandEntry& entry, int position) {
  BandData band;
  band.index = static_cast<uint8_t>(position);
  band.x = entry.CTRL->XPOS;
  band.y = entry.CTRL->YPOS;
  band.width = entry.CTRL->WIDTH;
  band.height = entry.CTRL->HEIGHT;
  band.name = entry.BANDNAME;
  band.absolute = entry.ABSOLUTE;
  band.pageBefore = entry.PAGEBEFORE;
  band.pageAfter = entry.PAGEAFTER;
  band.withPrior = entry.WITHPRIOR;
  band.withNext = entry.WITHNEXT;
  return band;
}

ControlData ControlOf(const ControlEntry& entry, int position) {
  ControlData control;
  control.band = static_cast<uint8_t>(position);
  control.x = entry.CTRL->XPOS;
  control.y = entry.CTRL->YPOS;
  control.width = entry.CTRL->WIDTH;
  control.height = entry.CTRL->HEIGHT;
  control.userFieldName = entry.USERFIELDNAME;
  control.fieldName = entry.FIELDNAME;
  control.justification = entry.JUSTIFICATION;
  control.resizable = entry.RESIZABLE;
  control.picture = entry.PICTURE;
  control.transparent = entry.TRANSPARENT;
  control.lineColor = entry.LINECOLOR;
  control.boxColor = entry.BOXCOLOR;
  control.boxRound = entry.BOXROUND;
  control.fontName = entry.FONTNAME;
  control.fontStyle = entry.FONTSTYLE;
  control.fontSize = entry.FONTSIZE;
  control.fontColor = entry.FONTCOLOR;
  return control;
}

void TakePaper(DesignState& state, const PaperData& paper) {
  state.PAPERSCALE = paper.scale;
  state.ORIENTATION = paper.orientation;
  state.PAPERCTRL->WIDTH = paper.paperWidth;
  state.PAPERCTRL->HEIGHT = paper.paperHeight;
  state.DETAILAREA->XPOS = paper.areaX;
  state.DETAILAREA->YPOS = paper.areaY;
  state.DETAILAREA->WIDTH = paper.areaWidth;
  state.DETAILAREA->HEIGHT = paper.areaHeight;
  state.FONTNAME = paper.fontName;
  state.FONTSTYLE = paper.fontStyle;
  state.FONTSIZE = paper.fontSize;
  state.FONTCOLOR = paper.fontColor;
}

void TakeControl(ControlEntry& entry, const ControlData& control) {
  entry.CTRL->XPOS = control.x;
  entry.CTRL->YPOS = control.y;
  entry.CTRL->WIDTH = control.width;
  entry.CTRL->HEIGHT = control.height;
  entry.USERFIELDNAME = control.userFieldName;
  entry.FIELDNAME = control.fieldName;
  entry.JUSTIFICATION = control.justification;
  // A check box's own justification is right.
  if (entry.CONTROLTYPE == KindCheckBox && entry.JUSTIFICATION == 'D') entry.JUSTIFICATION = 'R';
  entry.RESIZABLE = control.resizable;
  entry.PICTURE = control.picture;
  entry.TRANSPARENT = control.transparent;
  entry.LINECOLOR = control.lineColor;
  entry.BOXCOLOR = control.boxColor;
  entry.BOXROUND = control.boxRound;
  entry.FONTNAME = control.fontName;
  entry.FONTSTYLE = control.fontStyle;
  entry.FONTSIZE = control.fontSize;
  entry.FONTCOLOR = control.fontColor;
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
  TakeSlot();
  EncodePaper(PaperOf(state), R_C.THEDATA);
  StoreSlot('A', 0);
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT) continue;
    TakeSlot();
    EncodeBand(BandOf(band, static_cast<int>(i + 1)), R_C.THEDATA);
    StoreSlot('B', static_cast<uint8_t>(band.BANDTYPE));
  }
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT) continue;
    for (const auto& control : band.BANDCONTROLS) {
      TakeSlot();
      EncodeControl(ControlOf(*control, static_cast<int>(i + 1)), R_C.THEDATA);
      StoreSlot('C', control->CONTROLTYPE);
    }
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
  char scale = state.PAPERSCALE;
  design_ = R_D.DESIGNNUMBER;
  ClearBuffer(R_Content);
  R_C.DESIGNNUMBER = design_;
  int32_t code = file.SetOnKey(ContentRecord::DESIGNNUMBERKEY);
  while (code == runtime::ErrorNone) {
    code = file.Next();
    if (code != runtime::ErrorNone || R_C.DESIGNNUMBER != design_) break;
    switch (R_C.RECORDTYPE[0]) {
      case 'A':
        TakePaper(state, DecodePaper(R_C.THEDATA));
        break;
      case 'B':
        LoadBand(state);
        break;
      case 'C':
        LoadControl(state);
        break;
      default:
        break;
    }
  }
  designs_.Release(R_Content);
  if (state.PAPERSCALE != scale) {
    bool millimetres = state.PAPERSCALE == 'M';
    if (state.DESIGNERWINDOW != nullptr) state.DESIGNERWINDOW->SetScale(millimetres ? 'M' : '1');
    state.STEPSIZE = millimetres ? ConvertUnit(40, 'M') : 40;
  }
  state.SelectPaper();
  if (state.DESIGNERWINDOW != nullptr) state.DESIGNERWINDOW->Redraw();
  state.DESIGNCHANGED = 0;
  return code == runtime::ErrorRecordNotAvailable || code == runtime::ErrorNone ? 0 : code;
}

void RecordStream::LoadBand(DesignState& state) {
  BandData data = DecodeBand(R_C.THEDATA);
  BandEntry* band = state.Band(data.index);
  if (band == nullptr) return Report(texts_.MessageBandNotFound, data.index);
  // Kind and detail number belong to the report type, not to the record.
  band->PRESENT = 1;
  band->CTRL->XPOS = data.x;
  band->CTRL->YPOS = data.y;
  band->CTRL->WIDTH = data.width;
  band->CTRL->HEIGHT = data.height;
  band->BANDNAME = data.name;
  band->ABSOLUTE = data.absolute;
  band->PAGEBEFORE = data.pageBefore;
  band->PAGEAFTER = data.pageAfter;
  band->WITHPRIOR = data.withPrior;
  band->WITHNEXT = data.withNext;
}

void RecordStream::LoadControl(DesignState& state) {
  ControlData data = DecodeControl(R_C.THEDATA);
  BandEntry* band = state.Band(data.band);
  if (band == nullptr) return Report(texts_.MessageCBNotFound, data.band);
  std::unique_ptr<ControlEntry> control = state.NewControl(R_C.BCTYPE);
  if (state.DESIGNERWINDOW != nullptr) {
    state.DESIGNERWINDOW->RemoveControl(control->CTRL->CTRLNO);
    state.DESIGNERWINDOW->CreateControl(control->CTRL->CTRLNO, control->CTRL->CTRLTYPE);
  }
  TakeControl(*control, data);
  band->BANDCONTROLS.push_back(std::move(control));
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
