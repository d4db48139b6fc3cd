#include "tests/layout/layout_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/values/fixed_string.h"

namespace ledora::layout {

void RecordingView::SetScale(char scale) { calls.push_back(std::string("scale ") + scale); }
void RecordingView::SetPaperSize(int32_t width, int32_t height) {
  calls.push_back("paper " + std::to_string(width) + "x" + std::to_string(height));
}
void RecordingView::RemoveControl(int32_t number) {
  calls.push_back("remove " + std::to_string(number));
}
void RecordingView::CreateControl(int32_t number, int16_t windowType) {
  calls.push_back("create " + std::to_string(number) + " type " + std::to_string(windowType));
}
void RecordingView::Redraw() { calls.push_back("redraw"); }

DesignFiles::DesignFiles() : designs_(driver_) {
  designs_.DefinitionsFile = folder_.File("RptDes1.KDS");
  designs_.DesignsFile = folder_.File("NewRpt.KDS");
  designs_.BuildTableNames();
  for (DesignTable table : {R_Types, R_Bands, R_Design, R_Content, R_StdDesign}) {
    EXPECT_EQ(designs_.File(table)->Create(), 0);
    EXPECT_TRUE(designs_.Use(table));
  }
}

DesignFiles::~DesignFiles() {
  for (DesignTable table : {R_Types, R_Bands, R_Design, R_Content, R_StdDesign}) {
    designs_.Release(table);
  }
}

void DesignFiles::AddType(int32_t number, const std::string& name, int32_t standardDesign) {
  R_T = ReportTypeRecord{};
  R_T.TYPENUMBER = number;
  runtime::AssignPadded(R_T.TYPENAME, name);
  R_T.STANDARDDESIGN = standardDesign;
  ASSERT_EQ(File(R_Types).Add(), 0);
}

void DesignFiles::AddBand(int32_t type, uint8_t detail, const std::string& name, int32_t x,
                          int32_t y, int32_t width, int32_t height) {
  R_B = BandRecord{};
  R_B.TYPENUMBER = type;
  R_B.DETAILNUMBER = detail;
  runtime::AssignPadded(R_B.DETAILNAME, name);
  R_B.XPOS = x;
  R_B.YPOS = y;
  R_B.WIDTH = width;
  R_B.HEIGHT = height;
  ASSERT_EQ(File(R_Bands).Add(), 0);
}

void DesignFiles::AddDesign(int32_t number, int32_t type, const std::string& name) {
  R_D = DesignRecord{};
  R_D.DESIGNNUMBER = number;
  R_D.TYPENUMBER = type;
  runtime::AssignPadded(R_D.DESIGNNAME, name);
  ASSERT_EQ(File(R_Design).Add(), 0);
}

std::vector<ContentRecord> DesignFiles::Contents(int32_t design) {
  std::vector<ContentRecord> records;
  ContentRecord saved = R_C;
  R_C = ContentRecord{};
  R_C.DESIGNNUMBER = design;
  runtime::DataFile& file = File(R_Content);
  if (file.SetOnKey(ContentRecord::DESIGNNUMBERSEQ) == 0) {
    while (file.Next() == 0 && R_C.DESIGNNUMBER == design) records.push_back(R_C);
  }
  R_C = saved;
  return records;
}

void DesignFiles::AddContent(const ContentRecord& record) {
  R_C = record;
  ASSERT_EQ(File(R_Content).Add(), 0);
}

ContentRecord BlankContent(int32_t design, int32_t sequence, char type, uint8_t kind) {
  ContentRecord record{};
  record.DESIGNNUMBER = design;
  record.SEQUENCENUMBER = sequence;
  record.RECORDTYPE[0] = type;
  record.BCTYPE = kind;
  std::memset(record.THEDATA, ' ', sizeof record.THEDATA);
  return record;
}

void PutLong(ContentRecord& record, int offset, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) record.THEDATA[offset + i] = static_cast<char>(bits >> (8 * i));
}

void PutText(ContentRecord& record, int offset, int width, const std::string& text) {
  runtime::AssignPadded(record.THEDATA + offset, width, text);
}

}  // namespace ledora::layout
