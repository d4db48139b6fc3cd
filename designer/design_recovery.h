// The crash-safe copy of a layout with unsaved changes: its content records
// written now and then to a recovery file in the data folder (a temporary
// file renamed into place, so a crash leaves the old copy or the new one,
// never half of one), offered again when the layout is next opened, and
// removed when the layout is saved or its changes are discarded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/design_records.h"

namespace ledora::designer {

class DesignRecovery {
 public:
  // folder: the data folder. A new layout not yet saved has design 0.
  DesignRecovery(std::string folder, int32_t type, int32_t design);

  const std::string& path() const { return path_; }
  bool Exists() const;
  // False when the copy could not be written; the old copy then stays.
  bool Write(const std::vector<layout::ContentRecord>& records) const;
  // False for a missing or damaged file.
  bool Read(std::vector<layout::ContentRecord>* records) const;
  void Remove() const;

 private:
  std::string path_;
};

// How often a changed layout is copied, in hundredths of a second.
inline constexpr int32_t kAutosaveInterval = 3000;

}  // namespace ledora::designer
