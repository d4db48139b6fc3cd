// Undo and redo of the edits of one open layout: before every edit the
// design's content records are kept, so undoing gives back exactly the
// records the design had (and redoing those it had after the edit).
#pragma once

#include <cstddef>
#include <vector>

#include "layout/design_records.h"

namespace ledora::designer {

class DesignHistory {
 public:
  using Records = std::vector<layout::ContentRecord>;

  // The design as it was before an edit; forgets what could be redone.
  void Record(Records before);
  // Forgets the last Record: the edit did not happen.
  void Drop();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // current is the design now; answers what it was before the last edit.
  Records Undo(Records current);
  Records Redo(Records current);
  void Clear();

 private:
  std::vector<Records> undo_;
  std::vector<Records> redo_;
};

}  // namespace ledora::designer
