// Pairs of variables of any type (a record field and the matching column of
// a list queue, say) copied, cleared or compared pair by pair in one call.
// The paged browse moves rows between its queue and the record buffer with
// it, and its buffered variant detects changes of the values that limit a
// sort order.
#pragma once

#include <memory>
#include <vector>

#include "runtime/values/field_ref.h"

namespace ledora::framework {

struct FieldPair {
  runtime::FieldRef LEFT;
  runtime::FieldRef RIGHT;
  runtime::FieldRef BUFFER;  // the owned copy; only buffered pairs have one
};

class FieldPairs {
 public:
  std::vector<FieldPair> LIST;

  FieldPairs() = default;
  FieldPairs(const FieldPairs&) = delete;
  FieldPairs& operator=(const FieldPairs&) = delete;
  virtual ~FieldPairs() = default;

  virtual void AddPair(const runtime::FieldRef& left, const runtime::FieldRef& right);
  void AssignLeftToRight();
  void AssignRightToLeft();
  void ClearLeft();
  void ClearRight();
  // True when every left equals its right; an empty list is equal.
  bool Equal() const;
  virtual void Shutdown();
};

// Each pair also keeps an owned copy of its left value, so a caller can ask
// later whether either side has moved away from the remembered values.
class BufferedFieldPairs : public FieldPairs {
 public:
  std::vector<FieldPair>& REALLIST = LIST;

  BufferedFieldPairs();
  ~BufferedFieldPairs() override;

  // The copy starts as the left value.
  void AddPair(const runtime::FieldRef& left, const runtime::FieldRef& right) override;
  void AssignLeftToBuffer();
  void AssignRightToBuffer();
  void AssignBufferToLeft();
  void AssignBufferToRight();
  bool EqualLeftBuffer() const;
  bool EqualRightBuffer() const;
  void Shutdown() override;

 private:
  struct OwnedValue;
  std::vector<std::unique_ptr<OwnedValue>> buffers_;
};

}  // namespace ledora::framework
