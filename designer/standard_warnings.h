// The numbered standard warnings of the designer's generated windows (paper
// formats, design selection, import and export): a fixed caption, text and
// button set per number, the last runtime error joined in, and a halt for
// the fatal ones. They go through runtime::Messages(), not the error
// reporter or the designer text table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::designer {

// The warnings by number; the number picks caption, text and buttons.
enum StandardWarningNumber : int {
  WarnInvalidFile = 1,
  WarnInvalidKey = 2,
  WarnKeyRebuild = 3,
  WarnFileCreation = 4,
  WarnCreatedFileOpen = 5,
  WarnProcedureNotDefined = 6,
  WarnKeyedReadInsertAborted = 7,
  WarnValueNotLower = 8,
  WarnValueNotHigher = 9,
  WarnValueNotBetween = 10,
  WarnValueNotInFile = 11,
  WarnUpdateRestricted = 12,
  WarnDeleteRestricted = 13,
  WarnRecordInsert = 14,
  WarnUpdateOperation = 15,
  WarnUpdateRetry = 16,
  WarnDeleteOperation = 17,
  WarnDeleteRetry = 18,
  WarnInsertNotAllowed = 19,
  WarnChangeNotAllowed = 20,
  WarnDeleteNotAllowed = 21,
  WarnFileCreationNotAllowed = 22,
  WarnUpdateCancelled = 23,
  WarnDuplicateKey = 24,
  WarnAutoIncrement = 25,
  WarnFileLoad = 26,
  WarnCancelLoad = 27,
  WarnFileHasNoText = 28,
  WarnEndOfFile = 29,  // the beginning-of-file form when X is "Beginning"
  WarnFileAccess = 30,
  WarnProcessPut = 31,  // the delete form when X is "Delete"
  WarnConfirmDelete = 32,
  WarnSaveChanges = 33,
  WarnTransactionFraming = 34,
  WarnRecordRetrieval = 35,
  WarnViewOpen = 36,
  WarnRecordAdded = 37,
  WarnRecordNotUpdated = 38,
};

inline constexpr int kStandardWarningCount = 38;

// Shows warning number (1 to 38) with N (the file, field, key or procedure
// concerned) and X (a value, a bound, a transaction kind) and returns the
// button pressed (runtime::MessageButton). Numbers 1, 3, 4, 5 and 22, and
// 2 answered No, then halt the program with their stop text. Two numbers
// have two forms chosen by X: 29 is the beginning-of-file form when X is
// "Beginning", 31 the delete form when X is "Delete". Number 15 without any
// error reads "This record was changed by another station.". Any other
// number shows nothing and returns 0. A saved error is used and cleared.
uint32_t StandardWarning(StandardWarningNumber number, std::string_view n = {},
                         std::string_view x = {});

// Keeps the runtime's current error for the next warning, which shows it
// instead of whatever error is current by then.
void SaveError();
void SaveError(int32_t code, std::string_view text);

// The error as the warnings show it: "File Not Found (2)"; for a file
// system error (90) the driver's own text and code. Empty when there is no
// error. Reads the saved error first; clears nothing.
std::string ErrorDescription();

}  // namespace ledora::designer
