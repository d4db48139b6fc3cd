// The application's settings store: plain values and window placements kept
// in one INI file ("ledora.INI"), so a window reopens where the user left it.
// Created once at start-up and handed to whatever persists settings (the
// print preview stores its window under "_PreviewWindow_").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/ini/ini_file.h"
#include "runtime/values/field_ref.h"

namespace ledora::framework {

// What storing and restoring a placement needs of a window, in the window's
// own units; the window engine's windows are adapted to it.
class PlacementWindow {
 public:
  virtual ~PlacementWindow() = default;
  virtual bool IsMinimized() const = 0;
  virtual bool IsMaximized() const = 0;
  virtual bool IsResizable() const = 0;
  virtual void GetPosition(int32_t* x, int32_t* y) const = 0;
  virtual void SetPosition(int32_t x, int32_t y) = 0;
  virtual void GetSize(int32_t* width, int32_t* height) const = 0;
  virtual void SetSize(int32_t width, int32_t height) = 0;
  virtual void SetMaximized(bool maximized) = 0;
};

class IniStore {
 public:
  static constexpr std::string_view kUnknown = "---Unknown---";

  std::string FILENAME;

  void Setup(std::string_view fileName);
  runtime::IniResult WriteValue(std::string_view section, std::string_view key,
                                std::string_view value) const;
  runtime::IniResult WriteValue(std::string_view section, std::string_view key,
                                int32_t value) const;
  // A missing key (or an unreadable file) reads as kUnknown.
  std::string ReadValue(std::string_view section, std::string_view key) const;
  // Assigns the variable only when the key exists; true when it did.
  bool ReadValue(std::string_view section, std::string_view key,
                 const runtime::FieldRef& variable) const;

  // A minimised window writes nothing; a maximised one only "Maximize", so
  // its last normal placement stays stored for when it is restored.
  runtime::IniResult StoreWindowPlacement(std::string_view section,
                                          const PlacementWindow& window) const;
  // Without a stored "XPos" the window keeps its designed placement.
  void RestoreWindowPlacement(std::string_view section, PlacementWindow& window) const;
};

}  // namespace ledora::framework
