#include "data/error_reporter.h"

#include <string>

#include "runtime/system/halt.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::data {

namespace {

constexpr size_t kValueSize = 255;
constexpr size_t kSubstituteSize = 2000;

std::string Clipped(std::string_view text) { return std::string(text.substr(0, kValueSize)); }

std::string ClippedAndTrimmed(std::string_view text) {
  std::string value = Clipped(text);
  value.erase(value.find_last_not_of(' ') + 1);
  return value;
}

// Scoped: its names are also the names of types (ErrorText, Field).
enum class Placeholder {
  File,
  ErrorCode,
  ErrorText,
  Error,
  FileErrorCode,
  FileError,
  Message,
  Field,
  Previous
};

struct PlaceholderName {
  std::string_view name;
  Placeholder placeholder;
};

// Where one name begins another, the longer is tried first, so that
// "%ErrorText" never reads as "%Error" followed by "Text", and "%FileError"
// never as "%File" followed by "Error".
constexpr PlaceholderName kPlaceholders[] = {
    {"%FileErrorCode", Placeholder::FileErrorCode},
    {"%FileError", Placeholder::FileError},
    {"%File", Placeholder::File},
    {"%ErrorCode", Placeholder::ErrorCode},
    {"%ErrorText", Placeholder::ErrorText},
    {"%Error", Placeholder::Error},
    {"%Message", Placeholder::Message},
    {"%Field", Placeholder::Field},
    {"%Previous", Placeholder::Previous},
};

const PlaceholderName* PlaceholderAt(std::string_view text, size_t pos) {
  for (const PlaceholderName& p : kPlaceholders) {
    if (text.substr(pos, p.name.size()) == p.name) return &p;
  }
  return nullptr;
}

std::string ValueOf(const ErrorReporter& r, Placeholder placeholder) {
  using enum Placeholder;
  switch (placeholder) {
    case File:
      return r.FILENAME;
    case ErrorCode:
      return std::to_string(r.SAVEDERRORCODE);
    case ErrorText:
      // With a file system error the driver's own account says more, and
      // for a server it says which one, or that the connection was lost.
      if (r.SAVEDERRORCODE == runtime::ErrorFileSystem) {
        return r.SAVEDFILEERRORTEXT + " (" + r.SAVEDFILEERRORCODE + ")";
      }
      if (r.SAVEDERRORCODE == runtime::ErrorServerNotFound && !r.SAVEDFILEERRORTEXT.empty()) {
        return r.SAVEDFILEERRORTEXT + " (" + std::to_string(r.SAVEDERRORCODE) + ")";
      }
      return r.SAVEDERRORTEXT + " (" + std::to_string(r.SAVEDERRORCODE) + ")";
    case Error:
      return r.SAVEDERRORTEXT;
    case FileErrorCode:
      return r.SAVEDFILEERRORCODE;
    case FileError:
      return r.SAVEDFILEERRORTEXT;
    case Message:
      return Clipped(r.MESSAGETEXT);
    case Field:
      return Clipped(r.FIELDNAME);
    case Previous:
      break;  // needs the list; the caller looks it up
  }
  return {};
}

}  // namespace

void ErrorReporter::Initialize() {
  MESSAGES.clear();
  current_.reset();
  AddMessages(DefaultMessageTable());
}

void ErrorReporter::Shutdown() {
  std::vector<MessageEntry>().swap(MESSAGES);
  current_.reset();
}

void ErrorReporter::SetFile(std::string_view name) { FILENAME = ClippedAndTrimmed(name); }

void ErrorReporter::CaptureErrorState() {
  const runtime::ErrorState& state = runtime::CurrentError();
  SAVEDERRORCODE = state.code;
  SAVEDERRORTEXT = ClippedAndTrimmed(state.text);
  SAVEDFILEERRORCODE = ClippedAndTrimmed(state.fileErrorCode);
  SAVEDFILEERRORTEXT = ClippedAndTrimmed(state.fileErrorText);
}

Severity ErrorReporter::Throw(MessageNumber number) {
  CaptureErrorState();
  return TakeError(number);
}

Severity ErrorReporter::ThrowMessage(MessageNumber number, std::string_view text) {
  MESSAGETEXT = Clipped(text);
  return Throw(number);
}

Severity ErrorReporter::TakeError(MessageNumber number) {
  if (!FindMessage(number)) {
    // A caller's programming error. The caller is failing anyway, so it gets
    // the ordinary "failed, error noted" reply rather than a program end.
    ShowUnknownMessage(number);
    return SeverityInform;
  }
  switch (MESSAGES[*current_].severity) {
    case SeverityNone:
      return HandleNone();
    case SeverityQuestion:
    case SeverityCancelled:
      return HandleQuestion();
    case SeverityInternal:
      return HandleInternal();
    case SeverityStop:
      return HandleStop();
    case SeverityInform:
      HandleInform();
      return SeverityInform;
    default:
      return HandleOther();
  }
}

