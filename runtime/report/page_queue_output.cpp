#include "runtime/report/page_queue_output.h"

#include "runtime/report/page_image_reader.h"

namespace ledora::runtime {

bool WritePageQueue(const PreviewQueue& pages, PageOutput& output, const std::string& title) {
  if (!output.BeginDocument(title)) return false;
  bool ok = true;
  PageImage page;
  PageQueueReader reader;
  for (const PreviewQueueEntry& entry : pages) {
    ok = reader.Read(entry, &page) && output.WritePage(page);
    if (!ok) break;
  }
  // A failed document still ends, so that no half-written job is left open.
  bool ended = output.EndDocument();
  return ok && ended;
}

}  // namespace ledora::runtime
