#include "layout/design_codec.h"

#include <cstring>

#include "layout/content_data.h"

namespace ledora::layout {
namespace {

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
    EncodeBand(BandOf(band, static_cast<uint8_t>(i + 1)), records.back().THEDATA);
  }
  for (size_t i = 0; i < state.BANDS.size(); ++i) {
    const BandEntry& band = *state.BANDS[i];
    if (!band.PRESENT) continue;
    for (const auto& control : band.BANDCONTROLS) {
      records.push_back(Blank(static_cast<int32_t>(records.size() + 1), 'C', control->CONTROLTYPE));
      EncodeControl(ControlOf(*control, static_cast<uint8_t>(i + 1)), records.back().THEDATA);
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
        TakePaper(DecodePaper(record.THEDATA), state);
        break;
      case 'B': {
        BandData data = DecodeBand(record.THEDATA);
        if (BandEntry* band = state.Band(data.index)) {
          // Kind and detail number belong to the report type, not to the record.
          TakeBand(data, *band);
          band->PRESENT = 1;
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
        TakeControl(data, *control);
        // A check box's own justification is right.
        if (control->CONTROLTYPE == KindCheckBox && control->JUSTIFICATION == 'D') {
          control->JUSTIFICATION = 'R';
        }
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