uint32_t ErrorReporter::Ask(MessageNumber number, uint32_t buttons, uint32_t defaultButton) {
  if (!FindMessage(number)) {
    ShowUnknownMessage(number);
    // Whatever the caller was about to confirm must not go ahead.
    if (buttons & runtime::ButtonCancel) return runtime::ButtonCancel;
    if (buttons & runtime::ButtonNo) return runtime::ButtonNo;
    return defaultButton;
  }
  return runtime::Messages().Show(CurrentRequest(runtime::IconExclamation, buttons, defaultButton));
}

std::string ErrorReporter::Substitute() const {
  if (!current_) return {};
  std::string_view text = MESSAGES[*current_].text;
  std::string result;
  size_t pos = 0;
  while (pos < text.size() && result.size() < kSubstituteSize) {
    const PlaceholderName* p = text[pos] == '%' ? PlaceholderAt(text, pos) : nullptr;
    if (p == nullptr) {
      result += text[pos++];
      continue;
    }
    pos += p->name.size();
    if (p->placeholder != Placeholder::Previous) {
      result += ValueOf(*this, p->placeholder);
    } else if (auto previous =
                   PreviousEntry(*current_, MessageNumber{MESSAGES[*current_].number})) {
      result += MESSAGES[*previous].text;
    }
  }
  if (result.size() > kSubstituteSize) result.resize(kSubstituteSize);
  return result;
}

const MessageEntry* ErrorReporter::CurrentMessage() const {
  return current_ ? &MESSAGES[*current_] : nullptr;
}

MessageTableResult ErrorReporter::AddMessages(std::span<const uint8_t> block) {
  return ReadMessageTable(block, &MESSAGES);
}

Severity ErrorReporter::HandleNone() { return SeverityNone; }

Severity ErrorReporter::HandleStop() {
  // The request holds its own copy of the title: while the box waits for OK
  // another procedure may raise a message and change the current one.
  runtime::MessageRequest request =
      CurrentRequest(runtime::IconAsterisk, runtime::ButtonOk, runtime::ButtonOk);
  request.text += "  Press OK to end this application";
  runtime::Messages().Show(request);
  runtime::Halt(0, request.caption);
  return SeverityStop;
}

Severity ErrorReporter::HandleInform() {
  runtime::Messages().Show(
      CurrentRequest(runtime::IconAsterisk, runtime::ButtonOk, runtime::ButtonOk));
  return SeverityInform;
}

Severity ErrorReporter::HandleOther() { return HandleInternal(); }

Severity ErrorReporter::HandleInternal() { return HandleStop(); }

Severity ErrorReporter::HandleQuestion() {
  uint32_t answer = runtime::Messages().Show(CurrentRequest(
      runtime::IconExclamation, runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonYes));
  return answer == runtime::ButtonYes ? SeverityNone : SeverityCancelled;
}

runtime::MessageRequest ErrorReporter::CurrentRequest(int32_t icon, uint32_t buttons,
                                                      uint32_t defaultButton) const {
  runtime::MessageRequest request;
  request.text = Substitute();
  if (current_) request.caption = std::string(MESSAGES[*current_].title);
  request.icon = icon;
  request.buttons = buttons;
  request.defaultButton = defaultButton;
  return request;
}

bool ErrorReporter::FindMessage(MessageNumber number) {
  current_ = PreviousEntry(MESSAGES.size(), number);
  return current_.has_value();
}

std::optional<size_t> ErrorReporter::PreviousEntry(size_t before, MessageNumber number) const {
  for (size_t i = before; i-- > 0;) {
    if (MESSAGES[i].number == number) return i;
  }
  return std::nullopt;
}

void ErrorReporter::ShowUnknownMessage(MessageNumber number) const {
  runtime::MessageRequest request;
  request.text = "Message " + std::to_string(number) + " is not defined.";
  if (SAVEDERRORCODE != 0) {
    request.text += "  Error: " + SAVEDERRORTEXT + " (" + std::to_string(SAVEDERRORCODE) + ").";
  }
  request.caption = "Unknown Message";
  request.icon = runtime::IconHand;
  request.buttons = runtime::ButtonOk;
  request.defaultButton = runtime::ButtonOk;
  runtime::Messages().Show(request);
}

}  // namespace ledora::data
