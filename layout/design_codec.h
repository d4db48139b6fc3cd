// An open design as the run of content records the record stream stores,
// in memory: made from a design state, and loaded back into a fresh one.
// The record stream writes and reads these records; the designer keeps
// them to undo and redo edits and to recover a layout after a crash.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "layout/design_records.h"
#include "layout/design_state.h"

namespace ledora::layout {

// "A", the present bands' "B", then their controls' "C", with sequence
// numbers from 1 and design number 0.
std::vector<ContentRecord> DesignRecords(const DesignState& state);

// Called for a record naming a band the design's type lacks: the record
// type ('B' or 'C') and the band's index.
using MissingBand = std::function<void(char type, int band)>;

// Loads the records into a fresh design state: paper, bands and controls,
// then the unit, the paper selected, a redraw, and DESIGNCHANGED cleared.
void LoadRecords(DesignState& state, const std::vector<ContentRecord>& records,
                 const MissingBand& missing = {});

}  // namespace ledora::layout
