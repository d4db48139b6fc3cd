#include "runtime/views/view.h"

#include <algorithm>
#include <cstring>

#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"
#include "runtime/views/key_values.h"

namespace ledora::runtime {

namespace {

const FileDeclaration& DeclarationOf(DataFile* file) { return file->declaration(); }

FieldRef FieldOf(const FileDeclaration& file, int field) {
  return file.layout->Bind(file.buffer, field);
}

void ClearRecord(const FileDeclaration& file) {
  for (size_t i = 0; i < file.layout->fields().size(); ++i) {
    Clear(FieldOf(file, static_cast<int>(i)));
  }
}

bool ValidJoin(const ViewDeclaration& view, size_t index) {
  const ViewJoin& join = view.joins[index];
  if (join.file == nullptr || join.parent < -1 || join.parent >= static_cast<int>(index)) {
    return false;
  }
  const FileDeclaration& file = DeclarationOf(join.file);
  if (join.key < 0 || static_cast<size_t>(join.key) >= file.keys.size()) return false;
  const FileDeclaration& parent =
      DeclarationOf(join.parent < 0 ? view.primary : view.joins[join.parent].file);
  size_t components = file.keys[join.key].components.size();
  if (join.linkFields.empty() || join.linkFields.size() > components) return false;
  return std::all_of(join.linkFields.begin(), join.linkFields.end(), [&](int field) {
    return field >= 0 && static_cast<size_t>(field) < parent.layout->fields().size();
  });
}

}  // namespace

View::View(ViewDeclaration declaration) : declaration_(std::move(declaration)) {}

View::~View() = default;

int32_t View::Fail(int32_t code) {
  SetError(code);
  return code;
}

int32_t View::Open() {
  DataFile* primary = declaration_.primary;
  if (primary == nullptr || primary->declaration().layout == nullptr ||
      primary->declaration().buffer == nullptr) {
    return Fail(ErrorInvalidRecordDeclaration);
  }
  if (!primary->IsOpen()) return Fail(ErrorFileNotOpen);
  for (size_t i = 0; i < declaration_.joins.size(); ++i) {
    if (!ValidJoin(declaration_, i)) return Fail(ErrorInvalidRecordDeclaration);
    if (!declaration_.joins[i].file->IsOpen()) return Fail(ErrorFileNotOpen);
  }
  for (const std::string& label : declaration_.projection) {
    bool known = primary->declaration().layout->Find(label) >= 0;
    for (const ViewJoin& join : declaration_.joins) {
      known = known || join.file->declaration().layout->Find(label) >= 0;
    }
    if (!known) return Fail(ErrorInvalidRecordDeclaration);
  }
  open_ = true;
  started_ = false;
  ClearError();
  return ErrorNone;
}

int32_t View::Close() {
  open_ = false;
  started_ = false;
  repeat_ = false;
  rows_.clear();
  rowIndex_.clear();
  sortedBuilt_ = false;
  return ErrorNone;
}

int32_t View::SetOrder(std::string_view order) {
  std::vector<OrderTerm> terms = ParseOrderTerms(order);
  std::vector<std::unique_ptr<Expression>> expressions;
  for (const OrderTerm& term : terms) {
    std::unique_ptr<Expression> expression;
    if (int32_t code = Expression::Parse(term.subject, &expression, &refusal_); code != 0) {
      return code;
    }
    expressions.push_back(std::move(expression));
  }
  orderText_ = std::string(order);
  orderTerms_ = std::move(terms);
  orderExpressions_ = std::move(expressions);
  started_ = false;
  repeat_ = false;
  ClearError();
  return ErrorNone;
}

int32_t View::SetFilter(std::string_view filter) {
  std::unique_ptr<Expression> expression;
  if (!Clip(filter).empty()) {
    if (int32_t code = Expression::Parse(filter, &expression, &refusal_); code != ErrorNone) {
      return code;
    }
  }
  filterText_ = std::string(filter);
  filter_ = std::move(expression);
  started_ = false;
  repeat_ = false;
  ClearError();
  return ErrorNone;
}

void View::SetBuffering(const ViewBuffering& buffering) { buffering_ = buffering; }

// ---- planning ----

bool View::KeyServesOrder(int key, bool* reversed) {
  std::vector<OrderTerm> components = KeyTerms(declaration_.primary->declaration(), key);
  size_t count = orderTerms_.size();
  for (size_t start = 0; start + count <= components.size(); ++start) {
    bool same = true;
    bool mirrored = true;
    for (size_t i = 0; i < count; ++i) {
      const OrderTerm& component = components[start + i];
      if (component.subject != orderTerms_[i].subject) same = mirrored = false;
      if (component.descending != orderTerms_[i].descending) same = false;
      if (component.descending == orderTerms_[i].descending) mirrored = false;
    }
    if (!same && !mirrored) continue;
    if (start > 0) {
      // Components before the order's terms must hold one value throughout.
      KeyRange range(declaration_.primary->declaration(), key, filter_.get());
      if (range.Prepare() != ErrorNone || range.fixedCount() < static_cast<int>(start)) continue;
    }
    keyStart_ = static_cast<int>(start);
    *reversed = !same;
    return true;
  }
  return false;
}

int32_t View::Plan() {
  key_ = kRecordOrder;
  keyStart_ = 0;
  keyForward_ = true;
  sorted_ = false;
  range_ = KeyRange();
  if (orderTerms_.empty()) return ErrorNone;
  const FileDeclaration& primary = declaration_.primary->declaration();
  // Of the keys that serve the order, the one the filter narrows most.
  int best = -1;
  int bestStart = 0;
  bool bestReversed = false;
  int bestActive = -1;
  for (size_t key = 0; key < primary.keys.size(); ++key) {
    bool reversed = false;
    if (!KeyServesOrder(static_cast<int>(key), &reversed)) continue;
    KeyRange range(primary, static_cast<int>(key), filter_.get());
    if (int32_t code = range.Prepare(); code != ErrorNone) return code;
    if (range.activeCount() <= bestActive) continue;
    best = static_cast<int>(key);
    bestStart = keyStart_;
    bestReversed = reversed;
    bestActive = range.activeCount();
  }
  if (best < 0) {
    sorted_ = true;
    return ErrorNone;
  }
  key_ = best;
  keyStart_ = bestStart;
  keyForward_ = !bestReversed;
  range_ = KeyRange(primary, key_, filter_.get());
  return range_.Prepare();
}

// ---- positioning ----

int32_t View::Start() {
  if (!open_) return Fail(ErrorFileNotOpen);
  if (int32_t code = Plan(); code != ErrorNone) return code;
  started_ = true;
  repeat_ = false;
  sequenceAtCurrent_ = false;
  pending_ = PendingStart;
  sortedBuilt_ = false;
  if (sorted_) return BuildSorted();
  ClearError();
  return ErrorNone;
}

int32_t View::ResetToValues(int components) {
  if (components <= 0) return Start();
  if (int32_t code = Start(); code != ErrorNone) return code;
  size_t terms = std::min<size_t>(components, orderTerms_.size());
  if (sorted_) {
    std::vector<ExpressionValue> values;
    if (int32_t code = SortValues(&values); code != ErrorNone) return code;
    nextIndex_ = static_cast<ptrdiff_t>(SortedIndexAtValues(values, terms));
    prevIndex_ = nextIndex_ - 1;
    return ErrorNone;
  }
  if (key_ == kRecordOrder) return ErrorNone;
  pendingImage_ = PrimaryImage();
  pendingKeep_ = keyStart_ + static_cast<int>(terms);
  pending_ = PendingValues;
  return ErrorNone;
}

int32_t View::ResetToPosition(std::string_view position) {
  return PositionAt(std::string(position), true, false);
}

int32_t View::ResetAfterPosition(std::string_view position) {
  return PositionAt(std::string(position), false, true);
}

int32_t View::ResetToRecord() {
  if (!open_) return Fail(ErrorFileNotOpen);
  std::string position = declaration_.primary->Position();
  if (position.empty()) return ResetToValues(static_cast<int>(orderTerms_.size()));
  // The buffer is the truth here: the record may have changed since it was read.
  Remember(position);
  return PositionAt(position, false, false);
}

int32_t View::PositionAt(const std::string& position, bool allowRepeat, bool after) {
  if (!open_) return Fail(ErrorFileNotOpen);
  DataFile* primary = declaration_.primary;
  // Paging asks for the record it read last; that costs no read at all, and
  // past it the sequence already stands.
  if ((allowRepeat || after) && started_ && !sorted_ && sequenceAtCurrent_ &&
      position == current_ && primary->Position() == current_) {
    repeat_ = !after;
    ClearError();
    return ErrorNone;
  }
  if (!started_ || sorted_ != sortedBuilt_) {
    if (int32_t code = Start(); code != ErrorNone) return code;
  }
  repeat_ = false;
  sequenceAtCurrent_ = false;
  pending_ = PendingNone;
  auto recent = recent_.find(position);
  if (sorted_) {
    auto row = rowIndex_.find(position);
    if (row != rowIndex_.end()) {
      nextIndex_ = prevIndex_ = static_cast<ptrdiff_t>(row->second);
      if (after) ++nextIndex_, --prevIndex_;
      return ErrorNone;
    }
    if (recent == recent_.end()) return Fail(ErrorRecordNotFound);
    std::string saved = PrimaryImage();
    SetPrimaryImage(recent->second);
    std::vector<ExpressionValue> values;
    int32_t code = SortValues(&values);
    SetPrimaryImage(saved);
    if (code != ErrorNone) return code;
    nextIndex_ = static_cast<ptrdiff_t>(SortedIndexAtValues(values, values.size()));
    prevIndex_ = nextIndex_ - 1;
    return ErrorNone;
  }
  // A record deleted meanwhile takes its place from the values it had.
  std::string saved = PrimaryImage();
  if (recent != recent_.end()) SetPrimaryImage(recent->second);
  int32_t code =
      after ? primary->SetAfterPosition(key_, position) : primary->SetOnPosition(key_, position);
  SetPrimaryImage(saved);
  return code == ErrorNone ? LimitSequence() : code;
}

// Hands the range's ends to the storage sequence just set, so that reading
// stops inside the range instead of reading the first row past it.
int32_t View::LimitSequence() {
  if (sorted_ || range_.empty()) return ErrorNone;
  std::string saved = PrimaryImage();
  range_.FillStart(true);
  std::string first = PrimaryImage();
  range_.FillStart(false);
  std::string last = PrimaryImage();
  SetPrimaryImage(saved);
  return declaration_.primary->SetLimits({range_.EndComponents(false), first.data()},
                                         {range_.EndComponents(true), last.data()});
}

int32_t View::SeekRange(bool walkForward) {
  std::string saved = PrimaryImage();
  range_.FillStart(walkForward);
  int32_t code = declaration_.primary->SetOnKey(key_);
  SetPrimaryImage(saved);
  return code;
}

int32_t View::SeekValues(bool walkForward) {
  const FileDeclaration& file = declaration_.primary->declaration();
  std::string saved = PrimaryImage();
  SetPrimaryImage(pendingImage_);
  const std::vector<KeyComponent>& components = file.keys[key_].components;
  for (size_t i = pendingKeep_; i < components.size(); ++i) {
    FieldRef field = FieldOf(file, components[i].field);
    if (walkForward != components[i].descending) {
      SetLowest(field);
    } else {
      SetHighest(field);
    }
  }
  int32_t code = declaration_.primary->SetOnKey(key_);
  SetPrimaryImage(saved);
  return code;
}

// ---- reading ----

int32_t View::Next() { return Read(true); }
int32_t View::Previous() { return Read(false); }

int32_t View::Read(bool viewForward) {
  if (!open_) return Fail(ErrorFileNotOpen);
  if (!started_) return Fail(ErrorEntryNotFound);
  if (repeat_) {
    repeat_ = false;
    RestoreImages(currentImages_);
    ClearError();
    return ErrorNone;
  }
  // The bounds may name variables that changed since the last read.
  if (!sorted_) {
    if (int32_t code = range_.Prepare(); code != ErrorNone) return code;
    if (range_.moved() && pending_ == PendingNone) {
      if (int32_t code = LimitSequence(); code != ErrorNone) return Fail(code);
    }
  }
  // A member, not a local: its strings keep their room from row to row.
  std::vector<std::string>& before = readBefore_;
  SaveImages(&before);
  bool walkForward = keyForward_ == viewForward;
  bool reseeked = false;
  for (;;) {
    int32_t code = ReadPrimary(viewForward);
    if (code != ErrorNone) {
      RestoreImages(before);
      return Fail(code);
    }
    ++rowsRead_;
    if (!sorted_ && !range_.empty()) {
      RangeRelation where = range_.Locate();
      RangeRelation behind = walkForward ? RangeBefore : RangeAfter;
      if (where == behind) {
        // Positioned before the range (a reset to a row of another range):
        // jump to its start instead of reading up to it.
        if (!reseeked && !seekedRange_) pending_ = PendingStart;
        reseeked = true;
        continue;
      }
      if (where != RangeInside) {
        RestoreImages(before);
        return Fail(ErrorRecordNotAvailable);
      }
    }
    bool found = true;
    if (code = JoinRelated(&found); code != ErrorNone) {
      RestoreImages(before);
      return Fail(code);
    }
    if (!found) continue;
    if (filter_ != nullptr) {
      bool pass = false;
      if (code = filter_->Test(&pass); code != ErrorNone) {
        RestoreImages(before);
        return code;
      }
      if (!pass) continue;
    }
    Deliver();
    return ErrorNone;
  }
}

int32_t View::ReadPrimary(bool viewForward) {
  return sorted_ ? ReadSorted(viewForward) : ReadKeyed(keyForward_ == viewForward);
}

int32_t View::ReadKeyed(bool walkForward) {
  DataFile* primary = declaration_.primary;
  sequenceAtCurrent_ = false;
  Pending pending = pending_;
  pending_ = PendingNone;
  seekedRange_ = pending == PendingStart && !range_.empty();
  int32_t code = ErrorNone;
  if (pending == PendingStart) {
    code = range_.empty() ? primary->SetOrder(key_) : SeekRange(walkForward);
  } else if (pending == PendingValues) {
    code = SeekValues(walkForward);
  }
  if (code == ErrorNone && pending != PendingNone) code = LimitSequence();
  if (code != ErrorNone) return code;
  return walkForward ? primary->Next() : primary->Previous();
}

int32_t View::ReadSorted(bool viewForward) {
  auto size = static_cast<ptrdiff_t>(rows_.size());
  for (;;) {
    ptrdiff_t at = viewForward ? nextIndex_ : prevIndex_;
    if (at < 0 || at >= size) {
      // Past one end, the other direction reads the last row again.
      if (viewForward) prevIndex_ = size - 1;
      if (!viewForward) nextIndex_ = 0;
      return ErrorRecordNotAvailable;
    }
    nextIndex_ = at + 1;
    prevIndex_ = at - 1;
    int32_t code = declaration_.primary->FetchAt(rows_[at].position);
    if (code == ErrorRecordNotFound) continue;  // deleted since the snapshot
    return code;
  }
}

int32_t View::FetchRelated(const ViewJoin& join) {
  const FileDeclaration& file = join.file->declaration();
  const FileDeclaration& parent = join.parent < 0
                                      ? declaration_.primary->declaration()
                                      : declaration_.joins[join.parent].file->declaration();
  const std::vector<KeyComponent>& components = file.keys[join.key].components;
  for (size_t i = 0; i < join.linkFields.size(); ++i) {
    Assign(FieldOf(file, components[i].field), FieldOf(parent, join.linkFields[i]));
  }
  if (join.linkFields.size() == components.size()) return join.file->Fetch(join.key);
  for (size_t i = join.linkFields.size(); i < components.size(); ++i) {
    FieldRef field = FieldOf(file, components[i].field);
    components[i].descending ? SetHighest(field) : SetLowest(field);
  }
  if (int32_t code = join.file->SetOnKey(join.key); code != ErrorNone) return code;
  if (int32_t code = join.file->Next(); code != ErrorNone) return code;
  for (size_t i = 0; i < join.linkFields.size(); ++i) {
    if (!Equal(FieldOf(file, components[i].field), FieldOf(parent, join.linkFields[i]))) {
      return ErrorRecordNotFound;
    }
  }
  return ErrorNone;
}

int32_t View::JoinRelated(bool* found) {
  for (const ViewJoin& join : declaration_.joins) {
    int32_t code = FetchRelated(join);
    if (code == ErrorRecordNotFound || code == ErrorRecordNotAvailable) {
      if (join.kind == JoinInner) {
        *found = false;
        return ErrorNone;
      }
      ClearRecord(join.file->declaration());
    } else if (code != ErrorNone) {
      return code;
    }
  }
  return ErrorNone;
}

void View::Deliver() {
  current_ = declaration_.primary->Position();
  SaveImages(&currentImages_);
  Remember(current_);
  sequenceAtCurrent_ = !sorted_;
  ClearError();
}

int32_t View::Reread(std::string_view position) {
  if (!open_) return Fail(ErrorFileNotOpen);
  std::vector<std::string> before;
  SaveImages(&before);
  int32_t code = declaration_.primary->FetchAt(position);
  if (code != ErrorNone) return code;
  ++rowsRead_;
  bool found = true;
  if (code = JoinRelated(&found); code != ErrorNone || !found) {
    RestoreImages(before);
    return Fail(code != ErrorNone ? code : ErrorRecordNotFound);
  }
  Deliver();
  sequenceAtCurrent_ = false;
  return ErrorNone;
}

// ---- the sorted snapshot ----

int32_t View::SortValues(std::vector<ExpressionValue>* values) {
  values->assign(orderExpressions_.size(), ExpressionValue());
  for (size_t i = 0; i < orderExpressions_.size(); ++i) {
    if (int32_t code = orderExpressions_[i]->Evaluate(&(*values)[i]); code != ErrorNone) {
      return code;
    }
  }
  return ErrorNone;
}

bool View::SortedBefore(const std::vector<ExpressionValue>& a,
                        const std::vector<ExpressionValue>& b, size_t terms) const {
  for (size_t i = 0; i < terms && i < orderTerms_.size(); ++i) {
    int order = CompareValues(a[i], b[i]);
    if (orderTerms_[i].descending) order = -order;
    if (order != 0) return order < 0;
  }
  return false;
}

size_t View::SortedIndexAtValues(const std::vector<ExpressionValue>& values, size_t terms) const {
  auto at = std::partition_point(rows_.begin(), rows_.end(), [&](const SortedRow& row) {
    return SortedBefore(row.values, values, terms);
  });
  return static_cast<size_t>(at - rows_.begin());
}

int32_t View::BuildSorted() {
  DataFile* primary = declaration_.primary;
  rows_.clear();
  rowIndex_.clear();
  std::vector<std::string> before;
  SaveImages(&before);
  int32_t code = primary->SetOrder(kRecordOrder);
  while (code == ErrorNone && (code = primary->Next()) == ErrorNone) {
    ++rowsRead_;
    bool pass = true;
    if (code = JoinRelated(&pass); code != ErrorNone) break;
    if (pass && filter_ != nullptr && (code = filter_->Test(&pass)) != ErrorNone) break;
    if (!pass) continue;
    SortedRow row;
    if (code = SortValues(&row.values); code != ErrorNone) break;
    row.position = primary->Position();
    rows_.push_back(std::move(row));
  }
  RestoreImages(before);
  if (code != ErrorRecordNotAvailable) return Fail(code);
  std::stable_sort(rows_.begin(), rows_.end(), [&](const SortedRow& a, const SortedRow& b) {
    return SortedBefore(a.values, b.values, orderTerms_.size());
  });
  for (size_t i = 0; i < rows_.size(); ++i) rowIndex_[rows_[i].position] = i;
  sortedBuilt_ = true;
  nextIndex_ = 0;
  prevIndex_ = static_cast<ptrdiff_t>(rows_.size()) - 1;
  ClearError();
  return ErrorNone;
}

// ---- record images ----

std::string View::PrimaryImage() const {
  const FileDeclaration& file = declaration_.primary->declaration();
  const char* buffer = static_cast<const char*>(file.buffer);
  return std::string(buffer, file.layout->recordSize());
}

void View::SetPrimaryImage(const std::string& image) {
  const FileDeclaration& file = declaration_.primary->declaration();
  memcpy(file.buffer, image.data(), std::min<size_t>(image.size(), file.layout->recordSize()));
}

void View::SaveImages(std::vector<std::string>* images) const {
  images->resize(declaration_.joins.size() + 1);
  const FileDeclaration& primary = declaration_.primary->declaration();
  (*images)[0].assign(static_cast<const char*>(primary.buffer), primary.layout->recordSize());
  for (size_t i = 0; i < declaration_.joins.size(); ++i) {
    const FileDeclaration& file = declaration_.joins[i].file->declaration();
    (*images)[i + 1].assign(static_cast<const char*>(file.buffer), file.layout->recordSize());
  }
}

void View::RestoreImages(const std::vector<std::string>& images) {
  if (images.size() != declaration_.joins.size() + 1) return;
  SetPrimaryImage(images[0]);
  for (size_t i = 0; i < declaration_.joins.size(); ++i) {
    const FileDeclaration& file = declaration_.joins[i].file->declaration();
    memcpy(file.buffer, images[i + 1].data(), file.layout->recordSize());
  }
}

// Once the buffer is full, the entry pushed out makes room for the new one,
// so that reading on allocates nothing here.
void View::Remember(const std::string& position) {
  if (position.empty()) return;
  const FileDeclaration& file = declaration_.primary->declaration();
  const char* image = static_cast<const char*>(file.buffer);
  size_t size = file.layout->recordSize();
  auto found = recent_.find(position);
  if (found != recent_.end()) {
    found->second.assign(image, size);
    return;
  }
  size_t capacity = std::max<size_t>(buffering_.pageSize, 1) *
                    (static_cast<size_t>(buffering_.pagesBehind) + 1 + buffering_.pagesAhead);
  if (recent_.empty()) recent_.reserve(capacity);  // no rehashing while the first pages come
  decltype(recent_)::node_type freed;
  while (!recentOrder_.empty() && recentOrder_.size() >= capacity) {
    freed = recent_.extract(recentOrder_.front());
    recentOrder_.pop_front();
  }
  if (freed.empty()) {
    recent_.emplace(position, std::string(image, size));
  } else {
    freed.key() = position;
    freed.mapped().assign(image, size);
    recent_.insert(std::move(freed));
  }
  recentOrder_.push_back(position);
}

}  // namespace ledora::runtime
