#include "framework/procedure_frame.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/ini_store.h"
#include "framework/toolbar_router.h"
#include "framework/window_resizer.h"
#include "runtime/window/window_registry.h"
#include "tests/framework/note_file.h"

namespace ledora::testing {
namespace {

using framework::LastResponse;
using framework::NavigationRequest;
using framework::PendingRequest;
using framework::ProcedureFrame;
using runtime::ButtonCancel;
using runtime::ButtonNo;
using runtime::ButtonYes;

enum Controls { kText = 1, kSheet = 3, kTabA = 4, kTabB = 5, kOk = 10, kCancel = 11 };

// A browse that only counts what the frame asks of it.
class CountingBrowse : public framework::FrameBrowse {
 public:
  void SetSelecting(bool selecting) override { selectingSet = selecting; }
  data::Severity HandleEvent() override {
    ++events;
    return data::SeverityNone;
  }
  void ApplySortOrder(uint8_t force) override {
    ++refreshes;
    lastForce = force;
  }
  void RefreshDisplay() override { ++displays; }
  void RegisterAlerts() override { ++alerts; }
  void RereadSelectedRow() override { ++synced; }
  bool NeedsRefresh() override { return needsRefresh; }
  void Shutdown() override { ++shutdowns; }

  bool selectingSet = false;
  bool needsRefresh = false;
  int events = 0, refreshes = 0, displays = 0, alerts = 0, synced = 0, shutdowns = 0;
  uint8_t lastForce = 0;
};

// The update form of a note, set up as the application's forms are.
class NoteForm : public ProcedureFrame {
 public:
  NoteForm(NoteFile& notes, data::ErrorReporter& errors) : notes_(notes), errors_(errors) {
    win.SetTitle("Update Note");
    win.CreateControl(kText, runtime::ControlEntry);
    win.SetUse(kText, runtime::FieldRef::Of(notes.NOT.TEXT));
    win.CreateControl(kOk, runtime::ControlButton);
    win.CreateControl(kCancel, runtime::ControlButton);
    SetWindow(&win);
  }

  data::Severity Initialize() override {
    REQUEST = PendingRequest;
    data::Severity result = ProcedureFrame::Initialize();
    if (result != data::SeverityNone) return result;
    FIRSTFIELD = kText;
    VCRREQUEST = &NavigationRequest;
    ERRORS = &errors_;
    PendingRequest = 0;
    LastResponse = 0;
    AddButton(kCancel, framework::ResponseCancelled);
    if (configure) configure(*this);
    return OpenForm(&notes_.relations, kOk);
  }

  std::function<void(NoteForm&)> configure;
  runtime::Window win;

 private:
  NoteFile& notes_;
  data::ErrorReporter& errors_;
};

class ProcedureFrameTest : public ::testing::Test, public HeadlessWindows {
 protected:
  ProcedureFrameTest() : notes(folder.path(), &errors), form(notes, errors) {
    PendingRequest = 0;
    LastResponse = 0;
    NavigationRequest = 0;
    // As a browse would: the file stays open while its forms come and go.
    notes.relations.Open();
  }
  ~ProcedureFrameTest() override { CloseAll(); }

  void Start(uint8_t request) {
    PendingRequest = request;
    driver.Start([this] {
      LastResponse = form.Run();
      ended = true;
    });
  }
  // Opens a change form on a stored note.
  int32_t StartChange(const char* text) {
    int32_t id = notes.Add(text);
    notes.Load(id);
    Start(framework::RequestChange);
    return id;
  }

  // Changes "first" to "second" in the form, closes it with the close box
  // and answers the save question; returns what the file then holds.
  std::string CloseChangedAnswering(uint32_t button) {
    int32_t id = StartChange("first");
    driver.Type(form.win, kText, "second");
    messages.Expect("Save Record", "", button);
    driver.Close(form.win);
    EXPECT_TRUE(ended);
    return notes.Stored(id);
  }

