// A step locator: typing a character in a sorted list jumps to the first
// record whose free key component begins with it, and typing the same
// character again steps on through those records. The paged browse keeps one
// per sort order and hands it the keys that reach its list.
#pragma once

#include <cstdint>

#include "data/view_manager.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {
class Window;
}

namespace ledora::framework {

// What a locator asks of the list it serves; the paged browse answers.
class LocatorList {
 public:
  virtual ~LocatorList() = default;
  virtual bool HasRows() = 0;
  // Moves the highlight one row down and loads that row into the record.
  virtual void StepDown() = 0;
};

class Locator {
 public:
  data::ViewManager* VIEWMANAGER = nullptr;  // not owned; the browse's view
  int32_t CONTROL = 0;                       // the entry showing the search; 0: none
  runtime::FieldRef FREEELEMENT{runtime::FieldLong, nullptr, 0, 0};  // the field searched
  uint8_t NOCASE = 0;                                                // 1: the search ignores case

  Locator() = default;
  virtual ~Locator() = default;
  Locator(const Locator&) = delete;
  Locator& operator=(const Locator&) = delete;

  void Initialize(data::ViewManager* browse, int32_t control, const runtime::FieldRef& freeElement,
                  bool noCase);

  // Overridable operations; the base locator searches nothing.
  //
  // Forgets what was typed so far and blanks the shown search.
  virtual void ClearSearch() {}
  // Called when the order changes or the highlighted row moves.
  virtual void OnOrderOrRowChanged() {}
  // The locator's entry was accepted (the browse forwards the event).
  virtual void OnAccepted() {}
  // Registers the keys the locator takes from listControl, after the window opens.
  virtual void RegisterKeys(int32_t /*listControl*/) {}
  // The search entry was completed; 1 when the browse must reposition.
  virtual uint8_t OnSearchAccepted() { return 0; }
  // A key typed in the list. 1 when the browse must reposition at the free
  // element's new value.
  virtual uint8_t OnKeyPressed(int32_t keyCode, LocatorList& list);
  // Shows the current search again.
  virtual void RefreshDisplay() { OnOrderOrRowChanged(); }

  // The locator's control is of no use while the list is empty.
  void EnableControl(runtime::Window& window, bool hasRows);

  // The character a key code types; 0 when it types none.
  static char CharacterOf(int32_t keyCode);
};

}  // namespace ledora::framework
