// A small auto-numbered data file of notes with its file manager and
// relation controller, and the headless window set-up that frame tests
// drive procedures with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "data/relation_controller.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {

#pragma pack(push, 1)
struct NoteRecord {
  int32_t ID;
  char TEXT[20];
};
#pragma pack(pop)

class NoteFile {
 public:
  NoteFile(const std::string& folder, data::ErrorReporter* errors);
  ~NoteFile();

  int32_t Add(const char* text);  // the new note's ID, -1 on failure
  // The text stored for a note, "?" when there is none.
  std::string Stored(int32_t id);
  int64_t Count();
  void Load(int32_t id);  // reads the note into the buffer
  void SetText(const char* text);
  std::string Text() const;

  NoteRecord NOT{};
  runtime::SqliteDriver driver;
  std::unique_ptr<runtime::DataFile> file;
  data::FileManager manager;
  data::RelationController relations;
};

// Windows without a screen, scripted message boxes and a fresh folder.
class HeadlessWindows {
 public:
  HeadlessWindows();
  ~HeadlessWindows();
  // Closes whatever is still open and lets every thread end.
  void CloseAll();

  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  ScriptedMessages messages;  // after the presenter, so its boxes win
  TempFolder folder;
  data::ErrorReporter errors;
};

}  // namespace ledora::testing
