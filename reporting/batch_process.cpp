#include "reporting/batch_process.h"

#include <algorithm>
#include <string>

#include "data/error_severity.h"
#include "runtime/values/decimal.h"
#include "runtime/window/window.h"

namespace ledora::reporting {

uint8_t BatchProcess::Setup(runtime::View* view, data::RelationController* relation,
                            int32_t progressText, uint8_t* progress,
                            framework::ThumbStep* stepManager, const runtime::FieldRef& valueField,
                            runtime::Window* window) {
  PTEXT = progressText;
  PERCENTILE = progress;
  STEPMGR = stepManager;
  VALUEFIELD = valueField;
  window_ = window;
  if (PERCENTILE != nullptr) *PERCENTILE = 0;
  return Initialize(view, relation);
}

void BatchProcess::AddChild(BatchProcess* child) {
  if (CHILDREN == nullptr) CHILDREN = std::make_unique<std::vector<BatchProcess*>>();
  CHILDREN->push_back(child);
}

void BatchProcess::Reset(int start) {
  RECORDSPROCESSED = 0;
  if (STEPMGR != nullptr && VALUEFIELD.address != nullptr) {
    SetStepLimits();
  } else if (RECORDSTOPROCESS == 0 && PRIMARY->ME->MakeUsable() == data::SeverityNone) {
    RECORDSTOPROCESS =
        static_cast<int32_t>(std::max<int64_t>(PRIMARY->ME->CurrentFile().Records(), 0));
  }
  CHILDREAD = 0;
  recordRead_ = false;
  ViewManager::Reset(start);
}

void BatchProcess::SetStepLimits() {
  ViewManager::Reset(0);
  if (ViewManager::Previous() != data::SeverityNone) runtime::SetText(VALUEFIELD, "1");
  std::string high = runtime::GetText(VALUEFIELD).substr(0, 64);
  ViewManager::Reset(0);
  std::string low = ViewManager::Next() == data::SeverityNone
                        ? runtime::GetText(VALUEFIELD).substr(0, 64)
                        : std::string("-1");
  STEPMGR->SetRange(low, high);
}

uint8_t BatchProcess::ReadNext(bool count) {
  size_t children = CHILDREN == nullptr ? 0 : CHILDREN->size();
  if (recordRead_ && CHILDREAD < children) {
    BatchProcess* child = (*CHILDREN)[CHILDREAD++];
    child->ApplyRange();
    child->Restart();
  }
  uint8_t result;
  for (;;) {
    result = CHILDREAD == 0 ? Next() : (*CHILDREN)[CHILDREAD - 1]->Next();
    // A child that has run out hands back to its parent; a fatal read ends
    // the chain rather than being read past.
    if (result != data::SeverityInform || CHILDREAD == 0) break;
    --CHILDREAD;
  }
  recordRead_ = result == data::SeverityNone;
  if (recordRead_ && count) {
    ++RECORDSPROCESSED;
    if (PERCENTILE != nullptr && CHILDREAD == 0) ShowProgress();
  }
  return result;
}

void BatchProcess::ShowProgress() {
  int64_t percent = 0;
  if (STEPMGR != nullptr && VALUEFIELD.address != nullptr) {
    percent = STEPMGR->PercentileOf(runtime::GetText(VALUEFIELD));
  } else if (RECORDSTOPROCESS > 0) {
    percent = (runtime::Decimal(RECORDSPROCESSED) / runtime::Decimal(RECORDSTOPROCESS) *
               runtime::Decimal(100))
                  .ToInt64();
  }
  percent = std::min<int64_t>(percent, 100);
  if (percent == *PERCENTILE) return;
  *PERCENTILE = static_cast<uint8_t>(percent);
  if (window_ == nullptr) return;
  if (PTEXT != 0) window_->SetText(PTEXT, std::to_string(percent) + "% Complete");
  window_->Display();
}

void BatchProcess::Shutdown() {
  PERCENTILE = nullptr;
  VALUEFIELD = {runtime::FieldLong, nullptr, 0, 0};
  if (PRIMARY != nullptr) PRIMARY->SetQuickScan(false);
  CHILDREN.reset();
  if (STEPMGR != nullptr) STEPMGR->Shutdown();
  ViewManager::Shutdown();
}

}  // namespace ledora::reporting