  NoteFile notes;
  CountingBrowse browse;
  NoteForm form;
  bool ended = false;
};

// ------------------------------------------------------------ closing forms

TEST_F(ProcedureFrameTest, ClosingAnUnchangedChangeFormAsksNothing) {
  StartChange("first");
  ASSERT_TRUE(form.win.IsOpen());
  driver.Close(form.win);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ProcedureFrameTest, ClosingAChangedFormAndCancellingKeepsItWithFocusOnTheFirstField) {
  StartChange("first");
  driver.Type(form.win, kText, "second");
  driver.Focus(kOk);
  messages.Expect("Save Record", "Do you want to save the changes to this record?", ButtonCancel);
  driver.Close(form.win);
  EXPECT_FALSE(ended);
  EXPECT_TRUE(form.win.IsOpen());
  EXPECT_EQ(form.win.FocusedControl(), kText);
  EXPECT_EQ(messages.last().request.defaultButton, ButtonCancel);
  messages.Expect("Save Record", "", ButtonNo);
  driver.Close(form.win);
  EXPECT_TRUE(ended);
}

TEST_F(ProcedureFrameTest, ClosingAChangedFormAndAnsweringNoClosesWithoutSaving) {
  EXPECT_EQ(CloseChangedAnswering(ButtonNo), "first");
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
}

TEST_F(ProcedureFrameTest, ClosingAChangedFormAndAnsweringYesSavesThroughOk) {
  EXPECT_EQ(CloseChangedAnswering(ButtonYes), "second");
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
}

TEST_F(ProcedureFrameTest, CancelActionOneSavesWithoutAskingAndTwoWarnsOfLostChanges) {
  int32_t id = StartChange("first");
  form.CANCELACTION = framework::CancelSaves;
  driver.Type(form.win, kText, "second");
  driver.Close(form.win);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(notes.Stored(id), "second");

  NoteForm other(notes, errors);
  other.configure = [](NoteForm& f) { f.CANCELACTION = framework::CancelAsks; };
  notes.Load(id);
  PendingRequest = framework::RequestChange;
  bool otherEnded = false;
  driver.Start([&] {
    LastResponse = other.Run();
    otherEnded = true;
  });
  driver.Type(other.win, kText, "third");
  messages.Expect("Changes will be lost!", "Are you sure you want to cancel?", ButtonNo);
  driver.Close(other.win);
  EXPECT_FALSE(otherEnded);
  messages.Expect("Changes will be lost!", "", ButtonYes);
  driver.Close(other.win);
  EXPECT_TRUE(otherEnded);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
  EXPECT_EQ(notes.Stored(id), "second");
}

// Cancel is the way out users reach for first; it must not lose a change
// without asking any more than the close box does.
TEST_F(ProcedureFrameTest, ACancelButtonAsksAboutAChangedFormAsTheCloseBoxDoes) {
  int32_t id = StartChange("first");
  driver.Type(form.win, kText, "second");
  messages.Expect("Save Record", "", ButtonCancel);
  driver.Press(form.win, kCancel);
  EXPECT_FALSE(ended);
  messages.Expect("Save Record", "", ButtonNo);
  driver.Press(form.win, kCancel);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
  EXPECT_EQ(notes.Stored(id), "first");
}

TEST_F(ProcedureFrameTest, RunWithoutAnyResponseAnswersCancelled) {
  runtime::Window window;
  ProcedureFrame frame(&window);
  uint8_t response = 0;
  driver.Start([&] {
    frame.Initialize();
    frame.OpenWindow();
    frame.EventLoop();
    frame.Shutdown();
    response = frame.RESPONSE;
  });
  driver.Close(window);
  EXPECT_EQ(response, 0);
  ProcedureFrame never;
  EXPECT_EQ(never.Run(), framework::ResponseCancelled) << "no window: the loop ends at once";
  EXPECT_EQ(never.Shutdown(), data::SeverityInform) << "a second shutdown does nothing";
}

// ---------------------------------------------------------------- inserts

TEST_F(ProcedureFrameTest, InsertFormOkAddsTheRecordAndCloses) {
  notes.manager.PrimeRecord();
  Start(framework::RequestInsert);
  driver.Type(form.win, kText, "new one");
  driver.Press(form.win, kOk);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(notes.Stored(notes.NOT.ID), "new one");
}

TEST_F(ProcedureFrameTest, CancelledInsertReleasesItsAutoNumber) {
  notes.Add("kept");
  notes.manager.PrimeRecord();  // reserves the next number with a record
  EXPECT_EQ(notes.Count(), 2);
  Start(framework::RequestInsert);
  driver.Type(form.win, kText, "dropped");
  messages.Expect("Save Record", "", ButtonNo);
  driver.Close(form.win);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
  EXPECT_EQ(notes.Count(), 1);
}

TEST_F(ProcedureFrameTest, BatchInsertStaysOpenPrimedAndReturnsTheLastInserted) {
  form.configure = [](NoteForm& f) { f.INSERTACTION = framework::InsertBatch; };
  notes.manager.PrimeRecord();
  Start(framework::RequestInsert);
  driver.Type(form.win, kText, "one");
  driver.Press(form.win, kOk);
  ASSERT_TRUE(form.win.IsOpen());
  EXPECT_EQ(notes.Text(), "") << "freshly primed";
  EXPECT_EQ(form.win.FocusedControl(), kText);
  driver.Type(form.win, kText, "two");
  driver.Press(form.win, kOk);
  int32_t primed = notes.NOT.ID;
  driver.Close(form.win);  // the primed, untouched record asks nothing
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(notes.Text(), "two");
  EXPECT_EQ(notes.Count(), 2) << "the number primed for a third is released";
  EXPECT_EQ(notes.Stored(primed), "?");
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ProcedureFrameTest, AskingInsertOffersAnotherRecord) {
  form.configure = [](NoteForm& f) { f.INSERTACTION = framework::InsertAsks; };
  notes.manager.PrimeRecord();
  Start(framework::RequestInsert);
  driver.Type(form.win, kText, "one");
  messages.Expect("Record Added", "Do you want to add another record?", ButtonYes);
  driver.Press(form.win, kOk);
  EXPECT_TRUE(form.win.IsOpen());
  driver.Type(form.win, kText, "two");
  messages.Expect("Record Added", "", ButtonNo);
  driver.Press(form.win, kOk);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(notes.Count(), 2);
}

TEST_F(ProcedureFrameTest, RefusedInsertNeverOpensTheWindow) {
  class Refusing : public NoteForm {
   public:
    using NoteForm::NoteForm;
    void PrimeNewRecord() override { RESPONSE = framework::ResponseCancelled; }
  } refusing(notes, errors);
  PendingRequest = framework::RequestInsert;
  EXPECT_EQ(refusing.Run(), framework::ResponseCancelled);
  EXPECT_EQ(refusing.OPENED, 0);
}

// ---------------------------------------------------------------- deletes

TEST_F(ProcedureFrameTest, DeleteRequestConfirmsWithoutOpeningTheForm) {
  int32_t id = notes.Add("doomed");
  notes.Load(id);
  messages.Expect("Confirm Delete", "Are you sure you want to delete the highlighted record?",
                  ButtonNo);
  PendingRequest = framework::RequestDelete;
  EXPECT_EQ(form.Run(), framework::ResponseCancelled);
  EXPECT_EQ(form.OPENED, 0);
  EXPECT_EQ(notes.Stored(id), "doomed");

  NoteForm again(notes, errors);
  notes.Load(id);
  messages.Expect("Confirm Delete", "", ButtonYes);
  PendingRequest = framework::RequestDelete;
  EXPECT_EQ(again.Run(), framework::ResponseCompleted);
  EXPECT_EQ(again.OPENED, 0);
  EXPECT_EQ(notes.Count(), 0);
  EXPECT_EQ(notes.manager.INFO->front().OPENED, 1) << "the form closed what it opened";
}

TEST_F(ProcedureFrameTest, DeleteActionFourDeletesWithoutAsking) {
  int32_t id = notes.Add("doomed");
  notes.Load(id);
  class Quiet : public NoteForm {
   public:
    using NoteForm::NoteForm;
    data::Severity PrepareRequest() override {
      DELETEACTION = framework::DeleteWithoutForm;
      return NoteForm::PrepareRequest();
    }
  } quiet(notes, errors);
  PendingRequest = framework::RequestDelete;
  EXPECT_EQ(quiet.Run(), framework::ResponseCompleted);
  EXPECT_EQ(notes.Count(), 0);
}

// ---------------------------------------------------------------- refresh

TEST_F(ProcedureFrameTest, TheFirstSizedEventDoesNotRefreshButLaterOnesDo) {
  form.configure = [&](NoteForm& f) { f.AddBrowse(&browse); };
  StartChange("first");
  int afterOpening = browse.refreshes;
  EXPECT_GE(afterOpening, 1) << "the window's preparation refreshes";
  EXPECT_EQ(browse.alerts, 1);
  EXPECT_TRUE(form.INITED & framework::InitedFirstSize);
  driver.Resize(300, 200);
  EXPECT_EQ(browse.refreshes, afterOpening + 1);
  driver.Close(form.win);
  EXPECT_EQ(browse.shutdowns, 1);
}

TEST_F(ProcedureFrameTest, FocusLossWithResetOnGainFocusForcesTheNextRefresh) {
  form.configure = [&](NoteForm& f) {
    f.AddBrowse(&browse);
    f.RESETONGAINFOCUS = 1;
  };
  StartChange("first");
  runtime::Window other;
  driver.Start([&] {
    other.Open();
    runtime::Event e;
    while (other.Accept(&e)) {
    }
  });
  EXPECT_EQ(form.FORCEDRESET, 1);
  driver.Close(other);
  EXPECT_EQ(browse.lastForce, 1) << "regaining the focus refreshes in force mode";
  EXPECT_EQ(form.FORCEDRESET, 0);
}

TEST_F(ProcedureFrameTest, AutoRefreshAsksEveryBrowseAfterEachEvent) {
  form.configure = [&](NoteForm& f) { f.AddBrowse(&browse); };
  StartChange("first");
  int before = browse.refreshes;
  browse.needsRefresh = true;
  driver.Focus(kOk);
  EXPECT_GT(browse.refreshes, before);
  EXPECT_GT(browse.events, 0);
}

TEST_F(ProcedureFrameTest, ASelectRequestMakesEveryBrowseSelect) {
  form.configure = [&](NoteForm& f) { f.AddBrowse(&browse); };
  Start(framework::RequestSelect);
  EXPECT_TRUE(browse.selectingSet);
  driver.Close(form.win);
}

TEST_F(ProcedureFrameTest, ChangingTheTabRefreshesAndRetargetsTheToolbar) {
  framework::ToolbarRouter toolbar;
  form.win.CreateControl(kSheet, runtime::ControlSheet);
  form.win.CreateControl(kTabA, runtime::ControlTab, kSheet);
  form.win.CreateControl(kTabB, runtime::ControlTab, kSheet);
  form.configure = [&](NoteForm& f) {
    f.AddBrowse(&browse);
    f.AttachToolbar(&toolbar);
  };
  StartChange("first");
  int before = browse.refreshes;
  driver.ChooseTab(kSheet, 2);
  EXPECT_EQ(browse.refreshes, before + 1);
  driver.Close(form.win);
}

TEST_F(ProcedureFrameTest, AnAttachedResizerLaysTheFormOutOnEverySizedEvent) {
  framework::WindowResizer resizer;
  form.win.SetSize(200, 100);
  form.win.SetRect(kText, {10, 10, 80, 12});
  form.configure = [&](NoteForm& f) {
    resizer.Setup(&f.win, framework::AppStrategySpread, true, false);
    f.AttachResizer(&resizer);
  };
  StartChange("first");
  driver.Resize(400, 200);
  EXPECT_EQ(form.win.GetRect(kText), (runtime::Rect{20, 10, 160, 12}));
  driver.Resize(200, 100);
  EXPECT_EQ(form.win.GetRect(kText), (runtime::Rect{10, 10, 80, 12}));
  driver.Close(form.win);
  EXPECT_FALSE(resizer.active()) << "the frame's shutdown ends the resizer";
}

// Marks every text it is given, so a second translation would show.
class Marking : public framework::Translator {
 public:
  void TranslateWindow(framework::TranslatableTexts& texts) override {
    for (size_t i = 0; i < texts.TextCount(); ++i) {
      texts.SetText(i, TranslateText(texts.Text(i)));
    }
  }
  std::string TranslateText(std::string_view text) override { return "*" + std::string(text); }
};

TEST_F(ProcedureFrameTest, AnAttachedTranslatorTranslatesTheWindowOnceWhenItOpens) {
  Marking translator;
  form.win.SetText(kOk, "OK");
  form.win.SetTip(kOk, "Save the note");
  form.configure = [&](NoteForm& f) { f.TRANSLATOR = &translator; };
  StartChange("first");
  runtime::Window other;
  driver.Start([&] {
    other.Open();
    runtime::Event e;
    while (other.Accept(&e)) {
    }
  });
  driver.Close(other);  // the form gains the focus again
  EXPECT_EQ(form.win.title(), "*Update Note");
  EXPECT_EQ(form.win.GetText(kOk), "*OK");
  EXPECT_EQ(form.win.Find(kOk)->tip, "*Save the note");
  driver.Close(form.win);
}

// ------------------------------------------------------------ placement

TEST_F(ProcedureFrameTest, TheWindowReopensWhereTheUserLeftIt) {
  framework::IniStore store;
  store.Setup(folder.path() + "/ledora.INI");
  form.win.SetResizable(true);
  form.win.SetSize(200, 100);
  form.configure = [&](NoteForm& f) { f.KeepPlacement(&store, "UpdateNote"); };
  StartChange("first");
  form.win.UserMoved(30, 40);
  driver.Resize(250, 120);
  driver.Close(form.win);
  EXPECT_EQ(store.ReadValue("UpdateNote", "XPos"), "30");
  EXPECT_EQ(store.ReadValue("UpdateNote", "Width"), "250");

  NoteForm again(notes, errors);
  again.win.SetResizable(true);
  again.win.SetSize(200, 100);
  again.configure = form.configure;
  PendingRequest = framework::RequestChange;
  driver.Start([&] { again.Run(); });
  EXPECT_EQ(again.win.geometry(), (runtime::Rect{30, 40, 250, 120}));
  again.win.UserStateChanged(true, false);
  driver.Close(again.win);
  EXPECT_EQ(store.ReadValue("UpdateNote", "Maximize"), "Yes");
  EXPECT_EQ(store.ReadValue("UpdateNote", "Width"), "250") << "the normal size stays stored";
}

// ------------------------------------------------------------ other events

TEST_F(ProcedureFrameTest, ARejectedEntryKeepsWhatWasTypedSaysWhyAndTakesTheFocusBack) {
  form.win.CreateControl(2, runtime::ControlEntry);
  int32_t number = 7;
  form.win.SetUse(2, runtime::FieldRef::Of(number));
  form.win.SetPicture(2, "@n-13");
  form.win.CreateControl(3, runtime::ControlEntry);
  int32_t date = 0;
  form.win.SetUse(3, runtime::FieldRef::Of(date));
  form.win.SetPicture(3, "@d17");
  form.win.CreateControl(4, runtime::ControlEntry);
  unsigned char price[5] = {};
  form.win.SetUse(4, runtime::FieldRef::Packed(price, 5, 2));
  form.win.SetPicture(4, "@n-13.2");
  StartChange("first");
  int beeps = presenter.beeps();
  driver.Type(form.win, 2, "three");
  EXPECT_EQ(presenter.beeps(), beeps + 1);
  EXPECT_EQ(form.win.FocusedControl(), 2);
  EXPECT_EQ(driver.Shown(2), "three");
  EXPECT_EQ(number, 7);
  EXPECT_EQ(form.win.statusText(), "Type a whole number, like 1234");
  EXPECT_EQ(presenter.shownTip(), form.win.statusText()) << "said at the field too";
  EXPECT_EQ(presenter.shownTipControl(), 2);

  driver.Type(form.win, 4, "12x.5");
  EXPECT_EQ(form.win.statusText(), "Type a number with at most 2 decimals, like 1234.50");
  driver.Type(form.win, 4, "12345678.5");
  EXPECT_EQ(form.win.statusText(),
            "The number is too large for this field: type one from -9999999.99 to 9999999.99");
  EXPECT_EQ(presenter.shownTipControl(), 4);

  driver.Type(form.win, 3, "13/45/26");
  EXPECT_EQ(driver.Shown(3), "13/45/26");
  EXPECT_EQ(form.win.FocusedControl(), 3);
  EXPECT_EQ(form.win.statusText().rfind("Type a date like ", 0), 0u) << form.win.statusText();
  EXPECT_EQ(form.win.statusText().find("@"), std::string::npos) << "never the picture itself";
  driver.Type(form.win, 3, "");
  EXPECT_EQ(form.win.statusText(), "") << "an accepted input clears the word";
  EXPECT_EQ(runtime::GetText(runtime::FieldRef::Packed(price, 5, 2)), "0.00")
      << "a number too large is not stored wrapped round";
  driver.Close(form.win);
}

TEST_F(ProcedureFrameTest, TheHistoryKeyRecallsTheValueLastSaved) {
  NoteRecord saved{};
  form.configure = [&](NoteForm& f) {
    f.INSERTACTION = framework::InsertBatch;
    f.HISTORYKEY = runtime::KeyCtrlQuote;
    f.AddHistoryFile(notes.manager.BUFFER, &saved);
    f.AddHistoryField(kText, 2);
  };
  notes.manager.PrimeRecord();
  Start(framework::RequestInsert);
  EXPECT_TRUE(form.win.IsAlert(kText, runtime::KeyCtrlQuote));
  driver.Type(form.win, kText, "repeat me");
  driver.Press(form.win, kOk);
  EXPECT_EQ(notes.Text(), "");
  form.win.UserFocus(kText);
  driver.PressKey(kText, runtime::KeyCtrlQuote);
  EXPECT_EQ(notes.Text(), "repeat me");
  EXPECT_EQ(form.win.GetText(kText), "repeat me");
  messages.Expect("Save Record", "", ButtonNo);
  driver.Press(form.win, kCancel);
}

}  // namespace
}  // namespace ledora::testing
