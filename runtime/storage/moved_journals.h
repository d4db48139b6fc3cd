// SQLite names a commit's super-journal in each file's journal by absolute
// path, and lists the journals in the super-journal the same way. When a
// data folder is moved, copied or restored elsewhere after a crash in a
// commit over several files, those names point at the old place: SQLite
// finds no super-journal there, takes the commit for finished and skips the
// rollback, and the files disagree (one full, another empty). Before
// anything opens the folder, names of files that are now in this folder are
// re-aimed at it, so that the rollback runs where the files are.
// ConnectionFile's sweep calls it.
#pragma once

#include <string>

namespace ledora::runtime {

// Re-aims the journals and super-journals in folder whose names point into
// another folder at the files of the same names in this one. Files it
// cannot read or that name nothing here are left as they are.
void ReaimMovedJournals(const std::string& folder);

}  // namespace ledora::runtime
