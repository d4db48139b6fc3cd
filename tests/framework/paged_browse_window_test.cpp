// The paged browse in its window, driven headless as a user would: keys,
// scroll bar, double clicks, the popup menu, the buttons and the update
// procedure it calls through its frame.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/paged_browse.h"
#include "framework/procedure_frame.h"
#include "framework/query_by_example.h"
#include "framework/toolbar_router.h"
#include "runtime/views/view.h"
#include "tests/framework/note_file.h"
#include "tests/support/halt_recorder.h"

namespace ledora::testing {
namespace {

using framework::LastResponse;
using framework::NavigationRequest;
using framework::PendingRequest;
using runtime::Window;

enum Controls {
  kList = 1,
  kInsert = 2,
  kChange = 3,
  kDelete = 4,
  kSelect = 5,
  kClose = 6,
  kQuery = 7,
  kTools = 8,
};

struct Call {
  uint16_t procedure;
  uint8_t request;
  int32_t id;  // the note in the buffer when it was called
  bool operator==(const Call&) const = default;
};

// Notes what the cursor was while each row was read.
class WatchedBrowse : public framework::PagedBrowse {
 public:
  std::vector<runtime::CursorShape> cursors;

 protected:
  void FillRow(framework::BrowseRow& row) override {
    cursors.push_back(window()->cursor());
    PagedBrowse::FillRow(row);
  }
};

// A window procedure browsing the notes, five rows to the list; its update
// procedure is whatever the test gives it.
class NotesBrowse : public framework::ProcedureFrame {
 public:
  NotesBrowse(NoteFile& notes, data::ErrorReporter& errors) : notes_(notes), errors_(errors) {
    win.SetTitle("Notes");
    win.CreateControl(kList, runtime::ControlList);
    win.SetRect(kList, {0, 0, 200, 60});
    win.SetListFormat(kList, "20R~Id~@n4@80L~Text~@s20@");
    win.SetVScroll(kList, true);
    const char* captions[] = {"&Insert", "&Change", "&Delete", "&Select",
                              "Close",   "&Query",  "Tools"};
    for (int32_t button = kInsert; button <= kTools; ++button) {
      win.CreateControl(button, runtime::ControlButton);
      win.SetText(button, captions[button - kInsert]);
    }
    SetWindow(&win);
  }

  data::Severity Initialize() override {
    REQUEST = PendingRequest;
    data::Severity result = ProcedureFrame::Initialize();
    if (result != data::SeverityNone) return result;
    FIRSTFIELD = kList;
    VCRREQUEST = &NavigationRequest;
    ERRORS = &errors_;
    AttachToolbar(&toolbar);
    PendingRequest = 0;
    LastResponse = 0;
    AddButton(kClose, framework::ResponseCancelled);
    // The browse reads its files from the start; the form part opens the
    // primary once more.
    notes_.relations.Open();
    view = std::make_unique<runtime::View>(runtime::ViewDeclaration{notes_.file.get(), {}, {}});
    browse.Setup(kList, this, view.get(), &notes_.relations);
    browse.AddSortOrder(0);
    browse.AddField(runtime::FieldRef::Of(notes_.NOT.ID));
    browse.AddField(runtime::FieldRef::Of(notes_.NOT.TEXT));
    browse.INSERTCONTROL = kInsert;
    browse.CHANGECONTROL = kChange;
    browse.DELETECONTROL = kDelete;
    browse.SELECTCONTROL = kSelect;
    browse.ASKPROCEDURE = 7;
    if (configure) configure(*this);
    return OpenForm(&notes_.relations, 0);
  }

  data::Severity Shutdown() override {
    data::Severity result = ProcedureFrame::Shutdown();
    if (result == data::SeverityNone) notes_.relations.Close();
    return result;
  }

  uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request) override {
    calls.push_back({procedure, request, notes_.NOT.ID});
    return update ? update(request) : uint8_t{framework::ResponseCancelled};
  }

  Window win;
  WatchedBrowse browse;
  framework::ToolbarRouter toolbar;
  std::unique_ptr<runtime::View> view;
  std::function<void(NotesBrowse&)> configure;
  std::function<uint8_t(uint8_t)> update;
  std::vector<Call> calls;

