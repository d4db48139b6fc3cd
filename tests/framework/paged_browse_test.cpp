#include "framework/paged_browse.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/framework/note_file.h"

namespace ledora::testing {
namespace {

using runtime::EventPageDown;
using runtime::EventPageUp;
using runtime::EventScrollBottom;
using runtime::EventScrollDown;
using runtime::EventScrollTop;
using runtime::EventScrollUp;

// A browse of numbered notes, five rows to the window.
class PagedBrowseTest : public ::testing::Test {
 protected:
  PagedBrowseTest() : notes(folder.path(), &errors) {
    errors.Initialize();
    for (int i = 1; i <= 23; ++i) notes.Add(("note " + std::to_string(i)).c_str());
    notes.relations.Open();
    view = std::make_unique<runtime::View>(runtime::ViewDeclaration{notes.file.get(), {}, {}});
    browse.Initialize(view.get(), &notes.relations);
    browse.AddSortOrder(0);
    browse.AddField(runtime::FieldRef::Of(notes.NOT.ID));
    browse.AddField(runtime::FieldRef::Of(notes.NOT.TEXT));
    browse.SetVisibleRows(5);
    browse.ChooseSortOrder(1, true);
  }
  ~PagedBrowseTest() override {
    browse.Close();
    browse.Shutdown();
    notes.relations.Close();
  }

  // The note ids the list holds, top to bottom.
  std::vector<int32_t> Shown() const {
    std::vector<int32_t> ids;
    for (const framework::BrowseRow& row : browse.rows()) {
      int32_t id;
      std::memcpy(&id, row.columns[0].data(), sizeof id);
      ids.push_back(id);
    }
    return ids;
  }
  int32_t Highlighted() const { return Shown().at(browse.CURRENTCHOICE - 1); }

  TempFolder folder;
  ScriptedMessages messages;
  data::ErrorReporter errors;
  NoteFile notes;
  std::unique_ptr<runtime::View> view;
  framework::PagedBrowse browse;
};

TEST_F(PagedBrowseTest, FirstLoadShowsOnePageAndPutsTheFirstRowInTheRecord) {
  EXPECT_EQ(Shown(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(browse.CURRENTCHOICE, 1);
  EXPECT_EQ(notes.NOT.ID, 1);
  EXPECT_EQ(notes.Text(), "note 1");
}

TEST_F(PagedBrowseTest, SelectingStartsAtTheRecordInTheBuffer) {
  framework::PagedBrowse selecting;
  selecting.Initialize(view.get(), &notes.relations);
  selecting.AddSortOrder(0);
  selecting.AddField(runtime::FieldRef::Of(notes.NOT.ID));
  selecting.SetVisibleRows(5);
  selecting.SELECTING = 1;
  notes.Load(21);
  selecting.ChooseSortOrder(1, true);
  ASSERT_EQ(selecting.rows().size(), 5u);
  EXPECT_EQ(notes.NOT.ID, 21) << "the caller's record is highlighted";
  EXPECT_EQ(selecting.CURRENTCHOICE, 3) << "the page is filled from above at the end";
  selecting.Shutdown();
}

TEST_F(PagedBrowseTest, RowScrollingReadsOneRecordAtTheEdgeOfThePage) {
  for (int i = 0; i < 4; ++i) browse.OnScrollEvent(EventScrollDown);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  int64_t before = view->rowsRead();
  browse.OnScrollEvent(EventScrollDown);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{2, 3, 4, 5, 6}));
  EXPECT_EQ(Highlighted(), 6);
  EXPECT_EQ(view->rowsRead() - before, 1);
  for (int i = 0; i < 5; ++i) browse.OnScrollEvent(EventScrollUp);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Highlighted(), 1);
  browse.OnScrollEvent(EventScrollUp);  // nothing above the first record
  EXPECT_EQ(Highlighted(), 1);
}

TEST_F(PagedBrowseTest, PageDownNearTheEndMovesTheHighlightOnlyByTheUnreadRows) {
  browse.OnScrollEvent(EventScrollDown);  // highlight on screen row 2
  for (int i = 0; i < 3; ++i) browse.OnScrollEvent(EventPageDown);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{16, 17, 18, 19, 20}));
  EXPECT_EQ(Highlighted(), 17);         // a full page keeps the screen row
  browse.OnScrollEvent(EventPageDown);  // only three records are left
  EXPECT_EQ(Shown(), (std::vector<int32_t>{19, 20, 21, 22, 23}));
  EXPECT_EQ(Highlighted(), 22) << "two rows stayed unread";
  EXPECT_EQ(browse.ThumbPosition(), 50);
  browse.OnScrollEvent(EventPageDown);
  EXPECT_EQ(Highlighted(), 23);
  EXPECT_EQ(browse.ThumbPosition(), 100);
  browse.OnScrollEvent(EventPageUp);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{14, 15, 16, 17, 18}));
}

