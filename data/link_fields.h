// The linking fields of one relation: pairs of a parent field and a child
// field, with the parent's values as last remembered (the old values). The
// relation controller uses them to find dependent records, to tell whether a
// parent's link changed, and to carry, clear or undo that change.
#pragma once

#include <cstddef>
#include <vector>

#include "runtime/values/field_ref.h"

namespace ledora::data {

struct LinkPair {
  runtime::FieldRef left;
  runtime::FieldRef right;
};

class LinkFields {
 public:
  // Record fields only: a program string (FieldText) cannot be remembered.
  void AddPair(const runtime::FieldRef& parent, const runtime::FieldRef& child);
  bool empty() const { return pairs_.empty(); }
  size_t size() const { return pairs_.size(); }
  // Pairs as left = parent, right = child.
  std::vector<LinkPair> Pairs() const;

  void Remember();             // old values := parent's fields
  bool ParentChanged() const;  // the parent's fields differ from the old values
  void Undo();                 // parent's fields := old values

  void ParentToChild();
  void OldToChild();
  void ClearChild();
  bool ChildEqualsParent() const;
  bool ChildEqualsOld() const;

 private:
  struct Entry {
    runtime::FieldRef parent;
    runtime::FieldRef child;
    std::vector<unsigned char> old;
  };
  static runtime::FieldRef OldRef(Entry& entry);
  static runtime::FieldRef OldRef(const Entry& entry);

  std::vector<Entry> pairs_;
};

}  // namespace ledora::data
