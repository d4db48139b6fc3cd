#include "designer/designer_text_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "tests/support/temp_folder.h"

namespace ledora::designer {
namespace {

class DesignerTextTableTest : public ::testing::Test {
 protected:
  void WriteIni(const std::string& text) {
    std::ofstream(folder_.File("qrptdes.ini"), std::ios::binary) << text;
  }
  DesignerTextTable LoadedTable() {
    DesignerTextTable table(folder_.File("qrptdes.ini"));
    table.Load();
    return table;
  }

  testing::TempFolder folder_;
};

TEST_F(DesignerTextTableTest, EmptyBeforeLoad) {
  DesignerTextTable table(folder_.File("qrptdes.ini"));
  EXPECT_FALSE(table.loaded());
  EXPECT_EQ(table.Text("DesignerMenuFiles"), "");
}

TEST_F(DesignerTextTableTest, WithoutFileEverySlotHoldsItsDefault) {
  DesignerTextTable table = LoadedTable();
  EXPECT_TRUE(table.loaded());
  for (const DesignerTextDefault& text : DesignerTextDefaults()) {
    EXPECT_EQ(table.Text(text.key, text.slot), text.text) << text.key;
  }
  EXPECT_EQ(table.Text("DesignerMenuFiles"), "&File");
  EXPECT_EQ(table.Text("TextsTranspInfo"), "-1 for transparent colour ");
  EXPECT_EQ(table.Text("MsgCanNotExport"), "Can not export the design, error: ");
  EXPECT_EQ(table.Text("PictureDate mmm dd, yyyy", FirstSlot), "mmm dd, yyyy");
  EXPECT_EQ(table.Text("PaperFormatScaleMM"), "Milimeter");
}

TEST_F(DesignerTextTableTest, DefaultTableIsConsistent) {
  std::set<std::string> sections;
  std::set<std::pair<std::string, int>> keys;
  for (const DesignerTextDefault& text : DesignerTextDefaults()) {
    sections.insert(text.section);
    EXPECT_TRUE(keys.insert({text.key, text.slot}).second) << "twice: " << text.key;
    // A default longer than its slot would never show whole.
    EXPECT_LE(std::string(text.text).size(), text.capacity) << text.key;
  }
  EXPECT_EQ(sections, (std::set<std::string>{"ReportDesigner", "PropertiesBox", "Picture Editor",
                                             "Browse Paper formats", "Update paper formats"}));
}

TEST_F(DesignerTextTableTest, KeysListedTwiceHaveTwoSlots) {
  DesignerTextTable table = LoadedTable();
  EXPECT_EQ(table.Text("TextsDetailArea", FirstSlot), "Detail area");
  EXPECT_EQ(table.Text("TextsDetailArea", SecondSlot), "DetailArea");
  EXPECT_EQ(table.Text("TextsPaper", SecondSlot), "Paper");
  EXPECT_EQ(table.Text("DesignerMenuFiles", SecondSlot), "");
  EXPECT_EQ(table.Text("NoSuchKey"), "");

  WriteIni("[ReportDesigner]\nTextsDetailArea=Druckbereich\n");
  DesignerTextTable overridden = LoadedTable();
  EXPECT_EQ(overridden.Text("TextsDetailArea", FirstSlot), "Druckbereich");
  EXPECT_EQ(overridden.Text("TextsDetailArea", SecondSlot), "Druckbereich");
}

TEST_F(DesignerTextTableTest, OverrideChangesOnlyItsOwnText) {
  WriteIni("[PropertiesBox]\nWindowCaption=Tools\n");
  DesignerTextTable table = LoadedTable();
  EXPECT_EQ(table.Text("WindowCaption"), "Tools");
  for (const DesignerTextDefault& text : DesignerTextDefaults()) {
    if (std::string(text.key) == "WindowCaption") continue;
    EXPECT_EQ(table.Text(text.key, text.slot), text.text);
  }
}

TEST_F(DesignerTextTableTest, CommentsLinesWithoutEqualsAndOtherSectionsChangeNothing) {
  WriteIni(
      "[PropertiesBox]\n;WindowCaption=Tools\nWindowCaption Tools\n"
      "[ReportDesigner]\nWindowCaption=Wrong section\n"
      "[PropertiesBox\nWindowCaption=Bracket missing\n");
  EXPECT_EQ(LoadedTable().Text("WindowCaption"), "Controls and fields");
}

TEST_F(DesignerTextTableTest, EntriesBeforeTheFirstSectionAreNeverFound) {
  WriteIni("WindowCaption=Tools\nDesignerMenuFiles=&Datei\n");
  DesignerTextTable table = LoadedTable();
  EXPECT_EQ(table.Text("WindowCaption"), "Controls and fields");
  EXPECT_EQ(table.overrides().size(), 2u);
  EXPECT_EQ(table.TextFor("", "WindowCaption", "fallback"), "fallback");
}

TEST_F(DesignerTextTableTest, EmptyValueGivesEmptyTextNotTheDefault) {
  WriteIni("[PropertiesBox]\nWindowCaption=\n");
  EXPECT_EQ(LoadedTable().Text("WindowCaption"), "");
}

TEST_F(DesignerTextTableTest, LineRulesTrimTheEndButKeepNamesAsWritten) {
  WriteIni(
      "[Picture Editor]   \r\n"
      "PictureDate mm/dd/yy=MM-DD-YY   \r\n"
      "PictureExample =not this key\r\n"
      "PictureText=a=b\r\n"
      "   \r\n"
      "[ReportDesigner)\n"  // any last character closes the section
      "TextButtonOk= Fine\n");
  DesignerTextTable table = LoadedTable();
  EXPECT_EQ(table.Text("PictureDate mm/dd/yy"), "MM-DD-YY");
  EXPECT_EQ(table.Text("PictureExample"), "Example");
  EXPECT_EQ(table.Text("PictureText"), "a=b");
  EXPECT_EQ(table.Text("TextButtonOk"), " Fine");
}

TEST_F(DesignerTextTableTest, TextsAreCutAtTheirSlotCapacity) {
  std::string sixty(60, 'x');
  std::string long300(300, 'y');
  WriteIni("[ReportDesigner]\nTextButtonOk=" + sixty + "\nCaptionUpdatingDatabase=" + sixty +
           "z\nMsgLayoutNotSaved=" + long300 + "\n");
  DesignerTextTable table = LoadedTable();
  EXPECT_EQ(table.Text("TextButtonOk"), sixty.substr(0, 40));
  EXPECT_EQ(table.Text("CaptionUpdatingDatabase"), sixty);
  // The override record holds 128 characters of a value, whatever the slot.
  EXPECT_EQ(table.Text("MsgLayoutNotSaved"), long300.substr(0, 128));
}

TEST_F(DesignerTextTableTest, FirstOfTwoLinesForOneEntryWins) {
  WriteIni("[PropertiesBox]\nWindowCaption=One\n[PropertiesBox]\nWindowCaption=Two\n");
  EXPECT_EQ(LoadedTable().Text("WindowCaption"), "One");
}

TEST_F(DesignerTextTableTest, EditsAfterLoadingShowOnlyInANewTable) {
  WriteIni("[PropertiesBox]\nWindowCaption=Tools\n");
  DesignerTextTable table(folder_.File("qrptdes.ini"));
  std::vector<bool> states;
  auto showWait = [&](bool on) { states.push_back(on); };
  table.Load(showWait);
  WriteIni("[PropertiesBox]\nWindowCaption=Changed\n");
  table.Load(showWait);
  EXPECT_EQ(table.Text("WindowCaption"), "Tools");
  EXPECT_EQ(states, (std::vector<bool>{true, false}));
  EXPECT_EQ(LoadedTable().Text("WindowCaption"), "Changed");
}

TEST_F(DesignerTextTableTest, DefaultFileIsTheCurrentFoldersWhateverItsCase) {
  std::ofstream(folder_.File("QRPTDES.INI")) << "[ReportDesigner]\nTextButtonOk=Okay\n";
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_.path());
  DesignerTextTable table;
  table.Load();
  std::filesystem::current_path(previous);
  EXPECT_EQ(table.Text("TextButtonOk"), "Okay");
}

}  // namespace
}  // namespace ledora::designer
