#include "layout/design_state.h"

#include <algorithm>
#include <climits>

#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

constexpr int32_t kPaperWidth = 8500;
constexpr int32_t kPaperHeight = 11700;

// Stored band sizes of 0 mean the default.
int32_t DefaultWhenZero(int32_t value) { return value == 0 ? -1 : value; }

int32_t ConvertWhenSet(int32_t value, char toScale) {
  return value > 0 ? ConvertUnit(value, toScale) : value;
}

void ConvertAll(ControlGeometry& geometry, char toScale) {
  geometry.XPOS = ConvertUnit(geometry.XPOS, toScale);
  geometry.YPOS = ConvertUnit(geometry.YPOS, toScale);
  geometry.WIDTH = ConvertUnit(geometry.WIDTH, toScale);
  geometry.HEIGHT = ConvertUnit(geometry.HEIGHT, toScale);
}

// Zero and negative values are defaults and stay as they are.
void ConvertSet(ControlGeometry& geometry, char toScale) {
  geometry.XPOS = ConvertWhenSet(geometry.XPOS, toScale);
  geometry.YPOS = ConvertWhenSet(geometry.YPOS, toScale);
  geometry.WIDTH = ConvertWhenSet(geometry.WIDTH, toScale);
  geometry.HEIGHT = ConvertWhenSet(geometry.HEIGHT, toScale);
}

}  // namespace

int32_t ConvertUnit(int32_t value, char toScale) {
  // mm = inch/1000 * 25.4, exactly, as a fraction of integers.
  int64_t numerator = static_cast<int64_t>(value) * (toScale == 'M' ? 254 : 10000);
  int64_t denominator = toScale == 'M' ? 10000 : 254;
  int64_t half = denominator / 2;
  int64_t rounded =
      numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
  return static_cast<int32_t>(std::clamp<int64_t>(rounded, INT32_MIN, INT32_MAX));
}

DesignState::DesignState(DesignerView* window, const std::vector<BandRecord>& detailBands)
    : DESIGNERWINDOW(window), SELECTEDTAG(std::make_unique<SelectionTag>()) {
  if (DESIGNERWINDOW != nullptr) {
    DesignerFont font = DESIGNERWINDOW->WindowFont();
    DFONTNAME = font.name;
    DFONTSTYLE = font.style;
    DFONTSIZE = font.size;
    DESIGNERWINDOW->SetScale('1');
    DESIGNERWINDOW->SetPaperSize(kPaperWidth, kPaperHeight);
  }
  PAPERCTRL = NewGeometry(ShownAsBox);
  PAPERCTRL->Place(0, 0, kPaperWidth, kPaperHeight);
  PAPERCTRL->fillColour = 0xFFFFFF;
  DETAILAREA = NewGeometry(ShownAsBox);
  DETAILAREA->Place(800, 1000, 6900, 9700);
  AppendBand(BandPageForm, "PageForm", 800, 800, 6900, 10100);
  AppendBand(BandPageHeader, "PageHeader", 800, 800, 6900, 200);
  AppendBand(BandPageFooter, "PageFooter", 800, 10100, 6900, 200);
  for (size_t i = 0; i < detailBands.size() && i < kMaxDetailBands; ++i) {
    AppendDetailBand(detailBands[i]);
  }
  SELECTEDTAG->CTRL = PAPERCTRL.get();
}

std::unique_ptr<DesignState> DesignState::Create(DesignerView* window, DesignDatabase& designs) {
  std::vector<BandRecord> bands;
  ReadTypeBands(designs, R_T.TYPENUMBER, &bands);
  return std::make_unique<DesignState>(window, bands);
}

