// Walks a view record by record for a report procedure, reading chains of
// child processes after each record and keeping a progress percentage (and
// its "% Complete" text) up to date. The report runner drives it in timed
// portions; each report procedure supplies ProcessRecord.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data/view_manager.h"
#include "framework/thumb_step.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {
class Window;
}

namespace ledora::reporting {

class BatchProcess : public data::ViewManager {
 public:
  uint8_t CHILDREAD = 0;
  std::unique_ptr<std::vector<BatchProcess*>> CHILDREN;  // the processes are not owned
  uint8_t* PERCENTILE = nullptr;
  int32_t PTEXT = 0;
  int32_t RECORDSPROCESSED = 0;
  int32_t RECORDSTOPROCESS = 0;
  framework::ThumbStep* STEPMGR = nullptr;
  runtime::FieldRef VALUEFIELD{runtime::FieldLong, nullptr, 0, 0};

  // window: where the progress text lives; may be nullptr.
  uint8_t Setup(runtime::View* view, data::RelationController* relation, int32_t progressText,
                uint8_t* progress, framework::ThumbStep* stepManager = nullptr,
                const runtime::FieldRef& valueField = {runtime::FieldLong, nullptr, 0, 0},
                runtime::Window* window = nullptr);
  // Read after each record of this process, in the order added.
  void AddChild(BatchProcess* child);
  void Restart(int start = 0) { Reset(start); }

  void Reset(int start) override;
  void Shutdown() override;
  // 0 a record, 5 no more, 3 fatal. count 0 reads without counting.
  virtual uint8_t ReadNext(bool count = true);
  // The per-record work: 0 go on, 5 skip, 3 stop.
  virtual uint8_t ProcessRecord() { return 0; }

 private:
  void SetStepLimits();
  void ShowProgress();

  runtime::Window* window_ = nullptr;
  bool recordRead_ = false;  // the last read of the chain found a record
};

}  // namespace ledora::reporting
