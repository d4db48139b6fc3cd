// The numbers of the error reporter's messages, by name. The number is the
// only link between a failure and its text in the message table, so code
// names it here rather than spelling a number that could be another valid one.
// Operations that raise a message take a MessageNumber, so a bare number does
// not compile there; a number from a table of the user's own is converted on
// purpose: MessageNumber{900}.
#pragma once

#include <cstdint>

namespace ledora::data {

enum MessageNumber : uint16_t {
  MsgNone = 0,  // no message noted
  MsgRecordRetrievalError = 1,
  MsgAccessDenied = 2,
  MsgRecordAdded = 3,
  MsgRecordInsertError = 4,
  MsgAddNewRecord = 5,
  MsgRecordChangedByAnotherStation = 6,
  MsgRecordChangedRecallChanges = 7,
  MsgChangesWillBeLost = 8,
  MsgConfirmDelete = 9,
  MsgFileCreationError = 10,
  MsgRecordNotDeleted = 11,
  MsgFormCannotDelete = 12,
  MsgDuplicateKey = 13,
  MsgValueNotInFile = 14,
  MsgValueNotInList = 15,
  MsgValueNotBetween = 16,
  MsgValueNotLower = 17,
  MsgValueNotHigher = 18,
  MsgFileLoadError = 19,
  MsgFormCannotInsert = 20,
  MsgTransactionCancelled = 21,
  MsgNoRecords = 22,
  MsgFileAccessError = 23,
  MsgProcedureNotDefined = 24,
  MsgRecordNotUpdated = 25,
  MsgKeyNotBuilt = 26,
  MsgInvalidKey = 27,
  MsgHeldRecordSkipped = 28,
  MsgDeleteRestricted = 30,
  MsgUpdateRestricted = 31,
  MsgAutoIncrementError = 32,
  MsgDeleteErrorRetry = 33,
  MsgUpdateErrorRetry = 34,
  MsgSaveRecord = 35,
  MsgBeginningOfFile = 36,
  MsgEndOfFile = 37,
  MsgFormCannotUpdate = 38,
  MsgFileUsageError = 39,
  MsgViewOpenError = 40,
  // The program's own, beyond the default table.
  MsgSaveInvoiceWithNewLine = 41,
  MsgSaveInvoiceWithNewLines = 42,
  // What an entry that refused a typed value asks for instead.
  MsgTypeWholeNumber = 43,
  MsgTypeDecimalNumber = 44,
  MsgTypeNumberInRange = 45,
  MsgTypeDate = 46,
  MsgTypeTime = 47,
  MsgTypeShorterText = 48,
  MsgTypeWesternText = 49,
  MsgTypeAheadSearch = 50,
};

}  // namespace ledora::data
