#include "designer/designer_tools.h"

#include <memory>

#include "designer/paper_formats.h"
#include "designer/properties_box.h"
#include "designer/property_dialogs.h"
#include "runtime/window/scheduler.h"

namespace ledora::designer {

namespace {

// The report type of the design on the canvas.
int32_t TypeOf(DesignCanvas& canvas) {
  auto* designer = dynamic_cast<DesignerWindow*>(canvas.state().DESIGNERWINDOW);
  return designer == nullptr ? 0 : designer->typeNumber();
}

// The box and the designer share one link for the designer's life.
void AddPropertiesBox(layout::DesignDatabase& designs, DesignerTools& tools) {
  auto link = std::make_shared<PropertiesLink>();
  tools.propertiesBox = [&designs, link](DesignerWindow& designer) {
    if (link->box != nullptr) {
      link->box->Post(EventBringToFront);
      return;
    }
    link->designer = &designer.window();
    link->selectedControl = [&designer]() -> const layout::ControlEntry* {
      return designer.canvas() == nullptr ? nullptr : designer.canvas()->SelectedControl();
    };
    link->reportType = [&designer] { return designer.typeNumber(); };
    link->setTool = [&designer](uint8_t tool) {
      if (designer.canvas() != nullptr) designer.canvas()->SetTool(static_cast<CanvasTool>(tool));
    };
    runtime::Start([&designs, link] { PropertiesBox(designs, *link); }, 25000);
  };
  tools.otherEvent = [link](DesignerWindow& designer, const runtime::Event& event) {
    if (event.number != EventApplyProperties || designer.canvas() == nullptr) return;
    // Only strings, fields and images take their text from the box; a
    // group's caption or a box's text would otherwise be wiped.
    const layout::ControlEntry* control = designer.canvas()->SelectedControl();
    if (control == nullptr) return;
    bool takesText = control->CONTROLTYPE == layout::KindString ||
                     control->CONTROLTYPE == layout::KindField ||
                     control->CONTROLTYPE == layout::KindImage;
    designer.canvas()->ApplyProperties(link->fontName, link->fontStyle, link->fontSize,
                                       link->fontColour, link->justification,
                                       takesText ? link->text : control->PICTURE);
    designer.Redraw();
  };
  tools.selectionChanged = [link](DesignCanvas&) {
    if (link->box != nullptr) link->box->Post(EventSelectionChanged);
  };
  tools.toolPlaced = [link](DesignCanvas&) {
    if (link->box != nullptr) link->box->Post(EventToolPlaced);
  };
  tools.closing = [link](DesignerWindow&) {
    if (link->box != nullptr) link->box->Post(EventCloseBox);
    // The box may still run a moment after the designer has gone.
    link->designer = nullptr;
    link->selectedControl = nullptr;
    link->reportType = nullptr;
    link->setTool = nullptr;
  };
}

}  // namespace

DesignerTools MakeDesignerTools(layout::DesignDatabase& designs) {
  DesignerTools tools;
  tools.reportProperties = [&designs](DesignCanvas& canvas) { ReportProperties(canvas, designs); };
  tools.bandProperties = [](DesignCanvas& canvas) { BandProperties(canvas); };
  tools.controlProperties = [&designs](DesignCanvas& canvas) {
    layout::ControlEntry* control = canvas.SelectedControl();
    if (control == nullptr) return;
    if (ControlProperties(*control, ReportTypeFields(designs, TypeOf(canvas)), false)) {
      canvas.state().DESIGNCHANGED = 1;
      canvas.Arrange();
    }
  };
  tools.newControl = [&designs](DesignCanvas& canvas, layout::ControlEntry& control, int) {
    return ControlProperties(control, ReportTypeFields(designs, TypeOf(canvas)), true);
  };
  tools.paperFormats = [&designs] { StartPaperFormats(designs); };
  AddPropertiesBox(designs, tools);
  return tools;
}

}  // namespace ledora::designer