TEST_F(PagedBrowseTest, PageDownReadsOnePageAtTheStartAndAtTheEnd) {
  for (int page = 0; page < 3; ++page) {
    int64_t before = view->rowsRead();
    browse.OnScrollEvent(EventPageDown);
    EXPECT_EQ(view->rowsRead() - before, 5) << "page " << page;
  }
  int64_t before = view->rowsRead();
  browse.OnScrollEvent(EventPageDown);
  EXPECT_EQ(view->rowsRead() - before, 3) << "the three records left";
}

// Rows that scroll out are refilled for the rows read next: each must show
// its own record only, whichever way the list went.
TEST_F(PagedBrowseTest, RowsRefilledAfterScrollingShowOnlyTheirOwnRecord) {
  for (int event : {EventPageDown, EventPageDown, EventScrollDown, EventPageUp, EventScrollUp,
                    EventScrollBottom, EventPageUp, EventScrollTop}) {
    browse.OnScrollEvent(event);
    ASSERT_EQ(browse.rows().size(), 5u);
    std::vector<int32_t> ids = Shown();
    for (size_t i = 0; i < ids.size(); ++i) {
      std::string text = browse.rows()[i].columns[1];
      EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1), "note " + std::to_string(ids[i]))
          << "after event " << event;
    }
  }
  EXPECT_EQ(Shown(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
}

TEST_F(PagedBrowseTest, ThumbDragGoesToTheEndsAndPagesWithoutAMapping) {
  browse.OnThumbDrag(100);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{19, 20, 21, 22, 23}));
  EXPECT_EQ(Highlighted(), 23);
  browse.OnThumbDrag(50);
  EXPECT_EQ(Highlighted(), 23) << "50 does nothing";
  browse.OnThumbDrag(30);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{14, 15, 16, 17, 18}));
  browse.OnThumbDrag(1);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  browse.OnThumbDrag(70);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{6, 7, 8, 9, 10}));
  browse.OnThumbDrag(0);
  EXPECT_EQ(Highlighted(), 1);
  browse.OnScrollEvent(EventScrollUp);
  EXPECT_EQ(browse.ThumbPosition(), 0) << "nothing above the first row";
}

TEST_F(PagedBrowseTest, ThumbMappingLocatesByValueAndShowsThePercentile) {
  framework::NumericStep step;
  browse.SetThumb(&step);
  browse.ChooseSortOrder(1, true);
  EXPECT_EQ(step.LOW, 1);
  EXPECT_EQ(step.HIGH, 23) << "limits from the first and last record";
  EXPECT_EQ(Highlighted(), 1) << "working out the limits leaves the page alone";

  browse.OnThumbDrag(50);
  int32_t middle = std::stoi(step.ValueAtPercentile(50));
  EXPECT_EQ(Shown().front(), middle);
  EXPECT_EQ(Highlighted(), middle);
  EXPECT_EQ(browse.ThumbPosition(), step.PercentileOf(std::to_string(middle)));
  EXPECT_GT(middle, 5);
  EXPECT_LT(middle, 19);

  browse.OnThumbDrag(100);
  EXPECT_EQ(Highlighted(), 23);
  browse.OnThumbDrag(1);
  EXPECT_EQ(Highlighted(), 1);
}

