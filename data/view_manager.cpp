#include "data/view_manager.h"

#include <algorithm>

#include "data/error_severity.h"
#include "data/file_registry.h"
#include "runtime/system/runtime_error.h"

namespace ledora::data {

namespace {

bool InRecord(const runtime::FieldRef& field, const FileManager& manager) {
  auto* start = static_cast<const unsigned char*>(manager.BUFFER.address);
  auto* at = static_cast<const unsigned char*>(field.address);
  return start != nullptr && at >= start && at < start + manager.BUFFER.size;
}

}  // namespace

std::string QuotedLiteral(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

void SortOrder::AddRangePair(const runtime::FieldRef& left, const runtime::FieldRef& right) {
  RANGELIST.push_back({left, right, runtime::GetText(right)});
}

ViewManager::~ViewManager() = default;

Severity ViewManager::Initialize(runtime::View* view, RelationController* primary,
                                 SortOrderList* orders) {
  VIEW = view;
  PRIMARY = primary;
  if (orders != nullptr) {
    ORDER = orders;
    DISPOSEORDER = 0;
  } else {
    ownOrders_ = std::make_unique<SortOrderList>();
    ORDER = ownOrders_.get();
    DISPOSEORDER = 1;
  }
  PAGESIZE = 20;
  PAGESBEHIND = 2;
  PAGESAHEAD = 0;
  TIMEOUT = 60;
  return MakeFilesUsable();
}

Severity ViewManager::MakeFilesUsable() {
  if (VIEW == nullptr) return SeverityNone;
  const runtime::ViewDeclaration& declaration = VIEW->declaration();
  std::vector<runtime::DataFile*> files{declaration.primary};
  for (const runtime::ViewJoin& join : declaration.joins) files.push_back(join.file);
  for (runtime::DataFile* file : files) {
    FileManager* manager = FileManagers().Find(file);
    if (manager == nullptr) continue;
    Severity result = manager->MakeUsable();
    if (result != SeverityNone) return result;
  }
  return SeverityNone;
}

size_t ViewManager::AddSortOrder(int key) {
  return AddSortOrder(key, std::make_unique<SortOrder>());
}

size_t ViewManager::AddSortOrder(int key, std::unique_ptr<SortOrder> entry) {
  if (ORDER == nullptr || PRIMARY == nullptr || entry == nullptr) return 0;
  entry->MAINKEY = key;
  if (key >= 0 && PRIMARY->ME->ComponentCount(key) > 0) {
    entry->FREEELEMENT = PRIMARY->ME->ComponentField(key, 1);
  }
  entry->ORDER = key >= 0 ? PRIMARY->ME->OrderString(key) : std::string();
  ORDER->entries.push_back(std::move(entry));
  ORDER->current = ORDER->entries.size() - 1;
  return ORDER->entries.size();
}

void ViewManager::AddRange(RelationController* thisFile, RelationController* relatedFile) {
  SortOrder* order = CurrentOrder();
  if (order == nullptr || thisFile == nullptr || relatedFile == nullptr) return;
  order->LIMITTYPE = LimitRelation;
  std::vector<LinkPair> links;
  relatedFile->ListLinkingFields(thisFile, links);
  for (const LinkPair& link : links) {
    // Whichever side declared the relation, the left field is this file's.
    if (InRecord(link.left, *thisFile->ME)) {
      order->AddRangePair(link.left, link.right);
    } else {
      order->AddRangePair(link.right, link.left);
    }
  }
  FreeElementPosition();
  if (order->MAINKEY >= 0) order->ORDER = PRIMARY->ME->OrderString(order->MAINKEY);
}

uint8_t ViewManager::FreeElementPosition() {
  SortOrder* order = CurrentOrder();
  if (order == nullptr || order->MAINKEY < 0) return 0;
  size_t n = order->RANGELIST.size();
  size_t position = order->LIMITTYPE == LimitBetween ? n : n + 1;
  if (position > static_cast<size_t>(PRIMARY->ME->ComponentCount(order->MAINKEY))) return 0;
  order->FREEELEMENT = PRIMARY->ME->ComponentField(order->MAINKEY, static_cast<int>(position));
  return static_cast<uint8_t>(position);
}

std::string ViewManager::FreeElementName() {
  SortOrder* order = CurrentOrder();
  uint8_t position = FreeElementPosition();
  if (order == nullptr || position == 0) return {};
  return PRIMARY->ME->ComponentName(order->MAINKEY, position);
}

// ---------------------------------------------------------------- texts

std::string ViewManager::RangeTerm(const SortOrder& order, size_t component, size_t pair,
                                   std::string_view op) {
  std::string name = PRIMARY->ME->ComponentName(order.MAINKEY, static_cast<int>(component + 1));
  if (name.empty()) return {};
  const RangePair& range = order.RANGELIST[pair];
  std::string literal;
  if (range.LEFT.IsNumeric()) {
    // Written as a number whatever the right field holds, so that no text
    // of a variable can reach the filter unquoted.
    literal = runtime::GetNumber(range.RIGHT).ToString();
  } else {
    literal = QuotedLiteral(runtime::GetText(range.RIGHT));
    if (name.find("UPPER(") != std::string::npos) literal = "UPPER(" + literal + ")";
  }
  return name + " " + std::string(op) + " " + literal;
}

bool ViewManager::BuildFilter(std::string* filter) {
  filter->clear();
  SortOrder* order = CurrentOrder();
  if (order == nullptr) return true;
  std::vector<std::string> terms;
  size_t n = order->RANGELIST.size();
  switch (order->LIMITTYPE) {
    case LimitEqual:
    case LimitFollow:
    case LimitRelation:
      for (size_t i = 0; i < n; ++i) terms.push_back(RangeTerm(*order, i, i, "="));
      break;
    case LimitBetween:
      if (n < 2) return false;
      for (size_t i = 0; i + 2 < n; ++i) terms.push_back(RangeTerm(*order, i, i, "="));
      terms.push_back(RangeTerm(*order, n - 2, n - 2, ">="));
      terms.push_back(RangeTerm(*order, n - 2, n - 1, "<="));
      break;
    default:
      break;
  }
  for (const std::string& term : terms) {
    if (term.empty()) return false;
    if (!filter->empty()) *filter += " AND ";
    *filter += term;
  }
  if (order->FILTER != nullptr) {
    for (const NamedFilter& named : *order->FILTER) {
      if (named.FILTER.empty()) continue;
      *filter += filter->empty() ? "(" : " AND (";
      *filter += named.FILTER + ")";
    }
  }
  return true;
}

// ---------------------------------------------------------------- applying

Severity ViewManager::ApplyFilter() {
  if (VIEW == nullptr || PRIMARY == nullptr) return SeverityStop;
  std::string filter;
  if (!BuildFilter(&filter) || VIEW->SetFilter(filter) != runtime::ErrorNone) {
    return PRIMARY->ME->Throw(MsgViewOpenError);
  }
  return SeverityNone;
}

Severity ViewManager::ApplyOrder() {
  if (VIEW == nullptr || PRIMARY == nullptr) return SeverityStop;
  SortOrder* order = CurrentOrder();
  std::string text = order == nullptr ? std::string() : order->ORDER;
  if (VIEW->SetOrder(text) != runtime::ErrorNone) return PRIMARY->ME->Throw(MsgViewOpenError);
  return SeverityNone;
}

uint8_t ViewManager::ApplyRange() {
  if (!RangeLimitsChanged()) return 0;
  SortOrder* order = CurrentOrder();
  std::vector<RangePair>& pairs = order->RANGELIST;
  size_t n = pairs.size();
  if (order->LIMITTYPE == LimitRelation) {
    for (RangePair& pair : pairs) pair.SAVED = runtime::GetText(pair.RIGHT);
  } else {
    if (order->LIMITTYPE == LimitBetween && n >= 2 &&
        !runtime::Equal(pairs[n - 2].LEFT, pairs[n - 2].RIGHT)) {
      runtime::Assign(pairs[n - 2].RIGHT, pairs[n - 2].LEFT);
    }
    runtime::Assign(pairs[n - 1].RIGHT, pairs[n - 1].LEFT);
  }
  ApplyFilter();
  return 1;
}

bool ViewManager::RangeLimitsChanged() {
  SortOrder* order = CurrentOrder();
  if (order == nullptr) return false;
  const std::vector<RangePair>& pairs = order->RANGELIST;
  size_t n = pairs.size();
  auto differs = [](const RangePair& pair) { return !runtime::Equal(pair.LEFT, pair.RIGHT); };
  switch (order->LIMITTYPE) {
    case LimitBetween:
      if (n >= 2 && differs(pairs[n - 2])) return true;
      [[fallthrough]];
    case LimitFollow:
      return n >= 1 && differs(pairs[n - 1]);
    case LimitRelation:
      return std::any_of(pairs.begin(), pairs.end(), [](const RangePair& pair) {
        return runtime::GetText(pair.RIGHT) != pair.SAVED;
      });
    default:
      return false;
  }
}

void ViewManager::SetOrder(std::string_view order) {
  SortOrder* current = CurrentOrder();
  if (current == nullptr) return;
  size_t end = order.find_last_not_of(' ');
  current->ORDER =
      end == std::string_view::npos ? std::string() : std::string(order.substr(0, end + 1));
}

void ViewManager::SetFilter(std::string_view filter, std::string_view id) {
  SortOrder* order = CurrentOrder();
  if (order == nullptr) return;
  if (order->FILTER == nullptr) order->FILTER = std::make_unique<std::vector<NamedFilter>>();
  std::string key(id.substr(0, 30));
  size_t end = filter.find_last_not_of(' ');
  std::string text =
      end == std::string_view::npos ? std::string() : std::string(filter.substr(0, end + 1));
  auto& list = *order->FILTER;
  auto at =
      std::lower_bound(list.begin(), list.end(), key,
                       [](const NamedFilter& entry, const std::string& k) { return entry.ID < k; });
  if (at != list.end() && at->ID == key) {
    at->FILTER = std::move(text);
  } else {
    list.insert(at, NamedFilter{key, std::move(text)});
  }
}

uint8_t ViewManager::SetSort(size_t number) {
  if (number == 0) number = 1;
  if (ORDER == nullptr || number > ORDER->entries.size()) return 0;
  if (ORDER->current == number - 1) return 0;
  ORDER->current = number - 1;
  return 1;
}

// ---------------------------------------------------------------- reading

void ViewManager::Open() {
  if (OPENED || VIEW == nullptr || PRIMARY == nullptr) return;
  MakeFilesUsable();
  if (VIEW->Open() != runtime::ErrorNone) PRIMARY->ME->Throw(MsgViewOpenError);
  VIEW->SetBuffering({PAGESIZE, PAGESBEHIND, PAGESAHEAD, TIMEOUT});
  OPENED = 1;
  ApplyOrder();
  ApplyFilter();
}

void ViewManager::Reset(int components) {
  Open();
  if (!OPENED) return;
  if (VIEW->ResetToValues(components) != runtime::ErrorNone) PRIMARY->ME->Throw(MsgViewOpenError);
}

Severity ViewManager::Next() { return Read(true); }

Severity ViewManager::Previous() { return Read(false); }

Severity ViewManager::Read(bool forward) {
  // Not initialised on a view: nothing can be read.
  if (VIEW == nullptr || PRIMARY == nullptr) return SeverityStop;
  for (;;) {
    int32_t code = forward ? VIEW->Next() : VIEW->Previous();
    if (code == runtime::ErrorRecordNotAvailable) return SeverityInform;
    if (code != runtime::ErrorNone) {
      PRIMARY->ME->Throw(MsgRecordRetrievalError);
      return SeverityStop;
    }
    uint8_t verdict = ValidateRecord();
    if (verdict == 0) return SeverityNone;
    if (verdict == 1) return SeverityInform;
  }
}

Severity ViewManager::PrimeRecord(bool keepContents) {
  if (!keepContents && VIEW != nullptr) {
    const runtime::ViewDeclaration& declaration = VIEW->declaration();
    std::vector<runtime::DataFile*> files{declaration.primary};
    for (const runtime::ViewJoin& join : declaration.joins) files.push_back(join.file);
    for (runtime::DataFile* file : files) {
      if (FileManager* manager = FileManagers().Find(file)) manager->ClearRecord();
    }
  }
  if (SortOrder* order = CurrentOrder(); order != nullptr && order->MAINKEY >= 0) {
    size_t n = order->RANGELIST.size();
    size_t count = 0;
    if (order->LIMITTYPE == LimitBetween) {
      count = n >= 2 ? n - 2 : 0;
    } else if (order->LIMITTYPE != LimitNone) {
      count = n;
    }
    int components = PRIMARY->ME->ComponentCount(order->MAINKEY);
    for (size_t i = 0; i < count && static_cast<int>(i) < components; ++i) {
      runtime::Assign(PRIMARY->ME->ComponentField(order->MAINKEY, static_cast<int>(i + 1)),
                      order->RANGELIST[i].RIGHT);
    }
  }
  return PRIMARY->ME->PrimeRecord(true);
}

void ViewManager::Close() {
  if (OPENED) VIEW->Close();
  OPENED = 0;
}

void ViewManager::Shutdown() {
  if (ORDER != nullptr) {
    for (auto& order : ORDER->entries) {
      order->RANGELIST.clear();
      order->FILTER.reset();
      order->ORDER.clear();
    }
  }
  if (DISPOSEORDER) {
    ownOrders_.reset();
    ORDER = nullptr;
  }
}

}  // namespace ledora::data
