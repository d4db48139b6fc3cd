// What a procedure frame needs of the lists registered with it: the paged
// browses and the file drop-down lists. The browse and drop-list classes
// implement these; the frame passes them its events and refreshes.
#pragma once

#include <cstdint>

#include "data/error_severity.h"

namespace ledora::framework {

class FrameBrowse {
 public:
  virtual ~FrameBrowse() = default;
  // The frame serves a select request: the browse returns a record.
  virtual void SetSelecting(bool selecting) = 0;
  // The frame's current event; the frame ignores the result.
  virtual data::Severity HandleEvent() = 0;
  virtual void ApplySortOrder(uint8_t force) = 0;
  // Brings the window's view of the list up to date.
  virtual void RefreshDisplay() = 0;
  virtual void RegisterAlerts() = 0;
  // Puts the record of the selected row into the record buffer.
  virtual void RereadSelectedRow() = 0;
  virtual bool NeedsRefresh() = 0;
  virtual void Shutdown() = 0;
};

class FileDrop {
 public:
  virtual ~FileDrop() = default;
  virtual data::Severity HandleEvent() = 0;
  virtual void Refresh(uint8_t force) = 0;
  virtual void Shutdown() = 0;
};

}  // namespace ledora::framework
