// The view engine: the ordered, filtered, joined reading of a primary file
// and its related files, with positions for paging. ViewManager, the paged
// browse and the batch process read their records through it.
//
// Order: the terms of a file manager's order string. A key whose components
// match the terms (each term's direction the same as the component's, or
// every one reversed) serves the order and is walked directly; components
// before the matched ones must be fixed by equality terms of the filter. An
// order no key serves is read through a sorted snapshot of the matching
// records' positions, taken at each Start.
//
// Filter: an expression over bound names, tested on every record. Its AND
// terms on the serving key's components bound the key walk: reading seeks
// to where they start, and the storage sequence is limited to where they
// end, so that no row past the range is read at all.
//
// Positions are the primary file's record positions: they survive inserts
// and deletes of other records, and a record deleted since still gives its
// place when it was among the recently read rows (the buffer).
//
// Result codes: 0; 33 no more records; 30 read before Start or a reset;
// 37 not open; 47 a declaration the files do not fit; 800-802 from
// expressions; the driver's codes otherwise.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/expr/expression.h"
#include "runtime/views/key_range.h"
#include "runtime/views/order_terms.h"
#include "runtime/views/view_declaration.h"

namespace ledora::runtime {

struct ViewBuffering {
  uint16_t pageSize = 20;
  uint16_t pagesBehind = 2;
  uint16_t pagesAhead = 0;
  uint16_t timeoutSeconds = 60;
};

class View {
 public:
  explicit View(ViewDeclaration declaration);
  ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // The view's files must be open.
  int32_t Open();
  int32_t Close();
  bool IsOpen() const { return open_; }
  const ViewDeclaration& declaration() const { return declaration_; }

  // A blank text clears the order (record order) or the filter. On failure
  // the previous order or filter stays.
  int32_t SetOrder(std::string_view order);
  int32_t SetFilter(std::string_view filter);
  const std::string& order() const { return orderText_; }
  const std::string& filter() const { return filterText_; }
  // What was wrong with the last refused order or filter, and where.
  const std::string& refusal() const { return refusal_; }

  // The rows kept for positioning: pageSize * (behind + 1 + ahead). The
  // time-out is kept for the callers that set it; rows leave only when
  // newer ones push them out.
  void SetBuffering(const ViewBuffering& buffering);
  const ViewBuffering& buffering() const { return buffering_; }

  // Before the first record (Next) and after the last (Previous).
  int32_t Start();
  // At the primary buffer's values of the first n order terms: Next reads
  // the first record at or after them. 0 is Start.
  int32_t ResetToValues(int components);
  // At a stored position: the next read, in either direction, reads that
  // record first (or, when it is gone, its neighbour in that direction).
  // A position of the record read last costs no read: paging on from a
  // page's last row reads only the new rows.
  int32_t ResetToPosition(std::string_view position);
  // Past a stored position: Next reads the record after it, Previous the
  // one before it (also when it is gone), and the record itself is not read
  // again. Past the record read last this costs no read.
  int32_t ResetAfterPosition(std::string_view position);
  // At the primary file's current record (the one in its buffer).
  int32_t ResetToRecord();

  int32_t Next();
  int32_t Previous();
  // The position of the record read last; empty when none.
  const std::string& Position() const { return current_; }
  // Reads the record at a position again (with its related records);
  // the sequence does not move. 35 when it is gone.
  int32_t Reread(std::string_view position);

  // Records read from storage by this view, for tests and benchmarks.
  int64_t rowsRead() const { return rowsRead_; }
  // Whether the current order is served by a key (else by a snapshot).
  bool keyed() const { return !sorted_; }

 private:
  enum Pending : uint8_t { PendingNone, PendingStart, PendingValues };
  struct SortedRow {
    std::vector<ExpressionValue> values;
    std::string position;
  };

  int32_t Plan();
  bool KeyServesOrder(int key, bool* reversed);
  int32_t Read(bool viewForward);
  int32_t ReadPrimary(bool viewForward);
  int32_t ReadKeyed(bool walkForward);
  int32_t ReadSorted(bool viewForward);
  int32_t SeekRange(bool walkForward);
  int32_t SeekValues(bool walkForward);
  int32_t PositionAt(const std::string& position, bool allowRepeat, bool after);
  int32_t LimitSequence();
  int32_t FetchRelated(const ViewJoin& join);
  int32_t JoinRelated(bool* found);
  void Deliver();
  void SaveImages(std::vector<std::string>* images) const;
  void RestoreImages(const std::vector<std::string>& images);
  int32_t BuildSorted();
  int32_t SortValues(std::vector<ExpressionValue>* values);
  bool SortedBefore(const std::vector<ExpressionValue>& a, const std::vector<ExpressionValue>& b,
                    size_t terms) const;
  size_t SortedIndexAtValues(const std::vector<ExpressionValue>& values, size_t terms) const;
  void Remember(const std::string& position);
  std::string PrimaryImage() const;
  void SetPrimaryImage(const std::string& image);
  int32_t Fail(int32_t code);

  ViewDeclaration declaration_;
  bool open_ = false;
  std::string orderText_;
  std::string filterText_;
  std::vector<OrderTerm> orderTerms_;
  std::vector<std::unique_ptr<Expression>> orderExpressions_;
  std::unique_ptr<Expression> filter_;
  std::string refusal_;
  ViewBuffering buffering_;

  // The plan for the current order and filter.
  int key_ = kRecordOrder;
  int keyStart_ = 0;        // key component the first order term matches
  bool keyForward_ = true;  // reading the view forward walks the key forward
  bool sorted_ = false;
  KeyRange range_;

  bool started_ = false;
  bool seekedRange_ = false;  // the last read began at the range's start
  Pending pending_ = PendingNone;
  std::string pendingImage_;  // the values of PendingValues
  int pendingKeep_ = 0;       // components of pendingImage_ that count

  std::vector<SortedRow> rows_;
  std::unordered_map<std::string, size_t> rowIndex_;
  bool sortedBuilt_ = false;
  ptrdiff_t nextIndex_ = 0;   // the row Next reads
  ptrdiff_t prevIndex_ = -1;  // the row Previous reads

  std::string current_;
  std::vector<std::string> currentImages_;
  std::vector<std::string> readBefore_;  // Read's images to restore on failure
  bool repeat_ = false;                  // the next read delivers the current record again
  bool sequenceAtCurrent_ = false;       // the driver's sequence last read current_

  // Recently read records by position, so that a deleted one keeps its place.
  std::unordered_map<std::string, std::string> recent_;
  std::deque<std::string> recentOrder_;

  int64_t rowsRead_ = 0;
};

}  // namespace ledora::runtime
