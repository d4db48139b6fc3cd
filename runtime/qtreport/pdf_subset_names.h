// Names the font subsets of a PDF that QPdfWriter wrote as subsets. Qt
// embeds only the glyphs a document uses and tags each font descriptor's
// name ("QNAAAA+LiberationSans"), but leaves the fonts' own names untagged,
// so readers (pdffonts among them) take each subset for a whole font.
// PdfOutput runs it on every PDF it finishes.
#pragma once

#include <string>

namespace ledora::runtime {

// Rewrites fileName in place (through a temporary file beside it) with each
// font's name carrying the tag of its descriptor, and the cross-reference
// table moved to match. Reads the file as a stream, holding only the names
// and the table in memory. A file of a layout it does not know is left as
// it is; false (with error) only when reading or writing failed.
bool NameFontSubsets(const std::string& fileName, std::string* error);

}  // namespace ledora::runtime
