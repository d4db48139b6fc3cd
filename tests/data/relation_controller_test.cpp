#include "data/relation_controller.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/data/station.h"
#include "tests/data/test_driver.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using data::RuleCascade;
using data::RuleClear;
using data::RuleNone;
using data::RuleRestrict;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;

class RelationControllerTest : public ::testing::Test {
 protected:
  RelationControllerTest() {
    errors.Initialize();
    station = std::make_unique<Station>(folder.path(), &errors);
  }

  // Owner 1 with heads 1 and 2 (two lines each); owner 2 with head 3 (one line).
  void Fill() {
    ASSERT_EQ(station->AddOwner("first"), 1);
    ASSERT_EQ(station->AddOwner("second"), 2);
    ASSERT_EQ(station->AddHead(1, "h1"), 1);
    ASSERT_EQ(station->AddHead(1, "h2"), 2);
    ASSERT_EQ(station->AddHead(2, "h3"), 3);
    for (int32_t head : {1, 1, 2, 2, 3}) ASSERT_GT(station->AddLine(head, "l"), 0);
  }

  // Reads a record into its buffer the way a browse does before a form; the
  // browse keeps its file open meanwhile.
  void Read(data::FileManager& manager, int key) {
    if (manager.INFO->empty() || manager.INFO->front().OPENED == 0) manager.Open();
    ASSERT_EQ(manager.Fetch(key), 0);
  }
  void ReadOwner(int32_t id) {
    station->OWN.ID = id;
    Read(station->owners, OwnerIdKey);
    station->ownersRelations.RememberLinkingValues();
  }
  void ReadHead(int32_t number) {
    station->HEA.NUMBER = number;
    Read(station->heads, HeadNumberKey);
    station->headsRelations.RememberLinkingValues();
  }

  int64_t Owners() { return station->Count(*station->ownersFile); }
  int64_t Heads() { return station->Count(*station->headsFile); }
  int64_t Lines() { return station->Count(*station->linesFile); }

  TempFolder folder;
  data::ErrorReporter errors;
  ScriptedMessages messages;
  std::unique_ptr<Station> station;
};

// ---------------------------------------------------------------- delete

TEST_F(RelationControllerTest, DeletingUnderRuleNoneLeavesChildrenAndAsksNothingMore) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);
  Fill();
  ReadHead(1);
  messages.Expect("Confirm Delete", "Are you sure you want to delete the highlighted record?",
                  ButtonYes);
  EXPECT_EQ(station->headsRelations.Delete(true), 0);
  EXPECT_EQ(Heads(), 2);
  EXPECT_EQ(Lines(), 5);
}

TEST_F(RelationControllerTest, AnsweringNoToTheConfirmationDeletesNothing) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);
  Fill();
  ReadHead(1);
  messages.Expect("Confirm Delete", "", ButtonNo);
  EXPECT_EQ(station->headsRelations.Delete(true), data::SeverityInform);
  EXPECT_EQ(Heads(), 3);
}

TEST_F(RelationControllerTest, CascadeDeleteReachesGrandchildrenAcrossFiles) {
  station->Relate(RuleCascade, RuleCascade, RuleCascade, RuleCascade);
  Fill();
  ReadOwner(1);
  EXPECT_EQ(station->ownersRelations.Delete(false), 0);
  EXPECT_EQ(Owners(), 1);
  EXPECT_EQ(Heads(), 1);  // head 3 of owner 2
  EXPECT_EQ(Lines(), 1);
  EXPECT_EQ(Text(station->OWN.NAME), "first");  // the buffer still shows what was deleted
}

TEST_F(RelationControllerTest, ACascadeThatFailsHalfwayChangesNothing) {
  station->Relate(RuleCascade, RuleCascade, RuleCascade, RuleCascade);
  Fill();
  // Another station holds a line of head 2, so that line cannot be deleted.
  Station other(folder.path(), &errors);
  ASSERT_EQ(other.linesFile->Open(), 0);
  ASSERT_EQ(other.linesFile->Hold(0), 0);
  ASSERT_EQ(other.linesFile->FetchAt("4"), 0);
  ASSERT_EQ(other.LIN.HEAD, 2);

  ReadOwner(1);
  messages.Expect("Record was not deleted", "Record Is Already Held (43)", ButtonOk);
  EXPECT_EQ(station->ownersRelations.Delete(false), data::SeverityInform);
  EXPECT_EQ(Owners(), 2);
  EXPECT_EQ(Heads(), 3);
  EXPECT_EQ(Lines(), 5);
  other.linesFile->Close();
}

