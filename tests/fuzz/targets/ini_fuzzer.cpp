// ledora.INI and qrptdes.ini as users and other programs leave them: read,
// looked up, changed and written back without losing a line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/ini/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using ledora::runtime::IniDocument;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniDocument document = IniDocument::Parse(bytes);
  size_t lines = document.LineCount();
  document.Get("Main", "X");
  document.Get("ReportDesigner", "Caption");
  // Reading back what was written gives the same lines.
  if (IniDocument::Parse(document.Serialize()).LineCount() != lines) __builtin_trap();
  document.Set("Main", "Maximize", "No");
  IniDocument::Parse(document.Serialize());
  return 0;
}
