// The record operations behind the designer's generated forms (the paper
// format form): change and delete each inside a transaction on the file,
// and insert, with the standard warnings for whatever fails.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/storage/data_file.h"

namespace ledora::designer {

struct FormFile {
  runtime::DataFile* file = nullptr;  // not owned; open, its record read
  std::string label;                  // "R_Pformats"
  std::string keyDescription;         // of its unique key: "Format order"
};

// What a form routine did. A decline is not an error, so it is kept apart
// from the runtime's codes rather than given a number among them.
enum FormOutcome : uint8_t {
  FormDone = 0,      // the record was written or deleted
  FormDeclined = 1,  // the user did not confirm; nothing changed
  FormFailed = 2,    // error holds the runtime's code; the warning was shown
};

struct [[nodiscard]] FormResult {
  FormOutcome outcome = FormDone;
  int32_t error = 0;  // the runtime's code when FormFailed, else 0

  bool done() const { return outcome == FormDone; }
};

// Writes the buffer over the record read last. On failure the record as
// stored is read back into the buffer; keepsCopy says that the form keeps
// the user's changes (warning 38 rather than 15 for a record another
// station changed).
FormResult ChangeFormRecord(const FormFile& form, bool keepsCopy);

// Deletes the record read last after the user's confirmation; declined
// when the user does not confirm.
FormResult DeleteFormRecord(const FormFile& form);

// Adds the buffer as a new record.
FormResult InsertFormRecord(const FormFile& form);

}  // namespace ledora::designer
