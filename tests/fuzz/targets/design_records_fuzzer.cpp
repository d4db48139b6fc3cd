// A design's content records as R_Content, an export file or a recovery
// copy hold them: loaded into a design of a type with two detail bands,
// whatever the records say, and saved back as records.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "layout/design_codec.h"
#include "layout/design_state.h"

namespace {

ledora::layout::BandRecord Band(uint8_t number) {
  ledora::layout::BandRecord band{};
  band.TYPENUMBER = 1;
  band.DETAILNUMBER = number;
  std::memset(band.DETAILNAME, ' ', sizeof band.DETAILNAME);
  band.DETAILNAME[0] = static_cast<char>('0' + number);
  band.WIDTH = 7000;
  band.HEIGHT = 300;
  return band;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ledora::layout;
  std::vector<ContentRecord> records(size / sizeof(ContentRecord));
  if (!records.empty()) std::memcpy(records.data(), data, records.size() * sizeof(ContentRecord));
  DesignState state(nullptr, {Band(1), Band(2)});
  LoadRecords(state, records, [](char, int) {});
  std::vector<ContentRecord> saved = DesignRecords(state);
  DesignState again(nullptr, {Band(1), Band(2)});
  LoadRecords(again, saved);
  return 0;
}
