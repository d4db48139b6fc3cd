// The one place that turns a numbered error or question into a message box.
// Start-up creates the application's reporter; file managers, relation
// controllers, view managers and window procedures raise messages through it,
// and the reply (a Severity) tells them what the user decided.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/error_severity.h"
#include "data/message_numbers.h"
#include "data/message_table.h"
#include "runtime/system/message_service.h"

namespace ledora::data {

class ErrorReporter {
 public:
  ErrorReporter() = default;
  virtual ~ErrorReporter() = default;
  ErrorReporter(const ErrorReporter&) = delete;
  ErrorReporter& operator=(const ErrorReporter&) = delete;

  std::vector<MessageEntry> MESSAGES;  // searched from the back: later tables win
  std::string FIELDNAME;               // "%Field"; set by the caller before messages 14-18
  std::string FILENAME;                // "%File"
  std::string MESSAGETEXT;             // "%Message"
  std::string SAVEDERRORTEXT;          // the runtime error state when last captured
  int32_t SAVEDERRORCODE = 0;
  std::string SAVEDFILEERRORTEXT;
  std::string SAVEDFILEERRORCODE;

  // Starts the message list with the default table.
  void Initialize();
  void Shutdown();

  // Trailing blanks removed; every value is kept to 255 characters.
  void SetFile(std::string_view name);
  void CaptureErrorState();

  // Capture the error state, then take the error: the reply is a Severity.
  uint8_t Throw(uint16_t number);
  uint8_t ThrowMessage(uint16_t number, std::string_view text);
  // Shows message number as its severity demands; SeverityInform for a
  // number no table defines (after a box naming it).
  uint8_t TakeError(uint16_t number);
  // A confirmation with the caller's buttons (runtime::MessageButton bits);
  // returns the button pressed.
  uint32_t Ask(uint16_t number, uint32_t buttons, uint32_t defaultButton);

  // The current message's text with its placeholders filled in; at most
  // 2000 characters.
  std::string Substitute() const;
  const MessageEntry* CurrentMessage() const;

  // Overridable, in slot order. The handlers show the current message.
  virtual MessageTableResult AddMessages(std::span<const uint8_t> block);
  virtual uint8_t HandleNone();
  virtual uint8_t HandleStop();
  virtual uint8_t HandleInform();
  virtual uint8_t HandleOther();
  virtual uint8_t HandleInternal();
  virtual uint8_t HandleQuestion();

 protected:
  // Makes the last entry with number the current message.
  bool FindMessage(uint16_t number);

 private:
  std::optional<size_t> PreviousEntry(size_t before, uint16_t number) const;
  void ShowUnknownMessage(uint16_t number) const;
  runtime::MessageRequest CurrentRequest(int32_t icon, uint32_t buttons,
                                         uint32_t defaultButton) const;

  std::optional<size_t> current_;
};

}  // namespace ledora::data
