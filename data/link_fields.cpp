#include "data/link_fields.h"

#include <cassert>
#include <cstring>

namespace ledora::data {

using runtime::FieldRef;

void LinkFields::AddPair(const FieldRef& parent, const FieldRef& child) {
  assert(parent.type != runtime::FieldText && parent.size > 0);
  Entry entry{parent, child, std::vector<unsigned char>(parent.size)};
  std::memcpy(entry.old.data(), parent.address, parent.size);
  pairs_.push_back(std::move(entry));
}

std::vector<LinkPair> LinkFields::Pairs() const {
  std::vector<LinkPair> out;
  for (const Entry& e : pairs_) out.push_back({e.parent, e.child});
  return out;
}

FieldRef LinkFields::OldRef(Entry& entry) {
  FieldRef ref = entry.parent;
  ref.address = entry.old.data();
  return ref;
}

FieldRef LinkFields::OldRef(const Entry& entry) { return OldRef(const_cast<Entry&>(entry)); }

void LinkFields::Remember() {
  for (Entry& e : pairs_) std::memcpy(e.old.data(), e.parent.address, e.parent.size);
}

bool LinkFields::ParentChanged() const {
  for (const Entry& e : pairs_) {
    if (!runtime::Equal(e.parent, OldRef(e))) return true;
  }
  return false;
}

void LinkFields::Undo() {
  for (Entry& e : pairs_) std::memcpy(e.parent.address, e.old.data(), e.parent.size);
}

void LinkFields::ParentToChild() {
  for (Entry& e : pairs_) runtime::Assign(e.child, e.parent);
}

void LinkFields::OldToChild() {
  for (Entry& e : pairs_) runtime::Assign(e.child, OldRef(e));
}

void LinkFields::ClearChild() {
  for (Entry& e : pairs_) runtime::Clear(e.child);
}

bool LinkFields::ChildEqualsParent() const {
  for (const Entry& e : pairs_) {
    if (!runtime::Equal(e.child, e.parent)) return false;
  }
  return true;
}

bool LinkFields::ChildEqualsOld() const {
  for (const Entry& e : pairs_) {
    if (!runtime::Equal(e.child, OldRef(e))) return false;
  }
  return true;
}

}  // namespace ledora::data
