// The part of a view's filter that a key can serve: equality terms on the
// key's leading components and bounds on the next one. View seeks the key
// sequence to where the range starts and stops reading where it ends, so a
// narrow range over a large file reads only its own records. The filter is
// still evaluated on every record; the range only saves reads.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/expr/expression.h"
#include "runtime/storage/file_declaration.h"

namespace ledora::runtime {

enum RangeRelation : uint8_t {
  RangeInside,
  RangeBefore,  // the record comes before the range in the key's order
  RangeAfter,
};

class KeyRange {
 public:
  KeyRange() = default;
  // Picks the filter's terms on the key's components; no key (record
  // order) or no filter gives an empty range.
  KeyRange(const FileDeclaration& file, int key, Expression* filter);

  // Takes the bounds' current values; run before each new start of a
  // sequence. 0 or the bound's evaluation error.
  int32_t Prepare();
  // Whether the last Prepare took other bounds than the one before it.
  bool moved() const { return moved_; }
  bool empty() const { return active_ == 0; }
  // Components fixed to one value by equality terms.
  int fixedCount() const;
  // Components with a usable bound: a measure of how much the range narrows.
  int activeCount() const { return static_cast<int>(active_); }

  // Writes into the buffer the key values where the range starts for a
  // reader walking the key forward (or backward); components past the
  // range take their first (or last) value in that walk.
  void FillStart(bool keyForward) const;
  // How many leading key components the range's first (or last) end in the
  // key's order fixes: FillStart(true) (or false) writes their values. A
  // storage limit there ends a sequence where the range ends.
  int EndComponents(bool last) const;
  // Where the record in the buffer lies.
  RangeRelation Locate() const;

 private:
  struct Part {
    FieldRef field;
    bool upper = false;  // compared as UPPER(field)
    bool descending = false;
    int equal = -1;  // indexes into terms_
    int low = -1;
    int high = -1;
    ExpressionValue equalValue, lowValue, highValue;
    bool hasEqual = false, hasLow = false, hasHigh = false;
    bool lowStrict = false, highStrict = false;  // > and < rather than >= and <=
  };
  int32_t PrepareParts();
  ExpressionValue Subject(const Part& part) const;
  static bool SameBounds(const Part& a, const Part& b);

  Expression* filter_ = nullptr;
  std::vector<RangeTerm> terms_;
  std::vector<Part> parts_;  // one per key component
  size_t active_ = 0;        // parts with usable bounds, after Prepare
  bool moved_ = true;
};

}  // namespace ledora::runtime
