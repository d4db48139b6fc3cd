#include "designer/designer_tools.h"

#include "designer/paper_formats.h"
#include "designer/property_dialogs.h"

namespace ledora::designer {

namespace {

// The report type of the design on the canvas.
int32_t TypeOf(DesignCanvas& canvas) {
  auto* designer = dynamic_cast<DesignerWindow*>(canvas.state().DESIGNERWINDOW);
  return designer == nullptr ? 0 : designer->typeNumber();
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
  return tools;
}

}  // namespace ledora::designer
