// The queue of page image files a report writes instead of printing; the
// report runner owns one and hands it to the print preview.
#pragma once

#include <string>
#include <vector>

namespace ledora::runtime {

struct PreviewQueueEntry {
  std::string FILENAME;  // the page image file
};

using PreviewQueue = std::vector<PreviewQueueEntry>;

}  // namespace ledora::runtime
