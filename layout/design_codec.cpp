#include "layout/design_codec.h"

#include <cstring>

#include "layout/content_data.h"

namespace ledora::layout {
namespace {

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

void TakeBand(BandEntry& band, const BandData& data) {
  // Kind and detail number belong to the report type, not to the record.
  band.PRESENT = 1;
  band.CTRL->XPOS = data.x;
  band.CTRL->YPOS = data.y;
  band.CTRL->WIDTH = data.width;
  band.CTRL->HEIGHT = data.height;
  band.BANDNAME = data.name;
  band.ABSOLUTE = data.absolute;
  band.PAGEBEFORE = data.pageBefore;
  band.PAGEAFTER = data.pageAfter;
  band.WITHPRIOR = data.withPrior;
  band.WITHNEXT = data.withNext;
}

ContentRecord Blank(int32_t sequence, char type, uint8_t kind) {
  ContentRecord record{};
  record.SEQUENCENUMBER = sequence;
  record.RECORDTYPE[0] = type;
  record.BCTYPE = kind;
  return record;
}

}  // namespace

std::vector<ContentRecord> DesignRecords(const DesignState& state) {
  std::vector<ContentRecord> records;
  records.push_back(Blank(1, 'A', 0));
  EncodePaper(PaperOf(state), records.back().THEDATA);
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT) continue;
    records.push_back(
        Blank(static_cast<int32_t>(records.size() + 1), 'B', static_cast<uint8_t>(band.BANDTYPE)));
    EncodeBand(BandOf(band, static_cast<int>(i + 1)), records.back().THEDATA);
  }
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT) continue;
    for (const auto& control : band.BANDCONTROLS) {
      records.push_back(Blank(static_cast<int32_t>(records.size() + 1), 'C', control->CONTROLTYPE));
      EncodeControl(ControlOf(*control, static_cast<int>(i + 1)), records.back().THEDATA);
    }
  }
  return records;
}

void LoadRecords(DesignState& state, const std::vector<ContentRecord>& records,
                 const MissingBand& missing) {
  char scale = state.PAPERSCALE;
  for (const ContentRecord& record : records) {
    switch (record.RECORDTYPE[0]) {
      case 'A':
        TakePaper(state, DecodePaper(record.THEDATA));
        break;
      case 'B': {
        BandData data = DecodeBand(record.THEDATA);
        if (BandEntry* band = state.Band(data.index)) {
          TakeBand(*band, data);
        } else if (missing) {
          missing('B', data.index);
        }
        break;
      }
      case 'C': {
        ControlData data = DecodeControl(record.THEDATA);
        BandEntry* band = state.Band(data.band);
        if (band == nullptr) {
          if (missing) missing('C', data.band);
          break;
        }
        std::unique_ptr<ControlEntry> control = state.NewControl(record.BCTYPE);
        if (state.DESIGNERWINDOW != nullptr) {
          state.DESIGNERWINDOW->RemoveControl(control->CTRL->CTRLNO);
          state.DESIGNERWINDOW->CreateControl(control->CTRL->CTRLNO, control->CTRL->CTRLTYPE);
        }
        TakeControl(*control, data);
        band->BANDCONTROLS.push_back(std::move(control));
        break;
      }
      default:
        break;
    }
  }
  if (state.PAPERSCALE != scale) {
    bool millimetres = state.PAPERSCALE == 'M';
    if (state.DESIGNERWINDOW != nullptr) state.DESIGNERWINDOW->SetScale(millimetres ? 'M' : '1');
    state.STEPSIZE = millimetres ? ConvertUnit(40, 'M') : 40;
  }
  state.SelectPaper();
  if (state.DESIGNERWINDOW != nullptr) state.DESIGNERWINDOW->Redraw();
  state.DESIGNCHANGED = 0;
}

}  // namespace ledora::layout
