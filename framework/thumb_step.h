// Maps the value of a sort order's first free key component to a position
// 1-100 and back, so that a scroll thumb can show and set where in a whole
// view a record lies without counting records. The paged browse places its
// thumb with it; the batch process measures its progress with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ledora::framework {

enum StepControls : uint8_t {
  StepLetters = 1,
  StepPunctuation = 2,
  StepDigits = 4,
  StepCaseSensitive = 8,
  StepDescending = 16,
};

enum TextLookupMode : uint8_t {
  LookupNames = 1,
  LookupAlphabet = 2,
  LookupComputed = 3,  // from the limits SetRange is given
};

// Values travel as texts: what the runtime's ordinary conversion of the
// field gives.
class ThumbStep {
 public:
  uint8_t CONTROLS = 0;

  virtual ~ThumbStep() = default;

  // Where value lies, 1-100 (a real position, not a result code).
  virtual uint8_t PercentileOf(std::string_view value) = 0;
  // The value that lies at percentile (1-100).
  virtual std::string ValueAtPercentile(uint8_t percentile) = 0;
  // Frees what SetRange built.
  virtual void Shutdown() = 0;
  // The lowest and highest values of the view, for steps that spread
  // their percentiles between them.
  virtual void SetRange(std::string_view low, std::string_view high) = 0;
  // 1 when the step needs SetRange before it can answer, else 0.
  virtual uint8_t NeedsRange() = 0;

 protected:
  bool Descending() const { return (CONTROLS & StepDescending) != 0; }
};

class NumericStep : public ThumbStep {
 public:
  int32_t LOW = 0;
  int32_t HIGH = 0;

  uint8_t PercentileOf(std::string_view value) override;
  std::string ValueAtPercentile(uint8_t percentile) override;
  void Shutdown() override {}
  void SetRange(std::string_view low, std::string_view high) override;
  uint8_t NeedsRange() override { return 1; }
};

class TextStep : public ThumbStep {
 public:
  uint8_t LOOKUPMODE = LookupNames;
  const char* REF = nullptr;  // 100 entries of TESTLEN characters
  std::string ROOT;           // at most 40 characters
  std::unique_ptr<std::string> SORTCHARS;
  uint8_t TESTLEN = 3;

  void Initialize(uint8_t controls, uint8_t lookupMode);

  uint8_t PercentileOf(std::string_view value) override;
  std::string ValueAtPercentile(uint8_t percentile) override;
  void Shutdown() override;
  void SetRange(std::string_view low, std::string_view high) override;
  uint8_t NeedsRange() override { return LOOKUPMODE == LookupComputed ? 1 : 0; }

  // The two fixed tables: 100 entries of 3 and of 2 characters.
  static const std::string& NameTable();
  static const std::string& AlphabetTable();

 private:
  std::string Folded(std::string_view text) const;
  std::string Entry(size_t index) const;

  std::unique_ptr<std::string> computed_;  // REF in the computed mode
};

}  // namespace ledora::framework