TEST_F(PagedBrowseTest, GrowingTheWindowReloadsWithTheNewRowCount) {
  browse.OnScrollEvent(EventPageDown);
  EXPECT_FALSE(browse.NeedsReset());
  browse.SetVisibleRows(8);
  browse.ChooseSortOrder(1, false);
  EXPECT_EQ(browse.LASTITEMS, 8);
  EXPECT_EQ(browse.rows().size(), 8u);
  EXPECT_EQ(Highlighted(), 6) << "the highlighted record stays";
  EXPECT_FALSE(browse.NeedsReset());
}

TEST_F(PagedBrowseTest, ChangedResetFieldReloadsOnce) {
  int32_t parent = 1;
  browse.AddResetField(runtime::FieldRef::Of(parent));
  EXPECT_FALSE(browse.NeedsReset());
  parent = 2;
  EXPECT_TRUE(browse.NeedsReset());
  EXPECT_EQ(browse.LOADPENDING, 1);
  browse.ChooseSortOrder(1, false);
  EXPECT_FALSE(browse.NeedsReset());
  browse.OnScrollEvent(EventScrollBottom);  // reading to the end is no reset
  EXPECT_FALSE(browse.NeedsReset());
}

// A follow range moves with its left field; the list must show the new
// range's records, not the old page.
TEST_F(PagedBrowseTest, AFollowRangeThatMovedReloadsOnce) {
  int32_t id = 0;
  browse.CurrentOrder()->LIMITTYPE = data::LimitFollow;
  browse.CurrentOrder()->AddRangePair(runtime::FieldRef::Of(notes.NOT.ID),
                                      runtime::FieldRef::Of(id));
  notes.NOT.ID = 4;
  browse.ChooseSortOrder(1, false);
  EXPECT_EQ(Shown(), std::vector<int32_t>{4});
  EXPECT_FALSE(browse.NeedsReset());
  notes.NOT.ID = 7;
  EXPECT_TRUE(browse.NeedsReset());
  browse.ChooseSortOrder(1, false);
  EXPECT_EQ(Shown(), std::vector<int32_t>{7});
  EXPECT_FALSE(browse.NeedsReset());
}

TEST_F(PagedBrowseTest, ChangedRecordStaysOnItsScreenRow) {
  browse.OnScrollEvent(EventPageDown);
  for (int i = 0; i < 2; ++i) browse.OnScrollEvent(EventScrollDown);
  ASSERT_EQ(Highlighted(), 8);
  ASSERT_EQ(browse.CURRENTCHOICE, 3);
  notes.Load(8);
  notes.SetText("changed");
  ASSERT_EQ(notes.relations.Update(), 0);
  browse.RefreshAfterUpdate(2, 1);
  EXPECT_EQ(browse.CURRENTCHOICE, 3);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{6, 7, 8, 9, 10}));
  EXPECT_EQ(notes.Text(), "changed");
}

TEST_F(PagedBrowseTest, InsertedRecordIsHighlightedAndDeletedOneLeavesTheList) {
  int32_t id = notes.Add("new");
  notes.Load(id);
  browse.RefreshAfterUpdate(1, 1);
  EXPECT_EQ(Highlighted(), id);
  EXPECT_EQ(browse.rows().size(), 5u);

  browse.OnScrollEvent(EventScrollTop);
  browse.OnScrollEvent(EventScrollDown);
  notes.Load(2);
  ASSERT_EQ(notes.relations.Delete(false), 0);
  browse.RefreshAfterUpdate(3, 1);
  EXPECT_EQ(Shown(), (std::vector<int32_t>{1, 3, 4, 5, 6}));
}

TEST_F(PagedBrowseTest, EmptyViewClearsTheRecordAndLeavesNoChoice) {
  while (notes.Count() > 0) {
    notes.Load(static_cast<int32_t>(Highlighted()));
    ASSERT_EQ(notes.relations.Delete(false), 0);
    browse.RefreshAfterUpdate(3, 1);
    if (browse.rows().empty()) break;
  }
  EXPECT_TRUE(browse.rows().empty());
  EXPECT_EQ(browse.CURRENTCHOICE, 0);
  EXPECT_EQ(notes.NOT.ID, 0);
  browse.OnScrollEvent(EventPageDown);  // nothing to scroll, nothing breaks
  EXPECT_FALSE(browse.failed());
}

}  // namespace
}  // namespace ledora::testing
