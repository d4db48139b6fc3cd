#include "app/browse_list.h"

#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "data/error_severity.h"

namespace ledora::app {

namespace {

constexpr int32_t kWidth = 340;
constexpr int32_t kSheetHeight = 164;
constexpr int32_t kButtonY = 174;
constexpr int32_t kHeight = 194;
constexpr int32_t kButtonWidth = 45;
constexpr int32_t kButtonHeight = 14;
constexpr uint16_t kUpdateProcedure = 1;

struct ButtonLook {
  int32_t control;
  const char* text;
  bool right;        // stays at the right edge
  const char* icon;  // the same pictures as the toolbar's
};

}  // namespace

void TabbedBrowse::ApplySortOrder(uint8_t force) {
  size_t order = 1;
  if (tabs == 2 && window() != nullptr) order = window()->GetSelection(BrowseSheet) == 2 ? 1 : 2;
  ChooseSortOrder(order, force != 0);
}

BrowseWindow::BrowseWindow(const BrowseDescription& description) : description_(description) {
  BuildWindow();
  SetWindow(&win_);
}

BrowseWindow::~BrowseWindow() = default;

void BrowseWindow::BuildWindow() {
  win_.SetTitle(description_.title);
  win_.SetFont({"MS Sans Serif", 8, runtime::FontWeightNormal, runtime::kNoColour});
  win_.SetMdiChild(true);
  win_.SetHelpTopic("browses");
  win_.SetResizable(true);
  win_.SetSize(kWidth, kHeight);
  // The designed size is the smallest that shows every button; a child
  // window of the frame opens at it.
  win_.SetMinimumSize(kWidth, kHeight);
  win_.CreateControl(BrowseSheet, runtime::ControlSheet);
  win_.SetRect(BrowseSheet, {4, 4, kWidth - 8, kSheetHeight});
  for (size_t i = 0; i < description_.tabs.size(); ++i) {
    auto tab = static_cast<int32_t>(BrowseFirstTab + i);
    win_.CreateControl(tab, runtime::ControlTab, BrowseSheet);
    win_.SetText(tab, description_.tabs[i].text);
    win_.SetRect(tab, {4, 16, kWidth - 8, kSheetHeight - 12});
  }
  win_.SetSelection(BrowseSheet, 1);
  // The list lies over the sheet, outside its tabs: every tab shows it.
  win_.CreateControl(BrowseList, runtime::ControlList);
  win_.SetRect(BrowseList, {10, 22, kWidth - 20, kSheetHeight - 24});
  win_.SetListFormat(BrowseList, description_.format);
  win_.SetVScroll(BrowseList, true);
  win_.SetTip(BrowseList, kBrowseTip);

  std::vector<ButtonLook> buttons;
  if (description_.selecting) {
    buttons.push_back({BrowseSelect, "&Select", false, "mark.ico"});
  } else {
    buttons.push_back({BrowseInsert, "&Insert", false, "insert.ico"});
    buttons.push_back({BrowseChange, "&Change", false, "edit.ico"});
    buttons.push_back({BrowseDelete, "&Delete", false, "delete.ico"});
  }
  buttons.push_back({BrowseClose, "Close", true, "S_EXIT.ICO"});
  buttons.push_back({BrowseHelp, "Help", true, "help.ico"});
  int32_t left = 8;
  int32_t right = kWidth - 2 * (kButtonWidth + 4) - 4;
  for (const ButtonLook& look : buttons) {
    win_.CreateControl(look.control, runtime::ControlButton);
    win_.SetText(look.control, look.text);
    win_.SetIcon(look.control, look.icon);
    int32_t& x = look.right ? right : left;
    win_.SetRect(look.control, {x, kButtonY, kButtonWidth, kButtonHeight});
    x += kButtonWidth + 4;
  }
  if (*description_.selectIcon != '\0') win_.SetIcon(BrowseSelect, description_.selectIcon);
  if (*description_.closeIcon != '\0') win_.SetIcon(BrowseClose, description_.closeIcon);
  if (runtime::Control* help = win_.Find(BrowseHelp)) {
    // The help file lives outside the program; the runtime shows it.
    help->action = runtime::ActionHelpContents;
    win_.Changed(BrowseHelp);
  }
}

data::Severity BrowseWindow::Initialize() {
  REQUEST = framework::PendingRequest;
  data::Severity result = ProcedureFrame::Initialize();
  if (result != data::SeverityNone) return result;
  FIRSTFIELD = BrowseList;
  VCRREQUEST = &framework::NavigationRequest;
  ERRORS = &GlobalErrors;
  AttachToolbar(&toolbar_);
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  AddButton(BrowseClose, framework::ResponseCancelled);
  if (!OpenFiles()) return data::SeverityStop;
  data::RelationController* primary = *description_.primary;
  runtime::ViewDeclaration declaration{&primary->ME->CurrentFile(), {}, {}};
  if (description_.customerName) {
    runtime::ViewJoin join;
    join.file = &Access_CUSTOMER->CurrentFile();
    join.key = CustomerRecord::IDKEY;
    join.linkFields = {InvoiceLayout().Find("INV:CUSTOMERID")};
    declaration.joins.push_back(join);
  }
  view_ = std::make_unique<runtime::View>(std::move(declaration));
  browse_.Setup(BrowseList, this, view_.get(), primary);
  AddSortOrders();
  for (const runtime::FieldRef& field : description_.fields()) browse_.AddField(field);
  if (description_.selecting) {
    browse_.SELECTCONTROL = BrowseSelect;
  } else {
    browse_.INSERTCONTROL = BrowseInsert;
    browse_.CHANGECONTROL = BrowseChange;
    browse_.DELETECONTROL = BrowseDelete;
    browse_.ASKPROCEDURE = description_.update != nullptr ? kUpdateProcedure : 0;
  }
  browse_.TOOLBARITEM->HELPBUTTON = BrowseHelp;
  result = OpenForm(primary, 0);
  if (result != data::SeverityNone) return result;
  resizer_.Setup(&win_, framework::AppStrategySurface, true, false);
  resizer_.SetStrategy(BrowseSheet, framework::FixLeft | framework::FixTop,
                       framework::ConstantRight | framework::ConstantBottom);
  resizer_.SetStrategy(BrowseList, framework::FixLeft | framework::FixTop,
                       framework::ConstantRight | framework::ConstantBottom);
  for (int32_t button :
       {BrowseInsert, BrowseChange, BrowseDelete, BrowseSelect, BrowseClose, BrowseHelp}) {
    bool right = button == BrowseClose || button == BrowseHelp;
    resizer_.SetStrategy(button,
                         (right ? framework::FixRight : framework::FixLeft) | framework::FixBottom,
                         framework::LockWidth | framework::LockHeight);
  }
  AttachResizer(&resizer_);
  KeepPlacement(&INIMgr, description_.procedure);
  return data::SeverityNone;
}

// The primary file last, so the view finds every file usable.
bool BrowseWindow::OpenFiles() {
  std::vector<data::RelationController*> files;
  for (data::RelationController** other : description_.others) files.push_back(*other);
  files.push_back(*description_.primary);
  for (data::RelationController* file : files) {
    if (file == nullptr || file->Open() != data::SeverityNone) return false;
    opened_.push_back(file);
    if (file->ME->MakeUsable() != data::SeverityNone) return false;
  }
  return true;
}

void BrowseWindow::AddSortOrders() {
  const std::vector<BrowseTab>& tabs = description_.tabs;
  browse_.tabs = static_cast<int32_t>(tabs.size());
  std::vector<const BrowseTab*> orders;
  if (tabs.size() == 2) {
    orders = {&tabs[1], &tabs[0]};
  } else {
    for (const BrowseTab& tab : tabs) orders.push_back(&tab);
  }
  for (const BrowseTab* tab : orders) {
    browse_.AddSortOrder(tab->key);
    runtime::FieldRef free = browse_.CurrentOrder()->FREEELEMENT;
    auto locator = std::make_unique<framework::TypeAheadLocator>();
    locator->Initialize(&browse_, 0, free, !free.IsNumeric());
    locator->SetStatusWindow(&win_);
    browse_.SetLocator(locator.get());
    locators_.push_back(std::move(locator));
    thumbs_.push_back(MakeThumb(*tab, free));
    browse_.SetThumb(thumbs_.back().get());
  }
}

// Numbers and dates step numerically; names and descriptions by a table.
std::unique_ptr<framework::ThumbStep> BrowseWindow::MakeThumb(const BrowseTab& tab,
                                                              const runtime::FieldRef& free) const {
  if (free.IsNumeric()) return std::make_unique<framework::NumericStep>();
  auto step = std::make_unique<framework::TextStep>();
  step->Initialize(framework::StepLetters, tab.lookup);
  return step;
}

data::Severity BrowseWindow::Shutdown() {
  data::Severity result = ProcedureFrame::Shutdown();
  for (auto& thumb : thumbs_) thumb->Shutdown();
  for (auto file = opened_.rbegin(); file != opened_.rend(); ++file) (*file)->Close();
  opened_.clear();
  return result;
}

uint8_t BrowseWindow::CallUpdateProcedure(uint16_t procedure, uint8_t request) {
  if (procedure != kUpdateProcedure || description_.update == nullptr) {
    return framework::ResponseCancelled;
  }
  framework::PendingRequest = request;
  description_.update();
  return framework::LastResponse;
}

std::vector<runtime::FieldRef> CustomerColumns() {
  using runtime::FieldRef;
  return {FieldRef::Of(CUS.CUSTOMERID), FieldRef::Of(CUS.NAME),    FieldRef::Of(CUS.ADDRESS1),
          FieldRef::Of(CUS.ADDRESS2),   FieldRef::Of(CUS.TELEFON), FieldRef::Of(CUS.TELEFAX)};
}

std::vector<runtime::FieldRef> ItemColumns() {
  using runtime::FieldRef;
  return {FieldRef::Of(ITE.ITEMNR), FieldRef::Of(ITE.DESCRIPTION),
          FieldRef::Packed(ITE.PRICE, kMoneySize, kMoneyPlaces)};
}

std::vector<runtime::FieldRef> InvoiceColumns() {
  using runtime::FieldRef;
  return {FieldRef::Of(INV.NUMBER), FieldRef::Of(INV.CUSTOMERID), FieldRef::Of(CUS.NAME),
          FieldRef::Date(INV.INVOICEDATE), FieldRef::Packed(INV.SALES, kMoneySize, kMoneyPlaces)};
}

std::vector<runtime::FieldRef> SelectInvoiceColumns() {
  using runtime::FieldRef;
  return {FieldRef::Of(INV.NUMBER), FieldRef::Date(INV.INVOICEDATE), FieldRef::Of(INV.CUSTOMERID),
          FieldRef::Of(CUS.NAME), FieldRef::Packed(INV.SALES, kMoneySize, kMoneyPlaces)};
}

std::vector<BrowseTab> CustomerTabs() {
  return {{"ID number", CustomerRecord::IDKEY, framework::LookupNames},
          {"Name and Address", CustomerRecord::NAMEADDRESSKEY, framework::LookupNames}};
}

std::vector<BrowseTab> ItemTabs() {
  return {{"Item number", ItemRecord::ITEMNRKEY, framework::LookupAlphabet},
          {"Description", ItemRecord::DESCRIPTIONKEY, framework::LookupAlphabet}};
}

void RunBrowseWindow(const BrowseDescription& description) {
  BrowseWindow window(description);
  framework::LastResponse = window.Run();
}

}  // namespace ledora::app
