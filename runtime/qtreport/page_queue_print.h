// Prints or saves the pages of a page queue, leaving the page files in
// place: the report runner prints the preview's pages through it, and the
// preview saves them as PDF. Safe to include beside the window engine's
// headers (it names no report type).
#pragma once

#include <string>

#include "runtime/report/preview_queue.h"

namespace ledora::runtime {

// To the named printer queue, or the system's default when printer is
// blank. False with the reason in *error (and the runtime error set) when
// there is no such printer, a page is damaged or the printer refuses.
bool PrintPageQueue(const PreviewQueue& pages, const std::string& printer, const std::string& title,
                    std::string* error);
// A PDF with real text and the fonts embedded.
bool SavePageQueueAsPdf(const PreviewQueue& pages, const std::string& fileName,
                        const std::string& title, std::string* error);
// The system's default printer; blank when the machine has none.
std::string DefaultPrinterName();

}  // namespace ledora::runtime
