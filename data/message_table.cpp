#include "data/message_table.h"

#include <algorithm>
#include <array>

#include "data/message_numbers.h"

namespace ledora::data {

namespace {

constexpr MessageDefinition kDefaultMessages[] = {
    {MsgInvalidKey, SeverityInform, "Invalid Key",
     "%File key file is invalid. Key must be rebuilt."},
    {MsgKeyNotBuilt, SeverityStop, "Key was not built",
     "Error: (%ErrorText) repairing key for %File."},
    {MsgFileCreationError, SeverityStop, "File Creation Error",
     "Error: (%ErrorText) creating %File."},
    {MsgProcedureNotDefined, SeverityInform, "Procedure not defined",
     "The Procedure %Message has not been defined."},
    {MsgValueNotLower, SeverityInform, "Range Error",
     "The value of %Field must be lower than %Message."},
    {MsgValueNotHigher, SeverityInform, "Range Error",
     "The value of %Field must be higher than %Message."},
    {MsgValueNotBetween, SeverityInform, "Range Error",
     "The value of %Field must be between %Message."},
    {MsgValueNotInFile, SeverityInform, "Field contents error",
     "The value of %Field must be found in the %Message file."},
    {MsgUpdateRestricted, SeverityInform, "Referential Integrity Update Error",
     "This record is referenced from the file %File. Linking field(s) have been restricted from "
     "change and have been reset to original values."},
    {MsgDeleteRestricted, SeverityInform, "Referential Integrity Delete Error",
     "This record is referenced from the file %File. This record cannot be deleted while these "
     "references exist."},
    {MsgRecordInsertError, SeverityInform, "Record Insert Error",
     "An error was experienced during the creation of a record. Error: %ErrorText."},
    {MsgRecordChangedByAnotherStation, SeverityInform, "Record Was Not Updated",
     "This record was changed by another station."},
    {MsgRecordChangedRecallChanges, SeverityInform, "Record Was Not Updated",
     "This record was changed by another station. Those changes will now be displayed. Use the "
     "Ditto Button or Ctrl+' to recall your changes."},
    {MsgUpdateErrorRetry, SeverityQuestion, "Record Update Error",
     "An error was experienced changing this record. Do you want to try to save again?"},
    {MsgDeleteErrorRetry, SeverityQuestion, "Record Delete Error",
     "An error was experienced deleting this record. Do you want to try to delete it again?"},
    {MsgFormCannotInsert, SeverityInform, "Invalid Request",
     "This form cannot be used to insert a record"},
    {MsgFormCannotUpdate, SeverityInform, "Invalid Request",
     "This form cannot be used to update a record"},
    {MsgFormCannotDelete, SeverityInform, "Invalid Request",
     "This form cannot be used to delete a record"},
    {MsgChangesWillBeLost, SeverityQuestion, "Changes will be lost!",
     "Are you sure you want to cancel?"},
    {MsgDuplicateKey, SeverityInform, "Duplicate Key Error",
     "Adding this record creates a duplicate entry for the key: %Message"},
    {MsgAutoIncrementError, SeverityQuestion, "Auto Increment Error",
     "Attempts to automatically number this record have failed.  Error: %ErrorText. Try Again?"},
    {MsgFileLoadError, SeverityInform, "File Load Error",
     "%File File Load Error.  Error: %ErrorText."},
    {MsgBeginningOfFile, SeverityQuestion, "Beginning of File Error",
     "The beginning of the file was encountered. Do you want to start again from the end of the "
     "file?"},
    {MsgEndOfFile, SeverityQuestion, "End of File Error",
     "The end of the file was encountered. Do you want to start again from the beginning?"},
    {MsgFileAccessError, SeverityStop, "File Access Error",
     "File (%File) could not be opened.  Error: %ErrorText."},
    {MsgRecordNotUpdated, SeverityInform, "Record was not updated",
     "An error (%ErrorText) was experienced when making changes to the %File file."},
    {MsgRecordNotDeleted, SeverityInform, "Record was not deleted",
     "An error (%ErrorText) was experienced when deleting a record from the %File file."},
    {MsgConfirmDelete, SeverityQuestion, "Confirm Delete",
     "Are you sure you want to delete the highlighted record?"},
    {MsgSaveRecord, SeverityQuestion, "Save Record",
     "Do you want to save the changes to this record?"},
    {MsgTransactionCancelled, SeverityInform, "Transaction cancelled",
     "Error: (%ErrorText) attempting to frame the transaction on %File."},
    {MsgRecordRetrievalError, SeverityInform, "Record Retrieval Error",
     "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to "
     "previous window."},
    {MsgViewOpenError, SeverityInform, "View Open Error",
     "Error: (%ErrorText) attempting to open the current VIEW. Filter and Range Limits ignored."},
    {MsgRecordAdded, SeverityQuestion, "Record Added",
     "This record has been added to the file. Do you want to add another record?"},
    {MsgHeldRecordSkipped, SeverityInform, "Record not read",
     "A record held by another station was encountered reading from the %File file."},
    {MsgAddNewRecord, SeverityInform, "Add New Record?",
     "Record match not found, do you wish to add a new one?"},
    {MsgValueNotInList, SeverityInform, "Value Error",
     "The value of %Field must be in the list : %Message."},
    {MsgNoRecords, SeverityInform, "No Records", "There are no records available to process."},
    {MsgAccessDenied, SeverityInform, "Access Denied",
     "Could not get write access to %File so trying read-only."},
    {MsgFileUsageError, SeverityInternal, "File Usage Error",
     "Attempt to use file (%File) before it was opened"},
};

constexpr size_t kMaxText = 255;
constexpr size_t kMaxEntries = 65535;

constexpr bool Packable(std::span<const MessageDefinition> definitions) {
  if (definitions.size() > kMaxEntries) return false;
  for (const MessageDefinition& d : definitions) {
    if (d.title.size() > kMaxText || d.text.size() > kMaxText) return false;
  }
  return true;
}

constexpr size_t PackedSize(std::span<const MessageDefinition> definitions) {
  size_t size = 2;
  for (const MessageDefinition& d : definitions)
    size += 2 + 1 + 1 + d.title.size() + 1 + d.text.size();
  return size;
}

constexpr uint8_t* PutText(uint8_t* out, std::string_view text) {
  *out++ = static_cast<uint8_t>(text.size());
  for (char c : text) *out++ = static_cast<uint8_t>(c);
  return out;
}

// Writes PackedSize(definitions) bytes; usable at compile time and at run time.
constexpr void PackInto(std::span<const MessageDefinition> definitions, uint8_t* out) {
  *out++ = static_cast<uint8_t>(definitions.size() & 0xFF);
  *out++ = static_cast<uint8_t>(definitions.size() >> 8);
  for (const MessageDefinition& d : definitions) {
    *out++ = static_cast<uint8_t>(d.number & 0xFF);
    *out++ = static_cast<uint8_t>(d.number >> 8);
    *out++ = d.severity;
    out = PutText(out, d.title);
    out = PutText(out, d.text);
  }
}

static_assert(Packable(kDefaultMessages));

constexpr auto kDefaultBlock = [] {
  std::array<uint8_t, PackedSize(kDefaultMessages)> block{};
  PackInto(kDefaultMessages, block.data());
  return block;
}();

// What the program says beyond the default messages. A refused delete adds
// how many records hold the record to the default text; leaving an invoice
// names the lines that No takes away; a refused entry says what to type,
// with an example and never the picture itself.
constexpr MessageDefinition kAddedMessages[] = {
    {MsgDeleteRestricted, SeverityInform, "Referential Integrity Delete Error",
     "%Previous Records in %File that refer to it: %Message. Nothing was deleted."},
    {MsgSaveInvoiceWithNewLine, SeverityQuestion, "Save Record",
     "Save the invoice with its new line?"},
    {MsgSaveInvoiceWithNewLines, SeverityQuestion, "Save Record",
     "Save the invoice with its %Message new lines?"},
    {MsgTypeWholeNumber, SeverityInform, "Entry refused", "Type a whole number, like %Message"},
    {MsgTypeDecimalNumber, SeverityInform, "Entry refused",
     "Type a number with at most %Field decimals, like %Message"},
    {MsgTypeNumberInRange, SeverityInform, "Entry refused",
     "The number is too large for this field: type one from %Field to %Message"},
    {MsgTypeDate, SeverityInform, "Entry refused", "Type a date like %Message"},
    {MsgTypeTime, SeverityInform, "Entry refused", "Type a time like %Message"},
    {MsgTypeShorterText, SeverityInform, "Entry refused", "Type at most %Message characters"},
    {MsgTypeWesternText, SeverityInform, "Entry refused",
     "Type only letters, digits and signs of Western European languages"},
    {MsgTypeAheadSearch, SeverityInform, "Find", "Find: %Message"},
};

static_assert(Packable(kAddedMessages));

constexpr auto kAddedBlock = [] {
  std::array<uint8_t, PackedSize(kAddedMessages)> block{};
  PackInto(kAddedMessages, block.data());
  return block;
}();

// Walks the block without keeping anything; the size check of each piece
// comes before the piece is read.
class BlockCursor {
 public:
  explicit BlockCursor(std::span<const uint8_t> block) : block_(block) {}

