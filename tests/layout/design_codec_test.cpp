#include "layout/design_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

std::unique_ptr<DesignState> FreshDesign() {
  BandRecord lines{};
  lines.DETAILNUMBER = 1;
  runtime::AssignPadded(lines.DETAILNAME, "Lines");
  return std::make_unique<DesignState>(nullptr, std::vector<BandRecord>{lines});
}

// Every stored field of the paper, two bands and a control of each kind holds
// a value of its own, so that a field stored at another's place shows.
std::unique_ptr<DesignState> FullySetDesign() {
  auto state = FreshDesign();
  state->PAPERSCALE = 'M';
  state->ORIENTATION = 'L';
  state->PAPERCTRL->Place(0, 0, 2101, 2971);
  state->DETAILAREA->Place(101, 102, 1903, 2704);
  state->FONTNAME = "Arial";
  state->FONTSTYLE = 0x1000 + 700;
  state->FONTSIZE = 11;
  state->FONTCOLOR = 0x123456;
  int n = 0;
  for (int position : {1, 4}) {
    state->AddBand(position);
    BandEntry& band = *state->Band(position);
    int x = ++n, y = ++n, width = ++n * 100, height = ++n * 10;
    band.CTRL->Place(x, y, width, height);
    band.BANDNAME = "Band " + std::to_string(position);
    band.ABSOLUTE = static_cast<uint8_t>(++n);
    band.PAGEBEFORE = static_cast<uint8_t>(++n);
    band.PAGEAFTER = static_cast<uint8_t>(++n);
    band.WITHPRIOR = static_cast<uint8_t>(++n);
    band.WITHNEXT = static_cast<uint8_t>(++n);
    for (uint8_t kind = KindImage; kind <= KindTextField; ++kind) {
      std::unique_ptr<ControlEntry> c = state->NewControl(kind);
      int cx = ++n, cy = ++n, cwidth = ++n, cheight = ++n;
      c->CTRL->Place(cx, cy, cwidth, cheight);
      c->USERFIELDNAME = "User " + std::to_string(++n);
      c->FIELDNAME = "INV:FIELD" + std::to_string(++n);
      c->JUSTIFICATION = "LRC"[kind % 3];
      c->RESIZABLE = static_cast<uint8_t>(++n);
      c->PICTURE = "@n-" + std::to_string(++n);
      c->TRANSPARENT = static_cast<uint8_t>(++n);
      c->LINECOLOR = ++n * 65599;
      c->BOXCOLOR = -++n;
      c->BOXROUND = static_cast<uint8_t>(++n);
      c->FONTNAME = "Font " + std::to_string(++n);
      c->FONTSTYLE = static_cast<int16_t>(++n * 3);
      c->FONTSIZE = static_cast<int16_t>(-++n);
      c->FONTCOLOR = ++n << 16;
      band.BANDCONTROLS.push_back(std::move(c));
    }
  }
  return state;
}

std::string Bytes(const std::vector<ContentRecord>& records) {
  return std::string(reinterpret_cast<const char*>(records.data()),
                     records.size() * sizeof(ContentRecord));
}

// FNV-1a: a change of any byte changes it.
uint64_t Fingerprint(const std::string& bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

TEST(DesignCodecTest, LoadedRecordsSaveAgainByteForByte) {
  std::vector<ContentRecord> first = DesignRecords(*FullySetDesign());
  auto loaded = FreshDesign();
  LoadRecords(*loaded, first);
  EXPECT_EQ(Bytes(DesignRecords(*loaded)), Bytes(first));
}

// The bytes design files already hold for this design: a field moved, widened
// or encoded otherwise would make the files users have unreadable.
TEST(DesignCodecTest, RecordsKeepTheBytesDesignFilesHold) {
  std::vector<ContentRecord> records = DesignRecords(*FullySetDesign());
  ASSERT_EQ(records.size(), 19u);
  EXPECT_EQ(Fingerprint(Bytes(records)), 13507394249160375550ull);
}

}  // namespace
}  // namespace ledora::layout
