// Drives one view: keeps its sort orders (key, range limits, named filters),
// turns the current one into the view's order and filter texts, reads the
// view through an overridable record check and primes new records inside the
// range. The paged browse and the batch process derive from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/relation_controller.h"
#include "runtime/values/field_ref.h"
#include "runtime/views/view.h"

namespace ledora::data {

enum LimitType : uint8_t {
  LimitNone = 0,
  LimitEqual = 1,     // components 1..n equal the right fields
  LimitFollow = 2,    // as 1; pair n follows its left field
  LimitBetween = 3,   // component n-1 between the right fields of pairs n-1 and n
  LimitRelation = 4,  // as 1, over the linking fields of a related file
};

inline constexpr std::string_view kStandardFilterId = "5 Standard";

// Text as a string literal of the filter language: quoted, quotes doubled.
std::string QuotedLiteral(std::string_view text);

struct NamedFilter {
  std::string ID;      // at most 30 characters
  std::string FILTER;  // an expression; blank filters nothing
};

// A range pair: the right field supplies the limit; SAVED is the right
// field's value when last remembered (relation ranges).
struct RangePair {
  runtime::FieldRef LEFT;   // the key component limited
  runtime::FieldRef RIGHT;  // the field holding its limit
  std::string SAVED;        // RIGHT as last applied
};

// One sort order. The browse derives its entries from it and adds fields.
struct SortOrder {
  virtual ~SortOrder() = default;

  std::unique_ptr<std::vector<NamedFilter>> FILTER;                  // ordered on ID
  runtime::FieldRef FREEELEMENT{runtime::FieldLong, nullptr, 0, 0};  // none: no address
  uint8_t LIMITTYPE = LimitNone;     // how RANGELIST limits the view
  int MAINKEY = -1;                  // key number in the file's declaration, -1 = none
  std::string ORDER;                 // the sort text ApplyOrder gives the view
  std::vector<RangePair> RANGELIST;  // limits on MAINKEY's components, in order

  void AddRangePair(const runtime::FieldRef& left, const runtime::FieldRef& right);
};

struct SortOrderList {
  std::vector<std::unique_ptr<SortOrder>> entries;
  size_t current = 0;  // index into entries

  SortOrder* Current() { return entries.empty() ? nullptr : entries[current].get(); }
};

class ViewManager {
 public:
  uint8_t DISPOSEORDER = 0;               // 1: ORDER is this manager's own, freed with it
  uint8_t OPENED = 0;                     // 1 while the view is open
  SortOrderList* ORDER = nullptr;         // the sort orders; the current one is applied
  uint16_t PAGESAHEAD = 0;                // pages the view reads ahead
  uint16_t PAGESBEHIND = 2;               // pages the view keeps behind
  uint16_t PAGESIZE = 20;                 // records a page holds
  RelationController* PRIMARY = nullptr;  // not owned; the view's primary file
  uint16_t TIMEOUT = 60;          // handed to the view with the paging; it has no use for it yet
  runtime::View* VIEW = nullptr;  // not owned

  ViewManager() = default;
  virtual ~ViewManager();
  ViewManager(const ViewManager&) = delete;
  ViewManager& operator=(const ViewManager&) = delete;

  // orders: a list the caller owns, or nullptr for one this manager owns.
  // Answers the first failure of making the view's files usable.
  Severity Initialize(runtime::View* view, RelationController* primary,
                      SortOrderList* orders = nullptr);
  // key: -1 for none. Answers the new order's number, from 1.
  size_t AddSortOrder(int key = -1);
  size_t AddSortOrder(int key, std::unique_ptr<SortOrder> entry);
  void AddRange(RelationController* thisFile, RelationController* relatedFile);
  SortOrder* CurrentOrder() { return ORDER == nullptr ? nullptr : ORDER->Current(); }

  // Overridable operations.
  //
  // Gives the view the current order's filters and range as one filter;
  // SeverityNone, or the reply to the view-open message when refused.
  virtual Severity ApplyFilter();
  // Gives the view the current order's sort; SeverityNone or the reply.
  virtual Severity ApplyOrder();
  // When the range values changed since last applied: takes them over and
  // applies the filter, returning 1; else 0 with nothing done.
  virtual uint8_t ApplyRange();
  // Closes the view if open.
  virtual void Close();
  // The name of the key component after the range's; empty when none.
  virtual std::string FreeElementName();
  // The number (from 1) of that component, now FREEELEMENT; 0 when none.
  virtual uint8_t FreeElementPosition();
  // Empties every order's range, filters and sort; owned orders are freed.
  virtual void Shutdown();
  // Reads the next record ValidateRecord accepts: SeverityNone; past the
  // end, or ended by ValidateRecord: SeverityInform; failed (message
  // shown) or not initialised: SeverityStop.
  virtual Severity Next();
  // Makes the files usable, opens the view with the paging set and applies
  // the order; nothing when already open.
  virtual void Open();
  // As Next, backwards.
  virtual Severity Previous();
  // Readies the primary buffer for a new record inside the current range:
  // the view's buffers cleared (unless keepContents), the range's
  // components filled in, then the file's own PrimeRecord.
  virtual Severity PrimeRecord(bool keepContents = false);
  // Opens if needed and positions before the record whose first components
  // key fields match the buffer (0: the first record of the order).
  virtual void Reset(int components);
  virtual void Reset() { Reset(0); }
  // Sets the current order's standard filter; applied by ApplyFilter.
  virtual void SetStandardFilter(std::string_view filter) { SetFilter(filter, kStandardFilterId); }
  // Sets the current order's filter named id; a blank one filters nothing.
  virtual void SetFilter(std::string_view filter, std::string_view id);
  // Sets the current order's sort text, trailing blanks removed.
  virtual void SetOrder(std::string_view order);
  // Makes order number (from 1; 0 means 1) current; 1 when that changed the
  // order, else 0.
  virtual uint8_t SetSort(size_t number);
  // Judges the record just read: 0 takes it, 1 ends the read, anything else
  // skips it.
  virtual uint8_t ValidateRecord() { return 0; }

  // The texts the current order gives the view; false when the range cannot
  // be written (a pair beyond the key's components).
  bool BuildFilter(std::string* filter);
  // Whether apply range would find new range values and rebuild the filter.
  bool RangeLimitsChanged();

 private:
  Severity MakeFilesUsable();
  Severity Read(bool forward);
  // Component `component` compared with pair `pair`'s right field, from 0.
  std::string RangeTerm(const SortOrder& order, size_t component, size_t pair, std::string_view op);

  std::unique_ptr<SortOrderList> ownOrders_;
};

}  // namespace ledora::data