  bool Byte(uint8_t* value) {
    if (pos_ >= block_.size()) return false;
    *value = block_[pos_++];
    return true;
  }
  bool Word(uint16_t* value) {
    uint8_t low = 0, high = 0;
    if (!Byte(&low) || !Byte(&high)) return false;
    *value = static_cast<uint16_t>(low | (high << 8));
    return true;
  }
  bool Text(std::string_view* value) {
    uint8_t length = 0;
    if (!Byte(&length) || block_.size() - pos_ < length) return false;
    *value = std::string_view(reinterpret_cast<const char*>(block_.data() + pos_), length);
    pos_ += length;
    return true;
  }
  bool AtEnd() const { return pos_ == block_.size(); }

 private:
  std::span<const uint8_t> block_;
  size_t pos_ = 0;
};

}  // namespace

std::span<const uint8_t> DefaultMessageTable() { return kDefaultBlock; }

std::span<const uint8_t> AddedMessageTable() { return kAddedBlock; }

std::string AddedMessageText(MessageNumber number, std::string_view field,
                             std::string_view message) {
  std::vector<MessageEntry> entries;
  ReadMessageTable(AddedMessageTable(), &entries);
  auto found = std::find_if(entries.rbegin(), entries.rend(),
                            [&](const MessageEntry& e) { return e.number == number; });
  if (found == entries.rend()) return {};
  std::string text(found->text);
  for (auto [name, value] : {std::pair{std::string_view("%Field"), field},
                             std::pair{std::string_view("%Message"), message}}) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), value);
      at += value.size();
    }
  }
  return text;
}

