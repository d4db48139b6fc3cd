// Keeps a resizable window's layout sensible: records the window's first
// geometry and every control's first rectangle, and on each resize computes
// each control's new rectangle from those and the window's new size, by a
// positional and a resize strategy per control. Update forms attach one to
// their procedure frame after the window opens.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/window/window.h"

namespace ledora::framework {

// Default strategy sets.
enum ResizeAppStrategy : uint8_t {
  AppStrategySurface = 1,
  AppStrategySpread = 2,
};

// POSITIONALSTRATEGY: the low byte is the horizontal rule, the high byte
// the vertical one; 0 moves in proportion to the window.
enum PositionRule : uint16_t {
  FixXPos = 1,
  FixRight = 2,
  FixLeft = 3,
  FixXCentre = 4,
  FixNearestX = 5,
  FixYPos = 256,
  FixBottom = 512,
  FixTop = 768,
  FixYCentre = 1024,
  FixNearestY = 1280,
};

// RESIZESTRATEGY bits; 0 scales width and height with the window.
enum ResizeRule : uint16_t {
  LockWidth = 1,
  LockHeight = 2,
  ConstantRight = 4,
  ConstantBottom = 8,
};

class WindowResizer {
 public:
  struct Geometry {
    int32_t XPOS = 0;
    int32_t YPOS = 0;
    int32_t WIDTH = 0;
    int32_t HEIGHT = 0;
    bool operator==(const Geometry&) const = default;
  };
  struct WindowGeometry {
    int32_t XPOS = 0;
    int32_t YPOS = 0;
    int32_t WIDTH = 0;
    int32_t HEIGHT = 0;
    uint8_t MAXIMIZED = 0;
    uint8_t ICONIZED = 0;
  };
  struct ControlEntry {
    int32_t ID = 0;
    int32_t TYPE = 0;
    uint8_t HASCHILDREN = 0;
    uint16_t POSITIONALSTRATEGY = 0;
    uint16_t RESIZESTRATEGY = 0;
    Geometry POS;
    int32_t PARENTID = 0;
    bool sized = false;  // has a rectangle and strategies
  };
  struct MoveEntry {
    int32_t PRIORITY = 0;
    int32_t CONTROLID = 0;
    int32_t TYPE = 0;
    Geometry BEFORE;
    Geometry AFTER;
  };

  uint8_t APPSTRATEGY = AppStrategySurface;  // how the controls follow the window
  uint8_t AUTOTRANSPARENT = 0;               // 1: the first size makes the controls transparent
  WindowGeometry ORIGWIN;                    // the window as designed, taken by Restart
  std::unique_ptr<std::vector<ControlEntry>> CONTROLQUEUE;  // every control, designed
  uint8_t DEFERMOVES = 0;                                   // 1 after set-up; nothing reads it
  Geometry PREVIOUSWIN;                                     // the window at the last size handled
  uint8_t RESIZECALLED = 0;                                 // 1 once a size was handled
  std::unique_ptr<std::vector<MoveEntry>> RESIZELIST;       // the moves of one size change

  WindowResizer() = default;
  virtual ~WindowResizer() = default;
  WindowResizer(const WindowResizer&) = delete;
  WindowResizer& operator=(const WindowResizer&) = delete;

  // After the window opened. The minimum or maximum flag fixes the window's
  // smallest or largest size at the first one.
  void Setup(runtime::Window* window, uint8_t appStrategy, bool setMinimum, bool setMaximum);
  // The sized events stop reaching the resizer.
  void Shutdown();
  bool active() const { return window_ != nullptr && RESIZELIST != nullptr; }

  // Sets one control's strategies (after Setup or Restart).
  void SetStrategy(int32_t control, uint16_t positional, uint16_t resize);
  const ControlEntry* Entry(int32_t control) const;

  // The control that control moves with (a tab page or sheet); 0: the window.
  virtual int32_t ParentOf(int32_t control);
  // Takes the window's and every control's present geometry as the
  // designed one that later sizes are computed from.
  virtual void Restart();
  // The window was sized: keeps it within its limits and moves and sizes
  // every control by its strategies.
  virtual void OnSized();
  // Puts the window and its controls back to the designed geometry.
  virtual void RestoreOriginalSize();
  // Sets each control's parent from the window's tab pages and sheets.
  virtual void BuildParentage();
  // rect: the control's first rectangle inside `from`, the parent's first
  // rectangle; `to` is the parent's new one.
  virtual Geometry ComputeRectangle(const ControlEntry& control, const Geometry& from,
                                    const Geometry& to);

 private:
  ControlEntry* FindEntry(int32_t control);
  void DefaultStrategies(ControlEntry& entry) const;
  void ComputeAll(const Geometry& newWindow);
  Geometry NewRectangle(ControlEntry& entry, const Geometry& newWindow,
                        std::vector<Geometry>& computed, std::vector<uint8_t>& state, int depth);
  void ApplyMoves(bool grew);
  void PutBackAll();
  void MakeTransparent();

  runtime::Window* window_ = nullptr;
};

}  // namespace ledora::framework
