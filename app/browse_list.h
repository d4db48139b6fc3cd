// What the five invoicing lists share: an MDI window with a tab sheet whose
// tabs choose the sort order, a paged list with a locator and a thumb step
// per order, the buttons (Insert, Change, Delete or Select, then Close and
// Help), the files the list opens and closes, and the call of its update
// procedure. BrowseCustomers, BrowseItems, BrowseInvoices, SelectCustomers
// and SelectInvoice are built on it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data/relation_controller.h"
#include "framework/locator.h"
#include "framework/paged_browse.h"
#include "framework/procedure_frame.h"
#include "framework/thumb_step.h"
#include "framework/toolbar_router.h"
#include "framework/type_ahead_locator.h"
#include "framework/window_resizer.h"
#include "runtime/values/field_ref.h"
#include "runtime/views/view.h"
#include "runtime/window/window.h"

namespace ledora::app {

struct BrowseTab {
  const char* text;
  int key;         // of the primary file
  uint8_t lookup;  // text step table for a string key (framework::TextLookupMode)
};

struct BrowseDescription {
  const char* procedure = "";  // its name; the section of its window's placement
  const char* title = "";
  const char* format = "";
  std::vector<BrowseTab> tabs;  // in window order
  data::RelationController** primary = nullptr;
  std::vector<data::RelationController**> others = {};   // opened before the primary
  std::vector<runtime::FieldRef> (*fields)() = nullptr;  // the columns, in format order
  bool customerName = false;                             // the view joins each invoice's customer
  bool selecting = false;                                // "&Select" instead of the record buttons
  const char* selectIcon = "";
  const char* closeIcon = "";
  void (*update)() = nullptr;  // the update procedure; none: no record buttons act
};

enum BrowseControl : int32_t {
  BrowseSheet = 1,
  BrowseFirstTab = 2,  // the tabs follow in window order
  BrowseList = 10,
  BrowseInsert = 11,
  BrowseChange = 12,
  BrowseDelete = 13,
  BrowseSelect = 14,
  BrowseClose = 15,
  BrowseHelp = 16,
};

inline constexpr char kBrowseTip[] = "Browsing Records";

// The browse of a list window: the sheet's second tab chooses sort order 1,
// any other tab order 2 (orders are added second tab first).
class TabbedBrowse : public framework::PagedBrowse {
 public:
  void ApplySortOrder(uint8_t force) override;
  int32_t tabs = 1;
};

class BrowseWindow : public framework::ProcedureFrame {
 public:
  explicit BrowseWindow(const BrowseDescription& description);
  ~BrowseWindow() override;

  data::Severity Initialize() override;
  data::Severity Shutdown() override;
  uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request) override;

  runtime::Window& win() { return win_; }
  TabbedBrowse& browse() { return browse_; }

 private:
  void BuildWindow();
  bool OpenFiles();
  void AddSortOrders();
  std::unique_ptr<framework::ThumbStep> MakeThumb(const BrowseTab& tab,
                                                  const runtime::FieldRef& free) const;

  const BrowseDescription& description_;
  runtime::Window win_;
  TabbedBrowse browse_;
  std::unique_ptr<runtime::View> view_;
  std::vector<std::unique_ptr<framework::Locator>> locators_;
  std::vector<std::unique_ptr<framework::ThumbStep>> thumbs_;
  std::vector<data::RelationController*> opened_;
  framework::ToolbarRouter toolbar_;
  framework::WindowResizer resizer_;
};

// The columns of the lists, in the order of their formats.
std::vector<runtime::FieldRef> CustomerColumns();
std::vector<runtime::FieldRef> ItemColumns();
std::vector<runtime::FieldRef> InvoiceColumns();
std::vector<runtime::FieldRef> SelectInvoiceColumns();
// The customers' two tabs, of the browse and of the selection list.
std::vector<BrowseTab> CustomerTabs();
// The same for the items, and the items' list format.
std::vector<BrowseTab> ItemTabs();
inline constexpr char kItemsFormat[] =
    "60R(2)|M~Item Nr~C(0)@n-13@80L(2)|M~Description~L(2)@s30@60D(26)|M~Price~C(0)@n-13.2@";

// Runs the list procedure: the request from PendingRequest, the answer left
// in LastResponse.
void RunBrowseWindow(const BrowseDescription& description);

}  // namespace ledora::app
