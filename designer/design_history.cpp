#include "designer/design_history.h"

namespace ledora::designer {

void DesignHistory::Record(Records before) {
  undo_.push_back(std::move(before));
  redo_.clear();
}

void DesignHistory::Drop() {
  if (!undo_.empty()) undo_.pop_back();
}

DesignHistory::Records DesignHistory::Undo(Records current) {
  Records before = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(std::move(current));
  return before;
}

DesignHistory::Records DesignHistory::Redo(Records current) {
  Records after = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(std::move(current));
  return after;
}

void DesignHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

}  // namespace ledora::designer
