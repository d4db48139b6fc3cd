#include "app/invoicing_report.h"

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "app/report_layout.h"
#include "app/select_design.h"
#include "framework/thumb_step.h"
#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "layout/layout_finder.h"
#include "reporting/print_preview.h"
#include "reporting/report_runner.h"
#include "runtime/qtreport/printer_output.h"
#include "runtime/qtreport/report_renderer.h"
#include "runtime/system/message_service.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/window.h"

namespace ledora::app {

namespace {

using data::SeverityNone;
using data::SeverityStop;
using layout::R_D;
using layout::R_T;

struct ReportDescription {
  const char* typeName;
  const char* designName;  // null: chosen in the design selection window
  data::RelationController** primary;
  int key;
  std::vector<std::string_view> fields;
  bool customerOfInvoice = false;
  bool invoiceLines = false;
};

const ReportDescription& DescriptionOf(InvoicingReportKind kind) {
  static const std::vector<std::string_view> kCustomerFields = {
      "CUS:CUSTOMERID", "CUS:NAME", "CUS:ADDRESS1", "CUS:ADDRESS2", "CUS:TELEFON", "CUS:TELEFAX"};
  static const ReportDescription kDescriptions[] = {
      {"Customers", nullptr, &Relate_CUSTOMER, CustomerRecord::IDKEY, kCustomerFields},
      {"Customers", "Test", &Relate_CUSTOMER, CustomerRecord::NAMEADDRESSKEY, kCustomerFields},
      {"Items",
       "Standard",
       &Relate_ITEMS,
       ItemRecord::ITEMNRKEY,
       {"ITE:ITEMNR", "ITE:DESCRIPTION", "ITE:PRICE"}},
      {"Invoice List",
       "Standard",
       &Relate_INVOICES,
       InvoiceRecord::NUMBERKEY,
       {"INV:NUMBER", "INV:CUSTOMERID", "INV:INVOICEDATE", "INV:SALES", "CUS:NAME"},
       true},
      {"Invoice",
       "Standard",
       &Relate_INVOICES,
       InvoiceRecord::NUMBERKEY,
       {"INV:NUMBER", "INV:CUSTOMERID", "INV:INVOICEDATE", "INV:SALES", "INVL:ITEMNR",
        "INVL:QUANTITY", "INVL:PRICE", "CUS:NAME", "CUS:ADDRESS1", "CUS:ADDRESS2",
        "ITE:DESCRIPTION", "ITE:PRICE"},
       true,
       true},
  };
  return kDescriptions[kind];
}

enum ProgressControl : int32_t {
  ProgressBar = 1,
  ProgressUserText = 2,
  ProgressText = 3,
  ProgressCancel = 4,
};

// A batch process whose record work and record check belong to the
// procedure that runs it.
class ReportProcess : public reporting::BatchProcess {
 public:
  std::function<uint8_t()> take;
  std::function<uint8_t()> check;
  uint8_t ProcessRecord() override { return take ? take() : uint8_t{0}; }
  uint8_t ValidateRecord() override { return check ? check() : uint8_t{0}; }
};

void Say(const char* text) {
  runtime::MessageRequest request;
  request.text = text;
  runtime::Messages().Show(request);
}

class InvoicingReport : public reporting::ReportRunner {
 public:
  InvoicingReport(InvoicingReportKind kind, const ReportDestination& destination,
                  InvoiceRange range)
      : description_(DescriptionOf(kind)),
        destination_(destination),
        range_(range),
        layout_(description_.invoiceLines ? 2 : 1, destination.metrics, destination.pageFolder) {
    SetWindow(&win_);
  }

  data::Severity Initialize() override;
  data::Severity Shutdown() override;
  data::Severity OnCloseRequest() override;
  void FinishAndPreview() override;

 private:
  bool OpenFiles();
  void SetUpProcess();
  bool FindDesign();
  void BuildWindow();
  uint8_t TakeRecord();
  void FetchCustomer();
  void FetchItem();
  bool EndInvoice();
  void SwapPrinted();

