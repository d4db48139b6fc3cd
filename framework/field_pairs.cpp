#include "framework/field_pairs.h"

#include <string>

namespace ledora::framework {

using runtime::FieldRef;

namespace {

using Side = FieldRef FieldPair::*;

void CopyAll(const std::vector<FieldPair>& list, Side to, Side from) {
  for (const FieldPair& pair : list) runtime::Assign(pair.*to, pair.*from);
}

void ClearAll(const std::vector<FieldPair>& list, Side side) {
  for (const FieldPair& pair : list) runtime::Clear(pair.*side);
}

bool AllEqual(const std::vector<FieldPair>& list, Side a, Side b) {
  for (const FieldPair& pair : list) {
    if (!runtime::Equal(pair.*a, pair.*b)) return false;
  }
  return true;
}

}  // namespace

void FieldPairs::AddPair(const FieldRef& left, const FieldRef& right) {
  LIST.push_back({left, right, FieldRef{}});
}

void FieldPairs::AssignLeftToRight() { CopyAll(LIST, &FieldPair::RIGHT, &FieldPair::LEFT); }
void FieldPairs::AssignRightToLeft() { CopyAll(LIST, &FieldPair::LEFT, &FieldPair::RIGHT); }
void FieldPairs::ClearLeft() { ClearAll(LIST, &FieldPair::LEFT); }
void FieldPairs::ClearRight() { ClearAll(LIST, &FieldPair::RIGHT); }
bool FieldPairs::Equal() const { return AllEqual(LIST, &FieldPair::LEFT, &FieldPair::RIGHT); }

void FieldPairs::Shutdown() {
  LIST.clear();
  LIST.shrink_to_fit();
}

// Held by pointer so that a copy's address, which BUFFER carries, stays put
// while the list grows.
struct BufferedFieldPairs::OwnedValue {
  std::vector<unsigned char> bytes;
  std::string text;
};

BufferedFieldPairs::BufferedFieldPairs() = default;
BufferedFieldPairs::~BufferedFieldPairs() = default;

void BufferedFieldPairs::AddPair(const FieldRef& left, const FieldRef& right) {
  auto copy = std::make_unique<OwnedValue>();
  FieldRef buffer = left;
  if (left.type == runtime::FieldText) {
    buffer.address = &copy->text;
  } else {
    copy->bytes.assign(left.size, 0);
    buffer.address = copy->bytes.data();
  }
  runtime::Assign(buffer, left);
  buffers_.push_back(std::move(copy));
  LIST.push_back({left, right, buffer});
}

void BufferedFieldPairs::AssignLeftToBuffer() {
  CopyAll(LIST, &FieldPair::BUFFER, &FieldPair::LEFT);
}
void BufferedFieldPairs::AssignRightToBuffer() {
  CopyAll(LIST, &FieldPair::BUFFER, &FieldPair::RIGHT);
}
void BufferedFieldPairs::AssignBufferToLeft() {
  CopyAll(LIST, &FieldPair::LEFT, &FieldPair::BUFFER);
}
void BufferedFieldPairs::AssignBufferToRight() {
  CopyAll(LIST, &FieldPair::RIGHT, &FieldPair::BUFFER);
}
bool BufferedFieldPairs::EqualLeftBuffer() const {
  return AllEqual(LIST, &FieldPair::LEFT, &FieldPair::BUFFER);
}
bool BufferedFieldPairs::EqualRightBuffer() const {
  return AllEqual(LIST, &FieldPair::RIGHT, &FieldPair::BUFFER);
}

void BufferedFieldPairs::Shutdown() {
  FieldPairs::Shutdown();
  buffers_.clear();
}

}  // namespace ledora::framework
