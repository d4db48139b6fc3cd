#include "layout/report_builder.h"

#include "layout/clear_buffer.h"
#include "layout/content_data.h"
#include "layout/control_entry.h"
#include "layout/design_database.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

constexpr size_t kFieldNameSize = 32;

runtime::ReportFont ReportFontOf(const PaperData& paper) {
  runtime::ReportFont font;
  font.name = paper.fontName.empty() ? "Arial" : paper.fontName;
  font.style = paper.fontStyle == 0 ? int32_t{runtime::FontWeightBold} : paper.fontStyle;
  font.size = paper.fontSize == 0 ? 10 : paper.fontSize;
  font.color = paper.fontColor;
  return font;
}

// Each part the control does not set comes from the report's current font.
runtime::ReportFont ControlFont(const ControlData& control, const runtime::ReportFont& report) {
  runtime::ReportFont font;
  font.name = control.fontName.empty() ? report.name : control.fontName;
  font.style = control.fontStyle == 0 ? report.style : control.fontStyle;
  font.size = control.fontSize == 0 ? report.size : control.fontSize;
  font.color = control.fontColor == 0 ? report.color : control.fontColor;
  return font;
}

runtime::ReportJustify Justify(char justification) {
  switch (justification) {
    case 'L':
      return runtime::ReportJustify::Left;
    case 'R':
      return runtime::ReportJustify::Right;
    case 'C':
      return runtime::ReportJustify::Centre;
    default:
      return runtime::ReportJustify::Default;  // the kind's own
  }
}

std::string FieldName(const std::string& name) {
  return std::string(runtime::Clip(name.substr(0, kFieldNameSize)));
}

// A stored picture keeps "," where the report engine expects "`".
std::string DisplayPicture(std::string picture) {
  size_t comma = picture.find(',');
  if (comma != std::string::npos) picture[comma] = '`';
  return picture;
}

bool KnownKind(uint8_t kind) { return kind >= KindImage && kind <= KindTextField; }

void SetTextSettings(runtime::ReportControl& control, const ControlData& data,
                     const runtime::ReportFont& reportFont) {
  control.font = ControlFont(data, reportFont);
  runtime::ReportJustify justify = Justify(data.justification);
  if (justify != runtime::ReportJustify::Default) control.justify = justify;
  if (data.transparent) control.transparent = true;
}

}  // namespace

int16_t ReportBuilder::Build(runtime::Report& report, int16_t kind, int16_t detailNumber,
                             int32_t band, std::string& fieldName, int32_t& nextControl) {
  switch (kind) {
    case BuildReportLevel:
      return BuildReportSettings(report, fieldName, nextControl);
    case BuildPageForm:
      return BuildBand(report, kind, 1, band, fieldName, nextControl);
    case BuildPageHeader:
      return BuildBand(report, kind, 2, band, fieldName, nextControl);
    case BuildPageFooter:
      return BuildBand(report, kind, 3, band, fieldName, nextControl);
    case BuildDetail:
      return BuildBand(report, kind, detailNumber + 3, band, fieldName, nextControl);
    default:
      return BuildFinished;
  }
}

bool ReportBuilder::StartDesign() {
  ClearBuffer(R_Content);
  if (content_ != nullptr) {
    next_ = 0;
    return true;
  }
  R_C.DESIGNNUMBER = R_D.DESIGNNUMBER;
  return designs_->File(R_Content)->SetOnKey(ContentRecord::DESIGNNUMBERKEY) == runtime::ErrorNone;
}

bool ReportBuilder::NextOfDesign() {
  if (content_ != nullptr) {
    if (next_ >= content_->size()) return false;
    R_C = (*content_)[next_++];
    return true;
  }
  return designs_->File(R_Content)->Next() == runtime::ErrorNone &&
         R_C.DESIGNNUMBER == R_D.DESIGNNUMBER;
}

int16_t ReportBuilder::BuildReportSettings(runtime::Report& report, std::string& fieldName,
                                           int32_t& nextControl) {
  nextControl = kFirstBuiltControl;
  fieldName.clear();
  if (!StartDesign()) return BuildFinished;
  while (NextOfDesign()) {
    if (R_C.RECORDTYPE[0] != 'A') continue;
    PaperData paper = DecodePaper(R_C.THEDATA);
    report.SetUnit(paper.scale == 'M' ? runtime::ReportUnit::Millimetres
                                      : runtime::ReportUnit::ThousandthsInch);
    if (paper.orientation == 'L') report.SetOrientation(runtime::OrientationLandscape);
    report.SetPrintableArea(paper.areaX, paper.areaY, paper.areaWidth, paper.areaHeight);
    report.SetFont(ReportFontOf(paper));
    break;
  }
  return BuildFinished;
}

