#include "framework/ini_store.h"

#include <charconv>
#include <optional>

#include "runtime/window/presenter.h"

namespace ledora::framework {

namespace {

std::optional<int32_t> ParseNumber(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  int32_t value = 0;
  const char* end = text->data() + text->size();
  auto [stop, error] = std::from_chars(text->data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// A placement is kept once more for the size of the screen it was left on,
// so a smaller screen never gets a place that only fits a bigger one.
std::string ScreenSection(std::string_view section) {
  runtime::ScreenArea screen = runtime::CurrentPresenter().ScreenSize();
  if (screen.width <= 0 || screen.height <= 0) return "";
  return std::string(section) + "@" + std::to_string(screen.width) + "x" +
         std::to_string(screen.height);
}

}  // namespace

void IniStore::Setup(std::string_view fileName) { FILENAME = std::string(fileName); }

runtime::IniResult IniStore::WriteValue(std::string_view section, std::string_view key,
                                        std::string_view value) const {
  if (FILENAME.empty()) return runtime::IniWriteFailed;
  return runtime::WriteIniValue(FILENAME, section, key, value);
}

runtime::IniResult IniStore::WriteValue(std::string_view section, std::string_view key,
                                        int32_t value) const {
  return WriteValue(section, key, std::to_string(value));
}

std::string IniStore::ReadValue(std::string_view section, std::string_view key) const {
  return runtime::ReadIniValue(FILENAME, section, key).value_or(std::string(kUnknown));
}

bool IniStore::ReadValue(std::string_view section, std::string_view key,
                         const runtime::FieldRef& variable) const {
  std::optional<std::string> value = runtime::ReadIniValue(FILENAME, section, key);
  if (!value) return false;
  runtime::SetText(variable, *value);
  return true;
}

// All keys go into the file in one locked change, so neither a crash nor
// another station's write leaves a placement half old and half new.
runtime::IniResult IniStore::StoreWindowPlacement(std::string_view section,
                                                  const PlacementWindow& window) const {
  if (window.IsMinimized()) return runtime::IniOk;
  if (FILENAME.empty()) return runtime::IniWriteFailed;
  std::string screen = ScreenSection(section);
  return runtime::UpdateIniFile(FILENAME, [&](runtime::IniDocument& document) {
    auto write = [&](std::string_view into) {
      bool maximized = window.IsMaximized();
      bool written = document.Set(into, "Maximize", maximized ? "Yes" : "No");
      if (maximized) return written;
      int32_t x = 0, y = 0;
      window.GetPosition(&x, &y);
      written = written && document.Set(into, "XPos", std::to_string(x)) &&
                document.Set(into, "YPos", std::to_string(y));
      if (!window.IsResizable()) return written;
      int32_t width = 0, height = 0;
      window.GetSize(&width, &height);
      return written && document.Set(into, "Height", std::to_string(height)) &&
             document.Set(into, "Width", std::to_string(width));
    };
    return write(section) && (screen.empty() || write(screen));
  });
}

void IniStore::RestoreWindowPlacement(std::string_view wanted, PlacementWindow& window) const {
  runtime::IniDocument document;
  runtime::ReadIniFile(FILENAME, &document);
  std::string screen = ScreenSection(wanted);
  std::string_view section = wanted;
  if (!screen.empty() && document.Get(screen, "Maximize")) section = screen;
  std::optional<std::string> maximize = document.Get(section, "Maximize");
  if (std::optional<int32_t> x = ParseNumber(document.Get(section, "XPos"))) {
    int32_t oldX = 0, y = 0;
    window.GetPosition(&oldX, &y);
    window.SetPosition(*x, ParseNumber(document.Get(section, "YPos")).value_or(y));
    if (window.IsResizable()) {
      int32_t width = 0, height = 0;
      window.GetSize(&width, &height);
      std::optional<int32_t> storedWidth = ParseNumber(document.Get(section, "Width"));
      std::optional<int32_t> storedHeight = ParseNumber(document.Get(section, "Height"));
      // A size of zero or less would leave a window nobody can see or grab.
      if (storedWidth && *storedWidth > 0) width = *storedWidth;
      if (storedHeight && *storedHeight > 0) height = *storedHeight;
      window.SetSize(width, height);
    }
  }
  if (maximize && runtime::SameIniName(*maximize, "Yes")) window.SetMaximized(true);
  if (maximize && runtime::SameIniName(*maximize, "No")) window.SetMaximized(false);
}

}  // namespace ledora::framework
