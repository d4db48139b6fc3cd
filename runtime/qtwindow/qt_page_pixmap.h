// A page image file (the report engine's display list) as a picture for an
// image control: the designer's canvas shows its design through it, drawn
// by the same painter as the preview and the printer.
#pragma once

#include <QPixmap>
#include <string>

namespace ledora::runtime {

// True for a file name that names a page image.
bool IsPageImageFile(const std::string& fileName);
// The page pixelWidth wide; a null pixmap for a bad file.
QPixmap PagePixmap(const std::string& fileName, int pixelWidth);

}  // namespace ledora::runtime
