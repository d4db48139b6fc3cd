#include "app/main_frame.h"

#include "app/about_window.h"
#include "app/browse_customers.h"
#include "app/browse_invoices.h"
#include "app/browse_items.h"
#include "app/designer_preview.h"
#include "app/invoicing_report.h"
#include "app/print_invoices.h"
#include "app/program.h"
#include "app/select_design.h"
#include "data/error_severity.h"
#include "designer/designer_window.h"
#include "layout/design_database.h"
#include "layout/shipped_design_update.h"
#include "layout/shipped_reports.h"
#include "runtime/window/window_registry.h"

namespace ledora::app {

// A file that cannot be made shows its warning later, when the designer or
// a report opens it.
void MakeMissingDesignFiles(layout::DesignDatabase& designs) {
  layout::ShippedReports shipped;
  layout::ShippedReports earlier;
  std::string error;
  if (!shipped.Parse(layout::ShippedReportsText(), &error)) return;
  if (shipped.MakeDesignFiles(designs) != 0) return;
  if (earlier.Parse(layout::EarlierDesignsText(), &error)) {
    layout::UpdateShippedDesigns(designs, shipped, earlier);
  }
}

namespace {

constexpr size_t kBigStack = 50000;
constexpr size_t kSmallStack = 25000;

enum MenuKind { Menu, Item, Separator };

struct MenuLine {
  MenuKind kind;
  int32_t number;
  int32_t parent;
  const char* text;
  const char* message;
  runtime::StandardAction action;
};

// The menu tree in declaration order, with the status-line message of each
// entry and the entries the runtime carries out itself.
constexpr MenuLine kMenuTree[] = {
    {Menu, MenuFile, 0, "&File", "", runtime::ActionNone},
    {Item, MenuPrintSetup, MenuFile, "&Print Setup ...", "Setup printer",
     runtime::ActionPrintSetup},
    {Item, MenuExit, MenuFile, "E&xit", "Exit this application", runtime::ActionClose},
    {Menu, MenuEdit, 0, "&Edit", "", runtime::ActionNone},
    {Item, MenuCut, MenuEdit, "Cu&t", "Remove item to Windows Clipboard", runtime::ActionCut},
    {Item, MenuCopy, MenuEdit, "&Copy", "Copy item to Windows Clipboard", runtime::ActionCopy},
    {Item, MenuPaste, MenuEdit, "&Paste", "Paste contents of Windows Clipboard",
     runtime::ActionPaste},
    {Menu, MenuBrowse, 0, "&Browse", "", runtime::ActionNone},
    {Item, MenuBrowseCustomers, MenuBrowse, "Browse Customers", "Browse Customers",
     runtime::ActionNone},
    {Item, MenuBrowseItems, MenuBrowse, "Browse Items", "Browse Items", runtime::ActionNone},
    {Item, MenuBrowseInvoices, MenuBrowse, "Browse Invoices", "Browse Invoices",
     runtime::ActionNone},
    {Separator, 0, MenuBrowse, "", "", runtime::ActionNone},
    {Item, MenuSelectDesign, MenuBrowse, "select design", "", runtime::ActionNone},
    {Menu, MenuReports, 0, "&Reports", "Report data", runtime::ActionNone},
    {Menu, MenuPrintCustomers, MenuReports, "Print Customers", "", runtime::ActionNone},
    {Item, MenuCustomersById, MenuPrintCustomers, "By ID number", "Print ordered by ID number",
     runtime::ActionNone},
    {Item, MenuCustomersByName, MenuPrintCustomers, "By Name and Address",
     "Print ordered by Name and Address", runtime::ActionNone},
    {Item, MenuItems, MenuReports, "Items", "", runtime::ActionNone},
    {Item, MenuInvoices, MenuReports, "Invoices", "", runtime::ActionNone},
    {Item, MenuInvoiceList, MenuReports, "Invoice List", "", runtime::ActionNone},
    {Menu, MenuDesigner, 0, "Report Designer", "", runtime::ActionNone},
    {Item, MenuReportDesigner, MenuDesigner, "Report Designer", "", runtime::ActionNone},
    {Menu, MenuWindow, 0, "&Window", "Create and Arrange windows", runtime::ActionNone},
    {Item, MenuTile, MenuWindow, "T&ile", "Make all open windows visible", runtime::ActionTile},
    {Item, MenuCascade, MenuWindow, "&Cascade", "Stack all open windows", runtime::ActionCascade},
    {Item, MenuArrangeIcons, MenuWindow, "&Arrange Icons", "Align all window icons",
     runtime::ActionArrangeIcons},
    {Menu, MenuHelp, 0, "&Help", "Windows Help", runtime::ActionNone},
    {Item, MenuContents, MenuHelp, "&Contents", "View the contents of the help file",
     runtime::ActionHelpContents},
    {Item, MenuSearchHelp, MenuHelp, "&Search for Help On...", "Search for help on a subject",
     runtime::ActionHelpSearch},
    {Item, MenuHowToUseHelp, MenuHelp, "&How to Use Help", "How to use Windows Help",
     runtime::ActionHelpOnHelp},
    {Separator, 0, MenuHelp, "", "", runtime::ActionNone},
    {Item, MenuAbout, MenuHelp, "About Report Designer", "", runtime::ActionNone},
};

constexpr MainFrame::MenuProcedure kProcedures[] = {
    {MenuBrowseCustomers, "BrowseCustomers", kBigStack},
    {MenuBrowseItems, "BrowseItems", kBigStack},
    {MenuBrowseInvoices, "BrowseInvoices", kBigStack},
    {MenuSelectDesign, "SelectDesign", kSmallStack},
    {MenuCustomersById, "PrintCustomersById", kBigStack},
    {MenuCustomersByName, "PrintCustomersByName", kBigStack},
    {MenuItems, "PrintItems", kSmallStack},
    {MenuInvoices, "PrintInvoices", kSmallStack},
    {MenuInvoiceList, "PrintInvoiceList", kSmallStack},
    {MenuReportDesigner, "ReportDesigner", kBigStack},
    {MenuAbout, "AboutReportDesigner", 0},
};

}  // namespace

MainFrame::MainFrame(data::ErrorReporter* errors) : errors_(errors) {
  window_.SetTitle(kTitle);
  window_.SetFrame(true);
  window_.SetResizable(true);
  window_.SetFont({"MS Sans Serif", 8, 0, runtime::kNoColour});
  window_.SetIcon("Layout.ico");
  window_.SetSize(420, 300);
  BuildMenus();
  framework::ToolbarRouter::CreateButtons(window_);
  procedures_[MenuAbout] = ShowAbout;
  procedures_[MenuBrowseCustomers] = BrowseCustomers;
  procedures_[MenuBrowseItems] = BrowseItems;
  procedures_[MenuBrowseInvoices] = BrowseInvoices;
  procedures_[MenuSelectDesign] = SelectDesign;
  procedures_[MenuCustomersById] = PrintCustomersById;
  procedures_[MenuCustomersByName] = PrintCustomersByName;
  procedures_[MenuItems] = PrintItems;
  procedures_[MenuInvoices] = PrintInvoices;
  procedures_[MenuInvoiceList] = PrintInvoiceList;
  procedures_[MenuReportDesigner] = ReportDesignerWithPreview;
  SetWindow(&window_);
}

void MainFrame::BuildMenus() {
  for (const MenuLine& line : kMenuTree) {
    if (line.kind == Separator) {
      window_.AddMenuSeparator(line.parent);
    } else if (line.kind == Menu) {
      window_.AddMenu(line.number, line.parent, line.text, line.message);
    } else {
      window_.AddMenuItem(line.number, line.parent, line.text, line.message, line.action);
    }
  }
}

void MainFrame::SetProcedure(int32_t control, runtime::Procedure procedure) {
  procedures_[control] = std::move(procedure);
}

const MainFrame::MenuProcedure* MainFrame::Entry(int32_t control) {
  for (const MenuProcedure& entry : kProcedures) {
    if (entry.control == control) return &entry;
  }
  return nullptr;
}

data::Severity MainFrame::Initialize() {
  REQUEST = framework::PendingRequest;
  data::Severity result = ProcedureFrame::Initialize();
  if (result != data::SeverityNone) return result;
  VCRREQUEST = &framework::NavigationRequest;
  ERRORS = errors_;
  AttachToolbar(&toolbar_);
  KeepPlacement(&INIMgr, "Main");
  OpenWindow();
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  return data::SeverityNone;
}

void MainFrame::PrepareWindow() {
  // Set before the about window, so the splash shows the program's icon too.
  window_.SetIcon("~layout.ico");
  if (layout::DesignDatabase* designs = layout::Designs()) {
    designs->DefinitionsFile = "RptDes1.KDS";
    designs->DesignsFile = "NewRpt.KDS";
    designs->BuildTableNames();
    MakeMissingDesignFiles(*designs);
  }
  if (splash_) ShowAbout();
  ProcedureFrame::PrepareWindow();
}

data::Severity MainFrame::OnAccepted() {
  if (const MenuProcedure* entry = Entry(event().accepted)) Choose(*entry);
  return ProcedureFrame::OnAccepted();
}

void MainFrame::Choose(const MenuProcedure& entry) {
  auto found = procedures_.find(entry.control);
  if (found == procedures_.end() || !found->second) {
    if (ERRORS != nullptr) ERRORS->ThrowMessage(data::MsgProcedureNotDefined, entry.name);
    return;
  }
  if (entry.stack == 0) {
    found->second();
  } else {
    // The frame never waits for what it started.
    runtime::Start(found->second, entry.stack);
  }
}

void RunMainFrame(data::ErrorReporter* errors, const std::function<void(MainFrame&)>& prepare) {
  {
    MainFrame frame(errors);
    if (prepare) prepare(frame);
    framework::LastResponse = frame.Run();
  }
  CloseChildren();
}

void CloseChildren() {
  runtime::Scheduler* scheduler = runtime::Scheduler::Current();
  if (scheduler == nullptr || !scheduler->InThread()) return;
  int32_t self = runtime::CurrentThread();
  auto others = [&] {
    for (runtime::Window* window : runtime::WindowRegistry::Instance().windows()) {
      if (window->thread() != self) return true;
    }
    return false;
  };
  // As an MDI frame does: its children are told to close with it, and the
  // shared files are shut down only after they have.
  for (runtime::Window* window : runtime::WindowRegistry::Instance().windows()) {
    if (window->thread() != self) window->Post(runtime::EventCloseDown);
  }
  int32_t listener =
      scheduler->AddEndListener([scheduler, self](int32_t) { scheduler->Wake(self); });
  scheduler->WaitUntil([&] { return !others(); });
  scheduler->RemoveEndListener(listener);
}

}  // namespace ledora::app
