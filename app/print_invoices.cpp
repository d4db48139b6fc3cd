#include "app/print_invoices.h"

#include <cstdint>

#include "app/invoicing_dictionary.h"
#include "app/invoicing_report.h"
#include "app/program.h"
#include "app/select_invoice.h"
#include "app/window_items.h"
#include "framework/procedure_frame.h"
#include "runtime/window/window.h"

namespace ledora::app {

namespace {

enum RangeControl : int32_t {
  RangeGroup = 1,
  FromPrompt,
  FromEntry,
  FromLookup,
  ToPrompt,
  ToEntry,
  ToLookup,
  PrintButton,
  CancelButton,
};

constexpr int32_t kKeyF8 = 119;

class InvoiceRangeWindow : public framework::ProcedureFrame {
 public:
  InvoiceRangeWindow() { SetWindow(&win_); }

  data::Severity Initialize() override;
  data::Severity Shutdown() override;
  data::Severity OnAccepted() override;
  data::Severity HandleEvent() override;

 private:
  void BuildWindow();
  // Looks the entry's number up; a number that is no invoice opens the list.
  void LookUp(int32_t entry);
  void Choose(int32_t entry);
  int32_t& NumberOf(int32_t entry) { return entry == FromEntry ? from_ : to_; }

  runtime::Window win_;
  int32_t from_ = 0;
  int32_t to_ = 0;
  bool opened_ = false;
};

data::Severity InvoiceRangeWindow::Initialize() {
  data::Severity result = ProcedureFrame::Initialize();
  if (result != data::SeverityNone) return result;
  ERRORS = &GlobalErrors;
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  if (Relate_INVOICES == nullptr || Relate_INVOICES->Open() != data::SeverityNone) {
    return data::SeverityStop;
  }
  opened_ = true;
  BuildWindow();
  AddButton(CancelButton, framework::ResponseCancelled);
  OpenWindow();
  win_.AddAlert(FromEntry, kKeyF8, 0);
  win_.AddAlert(ToEntry, kKeyF8, 0);
  return data::SeverityNone;
}

void InvoiceRangeWindow::BuildWindow() {
  win_.SetTitle("Print Invoices");
  win_.SetHelpTopic("print-invoices");
  win_.SetFont({"Arial", 8, 0, runtime::kNoColour});
  win_.SetSize(180, 78);
  CreateItems(win_,
              {
                  {RangeGroup, runtime::ControlGroup, {4, 4, 172, 48}, "Select Invoices"},
                  {FromPrompt, runtime::ControlPrompt, {10, 16, 80, 10}, "From Invoice number:"},
                  {FromEntry, runtime::ControlEntry, {94, 15, 60, 12}, ""},
                  {FromLookup, runtime::ControlButton, {157, 15, 13, 12}, ""},
                  {ToPrompt, runtime::ControlPrompt, {10, 33, 80, 10}, "To Invoice number:"},
                  {ToEntry, runtime::ControlEntry, {94, 32, 60, 12}, ""},
                  {ToLookup, runtime::ControlButton, {157, 32, 13, 12}, ""},
                  {PrintButton, runtime::ControlButton, {40, 58, 50, 15}, "Print"},
                  {CancelButton, runtime::ControlButton, {95, 58, 50, 15}, "Cancel"},
              });
  win_.SetUse(FromEntry, runtime::FieldRef::Of(from_));
  win_.SetUse(ToEntry, runtime::FieldRef::Of(to_));
  win_.SetPicture(FromEntry, "@n-13b");
  win_.SetPicture(ToEntry, "@n-13b");
  win_.SetIcon(FromLookup, "PILNED.ICO");
  win_.SetIcon(ToLookup, "PILNED.ICO");
  win_.SetIcon(CancelButton, "S_EXIT.ICO");
  win_.SetDefaultButton(PrintButton);
  win_.Display();
}

void InvoiceRangeWindow::LookUp(int32_t entry) {
  INV.NUMBER = NumberOf(entry);
  if (Access_INVOICES->FetchQuietly(InvoiceRecord::NUMBERKEY) == data::SeverityNone) return;
  Choose(entry);
}

void InvoiceRangeWindow::Choose(int32_t entry) {
  INV.NUMBER = NumberOf(entry);
  framework::PendingRequest = framework::RequestSelect;
  SelectInvoice();
  if (framework::LastResponse == framework::ResponseCompleted) NumberOf(entry) = INV.NUMBER;
  win_.Display(entry);
}

data::Severity InvoiceRangeWindow::OnAccepted() {
  switch (event().accepted) {
    case FromEntry:
    case ToEntry:
      LookUp(event().accepted);
      break;
    case FromLookup:
      Choose(FromEntry);
      break;
    case ToLookup:
      Choose(ToEntry);
      break;
    case PrintButton:
      PrintInvoiceRange(from_, to_);
      SetResponseAndClose(framework::ResponseCompleted);
      return data::SeverityNone;
    default:
      break;
  }
  return ProcedureFrame::OnAccepted();
}

data::Severity InvoiceRangeWindow::HandleEvent() {
  const runtime::Event& e = event();
  if (e.number == runtime::EventAlertKey && e.keyCode == kKeyF8) {
    if (e.control == FromEntry) win_.UserPressed(FromLookup);
    if (e.control == ToEntry) win_.UserPressed(ToLookup);
  }
  return ProcedureFrame::HandleEvent();
}

data::Severity InvoiceRangeWindow::Shutdown() {
  data::Severity result = ProcedureFrame::Shutdown();
  if (opened_) Relate_INVOICES->Close();
  opened_ = false;
  if (win_.IsOpen()) win_.Close();
  return result;
}

}  // namespace

void PrintInvoices() {
  InvoiceRangeWindow window;
  framework::LastResponse = window.Run();
}

}  // namespace ledora::app
