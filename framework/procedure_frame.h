// The object that drives one window procedure: it prepares the caller's
// request, runs the window's event loop, dispatches each event by kind,
// performs the file operation when a form completes and asks about unsaved
// changes on close. Every browse, form, report procedure, the preview and the
// program's main frame derive from it and override what they need.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/error_reporter.h"
#include "data/error_severity.h"
#include "data/file_entries.h"
#include "data/file_manager.h"
#include "data/relation_controller.h"
#include "framework/frame_lists.h"
#include "framework/translator.h"
#include "runtime/window/event.h"
#include "runtime/window/window.h"

namespace ledora::framework {

class IniStore;
class ToolbarRouter;
class WindowResizer;

enum Request : uint8_t {
  RequestNone = 0,
  RequestInsert = 1,
  RequestChange = 2,
  RequestDelete = 3,
  RequestSelect = 4,
  RequestPrint = 5,
};

enum Response : uint8_t {
  ResponseNone = 0,
  ResponseCompleted = 1,
  ResponseCancelled = 2,
};

// Handed from a caller to the next procedure, in strictly sequential calls.
extern uint8_t PendingRequest;
extern uint8_t LastResponse;
extern int32_t NavigationRequest;  // a toolbar button number; 0 = none

// CANCELACTION bits.
enum CancelAction : uint8_t {
  CancelSaves = 1,  // a changed form is saved through the OK path
  CancelAsks = 2,   // ... after asking
};

// INSERTACTION values.
enum InsertAction : uint8_t {
  InsertCloses = 2,
  InsertBatch = 3,  // the form stays open, freshly primed
  InsertAsks = 4,
};

// DELETEACTION values.
enum DeleteAction : uint8_t {
  DeleteConfirmed = 2,
  DeleteWithoutForm = 4,
};

// INITED bits.
enum InitedBits : uint8_t {
  InitedWindowPrepared = 1,
  InitedFirstSize = 2,
};

class ProcedureFrame {
 public:
  struct BrowseEntry {
    FrameBrowse* BROWSE = nullptr;
  };
  struct ButtonEntry {
    int32_t CONTROL = 0;
    uint8_t ACTION = 0;
  };
  struct FileDropEntry {
    FileDrop* FILEDROP = nullptr;
  };
  struct UpdateFileEntry {
    data::FileManager* MANAGER = nullptr;
    int32_t SAVED = 0;  // the manager's snapshot ids are 32-bit
  };
  struct HistoryEntry {
    data::RecordBuffer FRECORD;
    void* SRECORD = nullptr;  // a copy of FRECORD's size
    int32_t CONTROL = 0;
    int32_t FIELDNO = 0;  // from 1, in the record's layout
  };

