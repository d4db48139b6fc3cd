#include "tests/framework/note_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::testing {

namespace {

const runtime::RecordLayout& NoteLayout() {
  static const runtime::RecordLayout layout(
      "NOT", sizeof(NoteRecord),
      {{"NOT:ID", runtime::FieldLong, 0, 4, 0}, {"NOT:TEXT", runtime::FieldString, 4, 20, 0}});
  return layout;
}

}  // namespace

NoteFile::NoteFile(const std::string& folder, data::ErrorReporter* errors) {
  runtime::FileDeclaration declaration{"NOTES", folder + "/NOTES", &NoteLayout(), &NOT, {}};
  runtime::KeyDeclaration key;
  key.label = "NOT:IDKEY";
  key.components = {{0}};
  key.unique = true;
  key.primary = true;
  declaration.keys.push_back(key);
  file = driver.Declare(declaration);
  manager.Initialize(file.get(), errors);
  manager.FILENAMEVALUE = "Notes";
  manager.LOCKRECOVER = 1;
  manager.AddKey(0, "Note id", 1);
  relations.Initialize(&manager, true);
}

NoteFile::~NoteFile() {
  relations.Shutdown();
  manager.Shutdown();
}

int32_t NoteFile::Add(const char* text) {
  relations.Open();
  manager.PrimeRecord();
  SetText(text);
  uint8_t result = manager.Insert();
  relations.Close();
  return result == 0 ? NOT.ID : -1;
}

std::string NoteFile::Stored(int32_t id) {
  NoteRecord keep = NOT;
  relations.Open();
  NOT.ID = id;
  std::string text = manager.FetchQuietly(0) == 0 ? Text() : "?";
  relations.Close();
  NOT = keep;
  return text;
}

int64_t NoteFile::Count() {
  bool wasOpen = file->IsOpen();
  if (!wasOpen && file->Open() != 0) return -1;
  int64_t count = file->Records();
  if (!wasOpen) file->Close();
  return count;
}

void NoteFile::Load(int32_t id) {
  relations.Open();
  NOT.ID = id;
  // A note not found leaves the buffer as the caller set it.
  (void)manager.FetchQuietly(0);
  relations.Close();
}

void NoteFile::SetText(const char* text) {
  std::memset(NOT.TEXT, ' ', sizeof NOT.TEXT);
  std::memcpy(NOT.TEXT, text, std::min(sizeof NOT.TEXT, std::strlen(text)));
}

std::string NoteFile::Text() const {
  std::string text(NOT.TEXT, sizeof NOT.TEXT);
  size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

HeadlessWindows::HeadlessWindows() { errors.Initialize(); }

HeadlessWindows::~HeadlessWindows() { CloseAll(); }

void HeadlessWindows::CloseAll() {
  for (int round = 0; round < 10 && scheduler.HasThreads(); ++round) {
    auto open = runtime::WindowRegistry::Instance().windows();
    for (runtime::Window* window : std::vector<runtime::Window*>(open.rbegin(), open.rend())) {
      window->Post(runtime::EventCloseDown);
    }
    driver.Settle();
  }
}

}  // namespace ledora::testing
