#include "app/update_invoices_line_list.h"

#include "app/invoicing_dictionary.h"
#include "data/error_severity.h"

namespace ledora::app {

namespace {

constexpr int32_t kButtonWidth = 45;
constexpr int32_t kButtonHeight = 14;

}  // namespace

void InvoiceLineList::CreateControls(runtime::Window& window, const LineListControls& controls,
                                     int32_t parent, const runtime::Rect& rect) {
  window.CreateControl(controls.list, runtime::ControlList, parent);
  window.SetRect(controls.list, rect);
  window.SetListFormat(controls.list, kInvoiceLinesFormat);
  window.SetVScroll(controls.list, true);
  window.SetTip(controls.list, "Browsing Records");
  int32_t x = rect.x;
  int32_t y = rect.y + rect.height + 4;
  for (auto [control, text] :
       {std::pair{controls.insert, "&Insert"}, std::pair{controls.change, "&Change"},
        std::pair{controls.remove, "&Delete"}}) {
    window.CreateControl(control, runtime::ControlButton, parent);
    window.SetText(control, text);
    window.SetRect(control, {x, y, kButtonWidth, kButtonHeight});
    x += kButtonWidth + 4;
  }
}

uint8_t InvoiceLineList::Setup(framework::ProcedureFrame* frame, const LineListControls& controls,
                               uint16_t updateProcedure) {
  data::Severity result = Relate_INVOICEL->ME->MakeUsable();
  if (result != data::SeverityNone) return result;
  view_ = std::make_unique<runtime::View>(
      runtime::ViewDeclaration{&Relate_INVOICEL->ME->CurrentFile(), {}, {}});
  result = PagedBrowse::Setup(controls.list, frame, view_.get(), Relate_INVOICEL);
  if (result != data::SeverityNone) return result;
  AddSortOrder(InvoiceLineRecord::LINENRKEY);
  // Only the invoice's own lines; a line inserted here gets its number.
  AddRange(Relate_INVOICEL, Relate_INVOICES);
  locator_.Initialize(this, 0, runtime::FieldRef::Of(INVL.LINENR), false);
  SetLocator(&locator_);
  AddField(runtime::FieldRef::Of(INVL.LINENR));
  AddField(runtime::FieldRef::Of(INVL.ITEMNR));
  AddField(runtime::FieldRef::Of(ITE.DESCRIPTION));
  AddField(runtime::FieldRef::Of(INVL.QUANTITY));
  AddField(runtime::FieldRef::Packed(INVL.PRICE, kMoneySize, kMoneyPlaces));
  INSERTCONTROL = controls.insert;
  CHANGECONTROL = controls.change;
  DELETECONTROL = controls.remove;
  ASKPROCEDURE = updateProcedure;
  return data::SeverityNone;
}

void InvoiceLineList::FillRow(framework::BrowseRow& row) {
  ITE.ITEMNR = INVL.ITEMNR;
  if (Access_ITEMS->FetchQuietly(ItemRecord::ITEMNRKEY) != data::SeverityNone) {
    Access_ITEMS->ClearRecord();
  }
  PagedBrowse::FillRow(row);
}

}  // namespace ledora::app