 private:
  NoteFile& notes_;
  data::ErrorReporter& errors_;
};

class PagedBrowseWindowTest : public ::testing::Test, public HeadlessWindows {
 protected:
  PagedBrowseWindowTest() : notes(folder.path(), &errors), frame(notes, errors) {
    PendingRequest = 0;
    LastResponse = 0;
    NavigationRequest = 0;
    for (int i = 1; i <= 23; ++i) notes.Add(("note " + std::to_string(i)).c_str());
  }
  ~PagedBrowseWindowTest() override {
    CloseAll();
    for (const auto& call : halts.calls()) ADD_FAILURE() << "halted: " << call.text;
  }

  void Start(uint8_t request = framework::RequestNone) {
    PendingRequest = request;
    driver.Start([this] {
      LastResponse = frame.Run();
      ended = true;
    });
    ASSERT_TRUE(frame.win.IsOpen());
  }
  // The ids the list shows, top to bottom.
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const auto& row : frame.win.Find(kList)->rows) ids.push_back(std::stoi(row.at(0)));
    return ids;
  }
  // The id of the row selected in the list.
  int Selected() const { return Ids().at(frame.win.GetSelection(kList) - 1); }
  void Key(int32_t keyCode) { driver.PressKey(kList, keyCode); }

  HaltRecorder halts;
  NoteFile notes;
  NotesBrowse frame;
  bool ended = false;
};

// ------------------------------------------------------------- scrolling

TEST_F(PagedBrowseWindowTest, PageDownNearTheEndMovesTheHighlightOnlyByTheRowsLeft) {
  Start();
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Selected(), 1);
  Key(runtime::KeyDown);
  for (int i = 0; i < 3; ++i) Key(runtime::KeyPageDown);
  EXPECT_EQ(Ids(), (std::vector<int>{16, 17, 18, 19, 20}));
  EXPECT_EQ(Selected(), 17);
  Key(runtime::KeyPageDown);
  EXPECT_EQ(Ids(), (std::vector<int>{19, 20, 21, 22, 23}));
  EXPECT_EQ(Selected(), 22) << "two rows stayed unread";
  EXPECT_EQ(notes.NOT.ID, 22) << "the highlighted record is in the buffer";
  Key(runtime::KeyEnd);
  EXPECT_EQ(Selected(), 23);
  EXPECT_EQ(frame.win.Find(kList)->thumb, 100);
  Key(runtime::KeyHome);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(frame.win.Find(kList)->thumb, 0);
  Key(runtime::KeyDown);
  EXPECT_EQ(frame.win.Find(kList)->thumb, 50);
}

TEST_F(PagedBrowseWindowTest, ArrowsPastThePageReadOneRecordMore) {
  Start();
  for (int i = 0; i < 5; ++i) Key(runtime::KeyDown);
  EXPECT_EQ(Ids(), (std::vector<int>{2, 3, 4, 5, 6}));
  EXPECT_EQ(Selected(), 6);
  EXPECT_EQ(frame.win.GetSelection(kList), 5);
}

TEST_F(PagedBrowseWindowTest, TheWheelMovesThreeRowsANotchReadingPastThePage) {
  Start();
  driver.Wheel(kList, -1);
  EXPECT_EQ(Selected(), 4);
  driver.Wheel(kList, -2);
  EXPECT_EQ(Ids(), (std::vector<int>{6, 7, 8, 9, 10}));
  EXPECT_EQ(Selected(), 10);
  driver.Wheel(kList, 1);
  EXPECT_EQ(Selected(), 7);
  EXPECT_EQ(notes.NOT.ID, 7) << "the highlighted record is in the buffer";
}

TEST_F(PagedBrowseWindowTest, AShrunkListKeepsItsHighlightedRecord) {
  Start();
  Key(runtime::KeyPageDown);
  for (int i = 0; i < 4; ++i) Key(runtime::KeyDown);
  EXPECT_EQ(Selected(), 10);
  frame.win.SetVisibleRows(kList, 3);
  driver.Resize(300, 90);
  EXPECT_EQ(Ids(), (std::vector<int>{8, 9, 10})) << "the record stays, on the last row";
  EXPECT_EQ(Selected(), 10);
  EXPECT_EQ(notes.NOT.ID, 10);
}

