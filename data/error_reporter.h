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
  int32_t SAVEDERRORCODE = 0;          // its code
  std::string SAVEDFILEERRORTEXT;      // the storage driver's text, captured with it
  std::string SAVEDFILEERRORCODE;      // and its code

  // Starts the message list with the default table.
  void Initialize();
  void Shutdown();

  // Trailing blanks removed; every value is kept to 255 characters.
  void SetFile(std::string_view name);
  void CaptureErrorState();

  // Capture the error state, then take the error: the reply is a Severity.
  Severity Throw(MessageNumber number);
  Severity ThrowMessage(MessageNumber number, std::string_view text);
  // Shows message number as its severity demands; SeverityInform for a
  // number no table defines (after a box naming it).
  Severity TakeError(MessageNumber number);
  // A confirmation with the caller's buttons (runtime::MessageButton bits);
  // returns the button pressed.
  uint32_t Ask(MessageNumber number, uint32_t buttons, uint32_t defaultButton);

  // The current message's text with its placeholders filled in; at most
  // 2000 characters.
  std::string Substitute() const;
  const MessageEntry* CurrentMessage() const;

  // Appends block's messages after those already known, so they win over
  // them; a malformed block is refused whole and the list is left as it was.
  virtual MessageTableResult AddMessages(std::span<const uint8_t> block);
  // The handlers run from TakeError, once per message, by the current
  // message's severity; each shows it (or not) and returns the caller's reply.
  // Severity none: shows nothing, returns SeverityNone.
  virtual Severity HandleNone();
  // Shows the message with OK, then halts the program; returns SeverityStop
  // should the halt return (under test).
  virtual Severity HandleStop();
  // Shows the message with OK; returns SeverityInform (failed, error noted).
  virtual Severity HandleInform();
  // A severity no table should hold: handled as internal.
  virtual Severity HandleOther();
  // Handled as a stop.
  virtual Severity HandleInternal();
  // Asks Yes/No; returns SeverityNone for Yes, SeverityCancelled for No.
  virtual Severity HandleQuestion();

 protected:
  // Makes the last entry with number the current message.
  bool FindMessage(MessageNumber number);

 private:
  std::optional<size_t> PreviousEntry(size_t before, MessageNumber number) const;
  void ShowUnknownMessage(MessageNumber number) const;
  runtime::MessageRequest CurrentRequest(int32_t icon, uint32_t buttons,
                                         uint32_t defaultButton) const;

  std::optional<size_t> current_;
};

}  // namespace ledora::data
