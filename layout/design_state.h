// The design open in the designer: paper, detail area, the report type's
// bands in their fixed order and each band's controls, plus the designer's
// selection and editing state. The record stream loads and saves it; the
// designer window, its dialogs and canvas editing change it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/band_entry.h"
#include "layout/control_entry.h"
#include "layout/control_geometry.h"
#include "layout/design_records.h"
#include "layout/designer_view.h"
#include "layout/selection_tag.h"

namespace ledora::layout {

class DesignDatabase;

enum SelectedItem : uint8_t {
  SelectedPaper = 1,
  SelectedDetailArea = 2,
  SelectedBand = 3,
  SelectedControl = 8,
};

// Band positions are stored as one byte: page form, header, footer and at
// most this many detail bands.
constexpr int kMaxDetailBands = 252;

// value in the other unit: thousandths of an inch to millimetres when
// toScale is 'M', millimetres to thousandths otherwise; rounded half away
// from zero.
int32_t ConvertUnit(int32_t value, char toScale);

class DesignState {
 public:
  // A fresh design for a report type whose detail bands (R_Bands records in
  // key order) are given; window, not owned, shows it. Bands beyond
  // kMaxDetailBands are left out, as their position could not be stored.
  DesignState(DesignerView* window, const std::vector<BandRecord>& detailBands);
  // A fresh design for the type in R_T; reads the type's bands through R_Bands.
  static std::unique_ptr<DesignState> Create(DesignerView* window, DesignDatabase& designs);
  // The R_Bands records of a type in key order; 0 or the storage error.
  static int32_t ReadTypeBands(DesignDatabase& designs, int32_t typeNumber,
                               std::vector<BandRecord>* bands);

  DesignState(const DesignState&) = delete;
  DesignState& operator=(const DesignState&) = delete;

  DesignerView* DESIGNERWINDOW;
  uint8_t DESIGNCHANGED = 0;
  char PAPERSCALE = '1';
  char CURRENTVIEW = 'B';
  char ORIENTATION = 'P';
  std::unique_ptr<ControlGeometry> PAPERCTRL;
  std::unique_ptr<ControlGeometry> DETAILAREA;
  std::string FONTNAME;  // blank, zero: none chosen
  int16_t FONTSTYLE = 0;
  int16_t FONTSIZE = 0;
  int32_t FONTCOLOR = 0;
  std::string DFONTNAME;
  int16_t DFONTSTYLE = 0;
  int16_t DFONTSIZE = 0;
  int32_t NEXTCTRL = 100;
  int32_t FIRSTTAGCTRL = 0;
  int32_t CURRENTBAND = 0;
  int32_t CURRENTCONTROL = 0;
  uint8_t SELECTEDCTRL = SelectedPaper;
  std::unique_ptr<SelectionTag> SELECTEDTAG;
  std::vector<std::unique_ptr<BandEntry>> BANDS;
  uint8_t ISINSERTING = 0;
  std::vector<std::unique_ptr<SelectionTag>> TAGGEDCTRLS;
  int16_t ISDRAGGING = 0;
  int32_t DRAGSTARTX = 0;
  int32_t DRAGSTARTY = 0;
  int32_t LASTMOUSEX = 0;
  int32_t LASTMOUSEY = 0;
  int32_t STEPSIZE = 40;

  // A geometry numbered from NEXTCTRL, which goes up by one.
  std::unique_ptr<ControlGeometry> NewGeometry(int16_t windowType);
  // A control entry with the defaults of a new control and a new geometry.
  std::unique_ptr<ControlEntry> NewControl(uint8_t kind = KindString);

  // The band at a position of BANDS, from 1; nullptr outside the list.
  BandEntry* Band(int position);
  // Absent bands keep their place in the list but lose their controls.
  void AddBand(int position);
  void RemoveBand(int position);

  // Converts every position and size to the other unit; nothing when the
  // design already has that scale.
  void SwitchUnit(char scale);
  // Selects the paper and attaches the selection tag to it.
  void SelectPaper();

 private:
  void AppendBand(int16_t kind, const char* name, int32_t x, int32_t y, int32_t width,
                  int32_t height);
  void AppendDetailBand(const BandRecord& record);
};

}  // namespace ledora::layout
