#include "layout/record_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "layout/content_data.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout/layout_fixture.h"
#include "tests/support/scripted_messages.h"

namespace ledora::layout {
namespace {

using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;

std::string Bytes(const char* data, size_t size) { return std::string(data, size); }

class RecordStreamTest : public ::testing::Test {
 protected:
  RecordStreamTest() : stream_(files_.designs()) {}

  // Page form and one detail band present, with controls.
  std::unique_ptr<DesignState> SampleDesign(RecordingView* view = nullptr) {
    BandRecord lines{};
    lines.DETAILNUMBER = 1;
    runtime::AssignPadded(lines.DETAILNAME, "Lines");
    auto state = std::make_unique<DesignState>(view, std::vector<BandRecord>{lines});
    state->FONTNAME = "Arial";
    state->FONTSIZE = 9;
    state->AddBand(1);
    state->AddBand(4);
    AddControl(*state, 1, KindBox, "", -1);
    AddControl(*state, 1, KindString, "Invoice", 0);
    AddControl(*state, 4, KindField, "@n-13.2", 1);
    AddControl(*state, 4, KindCheckBox, "Paid", 2);
    return state;
  }
  ControlEntry& AddControl(DesignState& state, int band, uint8_t kind, const std::string& picture,
                           int32_t x) {
    auto control = state.NewControl(kind);
    control->CTRL->XPOS = x;
    control->CTRL->WIDTH = -1;
    control->PICTURE = picture;
    control->FIELDNAME = kind == KindField ? "INV:SALES" : "";
    control->JUSTIFICATION = kind == KindCheckBox ? 'R' : 'D';
    ControlEntry& entry = *control;
    state.Band(band)->BANDCONTROLS.push_back(std::move(control));
    return entry;
  }
  void Save(DesignState& state, int32_t design) {
    R_D.DESIGNNUMBER = design;
    EXPECT_EQ(stream_.Save(state), 0);
  }
  std::unique_ptr<DesignState> Load(int32_t design, RecordingView* view = nullptr) {
    BandRecord lines{};
    lines.DETAILNUMBER = 1;
    auto state = std::make_unique<DesignState>(view, std::vector<BandRecord>{lines});
    R_D.DESIGNNUMBER = design;
    EXPECT_EQ(stream_.Load(*state), 0);
    return state;
  }
  std::vector<int32_t> Sequence(int32_t design) {
    std::vector<int32_t> numbers;
    for (const ContentRecord& record : files_.Contents(design)) {
      numbers.push_back(int32_t{record.SEQUENCENUMBER});
    }
    return numbers;
  }

  DesignFiles files_;
  RecordStream stream_;
};

TEST_F(RecordStreamTest, DesignWithoutBandsIsOnePaperRecordAtItsOffsets) {
  DesignState state(nullptr, {});
  state.FONTNAME = "Arial";
  state.FONTSTYLE = 700;
  state.FONTCOLOR = 0xFF;
  state.DESIGNCHANGED = 1;
  Save(state, 5);
  EXPECT_EQ(state.DESIGNCHANGED, 0);
  std::vector<ContentRecord> records = files_.Contents(5);
  ASSERT_EQ(records.size(), 1u);
  ContentRecord expected = BlankContent(5, 1, 'A', 0);
  expected.THEDATA[0] = '1';
  expected.THEDATA[1] = 'P';
  PutLong(expected, 2, 8500);
  PutLong(expected, 6, 11700);
  PutLong(expected, 10, 800);
  PutLong(expected, 14, 1000);
  PutLong(expected, 18, 6900);
  PutLong(expected, 22, 9700);
  PutText(expected, 26, 64, "Arial");
  expected.THEDATA[90] = static_cast<char>(700 & 0xFF);
  expected.THEDATA[91] = static_cast<char>(700 >> 8);
  expected.THEDATA[92] = 0;
  expected.THEDATA[93] = 0;
  PutLong(expected, 94, 0xFF);
  EXPECT_EQ(Bytes(reinterpret_cast<char*>(&records[0]), sizeof(ContentRecord)),
            Bytes(reinterpret_cast<char*>(&expected), sizeof(ContentRecord)));
}

TEST_F(RecordStreamTest, BandsThenControlsInListOrderAtTheirOffsets) {
  auto state = SampleDesign();
  state->Band(4)->CTRL->Place(0, 0, -1, 250);
  state->Band(4)->WITHNEXT = 3;
  ControlEntry& field = *state->Band(4)->BANDCONTROLS[0];
  field.USERFIELDNAME = "Sales";
  field.LINECOLOR = -1;
  field.FONTNAME = "Courier";
  field.FONTSIZE = -2;
  Save(*state, 1);
  std::vector<ContentRecord> records = files_.Contents(1);
  ASSERT_EQ(records.size(), 7u);
  std::string types, kinds;
  for (const ContentRecord& record : records) {
    types += record.RECORDTYPE[0];
    kinds += std::to_string(record.BCTYPE);
  }
  EXPECT_EQ(types, "ABBCCCC");
  EXPECT_EQ(kinds, "0472567");
  EXPECT_EQ(Sequence(1), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));

