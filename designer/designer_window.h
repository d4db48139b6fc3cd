// The report designer's window: one layout at a time on a canvas, with its
// menus, toolbar and step box, right-click menus, the file flows (new, open,
// save, save as, delete, import, export) around the save prompt, and the
// command states refreshed after every command. It runs on a thread of its
// own, started from the program's menu (ReportDesigner).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "designer/design_canvas.h"
#include "designer/design_history.h"
#include "designer/design_page.h"
#include "designer/design_recovery.h"
#include "designer/designer_commands.h"
#include "designer/layout_preview.h"
#include "layout/design_database.h"
#include "layout/design_state.h"
#include "layout/designer_view.h"
#include "runtime/window/window.h"

namespace ledora::designer {

class DesignerWindow;

// The windows of the designer's tools, once they exist; an unset entry
// shows the standard warning "Procedure not defined" with its name.
struct DesignerTools {
  std::function<void(DesignCanvas& canvas)> reportProperties;
  std::function<void(DesignCanvas& canvas)> bandProperties;
  std::function<void(DesignCanvas& canvas)> controlProperties;
  // The new-control dialog: fills the control, true to place it.
  std::function<bool(DesignCanvas& canvas, layout::ControlEntry& control, int band)> newControl;
  std::function<void()> paperFormats;
  std::function<void(DesignerWindow& designer)> propertiesBox;
  // For the properties box: the selection changed; a palette tool was used.
  std::function<void(DesignCanvas& canvas)> selectionChanged;
  std::function<void(DesignCanvas& canvas)> toolPlaced;
  // Also for the box: the events the designer's loop leaves alone (applied
  // properties), and the designer closing.
  std::function<void(DesignerWindow& designer, const runtime::Event& event)> otherEvent;
  std::function<void(DesignerWindow& designer)> closing;
};

class DesignerWindow : public layout::DesignerView {
 public:
  // Where the canvas starts in the window, below the toolbar (thousandths
  // of an inch, the window's unit).
  static constexpr int32_t kCanvasLeft = 200;
  static constexpr int32_t kCanvasTop = 450;

  explicit DesignerWindow(layout::DesignDatabase& designs, DesignerTools tools = {});
  ~DesignerWindow() override;

  // Update from the new-reports file, files, window, then the event loop
  // until the window closes. A type and design in typeName / designName
  // (both given) are loaded first.
  void Run(const std::string& typeName = {}, const std::string& designName = {});
  // What "Preview" runs; unset: the standard warning "Procedure not defined".
  void SetPreview(LayoutPreview preview) { preview_ = std::move(preview); }
  // The metrics reports print with, for the canvas (not owned).
  void SetFontMetrics(runtime::FontMetrics* metrics) { page_->SetFontMetrics(metrics); }

  runtime::Window& window() { return window_; }
  DesignCanvas* canvas() { return canvas_.get(); }
  layout::DesignState* state() { return state_.get(); }
  bool loaded() const { return state_ != nullptr; }
  bool saved() const { return saved_; }
  int32_t designNumber() const { return designNumber_; }
  int32_t typeNumber() const { return typeNumber_; }
  bool IsEnabled(DesignerCommand command) const;
  // Runs a command as its menu item does, then refreshes the states.
  void Do(DesignerCommand command);

  // Ctrl+wheel: a quarter larger or smaller, within these bounds (percent).
  static constexpr int32_t kMinimumZoom = 25;
  static constexpr int32_t kMaximumZoom = 400;
  void Zoom(bool in);
  int32_t zoom() const { return zoom_; }

  // Window units (thousandths) and the design's unit, at the zoom.
  int32_t ToDesign(int32_t windowValue) const;
  int32_t ToWindow(int32_t designValue) const;

  // The page the canvas shows the design's controls with.
  const CanvasPage& page() const { return *page_; }

  // layout::DesignerView
  void SetScale(char scale) override;
  void SetPaperSize(int32_t width, int32_t height) override {}
  void RemoveControl(int32_t number) override;
  void CreateControl(int32_t number, int16_t windowType) override;
  void Redraw() override;
  layout::DesignerFont WindowFont() const override;

 private:
  void Build();
  void BuildMenus();
  void BuildToolbar();
  bool OpenFiles();
  void CloseFiles();
  bool UpdateDefinitions();
  void Loop();
  void OnMouse(const runtime::Event& event);
  void OnKey(int32_t keyCode);
  void OnDrop(const runtime::Event& event);
  void RightClick();
  void RefreshCommands();
  void RefreshTitle();
  void SetCommandEnabled(DesignerCommand command, bool enabled);

  // File flows.
  bool SavePrompt(bool closing);
  void NewLayout();
  void OpenLayout();
  bool LoadDesign();
  bool SaveLayout();
  bool SaveLayoutAs();
  void DeleteLayout();
  void ClearLayout();
  void MakeState();
  void MakeCanvas();
  void Restore(DesignHistory::Records records);
  void ClearCanvas();
  void Tool(const std::function<void()>& tool, const char* name);
  bool InsertField(layout::ControlEntry& control, int band);
  std::string UnofferedFields();
  void CheckLayout(bool always);
  DesignRecovery Recovery() const;
  void Autosave();
  void OfferRecovery();
  void DropRecovery();
  void Preview();

  // The canvas on screen.
  void ShowItem(const layout::ControlGeometry& geometry, int32_t type, bool hidden);
  void ShowControl(const layout::ControlEntry& control, bool hidden);
  void ShowHandles();
  void ShowRulers();
  void ShowPage();
  void SetRectIfMoved(int32_t number, const runtime::Rect& rect);
  runtime::Rect OnScreen(const layout::ControlGeometry& geometry) const;
  void EnsureControl(int32_t number, runtime::ControlType type);

  layout::DesignDatabase& designs_;
  DesignerTools tools_;
  runtime::Window window_;
  std::unique_ptr<layout::DesignState> state_;
  std::unique_ptr<DesignCanvas> canvas_;
  std::vector<layout::BandRecord> bands_;  // the type's detail bands
  DesignHistory history_;
  std::string recovery_;  // the recovery file written last; empty: none
  std::string typeName_;
  std::string designName_;
  int32_t typeNumber_ = 0;
  int32_t designNumber_ = 0;
  bool saved_ = false;
  bool closeAfterSave_ = false;
  bool filesOpen_ = false;
  int32_t zoom_ = 100;  // percent
  int32_t handleControls_ = 0;
  std::pair<int32_t, int32_t> rulerMarks_;
  std::unique_ptr<CanvasPage> page_ = std::make_unique<CanvasPage>();
  std::pair<int32_t, int32_t> rulerMarks__unused_;  // marks along the top and the left
  std::set<int32_t> created_;
  LayoutPreview preview_;
};

// The procedure behind the program's "Report Designer" menu entry; the
// application gives it the preview of its report procedures.
void ReportDesigner();
// metrics: those the reports print with, for the canvas (not owned).
void ReportDesigner(LayoutPreview preview, runtime::FontMetrics* metrics = nullptr);

}  // namespace ledora::designer
