// The list of an invoice's lines inside the invoice form: a paged browse over
// the invoice lines by line number, limited to the invoice in the invoice
// buffer, with each line's item description, whose Insert, Change and Delete
// call UpdateInvoiceLines through the form. UpdateInvoicesForm owns one.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/locator.h"
#include "framework/paged_browse.h"
#include "framework/procedure_frame.h"
#include "runtime/views/view.h"
#include "runtime/window/window.h"

namespace ledora::app {

inline constexpr char kInvoiceLinesFormat[] =
    "33R(2)|M~Line Nr~C(0)@n-13@35R(2)|M~Item Nr~C(0)@n-13@120L(2)|M~Description~C(0)@s30@"
    "49R(2)|M~Quantity~C(0)@n-13@60R|M~Price~C@n-13.2@";

struct LineListControls {
  int32_t list;
  int32_t insert;
  int32_t change;
  int32_t remove;
};

class InvoiceLineList : public framework::PagedBrowse {
 public:
  // Creates the list and its buttons in the frame's window at rect (the
  // buttons below it).
  static void CreateControls(runtime::Window& window, const LineListControls& controls,
                             int32_t parent, const runtime::Rect& rect);

  // After the frame's Initialize, with the invoice lines open; the frame
  // calls procedure `updateProcedure` for insert, change and delete.
  uint8_t Setup(framework::ProcedureFrame* frame, const LineListControls& controls,
                uint16_t updateProcedure);

 protected:
  // Each line shows its item's description, blank when the item is gone.
  void FillRow(framework::BrowseRow& row) override;

 private:
  std::unique_ptr<runtime::View> view_;
  framework::Locator locator_;
};

}  // namespace ledora::app
