// Sends the pages of a page queue to an output (printer, PDF) and leaves
// the page files in place, so that a preview can save or print its pages
// and still show them. Report::Flush is the one-way version.
#pragma once

#include <string>

#include "runtime/report/page_output.h"
#include "runtime/report/preview_queue.h"

namespace ledora::runtime {

// False with the runtime error set when a page cannot be read or the output
// refuses; the output's document is ended either way.
bool WritePageQueue(const PreviewQueue& pages, PageOutput& output, const std::string& title);

}  // namespace ledora::runtime