  uint8_t AUTOREFRESH = 0;  // 1: a browse that needs it is refreshed after each event
  uint8_t AUTOTOOLBAR = 0;  // 1: a new tab selection gives the toolbar back to the frame
  std::unique_ptr<std::vector<BrowseEntry>> BROWSES;      // from Initialize to Shutdown
  std::unique_ptr<std::vector<ButtonEntry>> BUTTONS;      // buttons that close with a response
  std::unique_ptr<std::vector<FileDropEntry>> FILEDROPS;  // from Initialize to Shutdown
  uint8_t CANCELACTION = 0;               // CancelAction bits: what closing a changed form does
  uint8_t CHANGEACTION = 0;               // 1 after Initialize; the frame itself never reads it
  uint8_t DEAD = 0;                       // 1 once Shutdown has run; a second Shutdown does nothing
  uint8_t DELETEACTION = 0;               // DeleteAction: how a delete request is carried out
  data::ErrorReporter* ERRORS = nullptr;  // not owned; null: questions take their default
  std::unique_ptr<std::vector<UpdateFileEntry>> FILES;  // other files the form writes
  int32_t FIRSTFIELD = 0;        // the control selected when the window opens or a write fails
  uint8_t FORCEDRESET = 0;       // added once to the next Refresh's force, then cleared
  uint8_t RESETONGAINFOCUS = 0;  // 1: losing focus sets FORCEDRESET
  std::unique_ptr<std::vector<HistoryEntry>> HISTORY;  // fields the history key recalls
  int32_t HISTORYKEY = 0;            // the key code that recalls a field's saved value; 0: none
  uint8_t INITED = 0;                // InitedBits: what the window's first events have done
  uint8_t INSERTACTION = 0;          // InsertAction: what follows a completed insert
  std::string LASTINSERTEDPOSITION;  // the last record a batch insert added; blank = none
  int32_t OKCONTROL = 0;             // the button that completes the request; 0: none
  uint8_t OPENED = 0;                // 1 once the window is open
  uint8_t ORIGINALREQUEST = 0;       // REQUEST as Initialize found it
  data::RelationController* PRIMARY = nullptr;  // not owned; the file the request is on
  uint8_t REQUEST = 0;                          // Request: what the caller asked of this procedure
  WindowResizer* RESIZE = nullptr;              // not owned; told of each size change
  uint8_t RESPONSE = 0;                         // Response: what Run returns to the caller
  int32_t SAVED = 0;  // snapshot of the primary record buffer, taken by PrepareRequest
  ToolbarRouter* TOOLBAR = nullptr;  // not owned; routes toolbar buttons
  Translator* TRANSLATOR = nullptr;  // not owned; translates the window's texts once
  int32_t* VCRREQUEST = nullptr;     // not owned; the toolbar's pending scroll request, 0 = none

  ProcedureFrame() = default;
  explicit ProcedureFrame(runtime::Window* window) : window_(window) {}
  virtual ~ProcedureFrame() = default;
  ProcedureFrame(const ProcedureFrame&) = delete;
  ProcedureFrame& operator=(const ProcedureFrame&) = delete;

  // The procedure's window (not owned).
  runtime::Window* window() const { return window_; }
  void SetWindow(runtime::Window* window) { window_ = window; }
  const runtime::Event& event() const;

  // Registration, after Initialize and before the window opens.
  void AddBrowse(FrameBrowse* browse);
  void AddButton(int32_t control, uint8_t response);
  void AddFileDrop(FileDrop* fileDrop);
  void AddUpdateFile(data::FileManager* manager);
  void AddHistoryFile(const data::RecordBuffer& record, void* savedCopy);
  void AddHistoryField(int32_t control, int32_t fieldNumber);
  void AttachResizer(WindowResizer* resizer);
  void AttachToolbar(ToolbarRouter* toolbar);
  // The window reopens where the user left it: its placement is restored
  // from the store's section when it opens and stored there at the end.
  void KeepPlacement(const IniStore* store, std::string_view section);

  // The tail of a form's initialisation: opens the primary relation, sets
  // PRIMARY and OKCONTROL and prepares the request; unless that refused,
  // opens the window. Returns Initialize's result (5 when refused).
  data::Severity OpenForm(data::RelationController* primary, int32_t okControl);
  // Opens the window, sets OPENED and registers the alert keys.
  void OpenWindow();