// A new head's lines go with it when its insert is cancelled, all or none,
// though heads and lines are related without a delete rule.
TEST_F(RelationControllerTest, CancellingAReservedRecordTakesItsLinesInOneTransaction) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);
  Fill();
  ASSERT_EQ(station->heads.Open(), 0);
  ASSERT_EQ(station->heads.PrimeRecord(), 0);
  ASSERT_EQ(station->HEA.NUMBER, 4);
  ASSERT_GT(station->AddLine(4, "new"), 0);
  ASSERT_GT(station->AddLine(4, "new"), 0);
  Station other(folder.path(), &errors);
  ASSERT_EQ(other.linesFile->Open(), 0);
  ASSERT_EQ(other.linesFile->Hold(0), 0);
  ASSERT_EQ(other.linesFile->FetchAt("7"), 0);
  ASSERT_EQ(other.LIN.HEAD, 4);

  messages.Expect("Record was not deleted", "Record Is Already Held (43)", ButtonOk);
  EXPECT_EQ(station->headsRelations.CancelAutoIncWith(&station->linesRelations),
            data::SeverityInform);
  EXPECT_EQ(Heads(), 4);
  EXPECT_EQ(Lines(), 7);

  other.linesFile->Close();
  EXPECT_EQ(station->headsRelations.CancelAutoIncWith(&station->linesRelations), 0);
  EXPECT_EQ(Heads(), 3);
  EXPECT_EQ(Lines(), 5);
  // With the number given back nothing is reserved, so nothing more goes.
  ReadHead(3);
  EXPECT_EQ(station->headsRelations.CancelAutoIncWith(&station->linesRelations), 0);
  EXPECT_EQ(Heads(), 3);
  EXPECT_EQ(Lines(), 5);
  station->heads.Close();
}

// Answers each box through a function, so a test can act between boxes.
class ActingMessages : public runtime::MessageService {
 public:
  explicit ActingMessages(std::function<uint32_t(const runtime::MessageRequest&)> act)
      : act_(std::move(act)) {
    runtime::SetMessageService(this);
  }
  ~ActingMessages() override { runtime::SetMessageService(nullptr); }
  uint32_t Show(const runtime::MessageRequest& request) override {
    captions.push_back(request.caption);
    return act_(request);
  }
  std::vector<std::string> captions;

 private:
  std::function<uint32_t(const runtime::MessageRequest&)> act_;
};

TEST_F(RelationControllerTest, ADeleteThatFailsCanBeRetriedWithoutASecondConfirmation) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);
  Fill();
  Station other(folder.path(), &errors);
  ASSERT_EQ(other.headsFile->Open(), 0);
  ASSERT_EQ(other.headsFile->Hold(0), 0);
  ASSERT_EQ(other.headsFile->FetchAt("1"), 0);
  ReadHead(1);
  ActingMessages answers([&](const runtime::MessageRequest& box) -> uint32_t {
    if (box.caption == "Record Delete Error") other.headsFile->Release();
    return box.caption == "Record was not deleted" ? runtime::ButtonOk : ButtonYes;
  });
  EXPECT_EQ(station->headsRelations.Delete(true), 0);
  EXPECT_EQ(answers.captions, (std::vector<std::string>{"Confirm Delete", "Record was not deleted",
                                                        "Record Delete Error"}));
  EXPECT_EQ(Heads(), 2);
  other.headsFile->Close();
}

TEST_F(RelationControllerTest, RestrictRefusesToDeleteAParentWithChildren) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleRestrict);
  Fill();
  ReadHead(1);
  messages.Expect("Referential Integrity Delete Error",
                  "This record is referenced from the file Lines.", ButtonOk);
  EXPECT_EQ(station->headsRelations.Delete(false), data::SeverityInform);
  EXPECT_EQ(Heads(), 3);
}