  const ReportDescription& description_;
  ReportDestination destination_;
  InvoiceRange range_;
  ReportLayout layout_;
  runtime::Window win_;
  ReportProcess process_;
  ReportProcess lines_;
  std::unique_ptr<runtime::View> view_;
  std::unique_ptr<runtime::View> lineView_;
  std::unique_ptr<framework::ThumbStep> step_;
  std::vector<data::RelationController*> opened_;
  std::unique_ptr<reporting::PrintPreview> preview_;
  std::unique_ptr<runtime::PrinterOutput> printer_;
  bool processUp_ = false;
  bool layoutOpen_ = false;
  bool linesUp_ = false;
  uint8_t percent_ = 0;
  int32_t lastInvoice_ = 0;
  bool firstInvoice_ = true;
  // The invoice whose pages are printing and its customer: an invoice's
  // last page ends only once the next invoice has been read into the
  // buffers, and its footer must show its own values.
  InvoiceRecord printed_{};
  CustomerRecord printedCustomer_{};
};

data::Severity InvoicingReport::Initialize() {
  data::Severity result = ProcedureFrame::Initialize();
  if (result != SeverityNone) return result;
  ERRORS = &GlobalErrors;
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  if (!OpenFiles()) return SeverityStop;
  SetUpProcess();
  if (!FindDesign()) return SeverityStop;
  layout_.Build(description_.fields, destination_.content);
  BuildWindow();
  if (destination_.preview) {
    preview_ = std::make_unique<reporting::PrintPreview>();
    preview_->ALLOWUSERZOOM = 1;
    preview_->MAXIMIZE = 1;
    preview_->INIMGR = &INIMgr;
  }
  Setup(&process_, &layout_.report(), preview_.get());
  SetOutput(destination_.output);
  AddButton(ProgressCancel, framework::ResponseCancelled);
  OpenProgressWindow();
  return SeverityNone;
}

// The primary file last, so that the view finds every file usable.
bool InvoicingReport::OpenFiles() {
  std::vector<data::RelationController*> files;
  if (description_.customerOfInvoice) files.push_back(Relate_CUSTOMER);
  if (description_.invoiceLines) files.insert(files.end(), {Relate_ITEMS, Relate_INVOICEL});
  files.push_back(*description_.primary);
  for (data::RelationController* file : files) {
    if (file == nullptr || file->Open() != SeverityNone) return false;
    opened_.push_back(file);
    if (file->ME->MakeUsable() != SeverityNone) return false;
  }
  return true;
}

void InvoicingReport::SetUpProcess() {
  data::RelationController* primary = *description_.primary;
  view_ = std::make_unique<runtime::View>(
      runtime::ViewDeclaration{&primary->ME->CurrentFile(), {}, {}});
  // Progress follows the first component of the order's key.
  process_.Setup(view_.get(), primary, ProgressText, &percent_, nullptr,
                 {runtime::FieldLong, nullptr, 0, 0}, &win_);
  processUp_ = true;
  process_.AddSortOrder(description_.key);
  runtime::FieldRef first = process_.CurrentOrder()->FREEELEMENT;
  if (first.address != nullptr) {
    if (first.IsNumeric()) {
      step_ = std::make_unique<framework::NumericStep>();
    } else {
      auto text = std::make_unique<framework::TextStep>();
      text->Initialize(framework::StepLetters, framework::LookupNames);
      step_ = std::move(text);
    }
    process_.STEPMGR = step_.get();
    process_.VALUEFIELD = first;
  }
  process_.take = [this] { return TakeRecord(); };
  if (description_.invoiceLines) {
    process_.check = [this] {
      return INV.NUMBER >= range_.from && INV.NUMBER <= range_.to ? 0 : 2;
    };
    lineView_ = std::make_unique<runtime::View>(
        runtime::ViewDeclaration{&Access_INVOICEL->CurrentFile(), {}, {}});
    lines_.Setup(lineView_.get(), Relate_INVOICEL, 0, nullptr);
    lines_.AddSortOrder(InvoiceLineRecord::LINENRKEY);
    lines_.AddRange(Relate_INVOICEL, Relate_INVOICES);
    process_.AddChild(&lines_);
    linesUp_ = true;
  }
  primary->SetQuickScan(true, 1);
}

bool InvoicingReport::FindDesign() {
  layoutOpen_ = layout::FindLayout(description_.typeName, "");
  layout::DesignDatabase* designs = layout::Designs();
  if (!layoutOpen_ || designs == nullptr) {
    Say("Report type not found");
    return false;
  }
  // A layout from memory needs only its type to be known.
  if (destination_.content != nullptr) {
    if (R_T.TYPENUMBER != 0) return true;
    Say("Report type not found");
    return false;
  }
  layout::LayoutFinder finder(*designs);
  if (destination_.design) {
    if (finder.FindDesignToPrint(description_.typeName, *destination_.design) !=
        layout::DesignFound) {
      return false;
    }
    if (runtime::Clip(std::string_view(R_D.DESIGNNAME, sizeof R_D.DESIGNNAME)) ==
        *destination_.design) {
      return true;
    }
    // A design named on the command line is never silently replaced.
    Say("Layout not found/selected");
    return false;
  }
  if (description_.designName != nullptr || !destination_.askForDesign) {
    const char* name = description_.designName != nullptr ? description_.designName : "";
    return finder.FindDesignToPrint(description_.typeName, name) == layout::DesignFound;
  }
  if (R_T.TYPENUMBER == 0) {
    Say("Report type not found");
    return false;
  }
  layout::ClearBuffer(layout::R_Design);
  R_D.TYPENUMBER = R_T.TYPENUMBER;
  framework::PendingRequest = framework::RequestSelect;
  if (SelectDesignToPrint() == framework::ResponseCompleted) return true;
  Say("Layout not found/selected");
  return false;
}

void InvoicingReport::BuildWindow() {
  // The title names the document too (the PDF's title): a single invoice by its number.
  std::string title = description_.typeName;
  if (description_.invoiceLines && range_.from == range_.to) {
    title += " " + std::to_string(range_.from);
  }
  win_.SetTitle(title);
  win_.SetHelpTopic("printing");
  win_.SetFont(runtime::Font{"MS Sans Serif", 8, 0});
  win_.SetSize(142, 59);
  win_.SetTimer(1);
  win_.CreateControl(ProgressBar, runtime::ControlProgress);
  win_.SetRect(ProgressBar, {15, 15, 111, 12});
  win_.SetUse(ProgressBar, runtime::FieldRef::Of(percent_));
  win_.SetSpinRange(ProgressBar, 0, 100);
  win_.CreateControl(ProgressUserText, runtime::ControlString);
  win_.SetRect(ProgressUserText, {0, 3, 141, 10});
  win_.CreateControl(ProgressText, runtime::ControlString);
  win_.SetRect(ProgressText, {0, 30, 141, 10});
  win_.CreateControl(ProgressCancel, runtime::ControlButton);
  win_.SetRect(ProgressCancel, {45, 42, 50, 15});
  win_.SetText(ProgressCancel, "Cancel");
  win_.SetIcon(ProgressCancel, "Cancel.ico");
}

uint8_t InvoicingReport::TakeRecord() {
  bool printed;
  if (process_.CHILDREAD == 0) {
    if (description_.customerOfInvoice) FetchCustomer();
    // Every invoice begins on a page of its own, numbered as a document of
    // its own, since each goes to its own customer.
    if (description_.invoiceLines && (firstInvoice_ || INV.NUMBER != lastInvoice_)) {
      if (!firstInvoice_ && !EndInvoice()) {
        ReportNotPrinted();
        return SeverityStop;
      }
      firstInvoice_ = false;
      lastInvoice_ = INV.NUMBER;
      printed_ = INV;
      printedCustomer_ = CUS;
    }
    printed = layout_.PrintDetail(1);
  } else {
    FetchItem();
    printed = layout_.PrintDetail(2);
  }
  if (!printed) ReportNotPrinted();
  return printed ? SeverityNone : SeverityStop;
}

void InvoicingReport::SwapPrinted() {
  std::swap(INV, printed_);
  std::swap(CUS, printedCustomer_);
}

bool InvoicingReport::EndInvoice() {
  SwapPrinted();
  bool ended = layout_.NewDocument();
  SwapPrinted();
  return ended;
}

// The last invoice's last page ends here, after the reading has run past it.
void InvoicingReport::FinishAndPreview() {
  if (description_.invoiceLines && !firstInvoice_ && RESPONSE == framework::ResponseCompleted) {
    SwapPrinted();
    layout_.EndReport();
    SwapPrinted();
  }
  ReportRunner::FinishAndPreview();
}

void InvoicingReport::FetchCustomer() {
  CUS.CUSTOMERID = INV.CUSTOMERID;
  if (Access_CUSTOMER->FetchQuietly(CustomerRecord::IDKEY) != SeverityNone) {
    Access_CUSTOMER->ClearRecord();
  }
}

void InvoicingReport::FetchItem() {
  ITE.ITEMNR = INVL.ITEMNR;
  if (Access_ITEMS->FetchQuietly(ItemRecord::ITEMNRKEY) != SeverityNone) {
    Access_ITEMS->ClearRecord();
  }
}

// The printer is the one chosen when the pages print, so a Print Setup made
// while the report ran still counts.
data::Severity InvoicingReport::OnCloseRequest() {
  if (destination_.output == nullptr) {
    printer_ = std::make_unique<runtime::PrinterOutput>(runtime::ChosenPrinter());
    SetOutput(printer_.get());
  }
  return ReportRunner::OnCloseRequest();
}

data::Severity InvoicingReport::Shutdown() {
  if (linesUp_) {
    lines_.Close();
    lines_.Shutdown();
    linesUp_ = false;
  }
  data::Severity result = data::SeverityInform;
  if (processUp_) {
    process_.Close();
    // Without the runner's set-up the process is shut down here.
    result = ReportRunner::Shutdown();
    if (PROCESS == nullptr) process_.Shutdown();
    processUp_ = false;
  }
  if (step_) step_->Shutdown();
  for (auto file = opened_.rbegin(); file != opened_.rend(); ++file) (*file)->Close();
  opened_.clear();
  if (layoutOpen_) layout::CloseLayout();
  layoutOpen_ = false;
  if (win_.IsOpen()) win_.Close();
  return result;
}

void RunFromMenu(InvoicingReportKind kind, InvoiceRange range = {}) {
  std::unique_ptr<runtime::FontMetrics> metrics = runtime::MakeRendererFontMetrics();
  ReportDestination destination;
  destination.metrics = metrics.get();
  RunInvoicingReport(kind, destination, range);
}

}  // namespace

std::optional<InvoicingReportKind> KindOfReportType(std::string_view typeName) {
  // The customer list by number, whose design is the user's choice.
  for (InvoicingReportKind kind :
       {ReportCustomersById, ReportItems, ReportInvoiceList, ReportInvoices}) {
    if (runtime::Clip(typeName) == DescriptionOf(kind).typeName) return kind;
  }
  return std::nullopt;
}

ReportOutcome RunInvoicingReport(InvoicingReportKind kind, const ReportDestination& destination,
                                 InvoiceRange range) {
  InvoicingReport report(kind, destination, range);
  ReportOutcome outcome;
  outcome.response = report.Run();
  outcome.pages = report.pages();
  outcome.printed = report.printed();
  return outcome;
}

void PrintCustomersById() { RunFromMenu(ReportCustomersById); }
void PrintCustomersByName() { RunFromMenu(ReportCustomersByName); }
void PrintItems() { RunFromMenu(ReportItems); }
void PrintInvoiceList() { RunFromMenu(ReportInvoiceList); }
void PrintInvoiceRange(int32_t from, int32_t to) { RunFromMenu(ReportInvoices, {from, to}); }

}  // namespace ledora::app
