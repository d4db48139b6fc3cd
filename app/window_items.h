// A window's controls given as a table: number, type, place and text. The
// small windows of the report procedures build themselves from one.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/window/window.h"

namespace ledora::app {

struct WindowItem {
  int32_t number;
  runtime::ControlType type;
  runtime::Rect rect;
  const char* text;
};

inline void CreateItems(runtime::Window& window, std::initializer_list<WindowItem> items) {
  for (const WindowItem& item : items) {
    window.CreateControl(item.number, item.type);
    window.SetRect(item.number, item.rect);
    window.SetText(item.number, item.text);
  }
}

}  // namespace ledora::app