TEST_F(RelationControllerTest, RestrictLetsAParentWithoutChildrenGo) {
  station->Relate(RuleRestrict, RuleRestrict, RuleRestrict, RuleRestrict);
  Fill();
  ASSERT_EQ(station->AddHead(2, "empty"), 4);
  ReadHead(4);
  EXPECT_EQ(station->headsRelations.Delete(false), 0);
  EXPECT_EQ(Heads(), 3);
  SetText(station->HEA.NAME, "renamed");
  ReadHead(3);
  station->HEA.NUMBER = 30;  // head 3 has a line: its number may not change
  messages.Expect("Referential Integrity Update Error",
                  "Linking field(s) have been restricted from change and have been reset to "
                  "original values.",
                  ButtonOk);
  EXPECT_EQ(station->headsRelations.Update(), data::SeverityInform);
  EXPECT_EQ(station->HEA.NUMBER, 3);  // reset to the old value
}

TEST_F(RelationControllerTest, ClearOnDeleteClearsTheChildrensLinks) {
  station->Relate(RuleNone, RuleClear, RuleNone, RuleNone);
  Fill();
  ReadOwner(1);
  EXPECT_EQ(station->ownersRelations.Delete(false), 0);
  EXPECT_EQ(Heads(), 3);
  ReadHead(1);
  EXPECT_EQ(station->HEA.OWNER, 0);
  ReadHead(3);
  EXPECT_EQ(station->HEA.OWNER, 2);
}

// ---------------------------------------------------------------- update

TEST_F(RelationControllerTest, CascadeUpdateCarriesTheNewLinkToEveryChild) {
  station->Relate(RuleCascade, RuleCascade, RuleCascade, RuleCascade);
  Fill();
  ReadOwner(1);
  station->OWN.ID = 7;
  ASSERT_EQ(station->ownersRelations.Update(), 0);
  for (int32_t number : {1, 2}) {
    ReadHead(number);
    EXPECT_EQ(station->HEA.OWNER, 7);
  }
  ReadHead(3);
  EXPECT_EQ(station->HEA.OWNER, 2);
  station->OWN.ID = 1;
  station->owners.Open();
  EXPECT_NE(station->owners.Fetch(OwnerIdKey), 0);
  station->owners.Close();
}

TEST_F(RelationControllerTest, CascadeUpdateRecursesThroughGrandchildren) {
  station->Relate(RuleCascade, RuleCascade, RuleCascade, RuleCascade);
  Fill();
  ReadHead(2);
  station->HEA.NUMBER = 20;
  ASSERT_EQ(station->headsRelations.Update(), 0);
  station->lines.Open();
  station->LIN.HEAD = 20;
  station->LIN.LINE = 1;
  EXPECT_EQ(station->lines.Fetch(LineNumberKey), 0);
  station->LIN.LINE = 2;
  EXPECT_EQ(station->lines.Fetch(LineNumberKey), 0);
  station->LIN.HEAD = 2;
  EXPECT_NE(station->lines.Fetch(LineNumberKey), 0);
  station->lines.Close();
}

TEST_F(RelationControllerTest, AnUnchangedLinkLeavesChildrenAlone) {
  station->Relate(RuleClear, RuleClear, RuleClear, RuleClear);
  Fill();
  ReadOwner(1);
  SetText(station->OWN.NAME, "renamed");
  ASSERT_EQ(station->ownersRelations.Update(), 0);
  ReadHead(1);
  EXPECT_EQ(station->HEA.OWNER, 1);
  ReadOwner(1);
  EXPECT_EQ(Text(station->OWN.NAME), "renamed");
}

// ---------------------------------------------------------------- opening

TEST_F(RelationControllerTest, RelatedFilesOpenAndCloseOncePerOperation) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);  // heads and owners name each other
  ASSERT_EQ(station->headsRelations.Open(), 0);
  EXPECT_EQ(station->owners.INFO->front().OPENED, 1);
  EXPECT_EQ(station->heads.INFO->front().OPENED, 1);
  EXPECT_EQ(station->lines.INFO->front().OPENED, 1);
  EXPECT_TRUE(station->headsFile->IsOpen());  // the file asked for is usable at once
  EXPECT_FALSE(station->linesFile->IsOpen());
  station->headsRelations.Close();
  EXPECT_EQ(station->owners.INFO->front().OPENED, 0);
  EXPECT_EQ(station->heads.INFO->front().OPENED, 0);
  EXPECT_EQ(station->lines.INFO->front().OPENED, 0);
  EXPECT_FALSE(station->headsFile->IsOpen());
}