MessageTableResult ReadMessageTable(std::span<const uint8_t> block,
                                    std::vector<MessageEntry>* entries) {
  BlockCursor cursor(block);
  uint16_t count = 0;
  if (!cursor.Word(&count)) return MessageTableTruncated;
  std::vector<MessageEntry> read;
  // The count is not trusted: an entry takes at least five bytes.
  read.reserve(std::min<size_t>(count, block.size() / 5));
  for (uint16_t i = 0; i < count; ++i) {
    MessageEntry entry;
    if (!cursor.Word(&entry.number) || !cursor.Byte(&entry.severity) ||
        !cursor.Text(&entry.title) || !cursor.Text(&entry.text)) {
      return MessageTableTruncated;
    }
    read.push_back(entry);
  }
  if (!cursor.AtEnd()) return MessageTableTrailingBytes;
  entries->insert(entries->end(), read.begin(), read.end());
  return MessageTableOk;
}

MessageTableResult PackMessageTable(std::span<const MessageDefinition> definitions,
                                    std::vector<uint8_t>* block) {
  block->clear();
  if (definitions.size() > kMaxEntries) return MessageTableTooManyEntries;
  if (!Packable(definitions)) return MessageTableTextTooLong;
  block->resize(PackedSize(definitions));
  PackInto(definitions, block->data());
  return MessageTableOk;
}

}  // namespace ledora::data
