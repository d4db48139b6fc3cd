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

// Writes the buffer over the record read last. On failure the record as
// stored is read back into the buffer; keepsCopy says that the form keeps
// the user's changes (warning 38 rather than 15 for a record another
// station changed). 0 or the error.
int32_t ChangeFormRecord(const FormFile& form, bool keepsCopy);

// Deletes the record read last after the user's confirmation; 0, the
// error, or 4 (cancelled) when the user declined.
int32_t DeleteFormRecord(const FormFile& form);

// Adds the buffer as a new record; 0 or the error.
int32_t InsertFormRecord(const FormFile& form);

}  // namespace ledora::designer