TEST_F(RelationControllerTest, UpdateAndDeleteLeaveOpenCountsAsTheyFoundThem) {
  station->Relate(RuleCascade, RuleCascade, RuleCascade, RuleCascade);
  Fill();
  ReadOwner(2);
  station->OWN.ID = 9;
  ASSERT_EQ(station->ownersRelations.Update(), 0);
  ASSERT_EQ(station->ownersRelations.Delete(false), 0);
  EXPECT_EQ(station->owners.INFO->front().OPENED, 1);  // the browse's own use
  EXPECT_EQ(station->heads.INFO->front().OPENED, 0);
  EXPECT_EQ(station->lines.INFO->front().OPENED, 0);
  EXPECT_EQ(Heads(), 2);
  EXPECT_EQ(Lines(), 4);
}

TEST_F(RelationControllerTest, QuickScanPassesToParentsOrToChildrenOnly) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);
  auto visited = [&](data::RelationController& controller) {
    return controller.LASTTOUCHED == data::RelationController::TraversalCounter();
  };
  station->linesRelations.SetQuickScan(true, 1);  // towards the parents
  EXPECT_TRUE(visited(station->linesRelations));
  EXPECT_TRUE(visited(station->headsRelations));
  EXPECT_TRUE(visited(station->ownersRelations));
  station->headsRelations.SetQuickScan(true, 2);  // towards the children
  EXPECT_TRUE(visited(station->linesRelations));
  EXPECT_FALSE(visited(station->ownersRelations));
  station->headsRelations.SetQuickScan(false);  // this file alone
  EXPECT_TRUE(visited(station->headsRelations));
  EXPECT_FALSE(visited(station->linesRelations));
}

TEST_F(RelationControllerTest, LinkingFieldsAreListedFromEitherSide) {
  station->Relate(RuleNone, RuleNone, RuleNone, RuleNone);
  std::vector<data::LinkPair> fromChild;
  station->headsRelations.ListLinkingFields(&station->linesRelations, fromChild);
  ASSERT_EQ(fromChild.size(), 1u);
  EXPECT_EQ(fromChild[0].left.address, &station->LIN.HEAD);
  EXPECT_EQ(fromChild[0].right.address, &station->HEA.NUMBER);
  std::vector<data::LinkPair> fromParent;
  station->linesRelations.ListLinkingFields(&station->headsRelations, fromParent);
  ASSERT_EQ(fromParent.size(), 1u);
  EXPECT_EQ(fromParent[0].left.address, &station->HEA.NUMBER);
  std::vector<data::LinkPair> none;
  station->linesRelations.ListLinkingFields(&station->ownersRelations, none);
  EXPECT_TRUE(none.empty());
}

TEST_F(RelationControllerTest, FilesOfAnotherDriverAreChangedWithoutATransaction) {
  std::unique_ptr<runtime::StorageDriver> elsewhere = testing::MakeTestDriver(folder.path());
  // The heads file served by a second driver: marking it is refused with 80.
  runtime::FileDeclaration declaration = station->headsFile->declaration();
  std::unique_ptr<runtime::DataFile> heads = elsewhere->Declare(declaration);
  station->heads.Shutdown();
  station->heads.Initialize(heads.get(), &errors);
  station->heads.AddKey(HeadNumberKey, "Head number", 1);
  station->heads.AddKey(HeadNameKey, "Head name");
  station->heads.AddKey(HeadOwnerKey, "Owner");
  station->Relate(RuleCascade, RuleCascade, RuleNone, RuleNone);
  Fill();
  ReadOwner(1);
  EXPECT_EQ(station->ownersRelations.Delete(false), 0);
  EXPECT_EQ(station->ownersRelations.USELOGOUT, 0);
  EXPECT_EQ(Owners(), 1);
  EXPECT_EQ(station->Count(*heads), 1);
  station->heads.Shutdown();
}

}  // namespace
}  // namespace ledora::testing