  ContentRecord band = BlankContent(1, 3, 'B', 7);
  band.THEDATA[0] = 4;
  PutLong(band, 1, 0);
  PutLong(band, 5, 0);
  PutLong(band, 9, -1);
  PutLong(band, 13, 250);
  PutText(band, 17, 32, "Lines");
  const char flags[] = {0, 0, 0, 0, 3};  // absolute, page before/after, with prior/next
  std::memcpy(band.THEDATA + 49, flags, 5);
  EXPECT_EQ(Bytes(records[2].THEDATA, 500), Bytes(band.THEDATA, 500));

  const char* c = records[5].THEDATA;
  EXPECT_EQ(c[0], 4);
  EXPECT_EQ(Bytes(c + 9, 4), std::string(4, '\xFF'));
  EXPECT_EQ(Bytes(c + 17, 32), "Sales" + std::string(27, ' '));
  EXPECT_EQ(Bytes(c + 49, 32), "INV:SALES" + std::string(23, ' '));
  EXPECT_EQ(c[81], 'D');
  EXPECT_EQ(c[82], 1);
  EXPECT_EQ(Bytes(c + 83, 256), "@n-13.2" + std::string(249, ' '));
  EXPECT_EQ(c[339], 1);
  EXPECT_EQ(Bytes(c + 340, 4), std::string(4, '\xFF'));
  EXPECT_EQ(Bytes(c + 344, 4), std::string("\x00\x00\xFF\x00", 4));
  EXPECT_EQ(c[348], 0);
  EXPECT_EQ(Bytes(c + 349, 64), "Courier" + std::string(57, ' '));
  EXPECT_EQ(Bytes(c + 413, 4), std::string("\x00\x00\xFE\xFF", 4));
  EXPECT_EQ(Bytes(c + 417, 4), std::string(4, '\0'));
  EXPECT_EQ(Bytes(c + 421, 79), std::string(79, ' '));
}

TEST_F(RecordStreamTest, SavedAndLoadedDesignWritesTheSameRecordsByteForByte) {
  auto state = SampleDesign();
  state->SwitchUnit('M');
  state->ORIENTATION = 'L';
  Save(*state, 2);
  std::vector<ContentRecord> first = files_.Contents(2);
  auto loaded = Load(2);
  EXPECT_EQ(loaded->PAPERSCALE, 'M');
  EXPECT_EQ(loaded->Band(4)->BANDNAME, "Lines");
  Save(*loaded, 2);
  std::vector<ContentRecord> second = files_.Contents(2);
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(&first[i]), sizeof(ContentRecord)),
              Bytes(reinterpret_cast<char*>(&second[i]), sizeof(ContentRecord)))
        << "record " << i + 1;
  }
}

TEST_F(RecordStreamTest, ControlsComeBackGroupedByKindAndStayThatWay) {
  auto state = SampleDesign();
  // Page form: string after box already; put a string before a box in the detail.
  AddControl(*state, 4, KindString, "Total", 5);
  AddControl(*state, 4, KindImage, "logo.bmp", 6);
  Save(*state, 3);
  auto loaded = Load(3);
  std::string kinds;
  for (const auto& control : loaded->Band(4)->BANDCONTROLS)
    kinds += std::to_string(control->CONTROLTYPE);
  EXPECT_EQ(kinds, "1567");
  Save(*loaded, 3);
  std::vector<ContentRecord> once = files_.Contents(3);
  Save(*Load(3), 3);
  std::vector<ContentRecord> twice = files_.Contents(3);
  ASSERT_EQ(once.size(), twice.size());
  for (size_t i = 0; i < once.size(); ++i) {
    EXPECT_EQ(std::memcmp(&once[i], &twice[i], sizeof(ContentRecord)), 0) << i;
  }
}

