// The queue of page images a report writes instead of printing; the report
// runner owns one and hands it to the print preview.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ledora::runtime {

struct PreviewQueueEntry {
  std::string FILENAME;  // the file holding the page image: the run's spool
  int64_t OFFSET = 0;    // where the page's image starts in it
};

using PreviewQueue = std::vector<PreviewQueueEntry>;

}  // namespace ledora::runtime
