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

  uint8_t AUTOREFRESH = 0;
  uint8_t AUTOTOOLBAR = 0;
  std::unique_ptr<std::vector<BrowseEntry>> BROWSES;
  std::unique_ptr<std::vector<ButtonEntry>> BUTTONS;
  std::unique_ptr<std::vector<FileDropEntry>> FILEDROPS;
  uint8_t CANCELACTION = 0;
  uint8_t CHANGEACTION = 0;
  uint8_t DEAD = 0;
  uint8_t DELETEACTION = 0;
  data::ErrorReporter* ERRORS = nullptr;
  std::unique_ptr<std::vector<UpdateFileEntry>> FILES;
  int32_t FIRSTFIELD = 0;
  uint8_t FORCEDRESET = 0;
  uint8_t RESETONGAINFOCUS = 0;
  std::unique_ptr<std::vector<HistoryEntry>> HISTORY;
  int32_t HISTORYKEY = 0;
  uint8_t INITED = 0;
  uint8_t INSERTACTION = 0;
  std::string LASTINSERTEDPOSITION;  // blank = none
  int32_t OKCONTROL = 0;
  uint8_t OPENED = 0;
  uint8_t ORIGINALREQUEST = 0;
  data::RelationController* PRIMARY = nullptr;
  uint8_t REQUEST = 0;
  WindowResizer* RESIZE = nullptr;
  uint8_t RESPONSE = 0;
  int32_t SAVED = 0;  // snapshot of the primary record buffer
  ToolbarRouter* TOOLBAR = nullptr;
  Translator* TRANSLATOR = nullptr;
  int32_t* VCRREQUEST = nullptr;

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
  uint8_t OpenForm(data::RelationController* primary, int32_t okControl);
  // Opens the window, sets OPENED and registers the alert keys.
  void OpenWindow();

  // Overridable, in slot order.
  virtual void EventLoop();
  virtual uint8_t Initialize();
  virtual uint8_t Shutdown();
  virtual void PrepareWindow();
  virtual void PrimeNewRecord() {}
  virtual uint8_t PrepareRequest();
  virtual void Refresh(uint8_t force);
  virtual void RecallField(int32_t control);
  virtual uint8_t Run();
  virtual uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request);
  virtual void RegisterAlerts();
  virtual void SetResponseAndClose(uint8_t response);
  virtual uint8_t OnAccepted();
  virtual uint8_t OnCompleted();
  virtual uint8_t OnCloseRequest();
  virtual uint8_t HandleEvent();
  virtual uint8_t OnFieldEvent() { return data::SeverityNone; }
  virtual uint8_t OnNewSelection();
  virtual uint8_t OnRejected();
  virtual uint8_t OnSelected() { return data::SeverityNone; }
  virtual uint8_t OnWindowEvent();
  virtual void SyncBrowses();

  void SaveHistory();

  // The unsaved-changes rule of leaving a form: whether anything would be
  // lost, the question asked (Yes, No or Cancel), and what No undoes
  // beyond not saving the record.
  virtual bool HasUnsavedChanges() { return !PrimaryUnchanged(); }
  virtual uint32_t AskToSave();
  virtual void DiscardChanges() {}

 protected:
  // Messages go through ERRORS; without one a question takes its default.
  uint8_t ThrowMessage(uint16_t number);
  uint32_t AskMessage(uint16_t number, uint32_t buttons, uint32_t defaultButton);
  void SelectFirstField();
  void PostToWindow(int32_t event, int32_t control = 0);
  bool PrimaryUnchanged();
  data::FileManager* PrimaryFile() const;

 private:
  uint8_t CompleteInsert();
  uint8_t InsertNextInBatch();
  uint8_t CompleteChange();
  uint8_t CompleteDelete();
  bool AskToRetry(uint16_t message);
  uint8_t AskAboutChanges(bool* goOn);

  runtime::Window* window_ = nullptr;
  bool closePrimary_ = false;     // OpenForm opened the primary relation
  bool closingByButton_ = false;  // a response button asked for the close
  std::string rejectionTold_;     // what the status line says of a refused input
  const IniStore* placementStore_ = nullptr;
  std::string placementSection_;
};

}  // namespace ledora::framework