TEST_F(RecordStreamTest, ShrinkingLeavesExactlyTheNewRecordsAndSparesOtherDesigns) {
  auto other = SampleDesign();
  Save(*other, 2);
  auto state = SampleDesign();
  Save(*state, 1);
  ASSERT_EQ(files_.Contents(1).size(), 7u);
  state->RemoveBand(4);
  Save(*state, 1);
  EXPECT_EQ(Sequence(1), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(files_.File(R_Content).Records(), 11);
  EXPECT_EQ(Sequence(2), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
  state->RemoveBand(1);
  Save(*state, 1);
  EXPECT_EQ(Sequence(1), (std::vector<int32_t>{1}));
}

TEST_F(RecordStreamTest, GrowingOverwritesInPlaceAndAppendsBeforeTheNextDesign) {
  auto state = SampleDesign();
  state->RemoveBand(4);
  Save(*state, 1);
  Save(*SampleDesign(), 2);
  std::vector<ContentRecord> before = files_.Contents(2);
  std::string firstPosition;
  R_C.DESIGNNUMBER = 1;
  R_C.SEQUENCENUMBER = 1;
  ASSERT_EQ(files_.File(R_Content).Fetch(ContentRecord::DESIGNNUMBERSEQ), 0);
  firstPosition = files_.File(R_Content).Position();

  Save(*SampleDesign(), 1);
  EXPECT_EQ(Sequence(1), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
  R_C.DESIGNNUMBER = 1;
  R_C.SEQUENCENUMBER = 1;
  ASSERT_EQ(files_.File(R_Content).Fetch(ContentRecord::DESIGNNUMBERSEQ), 0);
  EXPECT_EQ(files_.File(R_Content).Position(), firstPosition);
  std::vector<ContentRecord> after = files_.Contents(2);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(std::memcmp(&after[i], &before[i], sizeof(ContentRecord)), 0);
  }
}

TEST_F(RecordStreamTest, LoadingMakesOnScreenControlsAndSelectsThePaper) {
  Save(*SampleDesign(), 4);
  RecordingView view;
  auto state = Load(4, &view);
  // Fresh state: 100..105 taken by paper, area and four bands.
  EXPECT_EQ(view.calls, (std::vector<std::string>{
                            "scale 1", "paper 8500x11700", "remove 106", "create 106 type 6",
                            "remove 107", "create 107 type 2", "remove 108", "create 108 type 2",
                            "remove 109", "create 109 type 12", "redraw"}));
  EXPECT_EQ(state->NEXTCTRL, 110);
  EXPECT_EQ(state->SELECTEDCTRL, SelectedPaper);
  EXPECT_EQ(state->SELECTEDTAG->CTRL, state->PAPERCTRL.get());
  EXPECT_EQ(state->DESIGNCHANGED, 0);
  EXPECT_EQ(state->STEPSIZE, 40);
  EXPECT_EQ(state->FONTNAME, "Arial");
  EXPECT_EQ(state->Band(1)->PRESENT, 1);
  EXPECT_EQ(state->Band(2)->PRESENT, 0);
  EXPECT_EQ(state->Band(4)->BANDCONTROLS[0]->FIELDNAME, "INV:SALES");
  EXPECT_EQ(state->Band(4)->BANDCONTROLS[0]->CTRL->WIDTH, -1);
}

TEST_F(RecordStreamTest, MillimetreDesignSwitchesTheUnitAndTheStep) {
  auto state = SampleDesign();
  state->SwitchUnit('M');
  Save(*state, 6);
  RecordingView view;
  auto loaded = Load(6, &view);
  EXPECT_EQ(loaded->STEPSIZE, 1);
  EXPECT_EQ(loaded->PAPERCTRL->WIDTH, 216);
  EXPECT_EQ(view.calls.at(view.calls.size() - 2), "scale M");
}

TEST_F(RecordStreamTest, DesignWithoutPaperRecordKeepsTheFreshPaper) {
  ContentRecord band = BlankContent(8, 1, 'B', 5);
  band.THEDATA[0] = 2;
  PutLong(band, 13, 300);
  files_.AddContent(band);
  auto state = Load(8);
  EXPECT_EQ(state->PAPERCTRL->WIDTH, 8500);
  EXPECT_EQ(state->DETAILAREA->YPOS, 1000);
  EXPECT_EQ(state->FONTNAME, "");
  EXPECT_EQ(state->Band(2)->PRESENT, 1);
  EXPECT_EQ(state->Band(2)->CTRL->HEIGHT, 300);
  // Kind comes from the type's band list, not from the record.
  EXPECT_EQ(state->Band(2)->BANDTYPE, BandPageHeader);
}

TEST_F(RecordStreamTest, RecordsNamingNoBandAreReportedAndSkipped) {
  ContentRecord badBand = BlankContent(9, 1, 'B', 7);
  badBand.THEDATA[0] = 9;
  ContentRecord controlAtZero = BlankContent(9, 2, 'C', 5);
  controlAtZero.THEDATA[0] = 0;
  ContentRecord controlBeyond = BlankContent(9, 3, 'C', 6);
  controlBeyond.THEDATA[0] = static_cast<char>(200);
  ContentRecord good = BlankContent(9, 4, 'C', 5);
  good.THEDATA[0] = 3;
  ContentRecord unknown = BlankContent(9, 5, 'Z', 1);
  for (const ContentRecord& record : {badBand, controlAtZero, controlBeyond, good, unknown}) {
    files_.AddContent(record);
  }
  testing::ScriptedMessages messages;
  messages.Expect("", "bandnumber not found: 9", ButtonOk);
  messages.Expect("", "controls bandnumber not found: 0", ButtonOk);
  messages.Expect("", "controls bandnumber not found: 200", ButtonOk);
  auto state = Load(9);
  EXPECT_TRUE(messages.Verify());
  EXPECT_EQ(state->Band(3)->BANDCONTROLS.size(), 1u);
  EXPECT_EQ(state->Band(4)->PRESENT, 0);
}

TEST_F(RecordStreamTest, CheckBoxDefaultJustificationComesBackRight) {
  DesignState state(nullptr, {});
  state.AddBand(2);
  AddControl(state, 2, KindCheckBox, "A", 0).JUSTIFICATION = 'D';
  AddControl(state, 2, KindCheckBox, "B", 0).JUSTIFICATION = 'L';
  AddControl(state, 2, KindString, "C", 0).JUSTIFICATION = 'D';
  Save(state, 10);
  auto loaded = Load(10);
  const auto& controls = loaded->Band(2)->BANDCONTROLS;
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(controls[0]->JUSTIFICATION, 'D');  // the string: kind 5 first
  EXPECT_EQ(controls[1]->JUSTIFICATION, 'R');
  EXPECT_EQ(controls[2]->JUSTIFICATION, 'L');
}

class NumberingTest : public RecordStreamTest {};

TEST_F(NumberingTest, NewNameGetsTheNumberAfterTheHighest) {
  R_T.TYPENUMBER = 4;
  EXPECT_EQ(stream_.NumberNewDesign("First"), NumberedNew);
  EXPECT_EQ(R_D.DESIGNNUMBER, 1);
  files_.AddDesign(7, 2, "Other type");
  R_T.TYPENUMBER = 4;
  EXPECT_EQ(stream_.NumberNewDesign("first"), NumberedNew);  // names match exactly
  EXPECT_EQ(R_D.DESIGNNUMBER, 8);
  EXPECT_EQ(R_D.TYPENUMBER, 4);
  EXPECT_EQ(runtime::ClippedField(R_D.DESIGNNAME), "first");
  EXPECT_EQ(files_.File(R_Design).Records(), 3);
}

TEST_F(NumberingTest, ExistingNameIsOverwrittenOnlyWithConsent) {
  files_.AddDesign(3, 4, "Standard");
  testing::ScriptedMessages messages;
  messages.Expect("WARNING: Overwriting Existing Design", "Do you want to overwrite", ButtonYes);
  messages.Expect("WARNING: Overwriting Existing Design", "", ButtonNo);
  R_T.TYPENUMBER = 4;
  EXPECT_EQ(stream_.NumberNewDesign("Standard"), OverwriteExisting);
  EXPECT_EQ(R_D.DESIGNNUMBER, 3);
  EXPECT_EQ(stream_.NumberNewDesign("Standard"), OverwriteDeclined);
  EXPECT_EQ(messages.last().request.defaultButton, ButtonNo);
  EXPECT_EQ(files_.File(R_Design).Records(), 1);
}

TEST_F(NumberingTest, DesignRecordThatCannotBeAddedIsReportedAndNothingWritten) {
  files_.designs().Release(R_Design);
  files_.File(R_Design).Close();
  ASSERT_TRUE(files_.designs().Use(R_Design, true, runtime::AccessReadOnly | runtime::DenyNone));
  testing::ScriptedMessages messages;
  messages.Expect("Design Not Saved", "quoting the following error messages.\n\nError 5, ",
                  ButtonOk);
  R_T.TYPENUMBER = 4;
  EXPECT_EQ(stream_.NumberNewDesign("New"), NumberingFailed);
  EXPECT_TRUE(messages.Verify());
  EXPECT_EQ(files_.File(R_Design).Records(), 0);
}

TEST_F(NumberingTest, NoNumberAfterTheHighestPossibleOne) {
  files_.AddDesign(2147483647, 1, "Last");
  testing::ScriptedMessages messages;
  messages.Expect("Design Not Saved", "Error 40, ", ButtonOk);
  R_T.TYPENUMBER = 4;
  EXPECT_EQ(stream_.NumberNewDesign("New"), NumberingFailed);
  EXPECT_EQ(files_.File(R_Design).Records(), 1);
}

}  // namespace
}  // namespace ledora::layout