int16_t ReportBuilder::BuildBand(runtime::Report& report, int16_t kind, int bandIndex, int32_t band,
                                 std::string& fieldName, int32_t& nextControl) {
  runtime::ReportBand* target = report.Band(band);
  if (target == nullptr) {
    fieldName.clear();
    return BuildFinished;
  }
  // A blank name starts the band; otherwise the caller has bound the last
  // control and the scan goes on from where it stopped.
  if (fieldName.empty() && !StartDesign()) return BuildFinished;
  while (NextOfDesign()) {
    if (R_C.RECORDTYPE[0] == 'B' && R_C.BCTYPE == kind &&
        (kind != BuildDetail || static_cast<uint8_t>(R_C.THEDATA[0]) == bandIndex)) {
      ConfigureBand(report, *target, kind);
    } else if (R_C.RECORDTYPE[0] == 'C' && static_cast<uint8_t>(R_C.THEDATA[0]) == bandIndex) {
      CreateControl(report, band, fieldName, nextControl);
      if (!fieldName.empty()) return BuildBindField;
    }
  }
  fieldName.clear();
  return BuildFinished;
}

void ReportBuilder::ConfigureBand(runtime::Report& report, runtime::ReportBand& band,
                                  int16_t kind) {
  BandData data = DecodeBand(R_C.THEDATA);
  // Page breaks and keep-together belong to detail bands only.
  if (kind == BuildDetail) {
    band.absolute = data.absolute != 0;
    band.pageBefore = data.pageBefore != 0;
    band.pageAfter = data.pageAfter != 0;
    if (data.withPrior != 0) band.withPrior = data.withPrior;
    if (data.withNext != 0) band.withNext = data.withNext;
  }
  band.x = data.x;
  band.y = data.y;
  band.width = data.width < 0 ? report.areaWidth() : data.width;
  band.height = data.height;
}

void ReportBuilder::CreateControl(runtime::Report& report, int32_t band, std::string& fieldName,
                                  int32_t& nextControl) {
  fieldName.clear();
  ++nextControl;
  uint8_t kind = R_C.BCTYPE;
  if (!KnownKind(kind)) return;  // its number stays used
  ControlData data = DecodeControl(R_C.THEDATA);
  bool pageNumber = kind == KindField && data.fieldName == kPageNumberFieldName;
  bool pageCount = kind == KindField && data.fieldName == kPageCountFieldName;
  auto reportKind = pageNumber  ? runtime::ReportPageNumber
                    : pageCount ? runtime::ReportPageCount
                                : static_cast<runtime::ReportControlKind>(kind);
  runtime::ReportControl* control = report.CreateControl(nextControl, reportKind, band);
  if (control == nullptr) return;
  switch (kind) {
    case KindImage:
      if (!data.picture.empty()) {
        control->imageFile = data.picture;
      } else {
        fieldName = FieldName(data.fieldName);
      }
      break;
    case KindBox:
      control->lineColor = data.lineColor;
      control->fillColor = data.boxColor;
      control->rounded = data.boxRound != 0;
      break;
    case KindLine:
      control->lineColor = data.lineColor;
      break;
    case KindGroup:
    case KindString:
      control->text = data.picture;
      SetTextSettings(*control, data, report.font());
      break;
    case KindField:
      control->picture = DisplayPicture(data.picture);
      SetTextSettings(*control, data, report.font());
      if (!pageNumber && !pageCount) fieldName = FieldName(data.fieldName);
      break;
    case KindCheckBox:
      control->text = data.picture;
      SetTextSettings(*control, data, report.font());
      fieldName = FieldName(data.fieldName);
      break;
    case KindTextField:
      control->grows = data.resizable != 0;
      SetTextSettings(*control, data, report.font());
      fieldName = FieldName(data.fieldName);
      break;
  }
  control->x = data.x;
  control->y = data.y;
  if (data.width >= 0) control->width = data.width;
  if (data.height >= 0) control->height = data.height;
  control->visible = true;
}

int16_t BuildReportFromLayout(runtime::Report& report, int16_t kind, int16_t detailNumber,
                              int32_t band, std::string& fieldName, int32_t& nextControl) {
  DesignDatabase* designs = Designs();
  if (designs == nullptr) {
    if (kind == BuildReportLevel) nextControl = kFirstBuiltControl;
    fieldName.clear();
    return BuildFinished;
  }
  // The builder keeps no state of its own: the band scan's read position
  // lives in R_Content's sequence.
  return ReportBuilder(*designs).Build(report, kind, detailNumber, band, fieldName, nextControl);
}

}  // namespace ledora::layout
