// Page image files a report run spools and the preview, printer and PDF
// read back: a damaged one is refused with its reason, never misread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/report/page_image_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ledora::runtime;
  PageImage page;
  std::string error;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!PageImageReader::Decode(bytes, &page, &error) && error.empty()) __builtin_trap();
  return 0;
}
