// Where a data file's sequence stands: its key, its anchor (the key values
// or the record it goes on from) and its limits. The anchor is the last
// record read, not a row of a cursor, so that a sequence neither skips nor
// repeats records that other stations add or delete between reads. Both
// drivers' data files keep one and turn it into their keyset queries.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/storage/data_file.h"
#include "runtime/storage/table_sql.h"

namespace ledora::runtime {

class KeySequence {
 public:
  enum Anchor { AnchorNone, AnchorEnds, AnchorValues, AnchorRecord, AnchorAfter, AnchorPastEnd };

  // SetOrder: from the ends of the key's order, without limits.
  void Start(int key);
  // SetOnKey: at the key values of a record image of size bytes.
  void AtValues(const void* record, size_t size);
  // SetOnPosition (AnchorRecord) or SetAfterPosition (AnchorAfter): at the
  // record of pos, whose image (or, when it is gone, the buffer's values)
  // places it in the order.
  void AtRecord(int64_t pos, std::vector<char> image, Anchor anchor);
  // Keeps copies of the limits; 30 without a key sequence, 47 for more
  // components than the key's.
  int32_t Limit(KeyLimit first, KeyLimit last, int components, size_t size);
  // A record read in sequence becomes the anchor.
  void Passed(int64_t pos, const std::vector<char>& image);
  void Passed(int64_t pos, const char* record, size_t size);
  // The end was met reading in that direction: reading on there answers 33
  // at once, turning round starts at the limit.
  void PastEnd(bool forward);
  bool IsPastEnd(bool forward) const {
    return anchor_ == AnchorPastEnd && pastEndForward_ == forward;
  }

  bool IsSet() const { return anchor_ != AnchorNone; }
  void Clear() { anchor_ = AnchorNone; }
  int key() const { return key_; }
  SeekKind Seek() const;
  // The anchor's key values and position (valid unless Seek is SeekFromEnd).
  const std::vector<char>& image() const { return image_; }
  int64_t pos() const { return pos_; }
  const KeyLimit& first() const { return first_; }
  const KeyLimit& last() const { return last_; }

 private:
  int key_ = kRecordOrder;
  Anchor anchor_ = AnchorNone;
  bool pastEndForward_ = true;
  std::vector<char> image_;
  int64_t pos_ = 0;
  KeyLimit first_, last_;  // records point into the images below
  std::vector<char> firstImage_, lastImage_;
};

}  // namespace ledora::runtime