TEST_F(PagedBrowseWindowTest, AGrownListReloadsWithItsNewRowCount) {
  Start();
  Key(runtime::KeyPageDown);
  EXPECT_EQ(Selected(), 6);
  frame.win.SetVisibleRows(kList, 8);  // as the presenter measures the list
  driver.Resize(300, 200);
  EXPECT_EQ(Ids(), (std::vector<int>{6, 7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(Selected(), 6) << "the highlighted record stays on its row";
}

TEST_F(PagedBrowseWindowTest, DraggingTheThumbGoesToTheEndsAndHalfwayDoesNothing) {
  Start();
  EXPECT_TRUE(frame.win.Find(kList)->thumbShown);
  driver.Scroll(kList, runtime::EventScrollDrag, 100);
  EXPECT_EQ(Ids(), (std::vector<int>{19, 20, 21, 22, 23}));
  EXPECT_EQ(Selected(), 23);
  driver.Scroll(kList, runtime::EventScrollDrag, 50);
  EXPECT_EQ(Selected(), 23);
  driver.Scroll(kList, runtime::EventScrollDrag, 1);
  EXPECT_EQ(Selected(), 1);
  driver.Scroll(kList, runtime::EventScrollDrag, 100);
  driver.Scroll(kList, runtime::EventScrollDrag, 0);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(notes.NOT.ID, 1);
}

// --------------------------------------------------------------- actions

TEST_F(PagedBrowseWindowTest, DoubleClickWhileSelectingReturnsThatRecord) {
  notes.Load(1);  // the caller's record
  Start(framework::RequestSelect);
  EXPECT_TRUE(frame.win.Find(kSelect)->enabled);
  EXPECT_TRUE(frame.win.Find(kSelect)->isDefault);
  driver.DoubleClickRow(kList, 3);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(notes.NOT.ID, 3);
  EXPECT_EQ(notes.Text(), "note 3");
  EXPECT_TRUE(frame.calls.empty());
}

TEST_F(PagedBrowseWindowTest, DoubleClickOtherwiseOpensTheChangeForm) {
  Start();
  EXPECT_FALSE(frame.win.Find(kSelect)->enabled) << "not selecting";
  driver.DoubleClickRow(kList, 3);
  EXPECT_FALSE(ended);
  EXPECT_EQ(frame.calls, (std::vector<Call>{{7, framework::RequestChange, 3}}));
}

TEST_F(PagedBrowseWindowTest, KeysInsertChangeAndDelete) {
  Start();
  driver.ChooseRow(kList, 2);
  Key(runtime::KeyInsert);
  Key(runtime::KeyEnter);
  Key(runtime::KeyCtrlEnter);
  Key(runtime::KeyDelete);
  ASSERT_EQ(frame.calls.size(), 4u);
  EXPECT_EQ(frame.calls[0].request, framework::RequestInsert);
  EXPECT_EQ(frame.calls[0].id, 24) << "an insert starts from a primed, numbered record";
  EXPECT_EQ(frame.calls[1], (Call{7, framework::RequestChange, 2}));
  EXPECT_EQ(frame.calls[2], (Call{7, framework::RequestChange, 2}));
  EXPECT_EQ(frame.calls[3], (Call{7, framework::RequestDelete, 2}));
}

TEST_F(PagedBrowseWindowTest, RightClickShowsTheButtonsAsAMenu) {
  Start();
  presenter.ScriptPopup(3);  // the third item: Delete
  driver.presenter();
  frame.win.UserChoseRow(kList, 4, runtime::KeyMouseRightUp);
  driver.Settle();
  ASSERT_EQ(presenter.popups().size(), 1u);
  EXPECT_EQ(presenter.popups()[0], "&Insert|&Change|&Delete");
  EXPECT_EQ(frame.calls, (std::vector<Call>{{7, framework::RequestDelete, 4}}));
}

TEST_F(PagedBrowseWindowTest, AnEmptyListDisablesChangeAndDeleteButStillInserts) {
  notes.relations.Open();
  for (int id = 1; id <= 23; ++id) {
    notes.Load(id);
    ASSERT_EQ(notes.relations.Delete(false), 0);
  }
  notes.relations.Close();
  frame.configure = [](NotesBrowse& f) { f.browse.HIDESELECT = 1; };
  Start();
  EXPECT_TRUE(Ids().empty());
  EXPECT_FALSE(frame.win.Find(kChange)->enabled);
  EXPECT_FALSE(frame.win.Find(kDelete)->enabled);
  EXPECT_TRUE(frame.win.Find(kSelect)->hidden);
  EXPECT_FALSE(frame.win.Find(kList)->thumbShown);
  Key(runtime::KeyDelete);
  Key(runtime::KeyEnter);
  Key(runtime::KeyInsert);
  EXPECT_EQ(frame.calls, (std::vector<Call>{{7, framework::RequestInsert, 1}}));
}

// ---------------------------------------------------------------- updates

TEST_F(PagedBrowseWindowTest, AChangedRecordKeepsItsScreenRow) {
  Start();
  Key(runtime::KeyPageDown);
  Key(runtime::KeyDown);
  Key(runtime::KeyDown);
  ASSERT_EQ(Selected(), 8);
  frame.update = [this](uint8_t) {
    notes.SetText("changed");
    return notes.relations.Update() == 0 ? framework::ResponseCompleted
                                         : framework::ResponseCancelled;
  };
  driver.Press(frame.win, kChange);
  EXPECT_EQ(Ids(), (std::vector<int>{6, 7, 8, 9, 10}));
  EXPECT_EQ(frame.win.GetSelection(kList), 3);
  EXPECT_EQ(frame.win.Find(kList)->rows[2][1], "changed");
  EXPECT_EQ(frame.win.FocusedControl(), kList);
}

TEST_F(PagedBrowseWindowTest, AnInsertedRecordIsHighlighted) {
  Start();
  frame.update = [this](uint8_t request) {
    EXPECT_EQ(request, framework::RequestInsert);
    notes.SetText("added");
    return notes.manager.Insert() == 0 ? framework::ResponseCompleted
                                       : framework::ResponseCancelled;
  };
  driver.Press(frame.win, kInsert);
  EXPECT_EQ(Selected(), 24);
  EXPECT_EQ(notes.Stored(24), "added");
}

TEST_F(PagedBrowseWindowTest, NextRecordOnTheToolbarOfAFormChangesTheNextRowToo) {
  Start();
  driver.ChooseRow(kList, 3);
  frame.update = [this](uint8_t) {
    notes.SetText(("seen " + std::to_string(notes.NOT.ID)).c_str());
    notes.relations.Update();
    // The form's Next Record button saved it and asks for the next one.
    if (frame.calls.size() < 3) NavigationRequest = framework::ToolbarDown;
    return framework::ResponseCompleted;
  };
  driver.Press(frame.win, kChange);
  EXPECT_EQ(frame.calls, (std::vector<Call>{{7, framework::RequestChange, 3},
                                            {7, framework::RequestChange, 4},
                                            {7, framework::RequestChange, 5}}));
  EXPECT_EQ(notes.Stored(4), "seen 4");
  EXPECT_EQ(Selected(), 5);
  EXPECT_EQ(NavigationRequest, 0);
}

TEST_F(PagedBrowseWindowTest, InsertOnTheToolbarOfAFormAddsAnother) {
  Start();
  int added = 0;
  frame.update = [&](uint8_t request) {
    EXPECT_EQ(request, framework::RequestInsert);
    notes.SetText("added");
    notes.manager.Insert();
    if (++added < 2) NavigationRequest = framework::ToolbarInsert;
    return framework::ResponseCompleted;
  };
  driver.Press(frame.win, kInsert);
  EXPECT_EQ(added, 2);
  EXPECT_EQ(notes.Count(), 25);
  EXPECT_EQ(Selected(), 25);
}

// ------------------------------------------------------------------ query

TEST_F(PagedBrowseWindowTest, TheQueryFormFiltersTheListAndCancelLeavesItAlone) {
  framework::QueryByExample query;
  query.AddField("NOT:TEXT", 'S');
  frame.configure = [&](NotesBrowse& f) {
    f.browse.QUERY = &query;
    f.browse.QUERYCONTROL = kQuery;
  };
  Start();
  driver.Press(frame.win, kQuery);
  ASSERT_EQ(driver.Top()->title(), "Example values");
  driver.Type(framework::QueryByExample::ExampleEntry(0), "NOTE 2*");
  driver.Press(framework::QueryByExample::kOkButton);
  EXPECT_EQ(Ids(), (std::vector<int>{2, 20, 21, 22, 23}));

  driver.Press(frame.win, kQuery);
  driver.Type(framework::QueryByExample::ExampleEntry(0), "*1*");
  driver.Press(framework::QueryByExample::kCancelButton);
  EXPECT_EQ(Ids(), (std::vector<int>{2, 20, 21, 22, 23}));

  Key(runtime::KeyEnd);
  driver.Press(frame.win, kQuery);
  driver.Type(framework::QueryByExample::ExampleEntry(0), "");
  driver.Press(framework::QueryByExample::kOkButton);
  EXPECT_EQ(Selected(), 23) << "an empty query shows every note again";
  EXPECT_EQ(Ids().size(), 5u);
}

// ---------------------------------------------------------------- toolbar

TEST_F(PagedBrowseWindowTest, TheToolbarPagesTheListAndSelectsItsRecord) {
  notes.Load(1);
  Start(framework::RequestSelect);
  frame.win.Post(runtime::EventAccepted, framework::ToolbarPageDown);
  driver.Settle();
  EXPECT_EQ(Ids(), (std::vector<int>{6, 7, 8, 9, 10}));
  frame.win.Post(runtime::EventAccepted, framework::ToolbarUp);
  driver.Settle();
  EXPECT_EQ(Selected(), 5);
  frame.win.Post(runtime::EventAccepted, framework::ToolbarSelect);
  driver.Settle();
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(notes.NOT.ID, 5);
}

TEST_F(PagedBrowseWindowTest, RowsAreReadUnderTheWaitCursor) {
  Start();
  Key(runtime::KeyPageDown);
  ASSERT_FALSE(frame.browse.cursors.empty());
  for (runtime::CursorShape shape : frame.browse.cursors) EXPECT_EQ(shape, runtime::CursorWait);
  EXPECT_EQ(frame.win.cursor(), runtime::CursorArrow) << "the cursor comes back";
}

TEST_F(PagedBrowseWindowTest, AListThatCannotBeReadClosesItsWindow) {
  Start();
  frame.view->Close();  // as if the storage went away under the list
  messages.Expect("Record Retrieval Error", "", runtime::ButtonOk);
  Key(runtime::KeyPageDown);
  EXPECT_TRUE(frame.browse.failed());
  EXPECT_TRUE(ended);
  EXPECT_FALSE(frame.win.IsOpen());
}

TEST_F(PagedBrowseWindowTest, TheToolboxOffersTheButtonsOnAWindowOfItsOwn) {
  frame.configure = [](NotesBrowse& f) { f.browse.TOOLCONTROL = kTools; };
  Start();
  presenter.ScriptPopup(0);  // the menu is shown and nothing chosen
  frame.win.UserChoseRow(kList, 2, runtime::KeyMouseRightUp);
  driver.Settle();
  ASSERT_EQ(presenter.popups().size(), 1u);
  EXPECT_EQ(presenter.popups()[0], "&Insert|&Change|&Delete|-|Tools");
  EXPECT_TRUE(frame.calls.empty());

  driver.Press(frame.win, kTools);
  Window* toolbox = driver.Titled(framework::kBrowseActionsTitle);
  ASSERT_NE(toolbox, nullptr);
  std::vector<std::string> captions;
  for (const auto& c : toolbox->controls()) captions.push_back(c->text);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Insert", "&Change", "&Delete"}));
  driver.Press(*toolbox, toolbox->controls()[1]->number);
  EXPECT_EQ(frame.calls, (std::vector<Call>{{7, framework::RequestChange, 2}}));
}

}  // namespace
}  // namespace ledora::testing