  // Overridable operations. Results named Severity mean: SeverityNone, go on;
  // SeverityInform, the event is used up (or the step failed, error shown);
  // SeverityStop, the event loop ends.
  //
  // Takes events until the window closes or a handler answers SeverityStop;
  // nothing without a window or after Shutdown.
  virtual void EventLoop();
  // Makes the registration lists and sets the default actions; SeverityNone
  // lets Run go on to the event loop.
  virtual data::Severity Initialize();
  // Shuts the browses, drops and toolbar down, restores the buffers, closes
  // what OpenForm opened, stores the placement and sets DEAD; SeverityInform
  // when already done.
  virtual data::Severity Shutdown();
  // Runs once on the first open or gain of focus: translates the window's
  // texts, refreshes it and sets InitedWindowPrepared.
  virtual void PrepareWindow();
  // Fills a new record's fields before the insert form shows it; setting
  // RESPONSE to ResponseCancelled refuses the insert.
  virtual void PrimeNewRecord() {}
  // Before the window opens: snapshots the buffers, primes an insert, carries
  // out a delete without a form; SeverityStop when no window is needed.
  virtual data::Severity PrepareRequest();
  // Redraws the browses, drops, toolbar and window; force (plus FORCEDRESET)
  // above 0 rereads the browses' rows. Nothing while the window accepts all.
  virtual void Refresh(uint8_t force);
  // Puts back the value HISTORY saved for control's field and redisplays it.
  virtual void RecallField(int32_t control);
  // The procedure's whole life: Initialize, EventLoop, Shutdown; returns the
  // Response (ResponseCancelled when none was set).
  virtual uint8_t Run();
  // Runs the update procedure numbered procedure with request; returns its
  // Response. The frame has none: ResponseCancelled.
  virtual uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request);
  // After the window opens: registers the browses' keys and the history key.
  virtual void RegisterAlerts();
  // Sets RESPONSE and posts the close; a cancel also drops the toolbar's
  // pending scroll request.
  virtual void SetResponseAndClose(uint8_t response);
  // A control was accepted: toolbar, response buttons, the OK button.
  // SeverityInform when a response button closed the window.
  virtual data::Severity OnAccepted();
  // The form was completed: writes the insert, change or delete REQUEST asks
  // for, asking again on failure; leaves the window open when the write failed.
  virtual data::Severity OnCompleted();
  // The window is asked to close: asks about unsaved changes and gives back
  // an unused auto-number; SeverityInform keeps the window open.
  virtual data::Severity OnCloseRequest();
  // Dispatches the current event by kind, then to the browses and drops;
  // returns the first handler's result that is not SeverityNone.
  virtual data::Severity HandleEvent();
  // Any event of a control, after the kind's own handler.
  virtual data::Severity OnFieldEvent() { return data::SeverityNone; }
  // A tab was selected: refreshes and gives the toolbar back to the frame.
  virtual data::Severity OnNewSelection();
  // A control refused its input: beeps, says why on the status line and
  // selects it again; what was typed stays.
  virtual data::Severity OnRejected();
  // A control was selected.
  virtual data::Severity OnSelected() { return data::SeverityNone; }
  // An event of the window itself (open, focus, size, completed, close).
  virtual data::Severity OnWindowEvent();
  // Rereads each browse's selected row, after another window changed it.
  virtual void SyncBrowses();

  // Copies the HISTORY records' current values aside, for RecallField.
  void SaveHistory();

  // The unsaved-changes rule of leaving a form. Whether anything would be
  // lost: the primary record differs from its snapshot.
  virtual bool HasUnsavedChanges() { return !PrimaryUnchanged(); }
  // Asks whether to save; returns the button pressed (Yes, No or Cancel).
  virtual uint32_t AskToSave();
  // What No undoes beyond not saving the record; nothing by default.
  virtual void DiscardChanges() {}

 protected:
  // Messages go through ERRORS; without one a question takes its default.
  data::Severity ThrowMessage(data::MessageNumber number);
  uint32_t AskMessage(data::MessageNumber number, uint32_t buttons, uint32_t defaultButton);
  void SelectFirstField();
  void PostToWindow(int32_t event, int32_t control = 0);
  bool PrimaryUnchanged();
  data::FileManager* PrimaryFile() const;

 private:
  data::Severity CompleteInsert();
  data::Severity InsertNextInBatch();
  data::Severity CompleteChange();
  data::Severity CompleteDelete();
  bool AskToRetry(data::MessageNumber message);
  data::Severity AskAboutChanges(bool* goOn);

  runtime::Window* window_ = nullptr;
  bool closePrimary_ = false;     // OpenForm opened the primary relation
  bool closingByButton_ = false;  // a response button asked for the close
  std::string rejectionTold_;     // what the status line says of a refused input
  const IniStore* placementStore_ = nullptr;
  std::string placementSection_;
};

}  // namespace ledora::framework