int32_t DesignState::ReadTypeBands(DesignDatabase& designs, int32_t typeNumber,
                                   std::vector<BandRecord>* bands) {
  bands->clear();
  if (!designs.Use(R_Bands))
    return runtime::CurrentError().code != 0 ? runtime::CurrentError().code
                                             : runtime::ErrorFileNotFound;
  runtime::DataFile& file = *designs.File(R_Bands);
  ClearBuffer(R_Bands);
  R_B.TYPENUMBER = typeNumber;
  int32_t code = file.SetOnKey(BandRecord::TYPENUMBERKEY);
  while (code == runtime::ErrorNone) {
    code = file.Next();
    if (code != runtime::ErrorNone || R_B.TYPENUMBER != typeNumber) break;
    bands->push_back(R_B);
  }
  designs.Release(R_Bands);
  return code == runtime::ErrorRecordNotAvailable || code == runtime::ErrorNone ? 0 : code;
}

std::unique_ptr<ControlGeometry> DesignState::NewGeometry(int16_t windowType) {
  auto geometry = std::make_unique<ControlGeometry>();
  geometry->CTRLNO = NEXTCTRL++;
  geometry->CTRLTYPE = windowType;
  return geometry;
}

std::unique_ptr<ControlEntry> DesignState::NewControl(uint8_t kind) {
  auto control = std::make_unique<ControlEntry>();
  control->CTRL = NewGeometry(ShownAs(kind));
  control->CONTROLTYPE = kind;
  return control;
}

void DesignState::AppendBand(int16_t kind, const char* name, int32_t x, int32_t y, int32_t width,
                             int32_t height) {
  auto band = std::make_unique<BandEntry>();
  band->CTRL = NewGeometry(ShownAsBox);
  band->CTRL->Place(x, y, width, height);
  band->BANDTYPE = kind;
  band->BANDNAME = name;
  band->ABSOLUTE = 1;
  BANDS.push_back(std::move(band));
}

void DesignState::AppendDetailBand(const BandRecord& record) {
  auto band = std::make_unique<BandEntry>();
  band->CTRL = NewGeometry(ShownAsBox);
  band->CTRL->Place(record.XPOS, record.YPOS, DefaultWhenZero(record.WIDTH),
                    DefaultWhenZero(record.HEIGHT));
  band->BANDTYPE = BandDetail;
  band->BANDNAME = std::string(runtime::ClippedField(record.DETAILNAME));
  band->DETAILNO = record.DETAILNUMBER;
  band->ABSOLUTE = record.ABSOLUTE;
  band->PAGEBEFORE = record.PAGEBEFORE;
  band->PAGEAFTER = record.PAGEAFTER;
  band->WITHPRIOR = record.WITHPRIOR;
  band->WITHNEXT = record.WITHNEXT;
  BANDS.push_back(std::move(band));
}

BandEntry* DesignState::Band(int position) {
  if (position < 1 || position > static_cast<int>(BANDS.size())) return nullptr;
  return BANDS[position - 1].get();
}

void DesignState::AddBand(int position) {
  if (BandEntry* band = Band(position)) band->PRESENT = 1;
}

void DesignState::RemoveBand(int position) {
  BandEntry* band = Band(position);
  if (band == nullptr) return;
  band->PRESENT = 0;
  band->BANDCONTROLS.clear();
}

void DesignState::SwitchUnit(char scale) {
  if (scale == PAPERSCALE) return;
  ConvertAll(*PAPERCTRL, scale);
  ConvertAll(*DETAILAREA, scale);
  STEPSIZE = ConvertUnit(STEPSIZE, scale);
  for (auto& band : BANDS) {
    ConvertSet(*band->CTRL, scale);
    for (auto& control : band->BANDCONTROLS) ConvertSet(*control->CTRL, scale);
  }
  PAPERSCALE = scale;
  if (DESIGNERWINDOW != nullptr) {
    DESIGNERWINDOW->SetScale(scale);
    DESIGNERWINDOW->Redraw();
  }
  DESIGNCHANGED = 1;
}

void DesignState::SelectPaper() {
  SELECTEDCTRL = SelectedPaper;
  SELECTEDTAG->CTRL = PAPERCTRL.get();
}

}  // namespace ledora::layout
