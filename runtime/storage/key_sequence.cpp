#include "runtime/storage/key_sequence.h"

#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

void KeySequence::Start(int key) {
  key_ = key;
  anchor_ = AnchorEnds;
  first_ = last_ = KeyLimit();
}

void KeySequence::AtValues(const void* record, size_t size) {
  const char* bytes = static_cast<const char*>(record);
  image_.assign(bytes, bytes + size);
  anchor_ = AnchorValues;
}

void KeySequence::AtRecord(int64_t pos, std::vector<char> image, Anchor anchor) {
  image_ = std::move(image);
  pos_ = pos;
  anchor_ = anchor;
}

int32_t KeySequence::Limit(KeyLimit first, KeyLimit last, int components, size_t size) {
  if (anchor_ == AnchorNone || key_ == kRecordOrder) {
    SetError(ErrorEntryNotFound);
    return ErrorEntryNotFound;
  }
  for (const KeyLimit& limit : {first, last}) {
    if (limit.components < 0 || limit.components > components ||
        (limit.components > 0 && limit.record == nullptr)) {
      SetError(ErrorInvalidRecordDeclaration);
      return ErrorInvalidRecordDeclaration;
    }
  }
  auto keep = [size](KeyLimit limit, std::vector<char>* image, KeyLimit* kept) {
    const char* record = static_cast<const char*>(limit.record);
    if (limit.components > 0) image->assign(record, record + size);
    *kept = {limit.components, limit.components > 0 ? image->data() : nullptr};
  };
  keep(first, &firstImage_, &first_);
  keep(last, &lastImage_, &last_);
  return ErrorNone;
}

void KeySequence::Passed(int64_t pos, const std::vector<char>& image) {
  image_ = image;
  pos_ = pos;
  anchor_ = AnchorAfter;
}

void KeySequence::Passed(int64_t pos, const char* record, size_t size) {
  image_.assign(record, record + size);
  pos_ = pos;
  anchor_ = AnchorAfter;
}

void KeySequence::PastEnd(bool forward) {
  anchor_ = AnchorPastEnd;
  pastEndForward_ = forward;
}

SeekKind KeySequence::Seek() const {
  if (anchor_ == AnchorValues) return SeekAtValues;
  if (anchor_ == AnchorRecord) return SeekAtRecord;
  if (anchor_ == AnchorAfter) return SeekAfterRecord;
  return SeekFromEnd;
}

}  // namespace ledora::runtime
