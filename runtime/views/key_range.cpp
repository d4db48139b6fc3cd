#include "runtime/views/key_range.h"

#include "runtime/values/fixed_string.h"
#include "runtime/views/key_values.h"
#include "runtime/views/order_terms.h"

namespace ledora::runtime {

namespace {

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

KeyRange::KeyRange(const FileDeclaration& file, int key, Expression* filter) : filter_(filter) {
  if (filter == nullptr || key == kRecordOrder) return;
  std::vector<OrderTerm> subjects = KeyTerms(file, key);
  auto isField = [&file](const std::string& name) { return file.layout->Find(name) >= 0; };
  terms_ = filter->RangeTerms(isField);
  const KeyDeclaration& declared = file.keys[key];
  for (size_t i = 0; i < subjects.size(); ++i) {
    Part part;
    int field = declared.components[i].field;
    part.field = file.layout->Bind(file.buffer, field);
    part.upper = subjects[i].subject.rfind("UPPER(", 0) == 0;
    part.descending = subjects[i].descending;
    for (size_t t = 0; t < terms_.size(); ++t) {
      const RangeTerm& term = terms_[t];
      if (term.subject != subjects[i].subject) continue;
      if (term.op == CompareEqual && part.equal < 0) part.equal = static_cast<int>(t);
      bool above = term.op == CompareGreater || term.op == CompareGreaterEqual;
      bool below = term.op == CompareLess || term.op == CompareLessEqual;
      if (above && part.low < 0) part.low = static_cast<int>(t);
      if (below && part.high < 0) part.high = static_cast<int>(t);
    }
    parts_.push_back(part);
  }
}

bool KeyRange::SameBounds(const Part& a, const Part& b) {
  auto same = [](bool hasA, const ExpressionValue& x, bool hasB, const ExpressionValue& y) {
    return hasA == hasB && (!hasA || (x.isText() == y.isText() && CompareValues(x, y) == 0));
  };
  return same(a.hasEqual, a.equalValue, b.hasEqual, b.equalValue) &&
         same(a.hasLow, a.lowValue, b.hasLow, b.lowValue) &&
         same(a.hasHigh, a.highValue, b.hasHigh, b.highValue);
}

int32_t KeyRange::Prepare() {
  std::vector<Part> before = parts_;
  size_t activeBefore = active_;
  int32_t code = PrepareParts();
  moved_ = code != 0 || active_ != activeBefore;
  for (size_t i = 0; !moved_ && i < parts_.size(); ++i) moved_ = !SameBounds(parts_[i], before[i]);
  return code;
}

int32_t KeyRange::PrepareParts() {
  active_ = 0;
  for (Part& part : parts_) {
    part.hasEqual = part.hasLow = part.hasHigh = false;
    auto take = [&](int term, ExpressionValue* value, bool* has) -> int32_t {
      if (term < 0) return 0;
      if (int32_t code = filter_->EvaluateBound(terms_[term], value); code != 0) return code;
      // A case-insensitive index folds only ASCII letters, so only an ASCII
      // bound finds the same neighbours there as UPPER does.
      // A number against a text key would be compared in another order
      // than the index keeps.
      *has = (part.field.IsNumeric() || value->isText()) && (!part.upper || IsAscii(value->text()));
      return 0;
    };
    if (int32_t code = take(part.equal, &part.equalValue, &part.hasEqual); code != 0) return code;
    if (!part.hasEqual) {
      if (int32_t code = take(part.low, &part.lowValue, &part.hasLow); code != 0) return code;
      if (int32_t code = take(part.high, &part.highValue, &part.hasHigh); code != 0) return code;
      part.lowStrict = part.low >= 0 && terms_[part.low].op == CompareGreater;
      part.highStrict = part.high >= 0 && terms_[part.high].op == CompareLess;
    }
    if (!part.hasEqual && !part.hasLow && !part.hasHigh) break;
    ++active_;
    if (!part.hasEqual) break;
  }
  return 0;
}

int KeyRange::EndComponents(bool last) const {
  int count = 0;
  for (size_t i = 0; i < active_; ++i) {
    const Part& part = parts_[i];
    if (part.hasEqual) {
      ++count;
      continue;
    }
    // The last end of an ascending component is its high bound.
    bool high = last != part.descending;
    if (high ? part.hasHigh : part.hasLow) ++count;
    break;
  }
  return count;
}

int KeyRange::fixedCount() const {
  int count = 0;
  while (static_cast<size_t>(count) < active_ && parts_[count].hasEqual) ++count;
  return count;
}

void KeyRange::FillStart(bool keyForward) const {
  for (size_t i = 0; i < parts_.size(); ++i) {
    const Part& part = parts_[i];
    // Walking forward over an ascending component meets its low end first.
    bool lowFirst = keyForward != part.descending;
    if (i < active_ && part.hasEqual) {
      SetClamped(part.field, part.equalValue);
    } else if (i < active_ && lowFirst && part.hasLow) {
      SetClamped(part.field, part.lowValue);
    } else if (i < active_ && !lowFirst && part.hasHigh) {
      SetClamped(part.field, part.highValue);
    } else if (lowFirst) {
      SetLowest(part.field);
    } else {
      SetHighest(part.field);
    }
  }
}

ExpressionValue KeyRange::Subject(const Part& part) const {
  ExpressionValue value = ExpressionValue::Of(part.field);
  return part.upper ? ExpressionValue::Text(ToUpper1252(value.text())) : value;
}

RangeRelation KeyRange::Locate() const {
  for (size_t i = 0; i < active_; ++i) {
    const Part& part = parts_[i];
    ExpressionValue value = Subject(part);
    int below = 0;  // <0 under the range's values, >0 over them
    if (part.hasEqual) {
      below = CompareValues(value, part.equalValue);
    } else if (part.hasLow && CompareValues(value, part.lowValue) < (part.lowStrict ? 1 : 0)) {
      below = -1;
    } else if (part.hasHigh && CompareValues(value, part.highValue) > (part.highStrict ? -1 : 0)) {
      below = 1;
    }
    if (part.descending) below = -below;
    if (below < 0) return RangeBefore;
    if (below > 0) return RangeAfter;
  }
  return RangeInside;
}

}  // namespace ledora::runtime
